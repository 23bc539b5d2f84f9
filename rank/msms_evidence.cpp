#include "rank/msms_evidence.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

#include "chemistry/ion_type.h"

namespace zelm {

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();

// The elements the common losses are made of, by monoisotopic mass: an entry is taken for one when its mass agrees.
constexpr std::array<double, 10> kElementMass = {12.0,         1.00782503223, 14.00307400443, 15.99491461957,
                                                 30.97376199842, 31.9720711744, 18.99840316273, 34.968852682,
                                                 78.9183376,   126.9044719};
enum : size_t { C, H, N, O, P, S, F, Cl, Br, I };
using LossFormula = std::array<int, kElementMass.size()>;

// The common neutral losses (the header lists them), per element of kElementMass.
const std::vector<LossFormula>& LossFormulas() {
  static const std::vector<LossFormula> losses = [] {
    auto f = [](std::initializer_list<std::pair<size_t, int>> atoms) {
      LossFormula x{};
      for (const auto& [e, n] : atoms) x[e] = n;
      return x;
    };
    return std::vector<LossFormula>{
        f({{H, 2}, {O, 1}}),         f({{C, 1}, {O, 1}}),         f({{C, 1}, {O, 2}}),
        f({{N, 1}, {H, 3}}),         f({{H, 1}, {Cl, 1}}),        f({{H, 1}, {F, 1}}),
        f({{H, 1}, {Br, 1}}),        f({{H, 1}, {I, 1}}),         f({{C, 1}, {H, 2}, {O, 2}}),
        f({{C, 2}, {H, 4}}),         f({{C, 1}, {H, 4}, {O, 1}}), f({{S, 1}, {O, 3}}),
        f({{S, 1}, {O, 2}}),         f({{H, 2}, {S, 1}}),         f({{H, 1}, {P, 1}, {O, 3}}),
        f({{H, 3}, {P, 1}, {O, 4}}), f({{C, 1}, {H, 2}, {O, 1}}), f({{C, 2}, {H, 2}, {O, 1}}),
        f({{C, 2}, {H, 4}, {O, 2}}), f({{H, 1}, {C, 1}, {N, 1}}), f({{C, 1}, {H, 4}}),
        f({{C, 1}, {H, 3}})};
  }();
  return losses;
}

// The weighted median of (value, weight) pairs; the mean of the two middle values when the weights split evenly.
double WeightedMedian(std::vector<std::pair<double, double>>& v) {
  std::sort(v.begin(), v.end());
  double total = 0;
  for (const auto& p : v) total += p.second;
  double below = 0;
  for (size_t i = 0; i < v.size(); ++i) {
    below += v[i].second;
    if (below > total / 2 * (1 + 1e-12)) return v[i].first;
    if (below >= total / 2 * (1 - 1e-12)) return i + 1 < v.size() ? (v[i].first + v[i + 1].first) / 2 : v[i].first;
  }
  return v.empty() ? 0 : v.back().first;
}

}  // namespace

// What one call of Explain works in: kept per thread and grown, never shrunk, so that a call allocates nothing but
// its result.
struct FragmentExplainer::Scratch {
  std::vector<size_t> order;      // the entries the ion holds but the leaf, heaviest first
  std::vector<double> rest;       // per depth of order: the most mass the entries from there on (leaf too) add
  std::vector<long long> counts;  // the fragment being formed
  size_t leaf = 0;                // the lightest entry the ion holds, solved for last
  double fragments = 0;           // the sub-formulas of the ion that could be fragments
  // Per peak: the error of the closest fragment, and of the closest even-electron (0) and odd-electron (1) ones with
  // their counts (peaks x entries).
  std::vector<double> closest;
  std::array<std::vector<double>, 2> error;
  std::array<std::vector<long long>, 2> found;
  // The explained peaks: the peak, its chosen kind, the fragment's m/z.
  struct Chosen {
    size_t peak;
    int kind;
    double mz;
    long long valenceSum;  // of the fragment's atoms, sum of (valence - 2)
    bool judged;           // every entry of the fragment has a known valence
  };
  std::vector<Chosen> chosen;
  std::vector<std::pair<double, double>> ppm;
};

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

  // The common losses the entries can form, and the sums of two of them.
  std::array<double, kElementMass.size()> element{};
  for (size_t k = 0; k < kElementMass.size(); ++k)
    for (double m : mass_)
      if (std::fabs(m - kElementMass[k]) < 1e-4) element[k] = m;
  std::vector<double> single;
  for (const LossFormula& loss : LossFormulas()) {
    double m = 0;
    for (size_t k = 0; k < loss.size() && m >= 0; ++k)
      m = loss[k] == 0 ? m : element[k] > 0 ? m + loss[k] * element[k] : -1;
    if (m > 0) single.push_back(m);
  }
  for (size_t a = 0; a < single.size(); ++a) {
    losses_.push_back(single[a]);
    for (size_t b = a; b < single.size(); ++b) losses_.push_back(single[a] + single[b]);
  }
  std::sort(losses_.begin(), losses_.end());
}

