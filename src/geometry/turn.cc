#include "geometry/turn.h"

#include <cfloat>
#include <cmath>
#include <numbers>

namespace korvane {

double held(double v) {
  if (v > DBL_MAX) return DBL_MAX;
  if (v < -DBL_MAX) return -DBL_MAX;
  return v == v ? v : 0;
}

SineCosine degrees_turn(double degrees) {
  double turn = std::fmod(degrees, 360.0);
  if (std::fmod(turn, 90.0) != 0)
    return sine_cosine(degrees * std::numbers::pi / 180);
  static const double kSines[4] = {0, 1, 0, -1};
  int quarter = (static_cast<int>(turn / 90) + 4) % 4;
  return {kSines[quarter], kSines[(quarter + 1) % 4]};
}

void turn_point(double& x, double& y, const SineCosine& t) {
  double turned_x = held(x * t.cosine - y * t.sine);
  y = held(x * t.sine + y * t.cosine);
  x = turned_x;
}

Point turned(Point p, const SineCosine& t) {
  turn_point(p.x, p.y, t);
  return p;
}

}  // namespace korvane
