// How well the ranking does on real measurements: features with known formulas (any input zelm-find reads, such as
// the MassBank development sets dev.mgf or dev_features.mgf, and a table of their true formulas keyed by the query
// id), ranked with zelm-find's defaults at 10 ppm (further zelm-find arguments after --). Prints, for the features
// with MS/MS only, MS1 only, both, neither, and all: the share whose true formula is found, ranked first and among
// the first five; the candidates per feature; the time per feature (median, 95th percentile, mean, on one thread);
// and the commonest causes of the misses.
//
//   massbank_eval --features FILE --truth FILE [--misses N] [--limit N] [--hand | --model FILE] [--cv K]
//                 [--drop-adduct] [-- zelm-find arguments]
// --hand ranks with the hand-set weights, --model with a model's table; --cv K fits the model on K-1 folds of the
// features (split by formula) and measures it on the other, for each fold; --drop-adduct leaves out every feature's
// ion type (as files without ADDUCT give them).
#include <algorithm>
#include <cmath>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <numeric>
#include <string>
#include <vector>

#include "chemistry/formula_notation.h"
#include "chemistry/formula_rules.h"
#include "find/find_options.h"
#include "rank/model_fit.h"
#include "rank/ranker.h"
#include "spectra/feature_input.h"
#include "text/textfile.h"
#include "ranking_setup.h"
#include "truth_table.h"

using namespace zelm;