// The leaf's counts [lo, hi] that keep a fragment's RDBE at -0.5 or more, given the rest of it; false when none.
bool FragmentExplainer::LeafRange(const Scratch& s, long long most, long long valenceSum, bool unknown, bool empty, long long& lo,
                                  long long& hi) const {
  const int leafValence = valence_[s.leaf];
  lo = empty ? 1 : 0;
  hi = most;
  // RDBE = 1 + (valenceSum + h * (v - 2)) / 2 >= -0.5, that is valenceSum + h * (v - 2) >= -3.
  if (!unknown && leafValence > 0) {
    const long long per = leafValence - 2;
    if (per < 0) {
      if (valenceSum + 3 < 0) return false;
      hi = std::min(hi, per == -1 ? valenceSum + 3 : (valenceSum + 3) / (-per));
    } else if (valenceSum < -3) {
      if (per == 0) return false;
      lo = std::max(lo, (-3 - valenceSum + per - 1) / per);
    }
  }
  return lo <= hi;
}

// A fragment (s.counts with the leaf's count h) at `x` within peak k's window: the closest of its kind so far?
void FragmentExplainer::Offer(Scratch& s, size_t k, double x, long long h, long long valenceSum, bool unknown) const {
  const double error = std::fabs(x - peaks_[k].mz);
  s.closest[k] = std::min(s.closest[k], error);
  // Even-electron: the ion formula's RDBE ends in .5, so its valence sum is odd.
  const int leafValence = valence_[s.leaf];
  const int kind = !unknown && leafValence > 0 && ((valenceSum + h * (leafValence - 2)) % 2 == 0) ? 1 : 0;
  if (error >= s.error[kind][k]) return;
  s.error[kind][k] = error;
  long long* to = s.found[kind].data() + k * mass_.size();
  std::copy(s.counts.begin(), s.counts.end(), to);
  to[s.leaf] = h;
}

// At a prefix of the fragment (every entry of order set): the leaf's counts that keep the RDBE at -0.5 or more are
// fragments, counted; with match, each peak their range reaches gets the count closest to it. `from` is a window at
// or before the first the range can reach (kept from the last prefix: it only moves forward).
void FragmentExplainer::AtLeaf(Scratch& s, const long long* ionCounts, double mass, long long valenceSum,
                               bool unknown, bool empty, bool match, size_t& from) const {
  long long lo = 0, hi = 0;
  if (!LeafRange(s, ionCounts[s.leaf], valenceSum, unknown, empty, lo, hi)) return;
  s.fragments += static_cast<double>(hi - lo + 1);
  if (!match) return;
  const double leafMass = mass_[s.leaf], perLeaf = 1 / leafMass;
  const double base = mass - electron_;
  const double first = base + static_cast<double>(lo) * leafMass, last = base + static_cast<double>(hi) * leafMass;
  if (from > 0 && peaks_[from - 1].hi >= first) from = 0;  // the range moved back: start over
  while (from < peaks_.size() && peaks_[from].hi < first) ++from;
  for (size_t k = from; k < peaks_.size() && peaks_[k].lo <= last; ++k) {
    const Window& w = peaks_[k];
    // Rounded to the nearest count; below 0 it is clamped to lo anyway.
    const long long h = std::clamp(static_cast<long long>((w.mz - base) * perLeaf + 0.5), lo, hi);
    const double x = base + static_cast<double>(h) * leafMass;
    if (x >= w.lo && x <= w.hi) Offer(s, k, x, h, valenceSum, unknown);
  }
}

