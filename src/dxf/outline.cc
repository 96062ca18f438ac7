#include "dxf/outline.h"

#include "dxf/dxf_records.h"

namespace korvane {

namespace {

// The short pi the drawings have always been made with.
constexpr double kPi = 3.14159265;

// The sine and cosine of a turn by `degrees`, pi taken short.
SineCosine turn_of(double degrees) {
  return sine_cosine(held(degrees * kPi) * (1.0 / 180.0));
}

}  // namespace

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
  SineCosine part_turn = turn_of(angle), frame_turn = turn_of(frame_angle);
  PartCorners corners;
  for (int i = 0; i < 4; ++i) {
    turn_point(cx[i], cy[i], part_turn);
    cx[i] = held(cx[i] + offset_x);
    cy[i] = held(cy[i] + offset_y);
    turn_point(cx[i], cy[i], frame_turn);
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

}  // namespace korvane
