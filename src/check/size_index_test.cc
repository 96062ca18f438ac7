#include "check/size_index.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "input/part_size.h"
#include "test_util.h"

namespace {

const char* const kCodes[] = {
    "R12", "r12", " R12", "R12 ", "C0603-10N", "c0603-10n", "", "LQFP-64", "Q"};
const char kOdd[] = {'\r', '\r', '\0', '\t', '\n'};

// A table of random rows with stray CRs, NULs, empty lines, long rows and
// a Ctrl-Z here and there, about `bytes` long.
std::string random_table(unsigned seed, size_t bytes) {
  std::mt19937 rng(seed);
  auto pick = [&rng](size_t n) { return static_cast<size_t>(rng() % n); };
  std::string table = "no\tcode\tlength\twidth\r\n";
  while (table.size() < bytes) {
    std::string row = std::to_string(pick(1000)) + "\t" + kCodes[pick(9)] +
                      "\t" + std::to_string(pick(50)) + "\t" +
                      std::to_string(pick(50));
    if (pick(40) == 0) row.insert(pick(row.size() + 1), 1, kOdd[pick(5)]);
    if (pick(200) == 0) row.insert(0, std::string(pick(2000), 'x'));
    if (pick(300) == 0) row.clear();
    table += row + (pick(2) ? "\r\n" : "\n");
  }
  if (seed % 4 == 3) table.insert(pick(table.size()), 1, '\x1a');
  return table;
}

}  // namespace

// The one pass must give each code the size korvane's own lookup gives.
TEST(IndexSizes, AgreesWithKorvanesLookup) {
  std::string path = scratch_path("size.txt");
  std::vector<std::string> codes(std::begin(kCodes), std::end(kCodes));
  codes.push_back(std::string(40, 'q'));
  std::vector<std::string> keys;
  for (const std::string& code : codes) {
    keys.push_back(loose_key(code));
    keys.push_back(loose_key(code.substr(0, kCodeCutLength)));
  }
  for (unsigned seed = 0; seed < 60; ++seed) {
    write_file(path, random_table(seed, seed % 3 ? 2000 : 200000));
    SizeIndex index = index_sizes(path.c_str(), keys);
    for (const std::string& code : codes) {
      PartSize want{-1, -1};
      lookup_part_size_by(path.c_str(), code.c_str(), want,
                          SizeScan::kRowByRow);
      bool by_cut;
      const SizeRow* row = korvane_row(index, code, by_cut);
      PartSize got = row ? row->size : PartSize{-1, -1};
      EXPECT_EQ(want.length, got.length) << seed << " '" << code << "'";
      EXPECT_EQ(want.width, got.width) << seed << " '" << code << "'";
    }
  }
}

TEST(IndexSizes, CountsTheRowsBelowTheEmptyLine) {
  std::string path = scratch_path("size.txt");
  write_file(path, "h\n1\tA\t1\t1\n\r\n2\tB\t1\t1\n\n3\tR12\t2\t3");
  SizeIndex index = index_sizes(path.c_str(), {"R12"});
  EXPECT_EQ(3, index.empty_line);
  EXPECT_EQ(2, index.hidden_rows);
  ASSERT_EQ(1u, index.rows.size());
  EXPECT_EQ(6, index.rows[0].line);
  EXPECT_TRUE(index.rows[0].hidden);
}
