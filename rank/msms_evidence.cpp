#include "rank/msms_evidence.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "chemistry/ion_type.h"

namespace zelm {

FragmentExplainer::FragmentExplainer(std::vector<double> entryMasses, std::vector<int> valences, int charge,
                                     const std::vector<Peak>& peaks, double precursorMz,
                                     Tolerance tolerance)
    : mass_(std::move(entryMasses)), valence_(std::move(valences)) {
  electron_ = charge > 0 ? chem::kElectronMass : charge < 0 ? -chem::kElectronMass : 0;
  const double below = precursorMz - tolerance.HalfWidth(precursorMz);
  for (size_t i = 0; i < peaks.size(); ++i) {
    const Peak& p = peaks[i];
    if (!(p.intensity > 0) || !(p.mz > 0) || p.mz >= below) continue;
    const double half = tolerance.HalfWidth(p.mz);
    peaks_.push_back({p.mz - half, p.mz + half, p.mz, p.intensity, i});
    total_ += p.intensity;
    widest_ = std::max(widest_, half);
    highest_ = std::max(highest_, p.mz + half);
  }
  std::sort(peaks_.begin(), peaks_.end(), [](const Window& a, const Window& b) { return a.mz < b.mz; });
  middleHalf_ = tolerance.HalfWidth(precursorMz / 2);
}

MsmsEvidence FragmentExplainer::Explain(const long long* ionCounts, bool formulas) const {
  MsmsEvidence evidence;
  evidence.peaks = peaks_.size();
  if (peaks_.empty()) return evidence;
  // The entries the ion holds, heaviest first; the lightest is solved for at the end by division.
  std::vector<size_t> order;
  for (size_t e = 0; e < mass_.size(); ++e)
    if (ionCounts[e] > 0 && mass_[e] > 0) order.push_back(e);
  if (order.empty()) return evidence;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) { return mass_[a] > mass_[b]; });
  const size_t leaf = order.back();
  order.pop_back();
  const double leafMass = mass_[leaf];
  const long long leafMax = ionCounts[leaf];
  const int leafValence = valence_[leaf];

  std::vector<double> best(peaks_.size(), std::numeric_limits<double>::infinity());
  std::vector<std::vector<long long>> bestCounts(formulas ? peaks_.size() : 0);
  std::vector<long long> counts(mass_.size(), 0);
  double fragments = 0;  // the sub-formulas of the ion that could be fragments

  // Depth-first over the counts of `order`: the partial mass, the partial sum of (valence - 2) over the atoms, and
  // whether an atom of unknown valence is in.
  auto atLeaf = [&](double mass, long long valenceSum, bool unknown, bool empty) {
    long long lo = 0, hi = leafMax;
    // RDBE = 1 + (valenceSum + h * (v - 2)) / 2 >= -0.5.
    if (!unknown && leafValence > 0) {
      const long long per = leafValence - 2;
      if (per < 0) hi = std::min(hi, (valenceSum + 3) / (-per));
      else if (per > 0 && valenceSum < -3) lo = std::max(lo, (-3 - valenceSum + per - 1) / per);
      else if (per == 0 && valenceSum < -3) return;
      if (valenceSum + 3 < 0 && per < 0) return;
    }
    if (empty) lo = std::max<long long>(lo, 1);
    if (lo > hi) return;
    fragments += static_cast<double>(hi - lo + 1);
    const double base = mass - electron_;
    const double first = base + static_cast<double>(lo) * leafMass, last = base + static_cast<double>(hi) * leafMass;
    auto it = std::lower_bound(peaks_.begin(), peaks_.end(), first - widest_,
                               [](const Window& w, double v) { return w.mz < v; });
    for (; it != peaks_.end() && it->lo <= last; ++it) {
      long long h = std::llround((it->mz - base) / leafMass);
      h = std::clamp(h, lo, hi);
      const double x = base + static_cast<double>(h) * leafMass;
      if (x < it->lo || x > it->hi) continue;
      const size_t k = static_cast<size_t>(it - peaks_.begin());
      const double error = std::fabs(x - it->mz);
      if (error >= best[k]) continue;
      best[k] = error;
      if (formulas) {
        counts[leaf] = h;
        bestCounts[k] = counts;
        counts[leaf] = 0;
      }
    }
  };
  auto walk = [&](auto& self, size_t depth, double mass, long long valenceSum, bool unknown, bool empty) -> void {
    if (depth == order.size()) {
      atLeaf(mass, valenceSum, unknown, empty);
      return;
    }
    const size_t e = order[depth];
    const int v = valence_[e];
    for (long long c = 0; c <= ionCounts[e]; ++c) {
      const double m = mass + static_cast<double>(c) * mass_[e];
      if (m - electron_ > highest_) break;
      counts[e] = c;
      self(self, depth + 1, m, valenceSum + c * (v - 2), unknown || (c > 0 && v == 0), empty && c == 0);
    }
    counts[e] = 0;
  };
  walk(walk, 0, 0.0, 0, false, true);

  double explained = 0, most = 0;
  for (const Window& w : peaks_) most = std::max(most, w.intensity);
  // Each fragment covers a window of twice the tolerance (taken at the middle of the range) of the range up to the
  // precursor.
  evidence.chance = std::min(0.99, fragments * 2 * middleHalf_ / std::max(highest_, 1.0));
  for (size_t k = 0; k < peaks_.size(); ++k) {
    double credit = 0;
    if (std::isfinite(best[k])) {
      const double z = best[k] / ((peaks_[k].hi - peaks_[k].lo) / 6);
      credit = std::exp(-z * z / 2);
    }
    evidence.weights.push_back({peaks_[k].intensity / most, credit});
    if (!std::isfinite(best[k])) continue;
    ++evidence.explainedPeaks;
    explained += peaks_[k].intensity;
    if (formulas) {
      PeakExplanation x;
      x.peak = peaks_[k].index;
      x.counts = std::move(bestCounts[k]);
      double m = -electron_;
      for (size_t e = 0; e < mass_.size(); ++e) m += static_cast<double>(x.counts[e]) * mass_[e];
      x.mzTheoretical = m;
      evidence.explanations.push_back(std::move(x));
    }
  }
  evidence.explainedIntensity = total_ > 0 ? explained / total_ : 0;
  return evidence;
}

double MsmsScore(const MsmsEvidence& msms) {
  if (msms.peaks == 0) return 0;
  // A peak of the true formula is explained nine times in ten, a peak at random with the candidate's chance.
  const double r = std::clamp(msms.chance, 0.01, 0.99);
  const double yes = std::log(0.9 / r), no = std::log(0.1 / (1 - r));
  double sum = 0, weights = 0;
  for (const auto& [w, credit] : msms.weights) {
    const double weight = 0.5 + 0.5 * w;
    sum += weight * (credit * yes + (1 - credit) * no);
    weights += weight;
  }
  return weights > 0 ? sum / weights : 0;
}

}  // namespace zelm
