// korvane-check's picture: the placements it read, as korvane will draw
// them, with the findings about each one.
#pragma once

#include <vector>

#include "korvane-check/findings.h"
#include "korvane-check/size_check.h"

namespace korvane {

// Writes the picture of the placements korvane draws from the xy file at
// `xy_path` to the SVG file at `svg_path`: parts labelled by column
// `label_column` of their line, or by their line number when it is 0 or
// the field is empty; marked by the findings at their xy line or at the
// size.txt row their size comes from; the placements left out listed.
// Returns -1 with `problem` when the picture cannot be written.
int write_board_svg(const char* svg_path, const char* xy_path, int label_column,
                    const ColumnMap& columns, const PlacementList& list,
                    const std::vector<DrawnSize>& sizes,
                    const Findings& findings, Problem& problem);

}  // namespace korvane
