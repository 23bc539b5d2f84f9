// The evidence terms of one candidate, from its counts and its judged evidence.
#pragma once

#include <optional>

#include "chemistry/formula_rules.h"
#include "rank/evidence_terms.h"
#include "rank/ion_layout.h"
#include "rank/isotope_fit.h"
#include "rank/known_formulas.h"
#include "rank/msms_evidence.h"
#include "rank/score_model.h"

namespace zelm {

// The terms every candidate gets: its mass error as a share of the tolerance, its rules, its elements and its ion
// (ionTerm: IonTerm of the ion it is searched as), its neutral mass, and whether it is among the known formulas
// (none: known is nullptr). The costly terms are left as they are.
void CheapTerms(const IonLayout& layout, const long long* counts, const chem::FormulaRules::Verdict& verdict,
                double errorShare, double neutralMass, Term ionTerm, const ScoreModel& model,
                const KnownFormulas* known, Evidence& x);
// The isotope fit's terms (nullopt: no pattern, the terms 0).
void IsotopeTerms(const std::optional<IsotopeFit>& fit, Evidence& x);
// The MS/MS terms; errorShare and toleranceShare recalibrate the mass error by the fragments' systematic error.
void MsmsTerms(const MsmsEvidence& msms, double errorPpm, double tolerancePpm, Evidence& x);

}  // namespace zelm
