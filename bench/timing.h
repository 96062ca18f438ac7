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

// Prints the median of `times`, the seconds that reading and placing a
// board of `bytes` took, with `parts`, the count of what it placed.
inline void print_board_time(size_t bytes, const char* parts,
                             const std::vector<double>& times) {
  double t = median(times);
  printf("board: %.2f MB, %s: read and placed in %.1f ms (%.0f MB/s)\n",
         bytes / 1e6, parts, t * 1e3, bytes / 1e6 / t);
}

// Ends the benchmark with the problem of an input it made.
[[noreturn]] inline void stop_on(const Problem& problem) {
  fprintf(stderr, "line %ld: %s\n", problem.line, problem.message.c_str());
  exit(1);
}

}  // namespace korvane
