#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <iterator>
#include <utility>
#include <vector>

#include "spectra/evidence.h"

namespace zelm {

namespace {

// Survey spectra with hundreds of peaks are mostly noise, so their median peak is a typical noise peak; half as much
// again leaves out most of the noise crowd. Short lists are peaks someone picked: their median is signal, and the
// cap at a small share of the base peak keeps nearly all of them.
constexpr double kNoiseOverMedian = 1.5;
constexpr double kNoiseCapOfBase = 0.003;

// Isotope peaks of organic ions lie about 1.00336 u apart (13C less 12C), divided by the charge.
constexpr double kNeutron = 1.00336;
constexpr int kMaxPositions = 10;
// How far below k neutrons an isotope peak of position k may lie, at charge 1: 15N at M+1 (-6.3 mDa); from M+2 on,
// each pair of neutrons as low as 34S (-10.9 mDa), which also keeps 37Cl (-9.7) and 81Br (-8.8), so Cl2 and Br2
// keep their M+4. Above: 2H (+2.9 mDa) at every position.
double DeficitBelow(int k) { return k == 1 ? 0.0063 : (k / 2) * 0.0109; }
constexpr double kExcessAbove = 0.0029;

bool Measured(const Peak& p) { return std::isfinite(p.mz) && std::isfinite(p.intensity) && p.intensity > 0; }

std::vector<Peak> MeasuredByMz(const std::vector<Peak>& peaks) {
  std::vector<Peak> kept;
  std::copy_if(peaks.begin(), peaks.end(), std::back_inserter(kept), Measured);
  std::sort(kept.begin(), kept.end(), [](const Peak& a, const Peak& b) { return a.mz < b.mz; });
  return kept;
}

using PeakIt = std::vector<Peak>::const_iterator;

// The peaks with lo <= m/z <= hi among the sorted peaks from `from` on.
std::pair<PeakIt, PeakIt> Between(PeakIt from, PeakIt end, double lo, double hi) {
  const PeakIt first = std::lower_bound(from, end, lo, [](const Peak& p, double m) { return p.mz < m; });
  const PeakIt last = std::upper_bound(first, end, hi, [](double m, const Peak& p) { return m < p.mz; });
  return {first, last};
}

}  // namespace

double NoiseLevel(const Spectrum& spectrum) {
  std::vector<double> intensities;
  for (const Peak& p : spectrum.peaks)
    if (Measured(p)) intensities.push_back(p.intensity);
  if (intensities.empty()) return 0;
  const double base = *std::max_element(intensities.begin(), intensities.end());
  const auto middle = intensities.begin() + static_cast<std::ptrdiff_t>(intensities.size() / 2);
  std::nth_element(intensities.begin(), middle, intensities.end());
  double median = *middle;
  if (intensities.size() % 2 == 0) median = (median + *std::max_element(intensities.begin(), middle)) / 2;
  return std::min(kNoiseOverMedian * median, kNoiseCapOfBase * base);
}

std::vector<Peak> CutIsotopeEnvelope(const Spectrum& ms1, double mz, int charge, const Tolerance& tolerance) {
  const std::vector<Peak> peaks = MeasuredByMz(ms1.peaks);
  const double halfWidth = tolerance.HalfWidth(mz);
  auto [from, end] = Between(peaks.begin(), peaks.end(), mz - halfWidth, mz + halfWidth);
  if (from == end) return {};
  const Peak mono =
      *std::max_element(from, end, [](const Peak& a, const Peak& b) { return a.intensity < b.intensity; });

  const double noise = NoiseLevel(ms1);
  const double z = charge == 0 ? 1.0 : std::abs(charge);
  std::vector<Peak> envelope{mono};
  // The positions are counted from the monoisotopic peak as measured: its isotopes share its calibration error.
  for (int k = 1; k <= kMaxPositions; ++k) {
    const double centre = mono.mz + k * kNeutron / z;
    const double widen = kIsotopeReach * tolerance.HalfWidth(centre);
    // From where the last window ended, so that no peak is taken twice when a wide tolerance makes windows meet.
    const auto [first, last] =
        Between(end, peaks.end(), centre - DeficitBelow(k) / z - widen, centre + kExcessAbove / z + widen);
    const size_t before = envelope.size();
    std::copy_if(first, last, std::back_inserter(envelope), [noise](const Peak& p) { return p.intensity > noise; });
    if (envelope.size() == before) break;
    end = last;
  }
  return envelope;
}

}  // namespace zelm
