// One query of zelm-find: its m/z searched for each of its ion types, every neutral formula of the building blocks
// whose ion lies inside the tolerance and that keeps the chemistry rules, judged by its mass error, its soft rules,
// its fit to the measured isotope peaks and its explanation of the MS/MS peaks, and ranked.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chemistry/composition.h"
#include "chemistry/element_table.h"
#include "chemistry/formula_rules.h"
#include "chemistry/ion_type.h"
#include "chemistry/isotope_pattern.h"
#include "engine/formula_enumeration.h"
#include "find/building_blocks.h"
#include "find/msms_evidence.h"
#include "find/peak_input.h"
#include "spectra/tolerance.h"

namespace zelm {

// How candidates are judged and ranked.
struct RankSettings {
  chem::RuleSettings rules;
  bool msms = true;              // judge by the MS/MS peaks a query carries
  FragmentTolerance fragments;   // for fragment peaks
  bool explain = false;          // keep each explained peak's fragment for the rows
  size_t top = 0;                // at most this many rows a query (0: all)
  double resolution = chem::kDefaultResolution;  // of the isotope patterns
};

// One MS/MS peak explained by a fragment of a candidate.
struct FragmentRow {
  double mz = 0, intensity = 0;
  std::string formula;  // the fragment ion's formula
  double mzTheoretical = 0, errorPpm = 0, errorMda = 0;
};

struct Candidate {
  size_t ion = 0;  // which of the query's ion types
  std::string formula, ionFormula;  // in Hill order, plain ASCII or with Unicode digits
  double neutralMass = 0, mzTheoretical = 0, errorPpm = 0, errorMda = 0;
  std::optional<double> rdbe;
  int rank = 0;  // 1 = best of its query
  double score = 0;
  std::optional<double> isotopeScore;   // when the query carries isotope peaks
  std::optional<double> msmsExplained;  // when it carries MS/MS peaks: the fraction of their intensity explained
  std::string rules;                    // the soft rules it breaks
  std::vector<FragmentRow> fragments;   // with RankSettings::explain
};

struct QueryResult {
  std::vector<chem::IonType> ions;
  std::vector<long long> found;  // per ion: candidates keeping the hard rules, before --max-candidates
};

// The score of a candidate is the sum of its parts, higher is better (a log-likelihood up to a constant):
// - the mass error as its share e of the tolerance (0 to 1): -kMassWeight e^2, a normal error whose standard
//   deviation is a tenth of the tolerance;
// - each soft rule broken: -kSoftWeight;
// - each element rarer in small molecules than C, H, N and O: its ElementPrior; and the ratio prior below;
// - the fit s (0 to 1) to measured isotope peaks: 2 ln(max(s, 0.01));
// - the MS/MS evidence: MsmsScore.
// The isotope fit is weighed for the kIsotopesJudged best by the parts before it, the MS/MS evidence for the
// kMsmsJudged best by the parts before it; the rest are counted as fitting and explaining nothing, so that they
// cannot overtake a candidate that was judged.
double ElementPrior(std::string_view symbol);
double PriorScore(double errorShare, int softBreaks, double elementPrior, std::optional<double> isotopeScore);
// kMsmsWeight times the mean over the peaks (weighed from 0.5 to 1 by intensity) of the log-likelihood ratio of the
// peak's explanation: a peak of the true formula is explained nine times in ten, one at random with the
// candidate's chance.
double MsmsScore(const MsmsEvidence& msms);
constexpr size_t kMsmsJudged = 200;
constexpr size_t kIsotopesJudged = 2000;
// The shape of the space of known organic molecules, as a prior on a formula's ratios to carbon: each N per C costs
// 1 / nitrogenScale, each O per C 1 / oxygenScale, hydrogen and halogens per C a normal curve around hydrogenMean;
// a formula without carbon costs noCarbon; each S and P atom beyond two together extraSulfurPhosphorus.
struct RatioPrior {
  double nitrogenScale = 0.2, oxygenScale = 0.5, hydrogenMean = 1.4, hydrogenWidth = 0.6, noCarbon = 5;
  double extraSulfurPhosphorus = 0.7;
  double furtherElements = 0.5;  // the share of its prior each rare element beyond the rarest costs
};
// The weights, as measured on records with known formulas (bench/massbank_eval may set them to try others).
inline RatioPrior kRatioPrior;
inline double kMassWeight = 50;
inline double kMsmsWeight = 1;
inline double kSoftWeight = 0.5;
inline double kElementWeight = 1;

// Every candidate of `query` for each of `ions`, handed to `row` by rank (best first; equal scores by the size of
// the error in ppm, then by formula); at most `maxCandidates` (0: all) of an ion, the closest by error, are ranked,
// and at most RankSettings::top are handed out. With countOnly no row is handed out and only `found` counts.
QueryResult SearchQuery(const Query& query, const std::vector<chem::IonType>& ions, const std::vector<Block>& blocks,
                        const FormulaEnumerator& enumerator, const chem::ElementTable& table, const Tolerance& tolerance,
                        size_t maxCandidates, bool countOnly, bool unicode, const RankSettings& rank,
                        const std::function<void(const Candidate&)>& row);

}  // namespace zelm
