#include "os/command_line.h"

#include <gtest/gtest.h>

#include <iterator>
#include <string>
#include <vector>

namespace korvane {

// Each option read, "name=value" or its name, then the operands; or the
// problem.
std::string options_read(std::vector<const char*> args) {
  constexpr Option kKnown[] = {{"--list", false}, {"--svg", true}};
  args.insert(args.begin(), "program");
  CommandLine line{static_cast<int>(args.size()), args.data()};
  std::string read;
  Problem problem;
  for (int found;;) {
    if (next_option(line, kKnown, std::size(kKnown), found, problem) != 0)
      return problem.message;
    if (found == kNoOption) break;
    (read += kKnown[found].name) += line.value ? "=" : " ";
    if (line.value) (read += line.value) += " ";
  }
  for (const char* operand : line.operands) (read += operand) += " ";
  return read;
}

TEST(NextOption, TakesOptionsAndOperandsInAnyOrder) {
  EXPECT_EQ("--list --svg=p a b ",
            options_read({"a", "--list", "b", "--svg", "p"}));
  EXPECT_EQ("--svg=x=y --svg= - ", options_read({"--svg=x=y", "--svg=", "-"}));
  EXPECT_EQ("--list --list -x ",
            options_read({"--list", "--", "--list", "-x"}));
  EXPECT_EQ("unknown option --lst", options_read({"--lst", "a"}));
  EXPECT_EQ("--svg needs a value", options_read({"a", "--svg"}));
  EXPECT_EQ("--list takes no value", options_read({"--list=1"}));
}

}  // namespace korvane
