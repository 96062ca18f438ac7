#include "dxf/outline.h"

#include <cfloat>

#include "dxf/dxf_records.h"
#include "dxf/sine_cosine.h"

namespace {

// The short pi the drawings have always been made with.
constexpr double kPi = 3.14159265;

// Holds a value that overflowed at the largest double of its sign, so that
// no infinity, and from it no NaN, reaches the drawing. Finite values pass
// unchanged.
double held(double v) {
  if (v > DBL_MAX) return DBL_MAX;
  if (v < -DBL_MAX) return -DBL_MAX;
  return v;
}

}  // namespace

void rotate_point(double& x, double& y, double degrees) {
  double radians = held(degrees * kPi) * (1.0 / 180.0);
  SineCosine turn = sine_cosine(radians);
  double c = turn.cosine;
  double s = turn.sine;
  double turned_x = held(x * c - y * s);
  y = held(x * s + y * c);
  x = turned_x;
}

PartCorners part_corners(double x, double y, double length, double width,
                         double angle, double offset_x, double offset_y,
                         double frame_angle) {
  double half_length = length * 0.5;
  double half_width = width * 0.5;
  double minus_half_length = -1 * length * 0.5;
  double minus_half_width = -1 * width * 0.5;
  double cx[4] = {minus_half_length, minus_half_length, half_length,
                  half_length};
  double cy[4] = {minus_half_width, half_width, half_width, minus_half_width};
  PartCorners corners;
  for (int i = 0; i < 4; ++i) {
    rotate_point(cx[i], cy[i], angle);
    cx[i] = held(cx[i] + offset_x);
    cy[i] = held(cy[i] + offset_y);
    rotate_point(cx[i], cy[i], frame_angle);
    corners.x[i] = held(x + cx[i]);
    corners.y[i] = held(y + cy[i]);
  }
  return corners;
}

void write_part_outline(TextOutput& out, const char* layer, double x, double y,
                        double length, double width, double angle,
                        double offset_x, double offset_y, double frame_angle) {
  PartCorners c =
      part_corners(x, y, length, width, angle, offset_x, offset_y, frame_angle);
  for (int i = 0; i < 4; ++i) {
    int j = (i + 1) % 4;
    write_line(out, layer, c.x[i], c.y[i], c.x[j], c.y[j]);
  }
}
