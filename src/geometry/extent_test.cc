#include "geometry/extent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <type_traits>
#include <utility>

namespace korvane {

namespace {

// The box that `add` grows from nothing with `args`, as "min_x min_y max_x
// max_y", each rounded to a millionth.
template <typename... Args>
std::string box_of(void (*add)(Extent&, Args...),
                   std::type_identity_t<Args>... args) {
  Extent box;
  add(box, args...);
  std::string text;
  for (double v : {box.min_x, box.min_y, box.max_x, box.max_y}) {
    double r = std::round(v * 1e6) / 1e6;
    char number[32];
    snprintf(number, sizeof number, " %g", r == 0 ? 0.0 : r);
    text += number;
  }
  return text.substr(1);
}

}  // namespace

TEST(Turn, TurnsRightAnglesExactly) {
  const double cases[][3] = {{90, 1, 0},   {-90, -1, 0}, {180, 0, -1},
                             {270, -1, 0}, {450, 1, 0},  {-720, 0, 1}};
  for (const auto& c : cases)
    EXPECT_EQ((std::pair{c[1], c[2]}),
              (std::pair{degrees_turn(c[0]).sine, degrees_turn(c[0]).cosine}))
        << c[0];
}

// Each box is checked against the call that made it, which gtest prints.
TEST(Extent, HoldsEveryPointOfAnArcOrACurve) {
  // About a centre: a quarter that meets no side of its circle's box, past
  // +Y, the other way, more than half, a whole circle.
  EXPECT_EQ("0.707107 0 1 0.707107", box_of(add_arc, {0, 0}, {1, 0}, 45));
  EXPECT_EQ("-0.707107 0 1 1", box_of(add_arc, {0, 0}, {1, 0}, 135));
  EXPECT_EQ("-0.707107 -1 1 0", box_of(add_arc, {0, 0}, {1, 0}, -135));
  EXPECT_EQ("-1 -1 1 1", box_of(add_arc, {0, 0}, {0, 1}, 270));
  EXPECT_EQ("4 4 6 6", box_of(add_arc, {5, 5}, {6, 5}, 360));
  // Through three points: over the top, under the bottom, on a line, all
  // but on a line (where the centre would pass any double).
  EXPECT_EQ("-1 0 1 1", box_of(add_arc_through, {-1, 0}, {0, 1}, {1, 0}));
  EXPECT_EQ("-1 -1 1 0", box_of(add_arc_through, {-1, 0}, {0, -1}, {1, 0}));
  EXPECT_EQ("0 0 2 2", box_of(add_arc_through, {0, 0}, {1, 1}, {2, 2}));
  EXPECT_EQ("0 0 2 0", box_of(add_arc_through, {0, 0}, {1, 1e-300}, {2, 0}));
  // Between two ends: half to the left, half to the right, no curve, three
  // quarters.
  EXPECT_EQ("-1 0 1 1", box_of(add_arc_between, {1, 0}, {-1, 0}, 180));
  EXPECT_EQ("-1 -1 1 0", box_of(add_arc_between, {1, 0}, {-1, 0}, -180));
  EXPECT_EQ("0 0 3 4", box_of(add_arc_between, {0, 0}, {3, 4}, 0));
  EXPECT_EQ("-1 -1 1 1", box_of(add_arc_between, {1, 0}, {0, -1}, 270));
  // Bezier curves: control points pulling it to y = 0.75 between its ends
  // at y = 0, and all four on a line.
  EXPECT_EQ("0 0 1 0.75", box_of(add_bezier, {0, 0}, {0, 1}, {1, 1}, {1, 0}));
  EXPECT_EQ("0 0 3 3", box_of(add_bezier, {0, 0}, {1, 1}, {2, 2}, {3, 3}));
}

}  // namespace korvane
