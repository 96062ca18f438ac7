// The outline of one part: a rectangle of its length and width, centred on
// the placement point and turned by the placement angle.
#pragma once

#include "geometry/turn.h"
#include "text/text_output.h"

namespace korvane {

// The four corners of a part's outline as the drawing gets them, P0 to P3.
struct PartCorners {
  double x[4];
  double y[4];
};

// The corners write_part_outline draws for the same arguments: the
// rectangle length by width, turned by `angle` about its centre, moved by
// the offset, turned by `frame_angle` and placed at (x, y).
PartCorners part_corners(double x, double y, double length, double width,
                         double angle, double offset_x, double offset_y,
                         double frame_angle);

// Writes the four LINE entities of the rectangle length by width, turned by
// `angle` about its centre, moved by (offset_x, offset_y), turned by
// `frame_angle`, and placed at (x, y): P0-P1, P1-P2, P2-P3, P3-P0, from the
// corner at minus half length, minus half width.
void write_part_outline(TextOutput& out, const char* layer, double x, double y,
                        double length, double width, double angle,
                        double offset_x, double offset_y, double frame_angle);

}  // namespace korvane
