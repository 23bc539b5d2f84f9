// How well the ranking does on real measurements: features with known formulas (any input zelm-find reads, such as
// the MassBank development sets dev.mgf or dev_features.mgf, and a table of their true formulas keyed by the query
// id), ranked with zelm-find's defaults at 10 ppm (further zelm-find arguments after --). Prints, for the features
// with MS/MS only, MS1 only, both, neither, and all: the share whose true formula is found, ranked first and among
// the first five; the candidates per feature; the processor time per feature (median, 95th percentile, mean, on one thread);
// the same shares for the features whose true formula the list of known formulas holds and for the others (with a
// list, or the default one); and the commonest causes of the misses.
//
//   massbank_eval --features FILE --truth FILE [--misses N] [--limit N] [--hand | --model FILE] [--cv K]
//                 [--ridge R] [--rounds N] [--cache FILE] [--quick] [--drop-terms T,U] [--drop-adduct]
//                 [-- zelm-find arguments]
// --hand ranks with the hand-set weights, --model with a model's table; --cv K measures the whole ranking as the
// training program makes it, cross-validated: the features are ranked (with the hand-set weights, or --model) for
// their judged candidates' terms (as the training program does: once with their ion types, once without), a model is
// fitted on every K-1 folds of them (split by formula), and each feature is ranked again, from its search on, by the
// model fitted without its fold; --drop-adduct leaves out every feature's ion type (as files without ADDUCT give
// them); --ridge and --rounds (default 3) are train_model's, each fold's further rounds ranking only the other folds'
// features. --cache FILE keeps the first ranking's terms between runs (written when missing; remove it when the terms
// change); --quick only reorders each feature's judged candidates of the first ranking by its fold's first model, a
// quick first look at a fit; --drop-terms leaves terms out of the fit.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <iostream>
#include <map>
#include <numeric>
#include <string>
#include <string_view>
#include <vector>

#include "chemistry/formula_notation.h"
#include "chemistry/formula_rules.h"
#include "find/find_options.h"
#include "rank/model_fit.h"
#include "rank/ranker.h"
#include "spectra/feature_input.h"
#include "text/textfile.h"
#include "bench_timing.h"
#include "ranking_setup.h"
#include "training_cache.h"
#include "truth_table.h"

using namespace zelm;

