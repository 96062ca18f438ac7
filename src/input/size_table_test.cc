#include "input/size_table.h"

#include <gtest/gtest.h>

#include <string>

#include "test_util.h"

namespace korvane {

namespace {

// The size the table `bytes` gives `code`, as "length x width", or "none".
std::string size_of(const std::string& bytes, const std::string& code) {
  std::string path = write_file(scratch_path("size.txt"), bytes);
  SizeTable table;
  EXPECT_EQ(ReadStatus::kRead,
            read_size_table(path.c_str(), {code}, {}, table));
  CodeMatch match;
  const SizeRow* row = find_size_row(table, code, match);
  if (!row) return "none";
  return std::to_string(row->size.length) + " x " +
         std::to_string(row->size.width);
}

const std::string kLong = "R_Axial_DIN0207_L6.3mm_D2.5mm_P10.16mm";

}  // namespace

TEST(SizeTable, TakesTheRowKorvaneTakes) {
  struct {
    std::string table, code, size;
  } cases[] = {
      {"h\n1\tR12\t10\t4\n2\tR15\t20\t8\n", "r15", "20.000000 x 8.000000"},
      {"h\n1\tR12\t10\t4\n2\tR12\t1\t1\n", "R12", "10.000000 x 4.000000"},
      {"h\n1\tR12\t10\t4\n\n2\tR15\t20\t8\n", "R15", "none"},
      {"h\r\n1\tR12 \t10\t4\r\n", "R12", "none"},
      {"R12\t1\t1\n", "R12", "none"},
      {"h\n1\tR12\t10\t4\x1a\n2\tR15\t20\t8\n", "R15", "none"},
      // A long code: a whole match anywhere wins over its cut.
      {"h\n1\t" + kLong.substr(0, 31) + "\t1\t1\n2\t" + kLong + "\t2\t2\n",
       kLong, "2.000000 x 2.000000"},
      {"h\n1\t" + kLong.substr(0, 31) + "\t1\t1\n", kLong,
       "1.000000 x 1.000000"},
  };
  for (const auto& c : cases)
    EXPECT_EQ(c.size, size_of(c.table, c.code)) << c.table;
}

TEST(SizeTable, ReadsPastTheEmptyLineOnlyWhenAsked) {
  std::string path = scratch_path("size.txt");
  write_file(path, "h\n1\tR12\t10\t4\n\n2\tR15\t20\t8\n3\tX\t1\t1\n");
  SizeTable table;
  ASSERT_EQ(ReadStatus::kRead,
            read_size_table(path.c_str(), {"R15"}, {true, true}, table));
  EXPECT_EQ(3, table.empty_line);
  EXPECT_EQ(2, table.hidden_rows);
  ASSERT_EQ(1u, table.rows.size());
  EXPECT_EQ(true, table.rows[0].hidden);
  EXPECT_EQ(std::vector<std::string>{"R12"}, table.codes);
  ASSERT_EQ(ReadStatus::kRead,
            read_size_table(path.c_str(), {"R15"}, {}, table));
  EXPECT_EQ(0u, table.rows.size());
  EXPECT_EQ(0, table.hidden_rows);
}

TEST(DrawnSizes, CarryTheLastSizeFoundOverToCodesTheTableLacks) {
  std::string sizes = scratch_path("size.txt"), xy = scratch_path("b.txt");
  write_file(sizes, "h\n1\tR12\t10\t4\n2\tC1\t2\t1\n");
  write_file(xy, "h\nXX\nR12\nYY\nc1\nZZ\nZZ\n");
  PlacementList list;
  read_placement_list(xy.c_str(), {}, ListReading::kDrawn, list);
  SizeTable table;
  read_size_table(sizes.c_str(), {"XX", "R12", "YY", "c1", "ZZ"}, {}, table);
  std::vector<long> drawn;  // each size's row, line carried from, length
  for (const DrawnSize& d : drawn_sizes(list, table))
    drawn.insert(drawn.end(), {d.row ? d.row->line : 0, d.carried_from,
                               static_cast<long>(d.size.length)});
  EXPECT_EQ((std::vector<long>{0, 0, 0, 2, 0, 10, 2, 3, 10, 3, 0, 2, 3, 5, 2, 3,
                               5, 2}),
            drawn);
}

}  // namespace korvane
