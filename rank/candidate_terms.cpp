#include "rank/candidate_terms.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cmath>

namespace zelm {

void CheapTerms(const IonLayout& layout, const long long* counts, const chem::FormulaRules::Verdict& verdict,
                double errorShare, double neutralMass, Term ionTerm, const ScoreModel& model,
                const KnownFormulas* known, Evidence& x) {
  auto set = [&](Term t, double v) { x[Index(t)] = v; };
  set(Term::MassShare, errorShare);
  set(Term::MassShare2, errorShare * errorShare);
  set(Term::RecalibratedShare2, errorShare * errorShare);
  set(Term::SoftRules, std::popcount(verdict.soft));
  set(Term::ElementPrior, layout.Prior(counts, model));
  std::array<double, kElementClasses> n{};
  layout.ClassCounts(counts, n);
  auto of = [&](ElementClass c) { return n[static_cast<size_t>(c)]; };
  const ElementClass rare[] = {ElementClass::Sulfur,   ElementClass::Phosphorus, ElementClass::Fluorine,
                               ElementClass::Chlorine, ElementClass::Bromine,    ElementClass::Iodine};
  const Term has[] = {Term::HasS, Term::HasP, Term::HasF, Term::HasCl, Term::HasBr, Term::HasI};
  double kinds = 0;
  for (size_t k = 0; k < 6; ++k) {
    const bool present = of(rare[k]) > 0;
    set(has[k], present);
    kinds += present;
  }
  set(Term::RareKinds, kinds);
  set(Term::ExtraSP, std::max(0.0, of(ElementClass::Sulfur) + of(ElementClass::Phosphorus) - 2));
  const double c = of(ElementClass::Carbon);
  const double halogens = of(ElementClass::Fluorine) + of(ElementClass::Chlorine) + of(ElementClass::Bromine) +
                          of(ElementClass::Iodine);
  set(Term::NoCarbon, c == 0);
  if (c > 0) {
    set(Term::NPerC, of(ElementClass::Nitrogen) / c);
    set(Term::OPerC, of(ElementClass::Oxygen) / c);
    set(Term::HalogenPerC, halogens / c);
    const double z = (of(ElementClass::Hydrogen) + halogens) / c - 1.4;
    set(Term::HydrogenShape, z * z);
    set(Term::NPerC2, of(ElementClass::Nitrogen) / c * of(ElementClass::Nitrogen) / c);
    set(Term::OPerC2, of(ElementClass::Oxygen) / c * of(ElementClass::Oxygen) / c);
    set(Term::RdbePerC, verdict.rdbe.value_or(0) / c);
  }
  set(Term::Rdbe, verdict.rdbe.value_or(0) / 10);
  const double p = of(ElementClass::Phosphorus), s = of(ElementClass::Sulfur), o = of(ElementClass::Oxygen);
  set(Term::ClCount, of(ElementClass::Chlorine));
  set(Term::FCount, of(ElementClass::Fluorine));
  set(Term::PShortOfO, p > 0 ? std::max(0.0, 3 * p - o - s) : 0);
  set(Term::SShortOfO, p == 0 && s > 0 ? std::max(0.0, s - o) : 0);
  set(Term::NoNitrogen, of(ElementClass::Nitrogen) == 0);
  const double nitrogen = of(ElementClass::Nitrogen);
  set(Term::NBeyondO, std::max(0.0, nitrogen - o));
  set(Term::NTimesMass, nitrogen * neutralMass / 1000);
  set(Term::PMass, p > 0 ? neutralMass / 1000 : 0);
  if (ionTerm != Term::Count) set(ionTerm, 1);
  set(Term::KnownFormula, known != nullptr && known->Contains(n));
}

void IsotopeTerms(const std::optional<IsotopeFit>& fit, Evidence& x) {
  if (!fit) return;
  // The spreads of ln(measured / pattern) that real survey spectra show at M+1 and M+2.
  constexpr double kM1Spread = 0.2, kM2Spread = 0.4;
  x[Index(Term::IsotopeFit)] = std::log(std::max(fit->score, 0.01));
  x[Index(Term::IsotopeM1)] = fit->m1;
  x[Index(Term::IsotopeM1Tail)] = std::log1p(fit->m1 * fit->m1 / (kM1Spread * kM1Spread));
  x[Index(Term::IsotopeM2)] = fit->m2;
  x[Index(Term::IsotopeM2Tail)] = std::log1p(fit->m2 * fit->m2 / (kM2Spread * kM2Spread));
  // How far the isotope peaks lie from the pattern's: the M+2 of S, Cl and Br lies about 10 mDa below that of 13C2,
  // while the peaks of most instruments lie within a few mDa of their places.
  constexpr double kShiftSpread = 3;  // mDa
  x[Index(Term::IsotopeShift1Tail)] = std::log1p(fit->shift1 * fit->shift1 / (kShiftSpread * kShiftSpread));
  x[Index(Term::IsotopeShift2)] = fit->shift2 / kShiftSpread;
  x[Index(Term::IsotopeShift2Tail)] = std::log1p(fit->shift2 * fit->shift2 / (kShiftSpread * kShiftSpread));
}

void MsmsTerms(const MsmsEvidence& msms, double errorPpm, double tolerancePpm, Evidence& x) {
  if (msms.peaks == 0) return;
  auto set = [&](Term t, double v) { x[Index(t)] = v; };
  set(Term::MsmsLlr, MsmsScore(msms));
  set(Term::MsmsIntensity, msms.explainedIntensity);
  set(Term::MsmsPeaks, msms.explainedPeakShare);
  set(Term::MsmsChance, msms.chance);
  set(Term::MsmsConsistent, msms.consistentLosses);
  set(Term::MsmsCommonLosses, msms.commonLosses);
  set(Term::MsmsPlausible, msms.plausibleFragments);
  set(Term::MsmsError, msms.meanErrorShare);
  // The precursor's error less the fragments' systematic error.
  if (tolerancePpm > 0) {
    const double share = (errorPpm - msms.systematicPpm) / tolerancePpm;
    set(Term::RecalibratedShare2, share * share);
  }
}

}  // namespace zelm
