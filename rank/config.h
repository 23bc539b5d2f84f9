// The ranking's configuration: every setting in one place, with its default and its check. RankOptions holds the
// settings as a user gives them (zelm-find's flags and Python's keyword arguments map onto it one to one);
// MakeConfig checks them once and makes the typed RankConfig that a Ranker runs on, or says what cannot be used.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chemistry/element_table.h"
#include "chemistry/formula_rules.h"
#include "chemistry/ion_type.h"
#include "chemistry/isotope_pattern.h"
#include "rank/building_blocks.h"
#include "rank/known_formulas.h"
#include "rank/score_model.h"
#include "spectra/tolerance.h"

namespace zelm {

struct RankOptions {
  std::string elements;                 // an element list (empty: kDefaultElements)
  std::string library;                  // a library file's path: its entries instead of the elements
  int maxCount = 15;                    // with a library: each entry from 0 to this count
  std::optional<std::string> ions;      // ion types, comma-separated, or "auto"; not given: as auto
  std::optional<double> ppm, mda;       // the tolerance; neither given: 5 ppm
  size_t maxCandidates = 0;             // rank at most this many per feature and ion, the closest (0: all)
  size_t top = 0;                       // give at most this many per feature (0: all; 3 with explain)
  std::string rdbe;                     // "MIN-MAX" or "off"; empty: whole and at least 0
  bool rdbeHalf = false;                // let the RDBE be a half too
  bool senior = true;                   // the SENIOR valence rules
  std::string ratios = "extended";      // extended, common or off
  std::string ratio;                    // ranges instead of the preset's: "F/C=0-2,O/C=0-1.5"
  std::string valence;                  // valences instead of the usual ones: "S6,P5"
  bool msms = true;                     // judge by the MS/MS peaks
  double msmsPpm = 0, msmsMda = 0;      // the fragments' tolerance (0: the ppm tolerance, and 2 mDa)
  bool explain = false;                 // keep the fragment that explains each MS/MS peak
  double resolution = chem::kDefaultResolution;  // of the isotope patterns, m/dm
  std::string isotopes;                 // an isotope table file; empty: the built-in one
  double rtWindow = 10;                 // seconds: MS/MS scans of a run this close in time are one feature
  // A file of known formulas (rank/known_formulas.h); empty: DefaultKnownFormulasPath() when it is there; "none": no
  // formula is taken as known.
  std::string knownFormulas;
  // Not given: the built-in one for ranking with known formulas or without (ScoreModel::BuiltIn).
  std::optional<ScoreModel> model;
};

// What cannot be used: the option ("ppm", "elements", ...) and why, in words for the user.
struct ConfigProblem {
  std::string option;
  std::string message;
};

// A checked configuration: the element table, the building blocks, the ion types, the tolerances, the rules and the
// score model.
struct RankConfig {
  chem::LoadedTable table;
  std::vector<Block> blocks;
  std::vector<chem::IonType> ions;      // when not given or auto: [M+H]+ (for features of unknown polarity)
  bool ionsGiven = false;               // the options name ion types or auto
  bool autoIons = false;                // the options' list is "auto": as when none is given (see IonsOfFeature)
  Tolerance tolerance;
  Tolerance fragments;                  // for MS/MS peaks
  chem::RuleSettings rules;
  bool msms = true, explain = false;
  size_t maxCandidates = 0, top = 0;
  double resolution = chem::kDefaultResolution;
  double rtWindow = 10;
  std::shared_ptr<const KnownFormulas> known;  // nullptr: none (the term is 0 for every candidate)
  std::string knownFrom;                        // the file they were read from; empty with none
  ScoreModel model;
};

struct MadeConfig {
  std::optional<RankConfig> config;
  std::optional<ConfigProblem> problem;  // when config is not made
};
MadeConfig MakeConfig(const RankOptions& options);

// The ion types of a comma-separated list, or why one cannot be used ("auto" among other ion types cannot).
std::optional<ConfigProblem> ParseIonList(const std::string& list, const chem::ElementTable& table,
                                          std::vector<chem::IonType>& ions);

}  // namespace zelm
