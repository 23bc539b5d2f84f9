#include "spectra/peak_precision.h"

#include <algorithm>
#include <cmath>

namespace zelm {

namespace {

// The fewest decimals (at most 6) that write x: x times 10^d a whole number, within what a double keeps of it.
int DecimalsOf(double x) {
  double scaled = std::fabs(x);
  for (int d = 0; d < 6; ++d, scaled *= 10)
    if (std::fabs(scaled - std::round(scaled)) <= 1e-9 * std::max(1.0, scaled)) return d;
  return 6;
}

}  // namespace

int WrittenDecimals(const Feature& feature) {
  int most = -1;
  for (const auto* spectra : {&feature.ms1, &feature.ms2})
    for (const Spectrum& s : *spectra)
      for (const Peak& p : s.peaks) most = std::max(most, DecimalsOf(p.mz));
  return most;
}

}  // namespace zelm
