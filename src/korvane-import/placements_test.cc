#include "korvane-import/placements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace korvane {

TEST(SideOf, KnowsTheNamesExportsGiveEachSide) {
  for (const char* top : {"Top", "TopLayer", "Top Layer", "T", "F.Cu", "Front"})
    EXPECT_EQ(Side::kTop, side_of(top)) << top;
  for (const char* bottom :
       {"BOTTOM", "BottomLayer", "B", "B.Cu", "Back", "bot"})
    EXPECT_EQ(Side::kBottom, side_of(bottom)) << bottom;
  for (const char* neither : {"", "Inner1", "In1.Cu", "TB"})
    EXPECT_EQ(Side::kAny, side_of(neither)) << neither;
}

TEST(MirrorPlacements, NegatesXAndTheAngleIntoOneTurn) {
  const struct {
    double x, angle, mirrored_x, mirrored_angle;
  } cases[] = {{12.5, 90, -12.5, 270}, {-3, -90, 3, 90},  {0, 0, 0, 0},
               {-0.0, 360, 0, 0},      {1, 450, -1, 270}, {1, 1e-20, -1, 0},
               {1, -725.5, -1, 5.5}};
  for (const auto& c : cases) {
    std::vector<ImportedPlacement> p(1);
    p[0].x = c.x;
    p[0].y = 7;
    p[0].angle = c.angle;
    mirror_placements(p);
    EXPECT_EQ(c.mirrored_x, p[0].x) << c.x;
    EXPECT_EQ(c.mirrored_angle, p[0].angle) << c.angle;
    EXPECT_FALSE(std::signbit(p[0].angle) ||
                 (p[0].x == 0 && std::signbit(p[0].x)));
    EXPECT_EQ(7, p[0].y);
  }
}

}  // namespace korvane
