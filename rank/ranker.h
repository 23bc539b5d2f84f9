// The ranking's one entry point: a checked configuration in, and for each feature its candidates as values. Every
// neutral formula of the building blocks whose ion (for each of the feature's ion types) lies inside the tolerance
// of the feature's m/z and that keeps the hard rules is judged by its mass error, its soft rules, its elements, its
// fit to the measured isotope peaks and its explanation of the MS/MS peaks, and ranked.
//
// A Ranker is immutable once made: one may rank features on many threads at once.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/formula_enumeration.h"
#include "rank/candidate.h"
#include "rank/config.h"
#include "spectra/spectrum.h"

namespace zelm {

class Ranker {
 public:
  explicit Ranker(RankConfig config);
  ~Ranker();
  const RankConfig& Config() const { return config_; }

  // The ion types a feature is searched as: the one its file gives, else one of its charge ([M+zH]z+, [M-zH]z-) or
  // of its ion mode ([M+H]+, [M-H]-) unless the configuration names ion types, else the configuration's. Nullopt
  // with the reason ("peaks.mgf line 3: the ion type ... cannot be used: ...") when the file's cannot be used.
  std::optional<std::vector<chem::IonType>> IonsFor(const Feature& feature, std::string* why) const;

  // The feature's candidates by rank (best first; equal scores by the size of the error in ppm, then by formula,
  // then by ion); at most maxCandidates of an ion, the closest by error, are ranked, and at most top are given.
  RankResult Rank(const Feature& feature) const;
  // Only how many candidates each ion type has (RankResult::found), none ranked.
  RankResult Count(const Feature& feature) const;

 private:
  RankResult Run(const Feature& feature, bool countOnly) const;
  RankConfig config_;
  std::unique_ptr<FormulaEnumerator> enumerator_;
};

}  // namespace zelm
