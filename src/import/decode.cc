#include "import/decode.h"

#include <algorithm>

namespace {

int line_at(const std::string& text, size_t pos) {
  return 1 +
         static_cast<int>(std::count(text.begin(), text.begin() + pos, '\n'));
}

void put_utf8(std::string& out, unsigned long c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
  } else if (c < 0x800) {
    out += static_cast<char>(0xC0 | (c >> 6));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else if (c < 0x10000) {
    out += static_cast<char>(0xE0 | (c >> 12));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (c >> 18));
    out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (c & 0x3F));
  }
}

unsigned long unit_at(const std::string& raw, size_t i, bool big) {
  unsigned long a = static_cast<unsigned char>(raw[i]);
  unsigned long b = static_cast<unsigned char>(raw[i + 1]);
  return big ? (a << 8 | b) : (b << 8 | a);
}

// UTF-16 after its mark into UTF-8; a lone surrogate or a last half unit
// is an error.
int from_utf16(const std::string& raw, bool big, std::string& text,
               Problem& problem) {
  for (size_t i = 2; i < raw.size(); i += 2) {
    if (i + 1 >= raw.size()) {
      problem = problem_at(
          line_at(text, text.size()),
          "the file ends in half a UTF-16 character; export it again");
      return -1;
    }
    unsigned long c = unit_at(raw, i, big);
    if (c >= 0xD800 && c < 0xDC00 && i + 3 < raw.size()) {
      unsigned long low = unit_at(raw, i + 2, big);
      if (low >= 0xDC00 && low < 0xE000) {
        c = 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        i += 2;
      }
    }
    if (c >= 0xD800 && c < 0xE000) {
      problem = problem_at(line_at(text, text.size()),
                           "broken UTF-16 character; export the file again");
      return -1;
    }
    put_utf8(text, c);
  }
  return 0;
}

// Drops CRs; refuses NULs; ends the text at a Ctrl-Z that only blanks,
// line ends and further Ctrl-Z bytes follow.
int apply_text_rules(std::string& text, Problem& problem) {
  text.erase(std::remove(text.begin(), text.end(), '\r'), text.end());
  size_t nul = text.find('\0');
  if (nul != std::string::npos) {
    problem =
        problem_at(line_at(text, nul),
                   "the file holds a NUL byte: save it as UTF-8, or as UTF-16 "
                   "with a byte order mark");
    return -1;
  }
  size_t stop = text.find('\x1a');
  if (stop == std::string::npos) return 0;
  if (text.find_first_not_of(" \t\n\x1a", stop) != std::string::npos) {
    problem = problem_at(
        line_at(text, stop),
        "a Ctrl-Z character stands before the end of the file; remove "
        "it");
    return -1;
  }
  text.resize(stop);
  return 0;
}

}  // namespace

int decode_export(const std::string& raw, std::string& text, Problem& problem) {
  text.clear();
  if (raw.size() >= 2 && (raw.compare(0, 2, "\xff\xfe") == 0 ||
                          raw.compare(0, 2, "\xfe\xff") == 0)) {
    if (from_utf16(raw, raw[0] == '\xfe', text, problem) != 0) return -1;
  } else if (raw.compare(0, 3, "\xef\xbb\xbf") == 0) {
    text = raw.substr(3);
  } else {
    text = raw;
  }
  return apply_text_rules(text, problem);
}
