#include "geometry/extent.h"

#include <algorithm>
#include <cmath>

namespace korvane {

namespace {

Point minus(Point a, Point b) { return {a.x - b.x, a.y - b.y}; }

Point plus(Point a, Point b) { return {a.x + b.x, a.y + b.y}; }

double cross(Point a, Point b) { return a.x * b.y - a.y * b.x; }

double length_of(Point v) { return std::sqrt(v.x * v.x + v.y * v.y); }

// Whether direction `d` lies on the arc that turns from direction `a` to
// direction `b` towards +Y, the turn being more than half a circle when
// `over_half` is set. Decided by signs alone, so that no angle is taken.
bool on_turn(Point a, Point b, Point d, bool over_half) {
  if (!over_half) return cross(a, d) >= 0 && cross(d, b) >= 0;
  return !(cross(a, d) < 0 && cross(d, b) < 0);
}

// The arc about `centre` of `radius` from `start` to `end`, turning towards
// +Y (or the other way when `positive` is false), more than half a circle
// when `over_half` is set: its ends, and each point where it meets a side
// of its circle's box.
void add_turn(Extent& box, Point centre, double radius, Point start, Point end,
              bool positive, bool over_half) {
  add_point(box, start);
  add_point(box, end);
  Point a = minus(positive ? start : end, centre);
  Point b = minus(positive ? end : start, centre);
  static const Point kSides[4] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
  for (Point d : kSides)
    if (on_turn(a, b, d, over_half))
      add_point(box, {centre.x + radius * d.x, centre.y + radius * d.y});
}

// The real roots of q2 t^2 + q1 t + q0 = 0 that lie strictly between 0 and
// 1, into `roots`; returns how many.
int unit_roots(double q2, double q1, double q0, double roots[2]) {
  int n = 0;
  auto keep = [&](double t) {
    if (t > 0 && t < 1) roots[n++] = t;
  };
  if (q2 == 0) {
    if (q1 != 0) keep(-q0 / q1);
    return n;
  }
  double discriminant = q1 * q1 - 4 * q2 * q0;
  if (discriminant < 0) return 0;
  double root = std::sqrt(discriminant);
  keep((-q1 + root) / (2 * q2));
  if (root != 0) keep((-q1 - root) / (2 * q2));
  return n;
}

// One coordinate of the cubic Bezier curve at t.
double bezier_at(double p0, double p1, double p2, double p3, double t) {
  double s = 1 - t;
  return s * s * s * p0 + 3 * s * s * t * p1 + 3 * s * t * t * p2 +
         t * t * t * p3;
}

}  // namespace

double extent_length(const Extent& box) { return box.max_x - box.min_x; }

double extent_width(const Extent& box) { return box.max_y - box.min_y; }

Point extent_centre(const Extent& box) {
  return {(box.min_x + box.max_x) / 2, (box.min_y + box.max_y) / 2};
}

void add_point(Extent& box, Point p) {
  if (box.empty) {
    box.empty = false;
    box.min_x = box.max_x = p.x;
    box.min_y = box.max_y = p.y;
    return;
  }
  box.min_x = std::min(box.min_x, p.x);
  box.max_x = std::max(box.max_x, p.x);
  box.min_y = std::min(box.min_y, p.y);
  box.max_y = std::max(box.max_y, p.y);
}

void add_extent(Extent& box, const Extent& other) {
  if (other.empty) return;
  add_point(box, {other.min_x, other.min_y});
  add_point(box, {other.max_x, other.max_y});
}

void add_circle(Extent& box, Point centre, double radius) {
  radius = std::fabs(radius);
  add_point(box, {centre.x - radius, centre.y - radius});
  add_point(box, {centre.x + radius, centre.y + radius});
}

void add_arc(Extent& box, Point centre, Point start, double sweep) {
  Point from = minus(start, centre);
  double radius = length_of(from);
  if (std::fabs(sweep) >= 360) return add_circle(box, centre, radius);
  Point end = plus(centre, turned(from, degrees_turn(sweep)));
  add_turn(box, centre, radius, start, end, sweep >= 0, std::fabs(sweep) > 180);
}

void add_arc_through(Extent& box, Point start, Point mid, Point end) {
  Point b = minus(mid, start), c = minus(end, start);
  double d = 2 * cross(b, c);
  // The radius is |b| |c| |c - b| / |d|. Points so near a line that it
  // passes a billion times their span (its centre might pass any double)
  // bow less than a billionth of the span: they make the line.
  double span = length_of(b) + length_of(c);
  if (std::fabs(d) * 1e9 * span <
      length_of(b) * length_of(c) * length_of(minus(c, b)))
    d = 0;
  if (d == 0) {
    bool closed = c.x == 0 && c.y == 0;
    if (!closed) {
      add_point(box, start);
      add_point(box, mid);
      add_point(box, end);
      return;
    }
    // A whole circle, with `mid` across it from `start`.
    return add_circle(box, {start.x + b.x / 2, start.y + b.y / 2},
                      length_of(b) / 2);
  }
  double bb = b.x * b.x + b.y * b.y, cc = c.x * c.x + c.y * c.y;
  Point centre = {start.x + (c.y * bb - b.y * cc) / d,
                  start.y + (b.x * cc - c.x * bb) / d};
  // Turning towards +Y when `mid` lies to the left of start-to-end.
  bool positive = d > 0;
  Point from = minus(start, centre), to = minus(end, centre);
  double turn = positive ? cross(from, to) : cross(to, from);
  add_turn(box, centre, length_of(from), start, end, positive, turn < 0);
}

void add_arc_between(Extent& box, Point start, Point end, double sweep) {
  Point chord = minus(end, start);
  double length = length_of(chord);
  if (sweep == 0 || length == 0 || std::fabs(sweep) >= 360) {
    add_point(box, start);
    add_point(box, end);
    return;
  }
  // The centre lies on the chord's bisector, at (length / 2) / tan(sweep /
  // 2) to the left of start-to-end.
  SineCosine half = degrees_turn(sweep / 2);
  double offset = length / 2 * half.cosine / half.sine;
  Point centre = {(start.x + end.x) / 2 - offset * chord.y / length,
                  (start.y + end.y) / 2 + offset * chord.x / length};
  double radius = length / 2 / std::fabs(half.sine);
  add_turn(box, centre, radius, start, end, sweep > 0, std::fabs(sweep) > 180);
}

void add_bezier(Extent& box, Point p0, Point p1, Point p2, Point p3) {
  add_point(box, p0);
  add_point(box, p3);
  // Where the curve's derivative along an axis is zero: 3 (q2 t^2 + q1 t +
  // q0) with these q's.
  for (int axis = 0; axis < 2; ++axis) {
    auto at = [axis](Point p) { return axis == 0 ? p.x : p.y; };
    double a = at(p1) - at(p0), b = at(p2) - at(p1), c = at(p3) - at(p2);
    double roots[2];
    int n = unit_roots(a - 2 * b + c, 2 * (b - a), a, roots);
    for (int i = 0; i < n; ++i) {
      double t = roots[i];
      add_point(box, {bezier_at(p0.x, p1.x, p2.x, p3.x, t),
                      bezier_at(p0.y, p1.y, p2.y, p3.y, t)});
    }
  }
}

}  // namespace korvane
