#include <algorithm>
#include <cmath>
#include <numeric>
#include <vector>

#include "spectra/evidence.h"

namespace zelm {

namespace {

// Every spectrum's peaks with a finite m/z and a finite intensity above 0, scaled so that its base peak is 1.
std::vector<Peak> ScaledPool(const std::vector<Spectrum>& spectra) {
  std::vector<Peak> pool;
  for (const Spectrum& s : spectra) {
    const size_t start = pool.size();
    double base = 0;
    for (const Peak& p : s.peaks) {
      if (!std::isfinite(p.mz) || !std::isfinite(p.intensity) || !(p.intensity > 0)) continue;
      pool.push_back(p);
      base = std::max(base, p.intensity);
    }
    for (size_t i = start; i < pool.size(); ++i) pool[i].intensity /= base;
  }
  return pool;
}

}  // namespace

std::vector<Peak> MergeSpectra(const std::vector<Spectrum>& spectra, const Tolerance& tolerance) {
  if (spectra.empty()) return {};
  if (spectra.size() == 1) return spectra.front().peaks;

  std::vector<Peak> pool = ScaledPool(spectra);
  std::sort(pool.begin(), pool.end(), [](const Peak& a, const Peak& b) { return a.mz < b.mz; });
  std::vector<size_t> order(pool.size());
  std::iota(order.begin(), order.end(), size_t{0});
  std::stable_sort(order.begin(), order.end(),
                   [&pool](size_t a, size_t b) { return pool[a].intensity > pool[b].intensity; });

  // The most intense peak not yet joined gathers every peak not yet joined within the tolerance of it, so a chain of
  // close peaks is cut where its strongest peaks' reaches end. Gathering peaks lie more than a tolerance apart, so
  // each peak is looked at by a few of them at most.
  std::vector<bool> joined(pool.size(), false);
  std::vector<Peak> merged;
  for (const size_t seed : order) {
    if (joined[seed]) continue;
    const double centre = pool[seed].mz, halfWidth = tolerance.HalfWidth(centre);
    double sum = 0, weighted = 0;
    const auto join = [&](size_t i) {
      if (joined[i]) return;
      joined[i] = true;
      sum += pool[i].intensity;
      weighted += pool[i].mz * pool[i].intensity;
    };
    for (size_t i = seed; i > 0 && centre - pool[i - 1].mz <= halfWidth; --i) join(i - 1);
    for (size_t i = seed; i < pool.size() && pool[i].mz - centre <= halfWidth; ++i) join(i);
    merged.push_back({weighted / sum, sum});
  }
  std::sort(merged.begin(), merged.end(), [](const Peak& a, const Peak& b) { return a.mz < b.mz; });
  return merged;
}

}  // namespace zelm
