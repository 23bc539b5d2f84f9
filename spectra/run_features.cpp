// Scans of a run grouped into features: see mzml_input.h for the rules.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <map>
#include <utility>

#include "spectra/mzml_input.h"

namespace zelm {

namespace {

// A scan's polarity: +1, -1, or 0 when neither its mode nor its charge tells.
int PolarityOf(const Spectrum& scan) {
  if (scan.mode != IonMode::Unknown) return scan.mode == IonMode::Positive ? 1 : -1;
  return scan.charge > 0 ? 1 : scan.charge < 0 ? -1 : 0;
}

bool HasPrecursor(const Spectrum& scan) { return std::isfinite(scan.precursorMz) && scan.precursorMz > 0; }

std::optional<double> TimeOf(const Spectrum& scan) {
  if (scan.retentionTime && std::isfinite(*scan.retentionTime)) return scan.retentionTime;
  return std::nullopt;
}

// The last survey scan seen so far for a feature of no polarity, a positive one and a negative one: its index + 1,
// 0 for none.
struct LastSurvey {
  size_t any = 0, notNegative = 0, notPositive = 0;
  void Saw(const Spectrum& scan, size_t index) {
    const int polarity = PolarityOf(scan);
    any = index + 1;
    if (polarity >= 0) notNegative = index + 1;
    if (polarity <= 0) notPositive = index + 1;
  }
  size_t For(int polarity) const { return polarity > 0 ? notNegative : polarity < 0 ? notPositive : any; }
};

struct Group {
  std::vector<size_t> scans;  // indices into the run, in run order; the first is the anchor
  int polarity = 0;
  LastSurvey survey;          // as it was before the first scan
};

class Grouper {
 public:
  Grouper(const std::vector<Spectrum>& scans, const ReadOptions& options) : scans_(scans), options_(options) {}

  void Add(size_t index, const LastSurvey& survey) {
    const Spectrum& scan = scans_[index];
    size_t best = kNone;
    double bestDistance = 0;
    const auto [low, high] = AnchorRange(scan.precursorMz);
    for (auto it = anchors_.lower_bound(low); it != anchors_.end() && !(it->first > high); ++it) {
      const double distance = std::abs(it->first - scan.precursorMz);
      if (!Agrees(groups_[it->second], scan)) continue;
      if (best == kNone || distance < bestDistance || (distance == bestDistance && it->second < best)) {
        best = it->second;
        bestDistance = distance;
      }
    }
    if (best == kNone) {
      best = groups_.size();
      groups_.push_back(Group{{}, 0, survey});
      anchors_.emplace(scan.precursorMz, best);
    }
    Group& group = groups_[best];
    group.scans.push_back(index);
    if (group.polarity == 0) group.polarity = PolarityOf(scan);
  }

  const std::vector<Group>& Groups() const { return groups_; }

 private:
  static constexpr size_t kNone = std::numeric_limits<size_t>::max();

  bool Agrees(const Group& group, const Spectrum& scan) const {
    const Spectrum& anchor = scans_[group.scans.front()];
    if (!(std::abs(scan.precursorMz - anchor.precursorMz) <= options_.tolerance.HalfWidth(anchor.precursorMz))) {
      return false;
    }
    const auto t = TimeOf(scan), t0 = TimeOf(anchor);
    if (t.has_value() != t0.has_value()) return false;
    if (t && !(std::abs(*t - *t0) <= options_.rtWindow)) return false;
    const int polarity = PolarityOf(scan);
    return polarity == 0 || group.polarity == 0 || polarity == group.polarity;
  }

  // Every anchor m/z a whose tolerance can reach mz (|mz - a| <= HalfWidth(a)) lies in the range, a little widened
  // against rounding; Agrees decides. A tolerance of a million ppm or more reaches every anchor above mz.
  std::pair<double, double> AnchorRange(double mz) const {
    const Tolerance& tol = options_.tolerance;
    const double ppm = tol.ppm > 0 ? tol.ppm / 1000000 : 0;
    const double mda = tol.mda > 0 ? tol.mda / 1000 : 0;
    if (!std::isfinite(ppm) || !std::isfinite(mda) || ppm >= 1) {
      return {-std::numeric_limits<double>::infinity(), std::numeric_limits<double>::infinity()};
    }
    const double low = std::min(mz / (1 + ppm), mz - mda), high = std::max(mz / (1 - ppm), mz + mda);
    const double slack = 1e-9 * mz;
    return {low - slack, high + slack};
  }

  const std::vector<Spectrum>& scans_;
  const ReadOptions& options_;
  std::vector<Group> groups_;
  std::multimap<double, size_t> anchors_;  // each group's first precursor m/z
};

// The `scan=N` term of a native id ("controllerType=0 controllerNumber=1 scan=42"), else the id, else the index.
std::string FeatureId(const Spectrum& scan, size_t index) {
  const std::string& id = scan.id;
  for (size_t at = id.find("scan="); at != std::string::npos; at = id.find("scan=", at + 1)) {
    if (at == 0 || id[at - 1] == ' ') return id.substr(at, id.find(' ', at) - at);
  }
  return id.empty() ? "index=" + std::to_string(index) : id;
}

Feature FeatureOf(const Group& group, const std::vector<Spectrum>& scans, const std::string& file) {
  const Spectrum& first = scans[group.scans.front()];
  Feature feature;
  feature.id = FeatureId(first, group.scans.front());
  feature.mz = first.precursorMz;
  feature.mode = group.polarity > 0 ? IonMode::Positive : group.polarity < 0 ? IonMode::Negative : IonMode::Unknown;
  feature.file = file;
  for (size_t index : group.scans) {
    const Spectrum& scan = scans[index];
    if (feature.charge == 0 && scan.charge != 0) {
      feature.charge = group.polarity < 0 ? -std::abs(scan.charge) : std::abs(scan.charge);
    }
    feature.ms2.push_back(scan);
  }
  if (const size_t survey = group.survey.For(group.polarity)) feature.ms1.push_back(scans[survey - 1]);
  return feature;
}

}  // namespace

FeatureList FeaturesOfScans(const std::vector<Spectrum>& scans, const std::string& file, const ReadOptions& options) {
  Grouper grouper(scans, options);
  LastSurvey survey;
  size_t withoutPrecursor = 0, firstWithout = 0;
  for (size_t i = 0; i < scans.size(); ++i) {
    if (scans[i].msLevel == 1) {
      survey.Saw(scans[i], i);
    } else if (scans[i].msLevel == 2 && HasPrecursor(scans[i])) {
      grouper.Add(i, survey);
    } else if (scans[i].msLevel == 2 && withoutPrecursor++ == 0) {
      firstWithout = i;
    }
  }
  FeatureList list;
  for (const Group& group : grouper.Groups()) list.features.push_back(FeatureOf(group, scans, file));
  if (withoutPrecursor > 0) {
    list.problems.push_back({file, 0,
                             std::to_string(withoutPrecursor) + " MS2 scan" + (withoutPrecursor > 1 ? "s" : "") +
                                 " without a precursor m/z left out (the first: " +
                                 FeatureId(scans[firstWithout], firstWithout) + ")"});
  }
  return list;
}

}  // namespace zelm
