// What the benchmarks share: wall-clock seconds and medians of them, and
// an end for a reader that refuses its input.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "text/problem.h"

namespace korvane {

// Seconds since `start`, by the steady clock.
inline double seconds_since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start)
      .count();
}

// The middle value (the upper one of an even count); `values` must not be
// empty.
inline double median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// Ends the benchmark with the problem of an input it made.
[[noreturn]] inline void stop_on(const Problem& problem) {
  fprintf(stderr, "line %ld: %s\n", problem.line, problem.message.c_str());
  exit(1);
}

}  // namespace korvane
