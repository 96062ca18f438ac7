#include "text/scan.h"

#include <cfloat>
#include <charconv>
#include <climits>
#include <cstdint>

namespace korvane {

namespace {

bool is_space(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' ||
         c == '\r';
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

char fold(char c) { return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c; }

const char* skip_space(const char* p) {
  while (is_space(*p)) ++p;
  return p;
}

const char* skip_digits(const char* p) {
  while (is_digit(*p)) ++p;
  return p;
}

// Copies bytes up to `stop` or the end of the text, keeping what fits.
// Returns the byte it stopped at.
const char* copy_until(const char* p, char stop, char* out, size_t size) {
  size_t kept = 0;
  for (; *p && *p != stop; ++p)
    if (kept + 1 < size) out[kept++] = *p;
  out[kept] = '\0';
  return p;
}

// A number's rough decimal magnitude: positive when it lies at or above 1.
// Only its sign matters, to tell overflow from underflow.
long magnitude(const char* mantissa, const char* exponent) {
  long digits = 0;
  const char* p = mantissa;
  while (*p == '0') ++p;
  if (is_digit(*p)) {
    digits = skip_digits(p) - p;
  } else if (*p == '.') {
    for (++p; *p == '0'; ++p) --digits;
  }
  long e = 0;
  if (exponent) {
    bool negative = *exponent == '-';
    if (*exponent == '-' || *exponent == '+') ++exponent;
    for (; is_digit(*exponent) && e < 100000; ++exponent)
      e = e * 10 + (*exponent - '0');
    if (negative) e = -e;
  }
  return digits + e;
}

// The start of field n of `line`, or the end of its text.
const char* find_field(const char* line, int n) {
  for (int i = 1; i < n; ++i) {
    while (*line && *line != '\t') ++line;
    if (!*line) break;
    ++line;
  }
  return line;
}

// Where the integer at `text` ends; *digits tells whether it had any.
const char* integer_end(const char* text, bool* digits) {
  const char* p = skip_space(text);
  if (*p == '-' || *p == '+') ++p;
  const char* end = skip_digits(p);
  *digits = end > p;
  return end;
}

// The parts of a decimal number as to_real reads it.
struct RealText {
  bool negative = false;
  const char* mantissa = nullptr;  // first digit or point, after the sign
  const char* exponent = nullptr;  // after the "e", when there is one
  const char* end = nullptr;       // null when there is no number
};

RealText parse_real(const char* text) {
  RealText real;
  const char* p = skip_space(text);
  real.negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  real.mantissa = p;
  const char* q = skip_digits(p);
  bool digits = q > p;
  if (*q == '.') {
    const char* f = skip_digits(q + 1);
    digits = digits || f > q + 1;
    q = f;
  }
  if (!digits) return real;
  if (*q == 'e' || *q == 'E') {
    const char* e = q + 1;
    if (*e == '+' || *e == '-') ++e;
    if (is_digit(*e)) {
      real.exponent = q + 1;
      q = skip_digits(e);
    }
  }
  real.end = q;
  return real;
}

// The value of [begin, end) when it is a plain decimal: digits, at most 15
// of them, and at most one "." among them, no sign, no exponent. The value
// is exactly the one from_chars gives; false, leaving `value`, for any
// other text.
bool plain_decimal(const char* begin, const char* end, double& value) {
  // The digits as an integer and the power of ten are both exact doubles,
  // so the one rounding of the division rounds the decimal's exact value.
  static constexpr double kPowers[16] = {1e0,  1e1,  1e2,  1e3, 1e4,  1e5,
                                         1e6,  1e7,  1e8,  1e9, 1e10, 1e11,
                                         1e12, 1e13, 1e14, 1e15};
  uint64_t digits = 0;
  int count = 0, decimals = -1;
  for (const char* p = begin; p < end; ++p) {
    if (*p == '.' && decimals < 0) {
      decimals = 0;
      continue;
    }
    if (!is_digit(*p) || ++count > 15) return false;
    digits = digits * 10 + static_cast<uint64_t>(*p - '0');
    if (decimals >= 0) ++decimals;
  }
  if (count == 0) return false;
  value = static_cast<double>(digits) / kPowers[decimals < 0 ? 0 : decimals];
  return true;
}

}  // namespace

void get_field(const char* line, int n, char* out, size_t size) {
  copy_until(find_field(line, n), '\t', out, size);
}

size_t field_length(const char* line, int n) {
  const char* start = find_field(line, n);
  const char* p = start;
  while (*p && *p != '\t') ++p;
  return static_cast<size_t>(p - start);
}

std::string field_text(const char* line, int n) {
  const char* start = find_field(line, n);
  return std::string(start, field_length(start, 1));
}

bool text_equal(const char* a, const char* b) {
  for (; *a && *b; ++a, ++b)
    if (fold(*a) != fold(*b)) return false;
  return *a == *b;
}

std::string folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = fold(c);
  return out;
}

std::string lowered(std::string_view text) {
  std::string out(text);
  for (char& c : out)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return out;
}

std::string_view trimmed(std::string_view text, std::string_view blanks) {
  auto blank = [blanks](char c) {
    for (char b : blanks)
      if (c == b) return true;
    return false;
  };
  size_t start = 0, end = text.size();
  while (start < end && blank(text[start])) ++start;
  while (end > start && blank(text[end - 1])) --end;
  return text.substr(start, end - start);
}

size_t integer_length(const char* text) {
  bool digits;
  const char* end = integer_end(text, &digits);
  return digits ? static_cast<size_t>(end - text) : 0;
}

int to_integer(const char* text) {
  const char* p = skip_space(text);
  bool negative = *p == '-';
  if (*p == '-' || *p == '+') ++p;
  long long value = 0;
  for (; is_digit(*p); ++p) {
    value = value * 10 + (*p - '0');
    if (value > INT_MAX) return negative ? INT_MIN : INT_MAX;
  }
  return static_cast<int>(negative ? -value : value);
}

double to_real(const char* text) {
  RealText real = parse_real(text);
  if (!real.end) return 0.0;
  double value = 0.0;
  if (plain_decimal(real.mantissa, real.end, value))
    return real.negative ? -value : value;
  // from_chars takes no "+" and no sign at all here: the grammar above has
  // already been checked, so it sees only digits, point and exponent.
  auto result = std::from_chars(real.mantissa, real.end, value);
  if (result.ec == std::errc::result_out_of_range)
    value = magnitude(real.mantissa, real.exponent) > 0 ? DBL_MAX : 0.0;
  return real.negative ? -value : value;
}

size_t decimal_length(std::string_view text) {
  // parse_real needs a terminated text; a number is rarely long.
  std::string copy(text.substr(0, text.find('\0')));
  if (copy.empty() || is_space(copy[0])) return 0;
  RealText real = parse_real(copy.c_str());
  return real.end ? static_cast<size_t>(real.end - copy.c_str()) : 0;
}

bool read_decimal(std::string_view text, double& value) {
  if (text.empty() || decimal_length(text) != text.size()) return false;
  value = to_real(std::string(text).c_str());
  return true;
}

bool read_whole_number(std::string_view text, long most, long& value) {
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  if (text.empty()) return false;
  long n = 0;
  for (char c : text) {
    if (!is_digit(c) || n > (most - (c - '0')) / 10) return false;
    n = n * 10 + (c - '0');
  }
  value = n;
  return true;
}

size_t real_length(const char* text) {
  RealText real = parse_real(text);
  return real.end ? static_cast<size_t>(real.end - text) : 0;
}

}  // namespace korvane
