// What the ranking gives for a feature: its candidates as values, best first, each with its evidence.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chemistry/composition.h"
#include "chemistry/formula_rules.h"
#include "chemistry/ion_type.h"
#include "rank/evidence_terms.h"
#include "spectra/spectrum.h"

namespace zelm {

// An MS/MS peak explained by a fragment of a candidate's ion.
struct FragmentMatch {
  size_t peak = 0;                // index into RankResult::msmsPeaks
  chem::Composition fragment;     // the fragment ion's formula
  double mzTheoretical = 0, errorPpm = 0, errorMda = 0;  // the peak's error against the fragment
};

// The parts the score adds up, each the weighed sum of its terms (see rank/score_model.h).
struct ScoreParts {
  double mass = 0, rules = 0, prior = 0;
  double isotopes = 0;  // 0 when the feature has no isotope peaks
  double msms = 0;      // 0 when it has no MS/MS peaks
};

struct RankedCandidate {
  size_t ion = 0;                       // which of RankResult::ions
  chem::Composition neutral, ionFormula;
  double neutralMass = 0, mzTheoretical = 0, errorPpm = 0, errorMda = 0;
  std::optional<double> rdbe;
  int rank = 0;                         // 1 = best of its feature
  double score = 0;
  double probability = 0;               // its share of its feature's candidates (all of them, not only those given)
  EvidenceKind kind = EvidenceKind::Neither;  // which weights scored it
  Evidence evidence{};                  // the terms the score weighs
  bool judged = false;                  // by every costly part its feature has (else it got the lowest of them)
  ScoreParts parts;
  std::optional<double> isotopeScore;   // the fit to the measured isotope peaks (0 to 1), when judged
  std::optional<double> msmsExplained;  // the fraction of the MS/MS intensity explained, when judged
  chem::SoftBreaks softRules = 0;       // the soft rules broken, one bit each (chem::SoftBreakNames)
  std::vector<FragmentMatch> fragments;  // with explain: one per explained peak, by m/z
};

struct RankResult {
  std::vector<chem::IonType> ions;      // the ion types searched
  std::vector<long long> found;         // per ion: candidates keeping the hard rules, before maxCandidates
  std::vector<RankedCandidate> candidates;  // best first, at most the configuration's top
  std::vector<Peak> msmsPeaks;          // the MS/MS peaks judged (several spectra merged into one list)
  std::vector<Peak> isotopePeaks;       // the measured isotope peaks judged (given, or cut from an MS1 spectrum)
  bool knownFormulas = false;           // a list of known formulas was asked (RankedCandidate::evidence says which)
  std::string problem;                  // when the feature cannot be searched (its ion type), the reason
};

}  // namespace zelm
