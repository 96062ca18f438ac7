#include "os/command_line.h"

#include <cstring>
#include <string>

namespace korvane {

namespace {

// The index of the option named `name` (name_length bytes), or -1.
int find_option(const char* name, size_t name_length, const Option* known,
                size_t count) {
  for (size_t i = 0; i < count; ++i)
    if (strlen(known[i].name) == name_length &&
        strncmp(known[i].name, name, name_length) == 0)
      return static_cast<int>(i);
  return -1;
}

int refuse(Problem& problem, const std::string& message) {
  problem = problem_at(0, message);
  return -1;
}

// The next argument that is an option, setting aside the operands before
// it and every argument after "--"; null when none is left.
const char* option_argument(CommandLine& line) {
  while (line.next < line.argc) {
    const char* arg = line.argv[line.next++];
    if (arg[0] == '-' && arg[1] != '\0' && strcmp(arg, "--") != 0) return arg;
    if (strcmp(arg, "--") != 0) {
      line.operands.push_back(arg);
      continue;
    }
    while (line.next < line.argc)
      line.operands.push_back(line.argv[line.next++]);
  }
  return nullptr;
}

}  // namespace

int next_option(CommandLine& line, const Option* known, size_t count,
                int& index, Problem& problem) {
  line.value = nullptr;
  index = kNoOption;
  const char* arg = option_argument(line);
  if (!arg) return 0;
  const char* equals = strchr(arg, '=');
  size_t name_length = equals ? static_cast<size_t>(equals - arg) : strlen(arg);
  std::string name(arg, name_length);
  int found = find_option(arg, name_length, known, count);
  if (found < 0) return refuse(problem, "unknown option " + name);
  if (known[found].takes_value && !equals && line.next < line.argc)
    line.value = line.argv[line.next++];
  else if (known[found].takes_value && !equals)
    return refuse(problem, name + " needs a value");
  else if (equals && !known[found].takes_value)
    return refuse(problem, name + " takes no value");
  else if (equals)
    line.value = equals + 1;
  index = found;
  return 0;
}

}  // namespace korvane
