#include "import/decode.h"

#include <algorithm>
#include <string_view>

namespace {

int line_at(std::string_view text, size_t pos) {
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

// The code points of Windows-1252's bytes 0x80 to 0x9F; the five it leaves
// undefined stand for the C1 controls of their value, as Windows reads them.
constexpr unsigned short kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The length of the UTF-8 character at text[i], or 0 when the bytes there
// are none: a stray or missing continuation byte, an overlong form, a
// surrogate or a code point past U+10FFFF.
size_t utf8_length(std::string_view text, size_t i) {
  unsigned char lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return 1;
  if (lead < 0xC2 || lead > 0xF4) return 0;
  size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (i + length > text.size()) return 0;
  // The second byte's range narrows after E0, ED, F0 and F4.
  unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  for (size_t k = 1; k < length; ++k) {
    unsigned char c = static_cast<unsigned char>(text[i + k]);
    if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
  }
  return length;
}

// Where the first byte that is no part of a UTF-8 character stands, npos
// when the whole text is UTF-8.
size_t first_not_utf8(std::string_view text) {
  for (size_t i = 0; i < text.size();) {
    size_t length = utf8_length(text, i);
    if (length == 0) return i;
    i += length;
  }
  return std::string_view::npos;
}

// Every byte of `raw` as the Windows-1252 character it stands for, in
// UTF-8.
void from_windows_1252(std::string_view raw, std::string& text) {
  for (char byte : raw) {
    unsigned char c = static_cast<unsigned char>(byte);
    put_utf8(text, c >= 0x80 && c < 0xA0 ? kWindows1252[c - 0x80] : c);
  }
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

int decode_export(const std::string& raw, std::string& text,
                  std::vector<Problem>& warnings, Problem& problem) {
  text.clear();
  std::string_view body = raw;
  if (raw.size() >= 2 && (raw.compare(0, 2, "\xff\xfe") == 0 ||
                          raw.compare(0, 2, "\xfe\xff") == 0)) {
    if (from_utf16(raw, raw[0] == '\xfe', text, problem) != 0) return -1;
    return apply_text_rules(text, problem);
  }
  if (raw.compare(0, 3, "\xef\xbb\xbf") == 0) body.remove_prefix(3);
  size_t stray = first_not_utf8(body);
  if (stray == std::string_view::npos) {
    text = body;
  } else {
    from_windows_1252(body, text);
    warnings.push_back(problem_at(
        line_at(body, stray),
        "the first byte that is not UTF-8 stands here, so the file is read "
        "as Windows-1252 and written as UTF-8; if a part code then differs "
        "from size.txt, export the file as UTF-8"));
  }
  return apply_text_rules(text, problem);
}
