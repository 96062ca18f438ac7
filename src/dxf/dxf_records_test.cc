#include "dxf/dxf_records.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace korvane {

namespace {

std::string line_text(double x1, double y1, double x2, double y2) {
  return captured(
      [&](TextOutput& out) { write_line(out, "center", x1, y1, x2, y2); });
}

// The value line of one coordinate as write_line writes it.
std::string coordinate(double value) {
  std::string text = line_text(value, 0, 0, 0);
  size_t start = text.find(" 10\r\n") + 5;
  return text.substr(start, text.find("\r\n", start) - start);
}

}  // namespace

TEST(WriteLayer, WritesTenLinesWithAnyName) {
  // Ten lines.
  EXPECT_EQ(
      "  0\r\nLAYER\r\n  2\r\ncenter\r\n 70\r\n    64\r\n 62\r\n     7\r\n"
      "  6\r\nCONTINUOUS\r\n",
      captured([](TextOutput& out) { write_layer(out, "center"); }));
  // Any name, as it is passed.
  std::string name(5000, 'n');
  name += "%s\t\xff";
  std::string text =
      captured([&](TextOutput& out) { write_layer(out, name.c_str()); });
  EXPECT_NE(std::string::npos, text.find("\r\n" + name + "\r\n"));
}

TEST(WriteLine, WritesSixteenLines) {
  EXPECT_EQ(
      "  0\r\nLINE\r\n  8\r\ncenter\r\n  6\r\nCONTINUOUS\r\n 62\r\n    1\r\n"
      " 10\r\n   95.0000\r\n 20\r\n   48.0000\r\n 11\r\n   95.0000\r\n"
      " 21\r\n   52.0000\r\n",
      line_text(95, 48, 95, 52));
  EXPECT_NE(std::string::npos, captured([](TextOutput& out) {
                                 write_line(out, "%", 1, 2, 3, 4);
                               }).find("  8\r\n%\r\n  6\r\n"));
}

TEST(WriteLine, FormatsCoordinatesWithFourDecimals) {
  EXPECT_EQ("   12.5000", coordinate(12.5));
  EXPECT_EQ("   -3.0000", coordinate(-3));
  EXPECT_EQ("   0.0000", coordinate(0));
  EXPECT_EQ("   1234567.5000", coordinate(1234567.5));
  EXPECT_EQ("   0.0312", coordinate(0.03125));
  EXPECT_EQ("   0.0938", coordinate(0.09375));
  EXPECT_EQ("   0.0001", coordinate(0.00005000000000000001));
  EXPECT_EQ("   1.0000", coordinate(0.99995));  // 0.99995 lies just above
  EXPECT_EQ("   -0.0000", coordinate(-0.00000001));
  EXPECT_EQ("   -0.0000", coordinate(-0.0));
  EXPECT_EQ("   0.0000", coordinate(0.00000001));
  EXPECT_EQ("   123456789012345677877719597056.0000",
            coordinate(1.2345678901234568e29));
}

}  // namespace korvane
