// The box around a drawing: the smallest rectangle, with sides along the
// axes, that holds every point its lines, circles, arcs and curves pass.
#pragma once

#include "geometry/turn.h"

namespace korvane {

// A part's body where korvane draws it: its box's centre (mm from the
// board's origin, Y up), the box's size in the part's own frame, and the
// angle at which korvane draws the outline, degrees.
struct PlacedBody {
  double x = 0, y = 0;
  double length = 0;  // along the part's X axis
  double width = 0;   // along its Y axis
  double angle = 0;
};

// A box that grows as items are added; empty until the first.
struct Extent {
  bool empty = true;
  double min_x = 0, min_y = 0, max_x = 0, max_y = 0;
};

// The box's size along X and along Y; 0 for an empty box.
double extent_length(const Extent& box);
double extent_width(const Extent& box);

// The box's centre.
Point extent_centre(const Extent& box);

// Grows `box` to hold `p`.
void add_point(Extent& box, Point p);

// Grows `box` to hold `other`.
void add_extent(Extent& box, const Extent& other);

// The circle about `centre` with `radius`.
void add_circle(Extent& box, Point centre, double radius);

// The arc about `centre` that starts at `start` and turns by `sweep`
// degrees (towards +Y from +X when positive, whichever way Y points); a
// sweep of 360 or more is the whole circle. Its end is the start turned
// by degrees_turn.
void add_arc(Extent& box, Point centre, Point start, double sweep);

// The arc from `start` through `mid` to `end`; three points on one line
// make the line through them.
void add_arc_through(Extent& box, Point start, Point mid, Point end);

// The arc from `start` to `end` whose included angle is `sweep` degrees,
// turning towards +Y from +X when positive; 0 makes the straight line.
void add_arc_between(Extent& box, Point start, Point end, double sweep);

// The cubic Bezier curve from p0 to p3 with control points p1 and p2.
void add_bezier(Extent& box, Point p0, Point p1, Point p2, Point p3);

}  // namespace korvane
