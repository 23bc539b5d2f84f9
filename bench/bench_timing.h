// What the benchmarks time with: processor seconds of the calling thread, and the best of repeated batches.
#pragma once

#include <algorithm>
#include <ctime>
#include <functional>

namespace zelm {

inline double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

// Seconds per run of `run`: the best of `batches` batches of at least 0.1 s each.
inline double Best(const std::function<void()>& run, int batches = 3) {
  double best = 1e300;
  for (int b = 0; b < batches; ++b) {
    int runs = 0;
    const double start = CpuSeconds();
    double elapsed = 0;
    do {
      run();
      ++runs;
      elapsed = CpuSeconds() - start;
    } while (elapsed < 0.1);
    best = std::min(best, elapsed / runs);
  }
  return best;
}

}  // namespace zelm