namespace {

struct Args {
  std::string features, truth;
  size_t misses = 0, limit = 0;
  // The first 200 candidates of each feature are given (ranked among all): a true formula further down counts as not
  // found, and building hundreds of thousands of rows for the largest molecules would be timed as ranking.
  std::vector<std::string> find = {"--ppm", "10", "--top", "200"};
  ScoreModel model = ScoreModel::BuiltIn();
  std::string modelFile;
  size_t folds = 0;
  bool dropAdduct = false;
};

constexpr char kUsage[] =
    "usage: massbank_eval --features FILE --truth FILE [--misses N] [--limit N] [--hand | --model FILE] [--cv K]\n"
    "                     [--drop-adduct] [-- zelm-find arguments]\n";

bool ReadArgs(int argc, char** argv, Args& a) {
  for (int i = 1; i < argc; ++i) {
    const std::string s = argv[i];
    const bool more = i + 1 < argc;
    if ((s == "--features" || s == "--mgf") && more) a.features = argv[++i];
    else if (s == "--truth" && more) a.truth = argv[++i];
    else if (s == "--misses" && more) a.misses = std::stoul(argv[++i]);
    else if (s == "--limit" && more) a.limit = std::stoul(argv[++i]);
    else if (s == "--hand") a.model = ScoreModel::Hand();
    else if (s == "--model" && more) a.modelFile = argv[++i];
    else if (s == "--cv" && more) a.folds = std::stoul(argv[++i]);
    else if (s == "--drop-adduct") a.dropAdduct = true;
    else if (s == "--")
      for (++i; i < argc; ++i) a.find.push_back(argv[i]);
    else return false;
  }
  return !a.features.empty() && !a.truth.empty();
}

// Why a true formula is not among the candidates: outside the element ranges, or a hard rule.
std::string WhyNotFound(const chem::Composition& truth, const RankConfig& config) {
  for (const auto& e : truth.Entries()) {
    auto b = std::find_if(config.blocks.begin(), config.blocks.end(), [&](const Block& x) { return x.name == e.symbol; });
    if (b == config.blocks.end()) return "element " + e.symbol + " not searched";
    if (e.count > b->max) return "more " + e.symbol + " than its range";
  }
  std::vector<std::string> symbols;
  std::vector<long long> counts;
  for (const auto& e : truth.Entries()) {
    symbols.push_back(e.symbol);
    counts.push_back(e.count);
  }
  chem::RuleSettings only = config.rules;
  only.senior = false;
  only.ratios = chem::RatioPreset::Off;
  if (!chem::FormulaRules(only, symbols).Judge(counts.data()).pass) return "RDBE rule";
  only = config.rules;
  only.rdbe = false;
  only.ratios = chem::RatioPreset::Off;
  if (!chem::FormulaRules(only, symbols).Judge(counts.data()).pass) return "SENIOR rule";
  return "element ratio rule or other";
}

// The kind of evidence a feature carries.
std::string KindOf(const Feature& f) {
  const bool ms1 = !f.ms1.empty() || !f.isotopePeaks.empty();
  bool ms2 = false;
  for (const Spectrum& s : f.ms2) ms2 |= !s.peaks.empty();
  return ms1 && ms2 ? "both" : ms1 ? "MS1 only" : ms2 ? "MS/MS only" : "neither";
}

struct Tally {
  size_t features = 0, found = 0, top1 = 0, top5 = 0;
  void Add(size_t rank) {
    ++features;
    found += rank > 0;
    top1 += rank == 1;
    top5 += rank > 0 && rank <= 5;
  }
};

double Percent(size_t part, size_t whole) { return whole ? 100.0 * static_cast<double>(part) / whole : 0; }

double Quantile(std::vector<double> v, double q) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

std::string MissCause(const Feature& f, const RankResult& r, size_t rank) {
  const RankedCandidate& best = r.candidates.front();
  const RankedCandidate& right = r.candidates[rank - 1];
  if (right.softRules) return "ranked below: the right one breaks soft rules";
  if (r.msmsPeaks.empty() || !right.msmsExplained) {
    if (!f.ms1.empty() && r.isotopePeaks.empty()) return "ranked below: no isotope envelope in the MS1 spectrum";
    return "ranked below: no MS/MS peaks to judge by";
  }
  if (best.msmsExplained && *best.msmsExplained > *right.msmsExplained + 1e-9)
    return std::abs(best.errorPpm) < std::abs(right.errorPpm) ? "ranked below: closer and explains more"
                                                               : "ranked below: explains more MS/MS intensity";
  return "ranked below: closer mass, MS/MS no better";
}

// The reliability of the rank-1 probabilities: ten bins of the stated probability, each with its mean stated, the
// share right and the count; and the expected calibration error.
void PrintReliability(const std::vector<std::pair<double, bool>>& firsts) {
  std::vector<double> stated(10, 0), right(10, 0), count(10, 0);
  for (const auto& [p, ok] : firsts) {
    const size_t b = std::min<size_t>(9, static_cast<size_t>(p * 10));
    stated[b] += p;
    right[b] += ok;
    count[b] += 1;
  }
  double ece = 0;
  std::printf("reliability of rank 1	stated	observed	count\n");
  for (size_t b = 0; b < 10; ++b) {
    if (count[b] == 0) continue;
    std::printf("%.1f-%.1f\t%.3f\t%.3f\t%.0f\n", b / 10.0, (b + 1) / 10.0, stated[b] / count[b], right[b] / count[b],
                count[b]);
    ece += std::fabs(stated[b] - right[b]) / static_cast<double>(firsts.size());
  }
  std::printf("expected calibration error\t%.3f\n", ece);
}

void PrintTallies(std::map<std::string, Tally>& tallies) {
  std::printf("features\tcount\tfound %%\ttop-1 %%\ttop-5 %%\n");
  for (const char* kind : {"MS/MS only", "MS1 only", "both", "neither", "with MS/MS", "all"}) {
    const Tally& t = tallies[kind];
    std::printf("%s\t%zu\t%.1f\t%.1f\t%.1f\n", kind, t.features, Percent(t.found, t.features),
                Percent(t.top1, t.features), Percent(t.top5, t.features));
  }
}

void AddTally(std::map<std::string, Tally>& tallies, const std::string& kind, size_t rank) {
  tallies[kind].Add(rank);
  tallies["all"].Add(rank);
  if (kind == "MS/MS only" || kind == "both") tallies["with MS/MS"].Add(rank);
}

}  // namespace

