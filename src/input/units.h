// Length units as the files name them: after a number ("12.7mm"), in a
// column heading ("Center-X(mil)", "Length(mm)").
#pragma once

#include <string>
#include <string_view>

namespace korvane {

// A length unit. kNone: the file does not say. units.cc's tables follow
// this order.
enum class Unit : unsigned char { kNone, kMm, kMil, kIn };

// The unit a name gives ("mm", "mil", "mils", "thou", "in", "inch", ...,
// letter case ignored), or kNone for any other text.
Unit unit_from_name(std::string_view name);

// True when `word` may stand after a number as its unit and korvane reads
// the number all the same: a unit unit_from_name knows, "cm", "um", or an
// angle's "deg" or degree sign.
bool unit_word(std::string_view word);

// The name a unit is written with: "mm", "mil", "in" or "none".
const char* unit_name(Unit unit);

// Millimetres in one `unit` (1 for kNone).
double millimetres_per(Unit unit);

// True when sizes in unit `sizes` draw parts placed in unit `xy` at the
// wrong scale: `xy` is a unit, and `sizes` another, or none while `xy` is
// mil or inches (a table that names no unit is taken to be in mm).
bool units_disagree(Unit xy, Unit sizes);

// What sizes in unit `sizes` do to parts placed in unit `xy` when neither
// is converted: "39.37 times too small" (mm against mil), "25.4 times too
// large" (mm against inches). Both must be units, not kNone.
std::string scale_words(Unit sizes, Unit xy);

// `value` rounded to a millionth, as korvane-import writes lengths; a
// value of 1e9 or more in size as it is.
double to_millionth(double value);

// The unit a heading names in brackets, as in "Center-X(mil)" or
// "PosX [mm]"; kNone when it names none.
Unit heading_unit(std::string_view heading);

}  // namespace korvane
