#include "dxf/outline.h"

#include <gtest/gtest.h>

#include <cfloat>
#include <string>
#include <vector>

#include "test_util.h"

namespace korvane {

namespace {

// The endpoints of the outline's four lines, as written, one line a row:
// "x1 y1 x2 y2".
std::vector<std::string> outline(double x, double y, double length,
                                 double width, double angle,
                                 double offset_x = 0, double offset_y = 0,
                                 double frame = 0) {
  std::string text = captured([&](TextOutput& out) {
    write_part_outline(out, "center", x, y, length, width, angle, offset_x,
                       offset_y, frame);
  });
  std::vector<std::string> rows;
  size_t at = 0;
  while ((at = text.find(" 10\r\n", at)) != std::string::npos) {
    std::string row;
    for (int i = 0; i < 4; ++i) {
      size_t value = text.find("\r\n", at) + 2;
      size_t end = text.find("\r\n", value);
      if (i) row += ' ';
      row.append(text, value + 3, end - value - 3);
      at = end + 2;
    }
    rows.push_back(row);
  }
  return rows;
}

using Rows = std::vector<std::string>;

}  // namespace

TEST(WritePartOutline, DrawsTheClosedRectangle) {
  EXPECT_EQ((Rows{"95.0000 48.0000 95.0000 52.0000",
                  "95.0000 52.0000 105.0000 52.0000",
                  "105.0000 52.0000 105.0000 48.0000",
                  "105.0000 48.0000 95.0000 48.0000"}),
            outline(100, 50, 10, 4, 0));
}

TEST(WritePartOutline, TurnsAboutThePlacementPoint) {
  EXPECT_EQ((Rows{"102.0000 45.0000 98.0000 45.0000",
                  "98.0000 45.0000 98.0000 55.0000",
                  "98.0000 55.0000 102.0000 55.0000",
                  "102.0000 55.0000 102.0000 45.0000"}),
            outline(100, 50, 10, 4, 90));
  EXPECT_EQ((Rows{"96.6699 45.7679 94.6699 49.2321",
                  "94.6699 49.2321 103.3301 54.2321",
                  "103.3301 54.2321 105.3301 50.7679",
                  "105.3301 50.7679 96.6699 45.7679"}),
            outline(100, 50, 10, 4, 30));
  EXPECT_EQ((Rows{"94.6699 50.7679 96.6699 54.2321",
                  "96.6699 54.2321 105.3301 49.2321",
                  "105.3301 49.2321 103.3301 45.7679",
                  "103.3301 45.7679 94.6699 50.7679"}),
            outline(100, 50, 10, 4, -30));
}

TEST(WritePartOutline, KeepsTheShortPisResidues) {
  EXPECT_EQ(
      (Rows{"-0.0000 -10.0000 -4.0000 -10.0000",
            "-4.0000 -10.0000 -4.0000 0.0000", "-4.0000 0.0000 0.0000 -0.0000",
            "0.0000 -0.0000 -0.0000 -10.0000"}),
      outline(-2, -5, 10, 4, 90));
}

TEST(WritePartOutline, DrawsAZeroSizeAsFourPoints) {
  Rows point(4, "7.5000 -1.2500 7.5000 -1.2500");
  EXPECT_EQ(point, outline(7.5, -1.25, 0, 0, 0));
  EXPECT_EQ(point, outline(7.5, -1.25, 0, 0, 33));
}

TEST(WritePartOutline, SwingsAnOffsetPartAboutThePlacementPoint) {
  // Offset (10, 0) turned by a frame of 90 degrees lands above the point.
  EXPECT_EQ(
      (Rows{"2.0000 5.0000 -2.0000 5.0000", "-2.0000 5.0000 -2.0000 15.0000",
            "-2.0000 15.0000 2.0000 15.0000", "2.0000 15.0000 2.0000 5.0000"}),
      outline(0, 0, 10, 4, 0, 10, 0, 90));
}

TEST(WritePartOutline, NeverWritesInfinityOrNan) {
  for (const std::string& row : outline(DBL_MAX, -DBL_MAX, DBL_MAX, DBL_MAX,
                                        DBL_MAX, DBL_MAX, DBL_MAX, 45)) {
    EXPECT_EQ(std::string::npos, row.find_first_of("ianIAN")) << row;
  }
}

TEST(PartCorners, TurnsWithTheShortPi) {
  PartCorners c = part_corners(0, 0, 2, 0, 180, 0, 0, 0);
  EXPECT_EQ(1.0, c.x[0]);
  EXPECT_NEAR(-3.5897932e-9, c.y[0], 1e-15);
}

}  // namespace korvane
