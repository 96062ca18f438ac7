#include "os/command_line.h"

#include <cstring>

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

int refuse(CommandLine& line, const std::string& message) {
  line.message = message;
  return -2;
}

}  // namespace

int next_option(CommandLine& line, const Option* known, size_t count) {
  line.value = nullptr;
  const char* arg = nullptr;
  while (line.next < line.argc) {
    arg = line.argv[line.next++];
    if (strcmp(arg, "--") == 0) {
      while (line.next < line.argc)
        line.operands.push_back(line.argv[line.next++]);
      return -1;
    }
    if (arg[0] == '-' && arg[1] != '\0') break;
    line.operands.push_back(arg);
    arg = nullptr;
  }
  if (!arg) return -1;
  const char* equals = strchr(arg, '=');
  size_t name_length = equals ? static_cast<size_t>(equals - arg) : strlen(arg);
  int found = find_option(arg, name_length, known, count);
  std::string name(arg, name_length);
  if (found < 0) return refuse(line, "unknown option " + name);
  if (!known[found].takes_value) {
    if (equals) return refuse(line, name + " takes no value");
    return found;
  }
  if (equals) {
    line.value = equals + 1;
  } else if (line.next < line.argc) {
    line.value = line.argv[line.next++];
  } else {
    return refuse(line, name + " needs a value");
  }
  return found;
}

}  // namespace korvane
