#include "korvane-import/placements.h"

#include <gtest/gtest.h>

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

}  // namespace korvane
