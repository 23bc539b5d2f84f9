// A mass tolerance as users give it: parts per million of the m/z, millidaltons, or both (the wider counts).
#pragma once

#include <algorithm>

namespace zelm {

struct Tolerance {
  double ppm = 0;  // 0: not given
  double mda = 0;  // 0: not given
  // The half-width of the window around an m/z: the wider of the two that are given.
  double HalfWidth(double mz) const {
    // The same arithmetic as the window's search: the mass times the tolerance in parts per million.
    const double byPpm = ppm > 0 ? mz * (ppm / 1000000) : 0;
    const double byMda = mda > 0 ? mda / 1000 : 0;
    return std::max(byPpm, byMda);
  }
};

}  // namespace zelm
