// A picture of the drawing korvane will make: one SVG file of its outlines,
// the doubtful parts marked.
#pragma once

#include <string>
#include <vector>

#include "check/findings.h"
#include "check/size_check.h"
#include "check/xy_check.h"

// Writes to `path` an SVG of the outlines korvane draws for `xy` with
// `sizes`, corners from korvane's own outline routine, Y up. Each part is
// labelled with its label field, or else its xy line; a part that a finding
// of `findings` concerns (its xy line or its size row), or that is drawn as
// a point, is drawn in the warning colour with the findings as its hover
// title. A legend lists the placements korvane will not draw, and a scale
// bar gives the drawing units. Returns -1 when the file cannot be written.
int write_svg(const char* path, const char* xy_path, const XyList& xy,
              const std::vector<DrawnSize>& sizes, const Findings& findings);
