#include "korvane-import/units.h"

#include <algorithm>

#include "text/scan.h"

namespace korvane {

namespace {

// Splits a field into its number and the text after it. Returns -1 when it
// does not start with a number.
int read_number(std::string_view field, DecimalMark mark, double& value,
                std::string_view& rest) {
  field = trimmed(field, " \t");
  // korvane's own grammar, with "," as the point where it stands for one.
  std::string text(field);
  if (mark == DecimalMark::kPointOrComma &&
      field.find('.') == std::string_view::npos)
    std::replace(text.begin(), text.end(), ',', '.');
  size_t n = decimal_length(text);
  if (n == 0) return -1;
  rest = trimmed(field.substr(n), " \t");
  return read_decimal(std::string_view(text).substr(0, n), value) ? 0 : -1;
}

}  // namespace

Unit declared_unit(std::string_view line) {
  std::string text = lowered(line);
  size_t at = text.find("unit");
  size_t mark = text.find_first_of(":=", at);
  if (at == std::string::npos || mark == std::string::npos) {
    // gEDA's "# X,Y in mils."
    mark = text.find("x,y in ");
    if (mark == std::string::npos) return Unit::kNone;
    mark += 6;  // the blank after "in"
  }
  size_t start = text.find_first_not_of(" \t", mark + 1);
  if (start == std::string::npos) return Unit::kNone;
  size_t end = text.find_first_of(" \t,;.\n", start);
  return unit_from_name(std::string_view(text).substr(
      start, end == std::string::npos ? std::string::npos : end - start));
}

int read_length(std::string_view field, DecimalMark mark, double& value,
                Unit& unit) {
  double v = 0;
  std::string_view rest;
  if (read_number(field, mark, v, rest) != 0) return -1;
  Unit named = rest.empty() ? Unit::kNone : unit_from_name(rest);
  if (!rest.empty() && named == Unit::kNone) return -1;
  value = v;
  unit = named;
  return 0;
}

int read_angle(std::string_view field, DecimalMark mark, double& value) {
  double v = 0;
  std::string_view rest;
  if (read_number(field, mark, v, rest) != 0) return -1;
  if (!rest.empty() && lowered(rest) != "deg" && rest != "\xc2\xb0") return -1;
  value = v;
  return 0;
}

double convert_length(double value, Unit from, Unit to) {
  if (from == to) return value;
  return to_millionth(value * millimetres_per(from) / millimetres_per(to));
}

}  // namespace korvane
