#include "text/text_output.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#endif

namespace korvane {

namespace {

void write_buffer(TextOutput& out) {
  if (out.len && fwrite(out.buffer, 1, out.len, out.file) != out.len)
    out.failed = true;
  out.len = 0;
}

// Appends the bytes to `text`, every LF as CR LF.
void append_crlf(std::string& text, const char* bytes, size_t n) {
  const char* end = bytes + n;
  for (const char* lf; (lf = static_cast<const char*>(memchr(
                            bytes, '\n', static_cast<size_t>(end - bytes))));
       bytes = lf + 1) {
    text.append(bytes, lf);
    text += "\r\n";
  }
  text.append(bytes, end);
}

// A standard stream set up for binary writes.
TextOutput* standard_stream(FILE* file) {
#ifdef _WIN32
  // The C runtime would turn our CR LF into CR CR LF.
  _setmode(_fileno(file), _O_BINARY);
#endif
  auto* out = new TextOutput;
  out->file = file;
  return out;
}

// Most decimals, and the magnitude below which, short_fixed takes.
constexpr int kShortDecimals = 4;
constexpr double kShortBelow = 0x1p36;

// format_fixed for |value| < kShortBelow and at most kShortDecimals
// decimals, in whole numbers: value = m 2^e exactly, so value 10^d is
// m 5^d 2^(e + d), and m 5^d < 2^63. Its integer part and the remainder
// are exact; the remainder rounds half to even, as to_chars rounds.
size_t short_fixed(char* text, double value, int decimals) {
  constexpr uint64_t kFives[] = {1, 5, 25, 125, 625};
  constexpr uint64_t kTens[] = {1, 10, 100, 1000, 10000};
  uint64_t bits = std::bit_cast<uint64_t>(value);
  int biased = static_cast<int>(bits >> 52 & 0x7ff);
  uint64_t m = bits & ((uint64_t{1} << 52) - 1);
  if (biased) m |= uint64_t{1} << 52;
  uint64_t scaled = m * kFives[decimals];
  // Bits of `scaled` below the point: at least 13, as |value| < 2^36.
  int drop = 1075 - std::max(biased, 1) - decimals;
  uint64_t n = 0;  // |value| 10^d, rounded; 0 when scaled < 2^63 <= half
  if (drop < 64) {
    uint64_t half = uint64_t{1} << (drop - 1);
    uint64_t rest = scaled & (2 * half - 1);
    n = scaled >> drop;
    n += rest > half || (rest == half && (n & 1));
  }
  char* p = text;
  if (bits >> 63) *p++ = '-';
  p = std::to_chars(p, p + 20, n / kTens[decimals]).ptr;
  if (decimals) {
    *p++ = '.';
    uint64_t fraction = n % kTens[decimals];
    for (int i = decimals; i-- > 0; fraction /= 10)
      p[i] = static_cast<char>('0' + fraction % 10);
    p += decimals;
  }
  *p = '\0';
  return static_cast<size_t>(p - text);
}

// shortest_text for 0.001 <= |value| < 100000 with at most four decimals:
// the fewest decimals that read back as `value` are its shortest digits,
// and fixed notation is then never longer than scientific. Returns 0 for
// any other value.
size_t short_decimal(char* text, double value) {
  constexpr double kTens[] = {1, 10, 100, 1000, 10000};
  double magnitude = std::fabs(value);
  if (!(magnitude >= 0.001 && magnitude < 1e5)) return 0;
  for (int decimals = 0; decimals <= kShortDecimals; ++decimals) {
    // Exact below 2^53; divided, it rounds as a reader of its text would.
    double scaled = std::nearbyint(magnitude * kTens[decimals]);
    if (scaled / kTens[decimals] == magnitude)
      return short_fixed(text, value, decimals);
  }
  return 0;
}

}  // namespace

void start_text_in_memory(TextOutput& out, std::string& text) {
  out.len = 0;
  out.failed = false;
  out.file = nullptr;
  out.text = &text;
}

TextOutput& standard_output() {
  static TextOutput* out = standard_stream(stdout);
  return *out;
}

TextOutput& standard_error() {
  static TextOutput* out = standard_stream(stderr);
  return *out;
}

int flush_text_output(TextOutput& out) {
  write_buffer(out);
  if (out.file && (fflush(out.file) != 0 || ferror(out.file)))
    out.failed = true;
  return out.failed ? -1 : 0;
}

void put_bytes(TextOutput& out, const char* bytes, size_t n) {
  if (out.text) return append_crlf(*out.text, bytes, n);
  const char* end = bytes + n;
  while (bytes < end) {
    // Keep room for at least one byte and the CR LF of one line end.
    if (kTextOutputBuffer - out.len < 3) write_buffer(out);
    size_t room = kTextOutputBuffer - out.len - 2;
    size_t chunk = static_cast<size_t>(end - bytes) < room
                       ? static_cast<size_t>(end - bytes)
                       : room;
    const char* lf = static_cast<const char*>(memchr(bytes, '\n', chunk));
    size_t plain = lf ? static_cast<size_t>(lf - bytes) : chunk;
    memcpy(out.buffer + out.len, bytes, plain);
    out.len += plain;
    bytes += plain;
    if (lf) {
      out.buffer[out.len++] = '\r';
      out.buffer[out.len++] = '\n';
      ++bytes;
    }
  }
}

void put_text(TextOutput& out, const char* text) {
  put_bytes(out, text, strlen(text));
}

void put_line(TextOutput& out, const char* text) {
  put_text(out, text);
  put_bytes(out, "\n", 1);
}

void put_integer(TextOutput& out, int value) {
  char text[16];
  auto result = std::to_chars(text, text + sizeof text, value);
  put_bytes(out, text, static_cast<size_t>(result.ptr - text));
}

void put_fixed(TextOutput& out, double value, int decimals) {
  char text[kFixedTextCapacity];
  put_bytes(out, text, format_fixed(text, value, decimals));
}

// The longest fixed-point double (309 integer digits, sign, point and at
// most kMaxDecimals decimals) fits, so the conversion never runs out of room.
size_t format_fixed(char* text, double value, int decimals) {
  if (!std::isfinite(value)) value = 0.0;
  decimals = std::clamp(decimals, 0, kMaxDecimals);
  if (decimals <= kShortDecimals && std::fabs(value) < kShortBelow)
    return short_fixed(text, value, decimals);
  auto result = std::to_chars(text, text + kFixedTextCapacity - 1, value,
                              std::chars_format::fixed, decimals);
  *result.ptr = '\0';
  return static_cast<size_t>(result.ptr - text);
}

std::string short_number(double value, int decimals) {
  char text[kFixedTextCapacity];
  std::string number(text, format_fixed(text, value, decimals));
  if (number.find('.') != std::string::npos) {
    while (number.back() == '0') number.pop_back();
    if (number.back() == '.') number.pop_back();
  }
  return number == "-0" ? "0" : number;
}

std::string shortest_text(double value) {
  if (value == 0) value = 0;  // no "-0"
  char text[32];
  size_t size = short_decimal(text, value);
  if (size == 0)
    size = static_cast<size_t>(
        std::to_chars(text, text + sizeof text, value).ptr - text);
  return std::string(text, size);
}

std::string with_crlf(std::string_view text) {
  std::string bytes;
  bytes.reserve(text.size() + text.size() / 16);
  append_crlf(bytes, text.data(), text.size());
  return bytes;
}

}  // namespace korvane
