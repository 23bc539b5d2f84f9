// What the survey spectrum says about a candidate's ion type. Electrospray makes several ions of one molecule at once
// ([M+H]+ beside [M+Na]+ and [M+K]+, [M-H]- beside [M+Cl]- and [M+FA-H]-), so the other ions of a candidate's
// molecule showing in the survey spectrum speak for its neutral mass and so for its ion type. Each ion hypothesis of
// one peak has its own neutral mass M and so its own positions of the other ions: the peak taken for [M+H]+ looks for
// [M+Na]+ 21.98 above it, the same peak taken for [M+Na]+ looks for [M+H]+ 21.98 below it.
#pragma once

#include <cstddef>
#include <vector>

#include "chemistry/element_table.h"
#include "chemistry/ion_type.h"
#include "spectra/spectrum.h"
#include "spectra/tolerance.h"

namespace zelm {

struct AdductEvidence {
  int seen = 0;                  // other ions of the family with a peak above the survey spectrum's noise
  double relativeIntensity = 0;  // their summed intensity over the candidate's own peak's (0 when it has none)
  bool ownMostIntense = true;    // no other ion's peak is more intense than the candidate's own peak
};

// One feature's survey spectrum prepared for asking about many candidates: made once per feature (n log n in the
// spectrum's peaks), asked in log n time per candidate and family member.
class AdductFamily {
 public:
  // survey: the feature's survey spectrum; mz: the feature's m/z, the candidate ion's own peak (the most intense peak
  // within the tolerance of mz, whatever its intensity); family: the ion types to look for (the common ions of the
  // feature's polarity); tolerance: of the survey spectrum's m/z. Peaks whose m/z or intensity is not finite or
  // whose intensity is not above 0 are passed over.
  AdductFamily(const Spectrum& survey, double mz, const std::vector<chem::IonType>& family,
               const chem::ElementTable& table, const Tolerance& tolerance);

  static constexpr size_t kNone = static_cast<size_t>(-1);

  // The family's other ions of the neutral mass M: for each ion type of the family (of the table's elements) other
  // than the one the candidate is searched as, the most intense peak above the noise (NoiseLevel) within the
  // tolerance of its m/z; a peak within the tolerance of the feature's m/z is the candidate's own and never counted
  // as another ion. ownMostIntense holds when the candidate has no peak of its own only if no other ion is seen
  // either. The candidate's ion type is given as its index among the family's ion types (Member: once per ion type,
  // outside the loop over candidates), or kNone.
  AdductEvidence Of(double neutralMass, size_t searched) const;
  // The same, the candidate's ion type given as it is (slower: ion types are compared by their compositions).
  AdductEvidence Of(double neutralMass, const chem::IonType& searchedAs) const {
    return Of(neutralMass, Member(searchedAs));
  }
  // The index of an ion type among the family's (those of the table's elements), or kNone.
  size_t Member(const chem::IonType& ion) const;

  double OwnIntensity() const { return ownIntensity_; }  // 0 when no peak lies within the tolerance of mz

 private:
  // The intensity of the most intense peak above the noise within the tolerance of mz, the own peak passed over; 0
  // when none.
  double MostIntenseNear(double mz) const;

  std::vector<Peak> peaks_;  // above the noise, by rising m/z
  std::vector<chem::IonType> ions_;
  std::vector<chem::IonMassRule> rules_;  // of ions_, one for one
  double mz_ = 0, ownIntensity_ = 0;
  Tolerance tolerance_;
};

}  // namespace zelm
