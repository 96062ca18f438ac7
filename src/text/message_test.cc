#include "text/message.h"

#include <gtest/gtest.h>

namespace korvane {

TEST(ListedNumbers, NamesSomeAndCountsTheRest) {
  const std::vector<long> seven = {3, 4, 5, 6, 7, 8, 9};
  EXPECT_EQ("3, 4 and 5", listed_numbers({3, 4, 5}, 3, ListStyle::kAnd));
  EXPECT_EQ("3, 4 and 5 more", listed_numbers(seven, 2, ListStyle::kAnd));
  EXPECT_EQ("3, 4, ...", listed_numbers(seven, 2, ListStyle::kCommas));
}

}  // namespace korvane
