// What the benches and the model's training program share: a ranker made as zelm-find makes it from its arguments,
// and the features of a file, each saying on standard error why it cannot be had; and a feature with a known formula
// as the model is trained on it, and the model's fit in rounds.
#pragma once

#include <functional>
#include <iostream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "chemistry/ion_type.h"
#include "find/find_options.h"
#include "rank/model_fit.h"
#include "rank/ranker.h"
#include "spectra/feature_input.h"

namespace zelm {

// The ranker of zelm-find's arguments, its options changed by `adjust` first; nullptr after saying why.
inline std::unique_ptr<Ranker> MakeRankerOrSay(const std::vector<std::string>& args,
                                               const std::function<void(RankOptions&)>& adjust = {}) {
  RankOptions options;
  std::string why;
  if (!ReadRankArguments(args, options, &why)) {
    std::cerr << "zelm-find arguments: " << why << "\n";
    return nullptr;
  }
  if (adjust) adjust(options);
  MadeConfig made = MakeConfig(options);
  if (!made.config) {
    std::cerr << "zelm-find arguments: " << made.problem->message << "\n";
    return nullptr;
  }
  return std::make_unique<Ranker>(std::move(*made.config));
}

// Every feature of a file, read as zelm-find reads it; nullopt after saying the first problem.
inline std::optional<FeatureList> ReadFeaturesOrSay(const std::string& path, const Ranker& ranker) {
  FeatureList list = ReadFeatureFile(path, std::nullopt, {ranker.Config().tolerance, ranker.Config().rtWindow});
  if (list.problems.empty()) return list;
  std::cerr << list.problems.front().Text() << "\n";
  return std::nullopt;
}

// A feature with a known formula (Hill order, ASCII) as the training program learns from it: ranked with the ion type
// its file gives or, with unknownIon, with none (searched as every common ion of its polarity, its true ion type
// `adduct` the right one); nullopt when it cannot be so (no polarity, or a true ion type that cannot be read).
inline std::optional<TrainingFeature> TrainingFeatureOf(const Ranker& ranker, Feature f, const std::string& formula,
                                                        const std::string& adduct, bool unknownIon) {
  if (!unknownIon) return TrainingOf(ranker.Rank(f), formula);
  const auto ion = chem::IonType::Parse(adduct, &ranker.Config().table.table);
  if (f.Polarity() == 0 || !ion) return std::nullopt;
  f.ion.clear();
  return TrainingOf(ranker.Rank(f), formula, IonTerm(*ion));
}

// The model fitted in rounds: on `features`, then `rounds` - 1 times again on them and on every ranking since, each
// made by a ranker of zelm-find's arguments `find` with the model fitted last, its judged candidates kept
// (rankAgain gives the training features of such a ranking). Nullopt after saying why a ranker cannot be made.
inline std::optional<ScoreModel> FitInRounds(
    std::vector<TrainingFeature> features, size_t rounds, const std::vector<std::string>& find,
    const ScoreModel& base, const FitOptions& fit,
    const std::function<std::vector<TrainingFeature>(const Ranker&)>& rankAgain) {
  ScoreModel model = FitModel(features, base, fit);
  for (size_t round = 1; round < rounds; ++round) {
    const auto ranker = MakeRankerOrSay(find, [&](RankOptions& o) {
      o.model = model;
      o.top = kMsmsJudged;
    });
    if (!ranker) return std::nullopt;
    std::vector<TrainingFeature> more = rankAgain(*ranker);
    features.insert(features.end(), std::make_move_iterator(more.begin()), std::make_move_iterator(more.end()));
    model = FitModel(features, base, fit);
  }
  return model;
}

}  // namespace zelm
