// Why a run stops, or what it warns of: a place in a file and words that
// say what is wrong and what to do.
#pragma once

#include <string>
#include <utility>

namespace korvane {

struct Problem {
  long line = 0;  // 1-based; 0 when no line is to blame
  std::string message;
  std::string file;  // empty: the file the caller is reading
};

inline Problem problem_at(long line, std::string message,
                          std::string file = {}) {
  Problem problem;
  problem.line = line;
  problem.message = std::move(message);
  problem.file = std::move(file);
  return problem;
}

}  // namespace korvane
