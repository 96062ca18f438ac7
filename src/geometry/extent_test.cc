#include "geometry/extent.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>

namespace korvane {

namespace {

// The box as "min_x min_y max_x max_y", each rounded to a millionth.
std::string box_text(const Extent& box) {
  std::string text;
  for (double v : {box.min_x, box.min_y, box.max_x, box.max_y}) {
    double r = std::round(v * 1e6) / 1e6;
    char number[32];
    snprintf(number, sizeof number, "%g", r == 0 ? 0.0 : r);
    if (!text.empty()) text += ' ';
    text += number;
  }
  return text;
}

}  // namespace

TEST(Turn, TurnsRightAnglesExactly) {
  const double cases[][3] = {{90, 1, 0},   {-90, -1, 0}, {180, 0, -1},
                             {270, -1, 0}, {450, 1, 0},  {-720, 0, 1}};
  for (const auto& c : cases) {
    SineCosine t = degrees_turn(c[0]);
    EXPECT_EQ(c[1], t.sine) << c[0];
    EXPECT_EQ(c[2], t.cosine) << c[0];
  }
}

TEST(Extent, HoldsEveryPointOfAnArc) {
  struct Case {
    const char* what;
    Extent box;
    const char* expected;
  };
  auto arc = [](Point c, Point s, double sweep) {
    Extent box;
    add_arc(box, c, s, sweep);
    return box;
  };
  auto through = [](Point s, Point m, Point e) {
    Extent box;
    add_arc_through(box, s, m, e);
    return box;
  };
  auto between = [](Point s, Point e, double sweep) {
    Extent box;
    add_arc_between(box, s, e, sweep);
    return box;
  };
  const Case cases[] = {
      {"quarter, no side met", arc({0, 0}, {1, 0}, 45),
       "0.707107 0 1 0.707107"},
      {"past +Y", arc({0, 0}, {1, 0}, 135), "-0.707107 0 1 1"},
      {"the other way", arc({0, 0}, {1, 0}, -135), "-0.707107 -1 1 0"},
      {"more than half", arc({0, 0}, {0, 1}, 270), "-1 -1 1 1"},
      {"whole", arc({5, 5}, {6, 5}, 360), "4 4 6 6"},
      {"through the top", through({-1, 0}, {0, 1}, {1, 0}), "-1 0 1 1"},
      {"through the bottom", through({-1, 0}, {0, -1}, {1, 0}), "-1 -1 1 0"},
      {"three points on a line", through({0, 0}, {1, 1}, {2, 2}), "0 0 2 2"},
      {"three points all but on a line", through({0, 0}, {1, 1e-300}, {2, 0}),
       "0 0 2 0"},
      {"half, to the left", between({1, 0}, {-1, 0}, 180), "-1 0 1 1"},
      {"half, to the right", between({1, 0}, {-1, 0}, -180), "-1 -1 1 0"},
      {"no curve", between({0, 0}, {3, 4}, 0), "0 0 3 4"},
      {"three quarters", between({1, 0}, {0, -1}, 270), "-1 -1 1 1"},
  };
  for (const Case& c : cases) EXPECT_EQ(c.expected, box_text(c.box)) << c.what;
}

TEST(Extent, HoldsEveryPointOfABezier) {
  Extent box;
  // Its control points pull it to y = 0.75 between its ends at y = 0.
  add_bezier(box, {0, 0}, {0, 1}, {1, 1}, {1, 0});
  EXPECT_EQ("0 0 1 0.75", box_text(box));
  Extent straight;
  add_bezier(straight, {0, 0}, {1, 1}, {2, 2}, {3, 3});
  EXPECT_EQ("0 0 3 3", box_text(straight));
}

}  // namespace korvane