// Depth-first over the counts of order: the partial mass, the partial sum of (valence - 2) over the atoms, whether
// an atom of unknown valence is in, and whether any peak lies in reach of the fragments below (else they are only
// counted).
void FragmentExplainer::Walk(Scratch& s, const long long* ionCounts, size_t depth, double mass, long long valenceSum,
                             bool unknown, bool empty, bool match) const {
  size_t from = 0;
  if (depth == s.order.size()) {
    AtLeaf(s, ionCounts, mass, valenceSum, unknown, empty, match, from);
    return;
  }
  const size_t e = s.order[depth];
  const int v = valence_[e];
  const bool last = depth + 1 == s.order.size();
  const double reach = s.rest[depth + 1];
  for (long long c = 0; c <= ionCounts[e]; ++c) {
    const double m = mass + static_cast<double>(c) * mass_[e];
    if (m - electron_ > highest_) break;
    s.counts[e] = c;
    const long long sum = valenceSum + c * (v - 2);
    const bool unknownNow = unknown || (c > 0 && v == 0), emptyNow = empty && c == 0;
    if (last) {
      AtLeaf(s, ionCounts, m, sum, unknownNow, emptyNow, match, from);
      continue;
    }
    // The first window that reaches the lightest fragment below; the masses only grow with c.
    while (match && from < peaks_.size() && peaks_[from].hi < m - electron_) ++from;
    const bool near = match && from < peaks_.size() && peaks_[from].lo <= m - electron_ + reach;
    Walk(s, ionCounts, depth + 1, m, sum, unknownNow, emptyNow, near);
  }
  s.counts[e] = 0;
}

MsmsEvidence FragmentExplainer::Explain(const long long* ionCounts, bool formulas) const {
  MsmsEvidence evidence;
  evidence.peaks = peaks_.size();
  if (peaks_.empty()) return evidence;
  thread_local Scratch s;
  const size_t n = mass_.size();
  // The entries the ion holds, heaviest first; the lightest is solved for at the end by division.
  s.order.clear();
  for (size_t e = 0; e < n; ++e)
    if (ionCounts[e] > 0 && mass_[e] > 0) s.order.push_back(e);
  if (s.order.empty()) return evidence;
  std::sort(s.order.begin(), s.order.end(), [&](size_t a, size_t b) { return mass_[a] > mass_[b]; });
  s.leaf = s.order.back();
  s.order.pop_back();
  s.rest.assign(s.order.size() + 1, static_cast<double>(ionCounts[s.leaf]) * mass_[s.leaf]);
  for (size_t d = s.order.size(); d-- > 0;)
    s.rest[d] = s.rest[d + 1] + static_cast<double>(ionCounts[s.order[d]]) * mass_[s.order[d]];
  s.counts.assign(n, 0);
  s.fragments = 0;
  s.closest.assign(peaks_.size(), kInf);
  for (int kind = 0; kind < 2; ++kind) {
    s.error[kind].assign(peaks_.size(), kInf);
    if (s.found[kind].size() < peaks_.size() * n) s.found[kind].resize(peaks_.size() * n);
  }
  Walk(s, ionCounts, 0, 0.0, 0, false, true, true);

  double most = 0;
  for (const Window& w : peaks_) most = std::max(most, w.intensity);
  // Each fragment covers a window of twice the tolerance (taken at the middle of the range) of the range up to the
  // precursor.
  evidence.chance = std::min(0.99, s.fragments * 2 * middleHalf_ / std::max(highest_, 1.0));
  evidence.weights.reserve(peaks_.size());
  s.chosen.clear();
  double explained = 0;
  for (size_t k = 0; k < peaks_.size(); ++k) {
    double credit = 0;
    if (std::isfinite(s.closest[k])) {
      const double z = s.closest[k] / ((peaks_[k].hi - peaks_[k].lo) / 6);
      credit = std::exp(-z * z / 2);
    }
    evidence.weights.push_back({peaks_[k].intensity / most, credit});
    if (!std::isfinite(s.closest[k])) continue;
    const int kind = std::isfinite(s.error[0][k]) ? 0 : 1;
    const long long* counts = s.found[kind].data() + k * n;
    double m = -electron_;
    long long valenceSum = 0;
    bool judged = true;
    for (size_t e = 0; e < n; ++e) {
      m += static_cast<double>(counts[e]) * mass_[e];
      valenceSum += counts[e] * (valence_[e] - 2);
      judged = judged && (counts[e] == 0 || valence_[e] > 0);
    }
    s.chosen.push_back({k, kind, m, valenceSum, judged});
    explained += peaks_[k].intensity;
  }
  evidence.explainedPeaks = s.chosen.size();
  evidence.explainedIntensity = total_ > 0 ? explained / total_ : 0;
  if (formulas) {
    evidence.explanations.reserve(s.chosen.size());
    for (const Scratch::Chosen& c : s.chosen) {
      const long long* counts = s.found[c.kind].data() + c.peak * n;
      evidence.explanations.push_back({peaks_[c.peak].index, std::vector<long long>(counts, counts + n), c.mz});
    }
  }
  if (!s.chosen.empty()) Describe(s, ionCounts, evidence);
  return evidence;
}

