// Findings about the xy file's own lines.
#pragma once

#include "input/placement.h"
#include "korvane-check/findings.h"

namespace korvane {

// Adds the findings about the xy file's lines as korvane walks them: with
// `judge_rows`, the heading that reads like a placement, cut lines, and
// numbers that are not numbers, only partly, or too large for the drawing,
// and a file from which korvane draws nothing; always the empty line and
// the placements past the 100th.
void check_xy(const char* path, const PlacementList& list,
              const ColumnMap& columns, bool judge_rows, Findings& findings);

}  // namespace korvane
