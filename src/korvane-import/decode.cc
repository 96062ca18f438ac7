#include "korvane-import/decode.h"

#include <algorithm>
#include <string_view>
#include <utility>

#include "text/encoding.h"

namespace korvane {

namespace {

int line_at(std::string_view text, size_t pos) {
  return 1 +
         static_cast<int>(std::count(text.begin(), text.begin() + pos, '\n'));
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
    put_utf8(text, static_cast<uint32_t>(c));
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
  size_t stop = text_before_ctrl_z(text);
  if (!std::all_of(text.begin() + static_cast<long>(stop), text.end(),
                   dos_end_byte)) {
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

int decode_export(std::string raw, std::string& text,
                  std::vector<Problem>& warnings, Problem& problem) {
  text.clear();
  if (Utf16 order = utf16_mark(raw); order != Utf16::kNone) {
    if (from_utf16(raw, order == Utf16::kBigEndian, text, problem) != 0)
      return -1;
    return apply_text_rules(text, problem);
  }
  std::string_view body = without_byte_order_mark(raw);
  size_t stray = first_not_utf8(body);
  if (stray == std::string_view::npos) {
    size_t mark = raw.size() - body.size();  // the byte order mark's
    text = std::move(raw);
    text.erase(0, mark);
  } else {
    text = utf8_from_windows_1252(body);
    warnings.push_back(problem_at(
        line_at(body, stray),
        "the first byte that is not UTF-8 stands here, so the file is read "
        "as Windows-1252 and written as UTF-8; if a part code then differs "
        "from size.txt, export the file as UTF-8"));
  }
  return apply_text_rules(text, problem);
}

}  // namespace korvane
