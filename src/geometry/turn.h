// Turning points about the origin, with korvane's own sine and cosine, so
// that every platform turns a point to the same bits.
#pragma once

#include "geometry/sine_cosine.h"

namespace korvane {

// A point, or a vector from the origin.
struct Point {
  double x = 0;
  double y = 0;
};

// The value held at the largest double of its sign when it overflowed, so
// that no infinity, and from it no NaN, goes on; NaN is held at 0. Finite
// values pass unchanged.
double held(double v);

// The turn by `degrees`, counter-clockwise in a frame whose Y points up,
// with the full pi: exact at whole multiples of 90 degrees. The angle must
// be finite.
SineCosine degrees_turn(double degrees);

// Turns (x, y) about the origin by the turn `t`; a coordinate that would
// overflow is held.
void turn_point(double& x, double& y, const SineCosine& t);

// `p` turned about the origin by `t`.
Point turned(Point p, const SineCosine& t);

}  // namespace korvane
