#include "text/encoding.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace korvane {

namespace {

// The code points of Windows-1252's bytes 0x80 to 0x9F.
constexpr uint16_t kWindows1252[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// The Windows-1252 byte of code point c, or -1 when it has none.
int windows_1252_byte(uint32_t c) {
  if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) return static_cast<int>(c);
  for (int i = 0; i < 32; ++i)
    if (kWindows1252[i] == c) return 0x80 + i;
  return -1;
}

}  // namespace

std::string_view without_byte_order_mark(std::string_view text) {
  if (text.starts_with(kByteOrderMark))
    text.remove_prefix(kByteOrderMark.size());
  return text;
}

std::string_view content_start(std::string_view text) {
  text = without_byte_order_mark(text);
  text.remove_prefix(std::min(text.find_first_not_of(" \t\r\n"), text.size()));
  return text;
}

Utf16 utf16_mark(std::string_view bytes) {
  if (bytes.starts_with("\xff\xfe")) return Utf16::kLittleEndian;
  if (bytes.starts_with("\xfe\xff")) return Utf16::kBigEndian;
  return Utf16::kNone;
}

bool starts_as_utf16(std::string_view b) {
  if (utf16_mark(b) != Utf16::kNone) return true;
  if (b.size() < 4) return false;
  bool little = b[0] && !b[1] && b[2] && !b[3];
  bool big = !b[0] && b[1] && !b[2] && b[3];
  return little || big;
}

size_t text_before_ctrl_z(std::string_view bytes) {
  return std::min(bytes.find(kCtrlZ), bytes.size());
}

bool dos_end_byte(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == kCtrlZ;
}

CtrlZStop ctrl_z_stop(std::string_view bytes) {
  CtrlZStop stop;
  size_t at = text_before_ctrl_z(bytes);
  if (at == bytes.size()) return stop;
  stop.line = 1 + std::count(bytes.begin(), bytes.begin() + at, '\n');
  bool text = false;  // the line so far holds text
  for (char c : bytes.substr(at)) {
    if (c == '\n') stop.hidden += std::exchange(text, false);
    if (!dos_end_byte(c)) text = true;
  }
  stop.hidden += text;
  return stop;
}

size_t utf8_char(std::string_view text, size_t i, uint32_t& code) {
  unsigned char lead = static_cast<unsigned char>(text[i]);
  code = lead;
  if (lead < 0x80) return 1;
  if (lead < 0xC2 || lead > 0xF4) return 0;
  size_t length = lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
  if (length > text.size() - i) return 0;
  // The second byte's range narrows after E0, ED, F0 and F4.
  unsigned char low = lead == 0xE0 ? 0xA0 : lead == 0xF0 ? 0x90 : 0x80;
  unsigned char high = lead == 0xED ? 0x9F : lead == 0xF4 ? 0x8F : 0xBF;
  code = lead & (0x7F >> length);
  for (size_t k = 1; k < length; ++k) {
    unsigned char c = static_cast<unsigned char>(text[i + k]);
    if (c < (k == 1 ? low : 0x80) || c > (k == 1 ? high : 0xBF)) return 0;
    code = code << 6 | (c & 0x3F);
  }
  return length;
}

size_t first_not_utf8(std::string_view text) {
  uint32_t code;
  for (size_t i = 0, n; i < text.size(); i += n) {
    // Plain ASCII, as most of an export is, eight bytes at a time.
    uint64_t eight;
    for (; text.size() - i >= 8; i += 8) {
      memcpy(&eight, text.data() + i, 8);
      if (eight & 0x8080808080808080u) break;
    }
    if (i == text.size()) break;
    if ((n = utf8_char(text, i, code)) == 0) return i;
  }
  return std::string_view::npos;
}

bool is_utf8(std::string_view text) {
  return first_not_utf8(text) == std::string_view::npos;
}

void put_utf8(std::string& out, uint32_t c) {
  if (c < 0x80) {
    out += static_cast<char>(c);
    return;
  }
  int tail = c < 0x800 ? 1 : c < 0x10000 ? 2 : 3;
  static const unsigned char kLead[4] = {0, 0xC0, 0xE0, 0xF0};
  out += static_cast<char>(kLead[tail] | (c >> (6 * tail)));
  for (int k = tail - 1; k >= 0; --k)
    out += static_cast<char>(0x80 | ((c >> (6 * k)) & 0x3F));
}

std::string utf8_from_windows_1252(std::string_view text) {
  std::string out;
  for (char byte : text) {
    unsigned char c = static_cast<unsigned char>(byte);
    put_utf8(out, c >= 0x80 && c < 0xA0 ? kWindows1252[c - 0x80] : c);
  }
  return out;
}

bool windows_1252_from_utf8(std::string_view text, std::string& out) {
  out.clear();
  uint32_t code;
  for (size_t i = 0, n; i < text.size(); i += n) {
    n = utf8_char(text, i, code);
    int byte = n ? windows_1252_byte(code) : -1;
    if (byte < 0) return false;
    out += static_cast<char>(byte);
  }
  return true;
}

}  // namespace korvane
