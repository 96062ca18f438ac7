// Fuzzes the integer and real conversions against the C library's strtoll
// and strtod, and the outline arithmetic: every tab-separated piece of the
// input becomes a number, the numbers place and turn one outline, and the
// drawing must hold nothing but plain four-decimal numbers. Each number is
// written as to_chars writes it.
#include <cerrno>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "dxf/outline.h"
#include "fuzz_util.h"
#include "text/scan.h"
#include "text/text_output.h"

using namespace korvane;

namespace {

bool same_double(double a, double b) { return memcmp(&a, &b, sizeof a) == 0; }

void check_integer(const std::string& text) {
  errno = 0;
  long long want = strtoll(text.c_str(), nullptr, 10);
  if (want > INT_MAX) want = INT_MAX;
  if (want < INT_MIN) want = INT_MIN;
  require(to_integer(text.c_str()) == want, "to_integer");
}

// Texts strtod reads by rules of its own: infinity, not-a-number, hex.
bool other_number_form(const std::string& text) {
  const char* p = text.c_str();
  while (*p == ' ' || (*p >= '\t' && *p <= '\r')) ++p;
  if (*p == '+' || *p == '-') ++p;
  char c = static_cast<char>(*p | 0x20);
  return c == 'i' || c == 'n' || (p[0] == '0' && (p[1] | 0x20) == 'x');
}

void check_real(const std::string& text) {
  double got = to_real(text.c_str());
  require(std::isfinite(got), "to_real is finite");
  if (other_number_form(text)) return;
  errno = 0;
  double want = strtod(text.c_str(), nullptr);
  if (errno != ERANGE) {
    require(same_double(want, got), "to_real as strtod");
  } else if (std::isinf(want)) {
    require(same_double(std::copysign(DBL_MAX, want), got),
            "to_real holds overflow at the largest double");
  } else {
    require(
        same_double(want, got) || same_double(std::copysign(0.0, want), got),
        "to_real gives underflow as a zero of its sign");
  }
}

void check_fixed(double value) {
  for (int decimals = 0; decimals <= 6; ++decimals) {
    char want[kFixedTextCapacity], got[kFixedTextCapacity];
    auto end = std::to_chars(want, want + sizeof want, value,
                             std::chars_format::fixed, decimals)
                   .ptr;
    require(std::string(want, end) ==
                std::string(got, format_fixed(got, value, decimals)),
            "format_fixed writes what to_chars writes");
  }
  char want[32];
  std::string text(
      want,
      std::to_chars(want, want + sizeof want, value == 0 ? 0.0 : value).ptr);
  require(shortest_text(value) == text,
          "shortest_text writes what to_chars writes");
}

bool is_coordinate(const std::string& line) {
  size_t i = 3;
  if (line.compare(0, 3, "   ") != 0) return false;
  if (i < line.size() && line[i] == '-') ++i;
  size_t digits = i;
  while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i;
  if (i == digits || i + 5 != line.size() || line[i] != '.') return false;
  return line.find_first_not_of("0123456789", i + 1) == std::string::npos;
}

void check_outline(const std::vector<double>& v) {
  std::string drawing;
  auto out = std::make_unique<TextOutput>();
  start_text_in_memory(*out, drawing);
  write_part_outline(*out, "center", v[0], v[1], v[2], v[3], v[4], v[5], v[6],
                     v[7]);
  require(flush_text_output(*out) == 0, "writing to memory");
  size_t start = 0;
  for (int line = 0; line < 64; ++line) {
    size_t end = drawing.find("\r\n", start);
    require(end != std::string::npos, "an outline is 64 lines");
    std::string text = drawing.substr(start, end - start);
    if (line % 16 >= 9 && line % 2 == 1)
      require(is_coordinate(text), "coordinates are plain numbers");
    start = end + 2;
  }
  require(start == drawing.size(), "an outline is 64 lines");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string input(bytes_of(data, size));
  check_integer(input);
  check_real(input);
  std::vector<double> values(8, 0.0);
  size_t start = 0;
  for (double& value : values) {
    size_t tab = input.find('\t', start);
    value = to_real(input.substr(start, tab - start).c_str());
    check_fixed(value);
    if (tab == std::string::npos) break;
    start = tab + 1;
  }
  check_outline(values);
  return 0;
}
