// The two DXF records korvane writes itself: a LAYER table entry and a
// LINE entity, in the release-12 style (no handles, no subclass markers).
#pragma once

#include "text/text_output.h"

namespace korvane {

// Writes the ten lines of a LAYER entry: flags 64, colour 7, CONTINUOUS.
void write_layer(TextOutput& out, const char* name);

// Writes the sixteen lines of a LINE entity from (x1, y1) to (x2, y2):
// linetype CONTINUOUS, colour 1, coordinates with four decimals.
void write_line(TextOutput& out, const char* layer, double x1, double y1,
                double x2, double y2);

}  // namespace korvane