int main(int argc, char** argv) {
  Args a;
  if (!ReadArgs(argc, argv, a)) {
    std::cerr << kUsage;
    return 1;
  }
  std::string why;
  std::optional<ScoreModel> model = a.model;
  if (!a.modelFile.empty()) {
    const auto bytes = ReadWholeFile(a.modelFile, &why);
    model = bytes ? ReadScoreModel(*bytes, &why) : std::nullopt;
    if (!model) {
      std::cerr << a.modelFile << ": " << why << "\n";
      return 2;
    }
  }
  // Cross-validation refits the model on the terms of each feature's judged candidates.
  const auto made = MakeRankerOrSay(a.find, [&](RankOptions& o) {
    o.model = *model;
    if (a.folds > 0) o.top = kMsmsJudged;
  });
  if (!made) return 2;
  const Ranker& ranker = *made;
  const auto read = ReadFeaturesOrSay(a.features, ranker);
  if (!read) return 2;
  const FeatureList& list = *read;
  const auto truthBytes = ReadWholeFile(a.truth, &why);
  if (!truthBytes) {
    std::cerr << why << "\n";
    return 2;
  }
  const std::map<std::string, Truth> truth = ReadTruth(*truthBytes);

  std::map<std::string, Tally> tallies;
  std::vector<double> times;
  std::vector<double> candidates;
  std::map<std::string, size_t> causes;
  std::vector<std::string> missLines;
  std::vector<std::pair<double, bool>> firsts;
  std::vector<TrainingFeature> training;
  std::vector<std::string> kinds;
  for (Feature f : list.features) {
    if (a.dropAdduct) f.ion.clear();
    const auto t = truth.find(f.id);
    if (t == truth.end()) continue;
    if (a.limit && times.size() >= a.limit) break;
    const auto parsed = chem::ParseFormula(t->second.formula);
    const std::string want = parsed.Ok() ? chem::ToAscii(*parsed) : t->second.formula;
    const auto start = std::chrono::steady_clock::now();
    const RankResult r = ranker.Rank(f);
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    candidates.push_back(static_cast<double>(std::accumulate(r.found.begin(), r.found.end(), 0LL)));
    size_t rank = 0;
    for (const RankedCandidate& c : r.candidates)
      if (chem::ToAscii(c.neutral) == want) {
        rank = static_cast<size_t>(c.rank);
        break;
      }
    if (a.folds > 0) {
      training.push_back(TrainingOf(r, want));
      kinds.push_back(KindOf(f));
      continue;
    }
    AddTally(tallies, KindOf(f), rank);
    if (!r.candidates.empty()) firsts.push_back({r.candidates.front().probability, rank == 1});
    std::string cause;
    if (rank == 0) cause = !r.problem.empty() ? "ion type cannot be used"
                           : parsed.Ok()      ? "not found: " + WhyNotFound(*parsed, ranker.Config())
                                              : "truth unreadable";
    else if (rank > 1) cause = MissCause(f, r, rank);
    if (cause.empty()) continue;
    ++causes[cause];
    char line[512];
    const std::string best = r.candidates.empty() ? "-" : chem::ToAscii(r.candidates.front().neutral);
    std::snprintf(line, sizeof line, "%s\t%s\t%s\trank %zu\tbest %s\t%s", f.id.c_str(), want.c_str(),
                  r.ions.empty() ? "?" : r.ions.front().Notation().c_str(), rank, best.c_str(), cause.c_str());
    missLines.push_back(line);
  }
  if (a.folds > 0) {
    const std::vector<HeldOut> held = CrossValidate(training, a.folds, *model, FitOptions{});
    for (size_t i = 0; i < held.size(); ++i) {
      AddTally(tallies, kinds[i], held[i].rank);
      if (!training[i].candidates.empty()) firsts.push_back({held[i].firstProbability, held[i].rank == 1});
    }
    std::printf("cross-validated over %zu folds split by formula\n", a.folds);
  }
  PrintTallies(tallies);
  PrintReliability(firsts);
  const double mean = times.empty() ? 0 : std::accumulate(times.begin(), times.end(), 0.0) / times.size();
  std::printf("median candidates\t%.0f\n", Quantile(candidates, 0.5));
  std::printf("time per feature\tmedian %.2f ms\t95th percentile %.2f ms\tmean %.2f ms\tmost %.0f ms\n",
              Quantile(times, 0.5), Quantile(times, 0.95), mean, Quantile(times, 1.0));
  std::vector<std::pair<size_t, std::string>> byCount;
  for (const auto& [cause, n] : causes) byCount.push_back({n, cause});
  std::sort(byCount.rbegin(), byCount.rend());
  std::printf("misses by cause (not first)\n");
  for (const auto& [n, cause] : byCount) std::printf("\t%zu\t%s\n", n, cause.c_str());
  for (size_t i = 0; i < std::min(a.misses, missLines.size()); ++i) std::printf("%s\n", missLines[i].c_str());
  return 0;
}
