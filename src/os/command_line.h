// Reading a command line the way getopt_long does: options and operands in
// any order, "--" ending the options.
#pragma once

#include <cstddef>
#include <vector>

#include "text/problem.h"

namespace korvane {

// An option a program takes, as "--name" (or "-n"), and whether a value
// follows it, as the next argument or after "=".
struct Option {
  const char* name;
  bool takes_value;
};

// Where the reading of a command line stands.
struct CommandLine {
  int argc = 0;
  const char* const* argv = nullptr;
  int next = 1;                            // the next argument to look at
  const char* value = nullptr;             // the value of the option just read
  std::vector<const char*> operands = {};  // the arguments that are no options
};

// The index next_option gives when no option is left.
constexpr int kNoOption = -1;

// Reads the next option, setting aside the operands before it; every
// argument after "--" is an operand. Sets `index` to the option's index in
// `known`, or to kNoOption when none is left (`operands` then holds them
// all). Returns -1 with `problem` for an unknown option, a missing value,
// or a value given to an option that takes none.
int next_option(CommandLine& line, const Option* known, size_t count,
                int& index, Problem& problem);

}  // namespace korvane
