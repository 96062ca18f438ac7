#include "input/column_map.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace korvane {

namespace {

std::string columns_text(const ColumnMap& c) {
  return std::to_string(c.x) + "," + std::to_string(c.y) + "," +
         std::to_string(c.a) + "," + std::to_string(c.row) + "," +
         std::to_string(c.code);
}

// The columns (x,y,a,row,code) loaded from a settings file of `bytes`.
std::string loaded(const std::string& bytes) {
  std::string path = write_file(scratch_path("lumbrex.ini"), bytes);
  Settings settings;
  EXPECT_EQ(ReadStatus::kRead, read_settings(path.c_str(), {}, settings));
  return columns_text(settings.columns);
}

}  // namespace

TEST(ReadSettings, ReadsTheColumnsAsKorvaneDoes) {
  // Keys are read up to the end marker.
  EXPECT_EQ("3,4,5,0,2", loaded("x = 3\ny = 4\na = 5\ncode = 2\nend\n"));
  EXPECT_EQ("3,4,5,0,2",
            loaded("x = 3\r\ny = 4\r\na = 5\r\ncode = 2\r\nend\r\n"));
  EXPECT_EQ("0,0,0,0,2", loaded("code=2\nEND\ncode=9\n"));
  EXPECT_EQ("0,0,0,0,9", loaded("code=2\nend \ncode=9\n"));
  EXPECT_EQ("0,0,0,7,0", loaded("row=7\nEnd"));
  // Keys are folded, and spaces removed.
  EXPECT_EQ("3,0,0,0,0", loaded("X=3\n"));
  EXPECT_EQ("12,0,0,0,0", loaded("x = 1 2\n"));
  EXPECT_EQ("0,0,0,0,6", loaded(" C o D e =6\n"));
  EXPECT_EQ("0,6,0,0,0", loaded("y=6 mm\n"));
  // A line splits at its first separator.
  EXPECT_EQ("5,0,0,0,0", loaded("x\t5\n"));
  EXPECT_EQ("0,0,0,0,0", loaded("x=4\nx\t=3\n"));
  EXPECT_EQ("3,0,0,0,0", loaded("x=3=4\n"));
  EXPECT_EQ("0,0,0,0,0", loaded("y=1\ny\n"));
  // Later lines override.
  EXPECT_EQ("2,0,0,0,0", loaded("x=1\n\nx=2"));
  EXPECT_EQ("0,0,0,0,0", loaded("x=1\nx=abc\n"));
  // Only lines starting with '#' are skipped.
  EXPECT_EQ("0,0,0,0,0", loaded("#x=1\n"));
  EXPECT_EQ("0,0,0,0,3", loaded("#end\ncode=3\n"));
  EXPECT_EQ("1,0,0,0,0", loaded(" #x=5\nx=1\n"));
  // Reading stops at Ctrl-Z.
  EXPECT_EQ("1,2,0,0,0", loaded("x=1\ny=2\x1a\nx=9\n"));
  EXPECT_EQ("1,0,0,0,0", loaded("x=1\n\x1ay=2\n"));
}

TEST(ReadSettings, KeepsDefaultsWithoutAFile) {
  Settings settings;
  EXPECT_EQ(ReadStatus::kNotOpened,
            read_settings(scratch_path("none.ini").c_str(), {}, settings));
  EXPECT_EQ("0,0,0,0,0", columns_text(settings.columns));
}

TEST(ReadSettings, SurvivesOverlongLines) {
  std::string key_line = "code=" + std::string(3000, '7') + "\n";
  EXPECT_EQ("0,0,0,0,2147483647", loaded(key_line));
  EXPECT_EQ("4,0,0,0,0", loaded(std::string(100000, 'q') + "\nx=4\n"));
  // Only the first 2047 bytes of a line count: here, all spaces.
  EXPECT_EQ("0,0,0,0,0", loaded(std::string(100000, ' ') + "x=4\n"));
}

}  // namespace korvane
