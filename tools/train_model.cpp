// Fits ZELM's score model on features with known formulas and writes its table (data/score_model.txt):
//
//   train_model --features ../shared/massbank/dev_features.mgf --truth ../shared/massbank/dev_features_truth.tsv
//               [--folds 5] [--ridge R] [--rounds N] [--output data/score_model.txt] [-- zelm-find arguments]
//
// Each feature is ranked with the hand-set weights (zelm-find's defaults at 10 ppm, further arguments after --), with
// the ion type its file gives and with none, the terms of its judged candidates kept; the model is cross-validated
// over folds split by formula on them (each fold's figures printed), then fitted on every feature. In each further
// round (--rounds, default 3) the model fitted last ranks every feature again and is fitted anew on the candidates of
// every ranking so far, so that it learns of the formulas it would itself bring forward. The last is written.
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "bench/ranking_setup.h"
#include "bench/truth_table.h"
#include "chemistry/formula_notation.h"
#include "find/find_options.h"
#include "rank/model_fit.h"
#include "rank/ranker.h"
#include "spectra/feature_input.h"
#include "text/textfile.h"

using namespace zelm;

namespace {

struct Args {
  std::string features, truth, output;
  size_t folds = 5;
  size_t rounds = 3;
  FitOptions fit;
  std::vector<std::string> find = {"--ppm", "10"};
};

bool ReadArgs(int argc, char** argv, Args& a) {
  for (int i = 1; i < argc; ++i) {
    const std::string s = argv[i];
    const bool more = i + 1 < argc;
    if (s == "--features" && more) a.features = argv[++i];
    else if (s == "--truth" && more) a.truth = argv[++i];
    else if (s == "--output" && more) a.output = argv[++i];
    else if (s == "--folds" && more) a.folds = std::stoul(argv[++i]);
    else if (s == "--ridge" && more) a.fit.ridge = std::stod(argv[++i]);
    else if (s == "--rounds" && more) a.rounds = std::stoul(argv[++i]);
    else if (s == "--")
      for (++i; i < argc; ++i) a.find.push_back(argv[i]);
    else return false;
  }
  return !a.features.empty() && !a.truth.empty() && a.folds >= 2 && a.rounds >= 1;
}

// Every feature of the truth table, ranked with the hand-set weights, as training features: once with the ion type
// its file gives, once with none (searched as every common ion of its polarity, the true ion the right one).
std::vector<TrainingFeature> Collect(const Ranker& ranker, const FeatureList& list,
                                     const std::map<std::string, Truth>& truth) {
  std::vector<TrainingFeature> out;
  for (bool unknownIon : {false, true})
    for (const Feature& f : list.features) {
      const auto t = truth.find(f.id);
      if (t == truth.end()) continue;
      const auto parsed = chem::ParseFormula(t->second.formula);
      const std::string formula = parsed.Ok() ? chem::ToAscii(*parsed) : t->second.formula;
      if (auto one = TrainingFeatureOf(ranker, f, formula, t->second.adduct, unknownIon)) out.push_back(std::move(*one));
    }
  return out;
}

void PrintFolds(const std::vector<TrainingFeature>& features, const std::vector<HeldOut>& held, size_t folds) {
  std::printf("fold\tfeatures\ttop-1 %%\ttop-5 %%\tmean rank-1 probability\n");
  for (size_t fold = 0; fold <= folds; ++fold) {
    double n = 0, top1 = 0, top5 = 0, p = 0;
    for (size_t i = 0; i < features.size(); ++i) {
      if (fold < folds && FoldOf(features[i].formula, folds) != fold) continue;
      n += 1;
      top1 += held[i].rank == 1;
      top5 += held[i].rank >= 1 && held[i].rank <= 5;
      p += held[i].firstProbability;
    }
    const double d = n > 0 ? n : 1;
    std::printf("%s\t%.0f\t%.1f\t%.1f\t%.3f\n", fold < folds ? std::to_string(fold).c_str() : "all", n,
                100 * top1 / d, 100 * top5 / d, p / d);
  }
}

}  // namespace

int main(int argc, char** argv) {
  Args a;
  if (!ReadArgs(argc, argv, a)) {
    std::cerr << "usage: train_model --features FILE --truth FILE [--folds K] [--ridge R] [--rounds N] [--output FILE] "
                 "[-- zelm-find arguments]\n";
    return 1;
  }
  const auto made = MakeRankerOrSay(a.find, [](RankOptions& o) {
    o.model = ScoreModel::Hand();
    o.top = kMsmsJudged;
  });
  if (!made) return 2;
  const Ranker& ranker = *made;
  std::string why;
  const auto truthBytes = ReadWholeFile(a.truth, &why);
  if (!truthBytes) {
    std::cerr << why << "\n";
    return 2;
  }
  const auto read = ReadFeaturesOrSay(a.features, ranker);
  if (!read) return 2;
  const FeatureList& list = *read;
  const std::map<std::string, Truth> truth = ReadTruth(*truthBytes);
  std::vector<TrainingFeature> features = Collect(ranker, list, truth);
  PrintFolds(features, CrossValidate(features, a.folds, ScoreModel::Hand(), a.fit), a.folds);
  const auto model = FitInRounds(std::move(features), a.rounds, a.find, ScoreModel::Hand(), a.fit,
                                 [&](const Ranker& again) { return Collect(again, list, truth); });
  if (!model) return 2;
  std::string command = "train_model --features " + BaseName(a.features) + " --truth " + BaseName(a.truth) +
                        " --rounds " + std::to_string(a.rounds);
  for (const std::string& s : a.find) command += " " + s;
  const std::string header =
      "# ZELM's score model: the weights of the evidence terms per kind of evidence (see rank/score_model.h).\n"
      "# Fitted on real measurements with known formulas from MassBank (MassBank-data release 2025.05.1, records\n"
      "# under CC0, CC BY and CC BY-SA; their authors are credited in the MassBank records), with:\n#   " +
      command + "\n" +
      (ranker.Config().known ? "# Its known_formula term was fitted with the " +
                                   std::to_string(ranker.Config().known->Size()) + " formulas of " +
                                   ranker.Config().knownFrom + ".\n"
                             : std::string());
  const std::string text = WriteScoreModel(*model, header);
  if (a.output.empty()) {
    std::cout << text;
  } else if (std::string problem = WriteFileAtomic(a.output, text); !problem.empty()) {
    std::cerr << problem << "\n";
    return 2;
  }
  return 0;
}
