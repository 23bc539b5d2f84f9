#include "rank/adduct_evidence.h"

#include <algorithm>
#include <cmath>

#include "spectra/evidence.h"

namespace zelm {

namespace {

bool Usable(const Peak& p) { return std::isfinite(p.mz) && std::isfinite(p.intensity) && p.intensity > 0; }

}  // namespace

AdductFamily::AdductFamily(const Spectrum& survey, double mz, const std::vector<chem::IonType>& family,
                           const chem::ElementTable& table, const Tolerance& tolerance)
    : mz_(mz), tolerance_(tolerance) {
  const double noise = NoiseLevel(survey), own = tolerance.HalfWidth(mz);
  for (const Peak& p : survey.peaks) {
    if (!Usable(p)) continue;
    if (std::fabs(p.mz - mz) <= own) ownIntensity_ = std::max(ownIntensity_, p.intensity);
    if (p.intensity > noise) peaks_.push_back(p);
  }
  std::sort(peaks_.begin(), peaks_.end(), [](const Peak& a, const Peak& b) { return a.mz < b.mz; });
  for (const chem::IonType& ion : family) {
    if (const auto rule = ion.MassRule(table)) {
      ions_.push_back(ion);
      rules_.push_back(*rule);
    }
  }
}

double AdductFamily::MostIntenseNear(double mz) const {
  const double width = tolerance_.HalfWidth(mz), own = tolerance_.HalfWidth(mz_);
  auto it = std::lower_bound(peaks_.begin(), peaks_.end(), mz - width,
                             [](const Peak& p, double at) { return p.mz < at; });
  double best = 0;
  for (; it != peaks_.end() && it->mz <= mz + width; ++it)
    if (std::fabs(it->mz - mz_) > own) best = std::max(best, it->intensity);
  return best;
}

size_t AdductFamily::Member(const chem::IonType& ion) const {
  for (size_t i = 0; i < ions_.size(); ++i)
    if (ions_[i] == ion) return i;
  return kNone;
}

AdductEvidence AdductFamily::Of(double neutralMass, size_t searched) const {
  AdductEvidence e;
  double sum = 0;
  for (size_t i = 0; i < rules_.size(); ++i) {
    if (i == searched) continue;
    const double intensity = MostIntenseNear(rules_[i].MzOf(neutralMass));
    if (intensity <= 0) continue;
    ++e.seen;
    sum += intensity;
    if (intensity > ownIntensity_) e.ownMostIntense = false;
  }
  e.relativeIntensity = ownIntensity_ > 0 ? sum / ownIntensity_ : 0;
  return e;
}

}  // namespace zelm