namespace {

struct Args {
  std::string features, truth;
  size_t misses = 0, limit = 0;
  // The first 200 candidates of each feature are given (ranked among all): a true formula further down counts as not
  // found, and building hundreds of thousands of rows for the largest molecules would be timed as ranking.
  std::vector<std::string> find = {"--ppm", "10", "--top", "200"};
  std::optional<ScoreModel> model;  // not given: the built-in one
  std::string modelFile;
  size_t folds = 0;
  FitOptions fit;
  std::string cache;   // the training features' cache (written when missing)
  bool quick = false;  // measure only the reordering of the judged candidates
  size_t rounds = 3;   // rounds of fitting (train_model's --rounds)
  std::string dropTerms;  // terms (comma-separated names) the fit leaves out
  bool dropAdduct = false;
};

constexpr char kUsage[] =
    "usage: massbank_eval --features FILE --truth FILE [--misses N] [--limit N] [--hand | --model FILE] [--cv K]\n"
    "                     [--ridge R] [--rounds N] [--cache FILE] [--quick] [--drop-terms T,U] [--drop-adduct]\n"
    "                     [-- zelm-find arguments]\n";

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
    else if (s == "--ridge" && more) a.fit.ridge = std::stod(argv[++i]);
    else if (s == "--cache" && more) a.cache = argv[++i];
    else if (s == "--quick") a.quick = true;
    else if (s == "--rounds" && more) a.rounds = std::stoul(argv[++i]);
    else if (s == "--drop-terms" && more) a.dropTerms = argv[++i];
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
  if (!r.msmsPeaks.empty() && !right.msmsExplained) return "ranked below: not among those judged by MS/MS";
  if (r.msmsPeaks.empty()) {
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
  for (const char* kind : {"MS/MS only", "MS1 only", "both", "neither", "with MS/MS", "all", "formula known",
                           "formula not known"}) {
    if (!tallies.count(kind) && std::string_view(kind).starts_with("formula")) continue;
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

// The features with a known formula (their ion types left out with dropAdduct), at most `limit` (0: all), each with
// its true formula in Hill order (as given when it cannot be read).
struct Known {
  Feature feature;
  std::string want, ion;  // the true formula, and the ion type its file gives
  std::optional<chem::Composition> parsed;
};
std::vector<Known> KnownFeatures(const FeatureList& list, const std::map<std::string, Truth>& truth, const Args& a) {
  std::vector<Known> known;
  for (const Feature& f : list.features) {
    const auto t = truth.find(f.id);
    if (t == truth.end()) continue;
    if (a.limit && known.size() >= a.limit) break;
    Known k{f, t->second.formula, f.ion, std::nullopt};
    if (a.dropAdduct) k.feature.ion.clear();
    if (const auto parsed = chem::ParseFormula(t->second.formula); parsed.Ok()) {
      k.parsed = *parsed;
      k.want = chem::ToAscii(*parsed);
    }
    known.push_back(std::move(k));
  }
  return known;
}

size_t RankOfTruth(const RankResult& r, const std::string& want) {
  for (const RankedCandidate& c : r.candidates)
    if (chem::ToAscii(c.neutral) == want) return static_cast<size_t>(c.rank);
  return 0;
}

// Everything measured of the ranked features, and printed at the end.
struct Measures {
  std::map<std::string, Tally> tallies;
  std::vector<double> times, candidates;
  std::map<std::string, size_t> causes;
  std::vector<std::string> missLines;
  std::vector<std::pair<double, bool>> firsts;
  // The list the features are told apart by: the ranking's, else the default one when it is there (so that a ranking
  // without a list is measured on the same two groups).
  std::shared_ptr<const KnownFormulas> known;

  void Add(const Known& k, const RankResult& r, double ms, const RankConfig& config);
  void Print(size_t misses);
};

void Measures::Add(const Known& k, const RankResult& r, double ms, const RankConfig& config) {
  times.push_back(ms);
  candidates.push_back(static_cast<double>(std::accumulate(r.found.begin(), r.found.end(), 0LL)));
  const size_t rank = RankOfTruth(r, k.want);
  AddTally(tallies, KindOf(k.feature), rank);
  // With a list of known formulas, how the features whose formula it holds fare against the others.
  if (known && k.parsed) {
    const bool listed = known->Contains(KnownFormulas::CountsOf(*k.parsed));
    tallies[listed ? "formula known" : "formula not known"].Add(rank);
  }
  if (!r.candidates.empty()) firsts.push_back({r.candidates.front().probability, rank == 1});
  std::string cause;
  if (rank == 0) cause = !r.problem.empty() ? "ion type cannot be used"
                         : k.parsed         ? "not found: " + WhyNotFound(*k.parsed, config)
                                            : "truth unreadable";
  else if (rank > 1) cause = MissCause(k.feature, r, rank);
  if (cause.empty()) return;
  ++causes[cause];
  char line[512];
  const std::string best = r.candidates.empty() ? "-"
                           : chem::ToAscii(r.candidates.front().neutral) + " " +
                                 r.ions[r.candidates.front().ion].Notation();
  std::snprintf(line, sizeof line, "%s\t%s\t%s\trank %zu\tbest %s\t%s", k.feature.id.c_str(), k.want.c_str(),
                k.ion.empty() ? "?" : k.ion.c_str(), rank, best.c_str(), cause.c_str());
  missLines.push_back(line);
}

void Measures::Print(size_t misses) {
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
  for (size_t i = 0; i < std::min(misses, missLines.size()); ++i) std::printf("%s\n", missLines[i].c_str());
}

// The training features of the known features, as the training program fits the model: each feature once with the
// ion type its file gives, once without (the true ion the right one); read from the cache when it holds them.
std::vector<CachedFeature> TrainingFeatures(const Ranker& ranker, const std::vector<Known>& known,
                                            const std::string& cache) {
  if (!cache.empty())
    if (auto read = ReadTrainingCache(cache)) return *read;
  std::vector<CachedFeature> out;
  for (const Known& k : known) {
    Feature given = k.feature;
    given.ion = k.ion;
    for (bool unknownIon : {false, true})
      if (auto one = TrainingFeatureOf(ranker, given, k.want, k.ion, unknownIon))
        out.push_back({std::move(*one), !unknownIon});
  }
  if (!cache.empty()) WriteTrainingCache(cache, out);
  return out;
}

// The terms named (comma-separated) set to 0 in every candidate, so that the fit gives them no weight.
void LeaveOut(std::vector<TrainingFeature>& training, const std::string& names) {
  for (size_t t = 0; t < kTerms; ++t) {
    const std::string name(TermName(static_cast<Term>(t)));
    if (("," + names + ",").find("," + name + ",") == std::string::npos) continue;
    for (TrainingFeature& f : training)
      for (Evidence& x : f.candidates) x[t] = 0;
  }
}

// The figures of the judged candidates reordered by each fold's model (the features with their ion types given, and
// without), by kind of evidence.
void PrintQuick(const std::vector<CachedFeature>& cached, const std::vector<HeldOut>& held) {
  for (bool given : {true, false}) {
    std::map<std::string, Tally> tallies;
    std::vector<std::pair<double, bool>> firsts;
    for (size_t i = 0; i < cached.size(); ++i) {
      if (cached[i].ionGiven != given) continue;
      AddTally(tallies, std::string(KindName(held[i].kind)), held[i].rank);
      firsts.push_back({held[i].firstProbability, held[i].rank == 1});
    }
    std::printf("%s\n", given ? "ion types given" : "ion types unknown");
    std::printf("features\tcount\tfound %%\ttop-1 %%\ttop-5 %%\n");
    for (const auto& [kind, t] : tallies)
      std::printf("%s\t%zu\t%.1f\t%.1f\t%.1f\n", kind.c_str(), t.features, Percent(t.found, t.features),
                  Percent(t.top1, t.features), Percent(t.top5, t.features));
    PrintReliability(firsts);
  }
}

// The models of a cross-validation: per fold, the one the training program fits on the other folds' features, its
// further rounds ranking only those; empty after saying why a ranker cannot be made.
std::vector<ScoreModel> FoldModels(const std::vector<TrainingFeature>& training, const std::vector<Known>& known,
                                   const ScoreModel& base, const Args& a) {
  std::vector<ScoreModel> models;
  for (size_t k = 0; k < a.folds; ++k) {
    std::vector<TrainingFeature> train;
    for (const TrainingFeature& f : training)
      if (FoldOf(f.formula, a.folds) != k) train.push_back(f);
    std::vector<Known> others;
    for (const Known& f : known)
      if (FoldOf(f.want, a.folds) != k) others.push_back(f);
    const auto model = FitInRounds(std::move(train), a.rounds, a.find, base, a.fit, [&](const Ranker& again) {
      std::vector<TrainingFeature> more;
      for (CachedFeature& c : TrainingFeatures(again, others, "")) more.push_back(std::move(c.feature));
      LeaveOut(more, a.dropTerms);
      return more;
    });
    if (!model) return {};
    models.push_back(*model);
  }
  return models;
}

// A ranking timed in processor milliseconds.
RankResult Timed(const Ranker& ranker, const Feature& f, double& ms) {
  const double start = CpuSeconds();
  RankResult r = ranker.Rank(f);
  ms = (CpuSeconds() - start) * 1000;
  return r;
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
  // Training ranks for the terms of each feature's judged candidates, as the training program does.
  const auto made = MakeRankerOrSay(a.find, [&](RankOptions& o) {
    if (model) o.model = *model;
    if (a.folds > 0) o.top = kMsmsJudged;
  });
  if (!made) return 2;
  const Ranker& ranker = *made;
  const ScoreModel& base = ranker.Config().model;
  const auto read = ReadFeaturesOrSay(a.features, ranker);
  if (!read) return 2;
  const auto truthBytes = ReadWholeFile(a.truth, &why);
  if (!truthBytes) {
    std::cerr << why << "\n";
    return 2;
  }
  const std::vector<Known> known = KnownFeatures(*read, ReadTruth(*truthBytes), a);

  Measures m;
  m.known = ranker.Config().known ? ranker.Config().known : KnownFormulas::Read(DefaultKnownFormulasPath(), &why);
  double ms = 0;
  if (a.folds == 0) {
    for (const Known& k : known) m.Add(k, Timed(ranker, k.feature, ms), ms, ranker.Config());
    m.Print(a.misses);
    return 0;
  }
  const std::vector<CachedFeature> cached = TrainingFeatures(ranker, known, a.cache);
  std::vector<TrainingFeature> training;
  for (const CachedFeature& c : cached) training.push_back(c.feature);
  LeaveOut(training, a.dropTerms);
  if (a.quick) {
    PrintQuick(cached, CrossValidate(training, a.folds, base, a.fit));
    return 0;
  }
  std::vector<ScoreModel> models = FoldModels(training, known, base, a);
  if (models.empty()) return 2;
  std::vector<std::unique_ptr<Ranker>> rankers;
  for (ScoreModel& fitted : models) {
    rankers.push_back(MakeRankerOrSay(a.find, [&](RankOptions& o) { o.model = std::move(fitted); }));
    if (!rankers.back()) return 2;
  }
  for (const Known& k : known) {
    const Ranker& held = *rankers[FoldOf(k.want, a.folds)];
    m.Add(k, Timed(held, k.feature, ms), ms, held.Config());
  }
  std::printf("cross-validated over %zu folds split by formula: each feature ranked by the model fitted on the others\n",
              a.folds);
  m.Print(a.misses);
  return 0;
}
