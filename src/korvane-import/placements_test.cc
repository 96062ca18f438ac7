#include "korvane-import/placements.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

namespace korvane {

// The side read_placements writes for a row whose side field is `field`.
std::string side_read(const std::string& field) {
  std::string text = "Ref,Package,X,Y,Rot,Side\nR1,P,1,2,0," + field + "\n";
  ExportLayout layout;
  std::vector<ImportedPlacement> rows;
  std::vector<Problem> warnings;
  Problem problem;
  if (find_layout(text, ImportOptions(), layout, problem) != 0 ||
      read_placements(text, layout, rows, warnings, problem) != 0)
    return problem.message;
  return rows.at(0).side;
}

TEST(ReadPlacements, KnowsTheNamesExportsGiveEachSide) {
  for (const char* top : {"Top", "TopLayer", "Top Layer", "T", "F.Cu", "Front"})
    EXPECT_EQ("top", side_read(top)) << top;
  for (const char* bottom :
       {"BOTTOM", "BottomLayer", "B", "B.Cu", "Back", "bot"})
    EXPECT_EQ("bottom", side_read(bottom)) << bottom;
  for (const char* neither : {"", "Inner1", "In1.Cu", "TB"})
    EXPECT_EQ(neither, side_read(neither)) << neither;
}

TEST(MirrorPlacements, NegatesXAndTheAngleIntoOneTurn) {
  // x, angle, and the two mirrored.
  const double cases[][4] = {{12.5, 90, -12.5, 270}, {-3, -90, 3, 90},
                             {0, 0, 0, 0},           {-0.0, 360, 0, 0},
                             {1, 450, -1, 270},      {1, 1e-20, -1, 0},
                             {1, -725.5, -1, 5.5}};
  for (const auto& c : cases) {
    std::vector<ImportedPlacement> p(1);
    p[0].x = c[0], p[0].y = 7, p[0].angle = c[1];
    mirror_placements(p);
    EXPECT_EQ(c[2], p[0].x) << c[0];
    EXPECT_EQ(c[3], p[0].angle) << c[1];
    EXPECT_FALSE(std::signbit(p[0].angle) ||
                 (p[0].x == 0 && std::signbit(p[0].x)));
    EXPECT_EQ(7, p[0].y);
  }
}

}  // namespace korvane
