#include "rank/adduct_mark.h"

#include <algorithm>
#include <cmath>

#include "rank/evidence_terms.h"

namespace zelm {

namespace {

// A mark: a neutral lost from the precursor (its mass), or an ion of its own (its m/z).
struct Mark {
  double mass;
  bool loss;
};

std::vector<Mark> MarksOf(Term ion) {
  switch (ion) {
    case Term::IonAcetate:  // CH3COOH, CH3COOCH3, CH3COO-
      return {{60.021129, true}, {74.036779, true}, {59.013853, false}};
    case Term::IonFormate:  // HCOOH, HCOO-
      return {{46.005479, true}, {44.998203, false}};
    case Term::IonChloride:  // HCl, Cl-
      return {{35.976678, true}, {34.969401, false}};
    case Term::IonAmmonium:  // NH3
      return {{17.026549, true}};
    default:
      return {};
  }
}

}  // namespace

double AdductMarkSeen(const chem::IonType& ion, const std::vector<Peak>& msms, double precursorMz,
                      const Tolerance& tolerance) {
  const std::vector<Mark> marks = MarksOf(IonTerm(ion));
  double highest = 0, seen = 0;
  for (const Peak& p : msms)
    if (std::isfinite(p.intensity)) highest = std::max(highest, p.intensity);
  if (marks.empty() || !(highest > 0)) return 0;
  for (const Mark& m : marks) {
    const double at = m.loss ? precursorMz - m.mass : m.mass, half = tolerance.HalfWidth(at);
    for (const Peak& p : msms)
      if (std::fabs(p.mz - at) <= half && p.intensity > seen) seen = p.intensity;
  }
  return seen / highest;
}

}  // namespace zelm
