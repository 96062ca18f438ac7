#include "input/units.h"

#include <cmath>
#include <string>

#include "text/scan.h"
#include "text/text_output.h"

namespace korvane {

namespace {

// Every unit word, with the unit korvane-import converts it as (kNone for
// the ones it does not convert).
struct UnitWord {
  const char* name;  // lower case
  Unit unit;
};

constexpr UnitWord kUnitWords[] = {
    {"mm", Unit::kMm},          {"millimeter", Unit::kMm},
    {"millimeters", Unit::kMm}, {"millimetre", Unit::kMm},
    {"millimetres", Unit::kMm}, {"mil", Unit::kMil},
    {"mils", Unit::kMil},       {"thou", Unit::kMil},
    {"in", Unit::kIn},          {"inch", Unit::kIn},
    {"inches", Unit::kIn},      {"cm", Unit::kNone},
    {"um", Unit::kNone},        {"deg", Unit::kNone},
    {"\xc2\xb0", Unit::kNone},
};

// The entry for `word`, blanks around it and letter case aside; null when
// none.
const UnitWord* find_word(std::string_view word) {
  std::string text = lowered(trimmed(word, " \t"));
  for (const UnitWord& w : kUnitWords)
    if (text == w.name) return &w;
  return nullptr;
}

}  // namespace

Unit unit_from_name(std::string_view name) {
  const UnitWord* word = find_word(name);
  return word ? word->unit : Unit::kNone;
}

bool unit_word(std::string_view word) { return find_word(word) != nullptr; }

const char* unit_name(Unit unit) {
  constexpr const char* kNames[] = {"none", "mm", "mil", "in"};
  return kNames[static_cast<int>(unit)];
}

double millimetres_per(Unit unit) {
  constexpr double kMillimetres[] = {1.0, 1.0, 0.0254, 25.4};
  return kMillimetres[static_cast<int>(unit)];
}

bool units_disagree(Unit xy, Unit sizes) {
  return xy != Unit::kNone && xy != sizes &&
         !(sizes == Unit::kNone && xy == Unit::kMm);
}

std::string scale_words(Unit sizes, Unit xy) {
  double factor = millimetres_per(sizes) / millimetres_per(xy);
  return factor > 1 ? short_number(factor, 2) + " times too small"
                    : short_number(1 / factor, 2) + " times too large";
}

double to_millionth(double value) {
  return std::fabs(value) < 1e9 ? std::round(value * 1e6) / 1e6 : value;
}

Unit heading_unit(std::string_view heading) {
  size_t open = heading.find_first_of("([");
  if (open == std::string_view::npos) return Unit::kNone;
  size_t close = heading.find_first_of(")]", open);
  if (close == std::string_view::npos) return Unit::kNone;
  return unit_from_name(heading.substr(open + 1, close - open - 1));
}

}  // namespace korvane
