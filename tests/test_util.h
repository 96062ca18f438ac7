// Small helpers shared by the unit tests: scratch files and captured output.
#pragma once

#include <functional>
#include <string>
#include <string_view>

#include "text/problem.h"
#include "text/text_output.h"

namespace korvane {

// A fresh path in the test scratch folder, unique to this process.
std::string scratch_path(const std::string& name);

// Writes `bytes` to the file at `path`, and returns `path`.
std::string write_file(const std::string& path, const std::string& bytes);
std::string read_file(const std::string& path);

// Runs `write` against a TextOutput on a scratch file and returns the bytes
// that reached the file.
std::string captured(const std::function<void(TextOutput&)>& write);

// A number with four decimals, as a drawing holds it: "-1.2500".
std::string fixed(double value);

// A problem as "line: message".
std::string line_and_message(const Problem& problem);

// What `read` says of `text`: "read", or its problem as "line: message".
template <typename Record>
std::string problem_of(int (*read)(std::string_view, Record&, Problem&),
                       std::string_view text) {
  Record record;
  Problem problem;
  return read(text, record, problem) == 0 ? "read" : line_and_message(problem);
}

}  // namespace korvane
