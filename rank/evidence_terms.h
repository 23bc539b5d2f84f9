// The numbers that describe a candidate's evidence, as the score model weighs them: the mass error, the rules and
// the elements, the isotope fit, the MS/MS evidence and the ion type. Each term is a plain number; a missing kind of
// evidence (no isotope peaks, no MS/MS peaks) leaves its terms at 0.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

#include "chemistry/ion_type.h"

namespace zelm {

enum class Term : size_t {
  // The mass error: its share e of the tolerance, e^2, and e^2 after the MS/MS recalibration (e^2 without it).
  MassShare, MassShare2, RecalibratedShare2,
  // The same share and its square again for a feature whose peaks are written coarsely (spectra/peak_precision.h),
  // 0 for the others: such an instrument's errors spread wider.
  CoarseMassShare, CoarseMassShare2,
  // Rules and elements.
  SoftRules, ElementPrior, HasS, HasP, HasF, HasCl, HasBr, HasI, RareKinds, ExtraSP, NPerC, OPerC, HalogenPerC,
  HydrogenShape, NoCarbon, Rdbe,
  // How elements come together: the Cl and F atoms, the oxygen a P or S atom lacks (phosphates, phosphonates and
  // sulfonates hold three, thiophosphates an S in its place: max(0, 3P - O - S) with P, max(0, S - O) without
  // P), and no nitrogen at all.
  ClCount, FCount, PShortOfO, SShortOfO, NoNitrogen,
  // The shape of the formula beyond the ratios: the squares of N and O per C, and the RDBE per C.
  NPerC2, OPerC2, RdbePerC,
  // Nitrogen beyond what molecules of its kind hold: N beyond the O atoms, and N times the mass in kDa; and the mass
  // in kDa of a formula with P (large phosphorus compounds are mostly phospholipids).
  NBeyondO, NTimesMass, PMass,
  // The formula is among the known ones (rank/known_formulas.h).
  KnownFormula,
  // The isotope fit: ln(max(fit, 0.01)); the measured M+1 and M+2 against the pattern's (IsotopeFit in
  // rank/isotope_fit.h), each signed and as a heavy-tailed error ln(1 + (d / s)^2) that a peak far off (a saturated
  // or a missing one) cannot dominate.
  IsotopeFit, IsotopeM1, IsotopeM1Tail, IsotopeM2, IsotopeM2Tail, IsotopeShift1Tail, IsotopeShift2, IsotopeShift2Tail,
  // MS/MS: the log-likelihood ratio against chance, the intensity and the peaks explained, the chance, and the
  // consistency of the fragments.
  MsmsLlr, MsmsIntensity, MsmsPeaks, MsmsChance, MsmsConsistent, MsmsCommonLosses, MsmsPlausible, MsmsError,
  // The ion type (1 for the ion a candidate is searched as), and the same molecule's other ions in the survey.
  IonSodium, IonPotassium, IonAmmonium, IonWaterLoss, IonRadical, IonChloride, IonFormate, IonAcetate, IonOther,
  OtherIonsSeen,
  // The ion type's marks in the MS/MS spectrum (rank/adduct_mark.h).
  AdductMark,
  Count
};
constexpr size_t kTerms = static_cast<size_t>(Term::Count);

// The term's name in the model's file.
std::string_view TermName(Term t);
constexpr size_t Index(Term t) { return static_cast<size_t>(t); }

using Evidence = std::array<double, kTerms>;

// Which kinds of spectra a feature brings: a model holds weights for each.
enum class EvidenceKind : size_t { MsmsOnly, Ms1Only, Both, Neither };
constexpr size_t kEvidenceKinds = 4;
std::string_view KindName(EvidenceKind k);
EvidenceKind KindOf(bool isotopes, bool msms);

// The ion type's term (IonOther for [M+H]+, [M-H]- and M themselves: they are the reference), or Count for those.
Term IonTerm(const chem::IonType& ion);

// The terms that every candidate gets (mass, rules, elements, ion); the costly ones (isotopes, MS/MS) after them.
constexpr bool IsCheap(Term t) { return t < Term::IsotopeFit || t >= Term::IonSodium; }

}  // namespace zelm
