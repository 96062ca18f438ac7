// The --list table: one line per placement that korvane will draw.
#pragma once

#include <vector>

#include "korvane-check/size_check.h"
#include "text/text_output.h"

namespace korvane {

// Writes a heading and one line per drawn placement: xy line, code, X, Y,
// angle, length, width and where the size comes from, in columns that
// line up.
void print_listing(TextOutput& out, const PlacementList& list,
                   const std::vector<DrawnSize>& sizes);

}  // namespace korvane
