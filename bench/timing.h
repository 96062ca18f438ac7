// What the benchmarks share: wall-clock seconds and medians of them.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

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

}  // namespace korvane
