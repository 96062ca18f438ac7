// The outline of one part: a rectangle of its length and width, centred on
// the placement point and turned by the placement angle.
#pragma once

#include "text/text_output.h"

// Turns (x, y) about the origin by `degrees`, counter-clockwise, with pi
// taken as 3.14159265.
void rotate_point(double& x, double& y, double degrees);

// The four corners of an outline as they are written, placement point
// included: P0 at minus half length, minus half width, then P1, P2, P3.
struct OutlineCorners {
  double x[4];
  double y[4];
};

// The corners of the rectangle length by width, turned by `angle` about its
// centre, moved by (offset_x, offset_y), turned by `frame_angle` and placed
// at (x, y). Values past the largest double are held there, so every
// corner is finite.
OutlineCorners outline_corners(double x, double y, double length,
                               double width, double angle, double offset_x,
                               double offset_y, double frame_angle);

// Writes the four LINE entities of the rectangle length by width, turned by
// `angle` about its centre, moved by (offset_x, offset_y), turned by
// `frame_angle`, and placed at (x, y): P0-P1, P1-P2, P2-P3, P3-P0 of
// outline_corners.
void write_part_outline(TextOutput& out, const char* layer, double x, double y,
                        double length, double width, double angle,
                        double offset_x, double offset_y, double frame_angle);
