#include "korvane-import/options.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvane {

// The file names and the X column's number parse_options reads, or its
// message.
std::string parsed(std::vector<const char*> args) {
  args.insert(args.begin(), "korvane-import");
  ImportOptions o;
  Problem problem;
  if (parse_options(static_cast<int>(args.size()), args.data(), o, problem))
    return problem.message;
  return o.export_path + " " + o.xy_path + " " +
         std::to_string(o.column[Role::kX].number);
}

// A column by name is import_e2e's case.
TEST(ParseOptions, ReadsAColumnByNumberOrNameAndRefusesTheRest) {
  const std::string numbers =
      "--x takes a column name, or a number from 1 to 1000000";
  EXPECT_EQ("a b 1000000", parsed({"--x=+1000000", "a", "b"}));
  EXPECT_EQ("a b 4", parsed({"a", "--x", "00004", "b"}));
  EXPECT_EQ("the xy file's name is empty", parsed({"a", ""}));
  for (const char* bad : {"1000001", "99999999999", "-1", "0", ""})
    EXPECT_EQ(numbers, parsed({"--x", bad, "a", "b"})) << bad;
  EXPECT_EQ("--units takes mm, mil or in", parsed({"--units=MM", "a", "b"}));
  EXPECT_EQ("--side takes top or bottom", parsed({"--side=up", "a", "b"}));
  EXPECT_EQ("give the export file and the xy file to write", parsed({"a"}));
}

}  // namespace korvane