// The numbers that describe the chosen fragments (s.chosen, by m/z).
void FragmentExplainer::Describe(Scratch& s, const long long* ionCounts, MsmsEvidence& evidence) const {
  const size_t n = mass_.size();
  auto countsOf = [&](const Scratch::Chosen& c) { return s.found[c.kind].data() + c.peak * n; };
  auto within = [&](const long long* lighter, const long long* heavier) {
    for (size_t e = 0; e < n; ++e)
      if (lighter[e] > heavier[e]) return false;
    return true;
  };
  auto isCommon = [&](double loss) {
    auto it = std::lower_bound(losses_.begin(), losses_.end(), loss - 1e-6);
    return it != losses_.end() && *it <= loss + 1e-6;
  };
  // A neutral loss is plausible when it is closed-shell with an RDBE of 0 or more (its valence sum even and at least
  // -2), judged when every entry's valence is known, or when it is a common one.
  auto plausibleLoss = [&](const Scratch::Chosen& lighter, const Scratch::Chosen& heavier) {
    if (!lighter.judged || !heavier.judged) return true;
    const long long sum = heavier.valenceSum - lighter.valenceSum;
    return (sum % 2 == 0 && sum >= -2) || isCommon(heavier.mz - lighter.mz);
  };
  double ionMz = -electron_;
  for (size_t e = 0; e < n; ++e) ionMz += static_cast<double>(ionCounts[e]) * mass_[e];

  double weight = 0, errorShare = 0, plausible = 0, common = 0;
  size_t consistent = 0;
  s.ppm.clear();
  for (size_t i = 0; i < s.chosen.size(); ++i) {
    const Scratch::Chosen& c = s.chosen[i];
    const Window& w = peaks_[c.peak];
    weight += w.intensity;
    errorShare += w.intensity * std::fabs(w.mz - c.mz) / ((w.hi - w.lo) / 2);
    plausible += w.intensity * (c.kind == 0 ? 1.0 : 0.5);
    s.ppm.push_back({(w.mz - c.mz) / c.mz * 1e6, w.intensity});
    bool lossFound = isCommon(ionMz - c.mz), fits = false;
    const long long* lighter = countsOf(c);
    for (size_t j = i + 1; j < s.chosen.size() && !(lossFound && fits); ++j) {
      const Scratch::Chosen& h = s.chosen[j];
      if (h.mz <= c.mz || !within(lighter, countsOf(h))) continue;
      fits = fits || plausibleLoss(c, h);
      lossFound = lossFound || isCommon(h.mz - c.mz);
    }
    common += lossFound ? w.intensity : 0;
    consistent += fits;
  }
  const double explained = static_cast<double>(s.chosen.size());
  evidence.explainedPeakShare = explained / static_cast<double>(peaks_.size());
  evidence.meanErrorShare = errorShare / weight;
  evidence.plausibleFragments = plausible / weight;
  evidence.commonLosses = common / weight;
  evidence.consistentLosses = static_cast<double>(consistent) / explained;
  evidence.systematicPpm = s.chosen.size() >= 2 ? WeightedMedian(s.ppm) : 0;
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
