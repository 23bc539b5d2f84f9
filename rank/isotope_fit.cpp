#include "rank/isotope_fit.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace zelm {

namespace {

// Groups of linked peaks: a union-find over the theoretical peaks (0 .. t-1) and the measured ones (t .. t+m-1).
struct Groups {
  std::vector<size_t> parent;
  explicit Groups(size_t n) : parent(n) { std::iota(parent.begin(), parent.end(), size_t{0}); }
  size_t Root(size_t i) {
    while (parent[i] != i) i = parent[i] = parent[parent[i]];
    return i;
  }
  void Join(size_t a, size_t b) { parent[Root(a)] = Root(b); }
};

}  // namespace

double IsotopeScore(const std::vector<chem::PatternPeak>& theoretical, const std::vector<Peak>& measuredPeaks,
                    double mzTolerance, const IsotopeFitOptions& options) {
  std::vector<Peak> measured;
  for (const Peak& p : measuredPeaks)
    if (p.intensity > 0) measured.push_back(p);
  std::vector<chem::PatternPeak> expected;
  for (const chem::PatternPeak& p : theoretical)
    if (p.abundance > 0) expected.push_back(p);
  if (measured.empty() || expected.empty()) return 0;

  const size_t t = expected.size(), n = t + measured.size();
  Groups groups(n);
  for (size_t i = 0; i < t; ++i)
    for (size_t j = 0; j < measured.size(); ++j)
      if (std::abs(expected[i].mz - measured[j].mz) <= mzTolerance) groups.Join(i, t + j);

  // Each group's theoretical and measured sums.
  std::vector<double> theory(n, 0), seen(n, 0);
  for (size_t i = 0; i < t; ++i) theory[groups.Root(i)] += expected[i].abundance;
  for (size_t j = 0; j < measured.size(); ++j) seen[groups.Root(t + j)] += measured[j].intensity;
  double theoryTop = 0, seenTop = 0;
  for (size_t g = 0; g < n; ++g) {
    theoryTop = std::max(theoryTop, theory[g]);
    seenTop = std::max(seenTop, seen[g]);
  }
  double faintest = 100, cross = 0, square = 0;
  for (size_t g = 0; g < n; ++g) {
    theory[g] *= 100 / theoryTop;
    seen[g] *= 100 / seenTop;
    if (seen[g] > 0) faintest = std::min(faintest, seen[g]);
    if (seen[g] > 0 && theory[g] > 0) {
      cross += seen[g] * theory[g];
      square += theory[g] * theory[g];
    }
  }
  if (!(square > 0)) return 0;  // no measured peak lies where the pattern has one
  const double scale = cross / square;

  double sum = 0;
  int compared = 0;
  for (size_t g = 0; g < n; ++g) {
    const double a = seen[g], b = scale * theory[g];
    if (a == 0 && b == 0) continue;      // not a group's root
    if (a == 0 && b < faintest) continue;  // too faint to have been seen
    const double d = std::abs(a - b) / (options.relativeError * std::max(a, b) + options.absoluteError);
    sum += d * d;
    ++compared;
  }
  return std::exp(-sum / (2.0 * compared));
}

namespace {

// Positions 0, 1 and 2 above mono: each one's summed intensity and intensity-weighted m/z.
struct Positions {
  double sum[3] = {0, 0, 0};
  double mz[3] = {0, 0, 0};
  double Relative(int k) const { return sum[0] > 0 ? sum[k] / sum[0] : 0; }
  // How far position k lies above position 0, in u; nullopt when either holds nothing.
  std::optional<double> Offset(int k) const {
    if (!(sum[0] > 0 && sum[k] > 0)) return std::nullopt;
    return mz[k] / sum[k] - mz[0] / sum[0];
  }
};

template <class P, class Intensity>
Positions Gather(const std::vector<P>& peaks, double mono, double spacing, double tolerance, Intensity intensity) {
  Positions at;
  for (const P& p : peaks) {
    const double k = (p.mz - mono) / spacing;
    const long long position = std::llround(k);
    // Wide enough for the M+2 of Cl, Br and S, about 10 mDa below two neutrons.
    if (position < 0 || position > 2 || std::fabs(p.mz - mono - static_cast<double>(position) * spacing) >
                                            0.006 * static_cast<double>(position) + tolerance)
      continue;
    at.sum[position] += intensity(p);
    at.mz[position] += intensity(p) * p.mz;
  }
  return at;
}

}  // namespace

std::optional<IsotopeFit> CandidateIsotopeFit(const chem::Composition& ion, int charge, const chem::ElementTable& table,
                                              double resolution, const std::vector<Peak>& measured,
                                              double mzTolerance, const IsotopeFitOptions& options) {
  if (measured.empty()) return std::nullopt;
  const std::vector<chem::PatternPeak> pattern = chem::IsotopePattern(ion, charge, table, resolution);
  if (pattern.empty()) return std::nullopt;
  IsotopeFit fit;
  fit.score = IsotopeScore(pattern, measured, mzTolerance, options);
  const double spacing = 1.00336 / std::max(1, std::abs(charge)), mono = pattern.front().mz;
  const Positions theory =
      Gather(pattern, mono, spacing, mzTolerance, [](const chem::PatternPeak& p) { return p.abundance; });
  const Positions seen = Gather(measured, mono, spacing, mzTolerance, [](const Peak& p) { return p.intensity; });
  fit.m1 = std::log((seen.Relative(1) + 0.005) / (theory.Relative(1) + 0.005));
  fit.m2 = std::log((seen.Relative(2) + 0.005) / (theory.Relative(2) + 0.005));
  const double z = std::max(1, std::abs(charge));
  auto shift = [&](int k) {
    const auto measuredOffset = seen.Offset(k), patternOffset = theory.Offset(k);
    return measuredOffset && patternOffset ? (*measuredOffset - *patternOffset) * z * 1000 : 0.0;
  };
  fit.shift1 = shift(1);
  fit.shift2 = shift(2);
  return fit;
}

}  // namespace zelm
