// Finding the heading row of an export and the columns that hold each
// role, by the names CAD programs give them or by the command line.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "korvane-import/import_records.h"

namespace korvane {

// Where the placements of an export start and how they are laid out.
struct ExportLayout {
  Separator separator = Separator::kComma;
  size_t data_start = 0;  // offset of the first row after the heading
  int data_line = 1;      // its line number
  int heading_line = 0;   // 0: the export has no heading
  int heading_fields = 0;
  ColumnChoice columns;
  Unit file_unit = Unit::kNone;  // declared around the heading
  // Rows without a heading, cut at blanks, whose part code is the last
  // field whatever stands between it and the rotation (Eagle's value).
  bool code_last = false;
  // Text aligned with blanks under a heading whose last column is no
  // coordinate, angle or side (Altium's Comment): that column, counted
  // from 1, takes the rest of each row, blanks and all; 0 otherwise.
  size_t rest_from = 0;
  // Allegro's place_txt: an "m" between the rotation and the code marks a
  // part mirrored to the bottom; every other part is on the top.
  bool mirror_mark = false;
  // The heading is KiCad's: Ref, Val, Package, PosX, PosY, Rot, Side.
  bool kicad = false;
};

// A heading name reduced for comparison: anything in brackets dropped,
// letters folded to lower case, everything but letters and digits dropped
// ("Center-X(mil)" gives "centerx").
std::string name_key(std::string_view name);

// Finds the heading: the first row, among the first 1000 lines, that names
// a reference and both coordinates, cut by whichever separator names the most
// roles; cut at blanks, two words that make one name ("Mid X", or a name
// with blanks that an option gives) may count as one column. Without a
// heading, when the options give the code, X and Y as column numbers, every
// row is a placement; when the options name no column and every row is a
// name, three numbers and the part code, with anything between (Eagle's
// mount files, Allegro's place_txt after its UUNITS line), so is every row.
// Returns -1 with `problem` set when none of these holds, the heading lacks
// a code or angle column, or a unit is declared that korvane-import does
// not know.
int find_layout(std::string_view text, const ImportOptions& options,
                ExportLayout& layout, Problem& problem);

}  // namespace korvane
