#include "korvane-import/size_rows.h"

#include <gtest/gtest.h>

#include <string>

#include "input/size_table.h"
#include "test_util.h"

namespace korvane {

using namespace std::string_literals;

// Rows go where korvane's reading of the table ends, with the table's line
// ends, every byte of it kept; korvane's own reader then finds them. The
// rows are "\tX" and "\tY\t3\t4".
TEST(SizeRows, InsertsWhereKorvaneStopsReading) {
  const std::string cases[][2] = {
      {"H\r\n1\tA\r\n\r\n2\tB\r\n",
       "H\r\n1\tA\r\n\tX\r\n\tY\t3\t4\r\n\r\n2\tB\r\n"},
      {"H\n1\tA", "H\n1\tA\n\tX\n\tY\t3\t4\n"},
      {"H", "H\n\tX\n\tY\t3\t4\n"},
      {"\n", "\n\tX\n\tY\t3\t4\n"},
      {"H\n\x1a\n\n", "H\n\tX\n\tY\t3\t4\n\x1a\n\n"},
      {"H\n1\tA\n\r\r", "H\n1\tA\n\tX\n\tY\t3\t4\n\r\r"},
      {"H\n\r\r\n2\tB\n", "H\n\tX\n\tY\t3\t4\n\r\r\n2\tB\n"},
      {"H\n\0B\n"s, "H\n\tX\n\tY\t3\t4\n\0B\n"s},
  };
  std::string path = scratch_path("size.txt");
  for (const auto& c : cases) {
    std::string text = with_rows(c[0], {"\tX", "\tY\t3\t4"});
    EXPECT_EQ(c[1], text) << c[0];
    write_file(path, text);
    SizeTable table;
    CodeMatch match;
    ASSERT_EQ(ReadStatus::kRead,
              read_size_table(path.c_str(), {"X", "Y"}, {}, table));
    EXPECT_NE(nullptr, find_size_row(table, "X", match)) << c[0];
    const SizeRow* y = find_size_row(table, "Y", match);
    EXPECT_TRUE(y && y->size.width == 4) << c[0];
  }
}

TEST(SizeRows, WritesSizesInTheUnitAsked) {
  KnownSize size{1.6, 0.825, "lib", "Resistor\tSMD.pretty F.Fab", "", 0};
  EXPECT_EQ("lib\tR1\t62.992126\t32.480315\tResistor SMD.pretty F.Fab",
            size_row("R1", size, Unit::kMil));
  EXPECT_EQ("lib\tR1\t1.6\t0.825\tResistor SMD.pretty F.Fab",
            size_row("R1", size, Unit::kNone));
  EXPECT_EQ("Source\tCode\tLength(in)\tWidth(in)\tNote",
            size_heading(Unit::kIn));
}

}  // namespace korvane
