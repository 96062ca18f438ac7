// Reading lengths and angles with their units, converting lengths between
// millimetres, mils and inches, and writing numbers back as text.
#pragma once

#include <string>
#include <string_view>

#include "input/units.h"
#include "korvane-import/import_records.h"

namespace korvane {

// The unit a line around the heading declares, as in "Units used in this
// file: mil", "## Unit = mm, Angle = deg.", "UUNITS = MILS" or "# X,Y in
// mils."; kNone when it declares none.
Unit declared_unit(std::string_view line);

// Reads a length: a decimal number, "," standing for its point where
// `mark` allows, then optionally blanks and a unit name ("12.7mm", "1594.5
// mil"). Sets `unit` to the named unit or kNone. Returns -1, changing
// nothing, for any other text or a number no double holds.
enum class DecimalMark { kPoint, kPointOrComma };
int read_length(std::string_view field, DecimalMark mark, double& value,
                Unit& unit);

// Reads an angle in degrees: a decimal number, optionally followed by
// "deg" or a degree sign. Returns -1, changing nothing, for other text.
int read_angle(std::string_view field, DecimalMark mark, double& value);

// `value` in unit `from` expressed in unit `to` (1 in = 25.4 mm = 1000
// mil), rounded to a millionth of `to`. Both must be units, not kNone.
double convert_length(double value, Unit from, Unit to);

}  // namespace korvane
