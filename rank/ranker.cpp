#include "rank/ranker.h"

#include <algorithm>
#include <bit>
#include <cmath>

#include "chemistry/formula_rules.h"
#include "rank/feature_evidence.h"
#include "rank/ion_layout.h"
#include "rank/isotope_fit.h"
#include "rank/msms_evidence.h"

namespace zelm {

namespace {

// The hits of one ion type that keep the hard rules: their neutral counts per entry (flat), sums and verdicts.
class Keeper : public FormulaSink {
 public:
  Keeper(const IonLayout& ion, const chem::FormulaRules& rules)
      : ion_(ion), rules_(rules), n_(ion.Size()), neutral_(n_), charged_(n_) {}
  bool Hit(const int* count, int, double sum) override {
    // Most hits break a hard rule: those are told apart by the quick test, only the rest judged in full.
    ion_.Neutral(count, neutral_.data());
    if (!rules_.Passes(neutral_.data()) || !ion_.IonOf(neutral_.data(), charged_.data())) return false;
    const chem::FormulaRules::Verdict v = rules_.Judge(neutral_.data());
    counts_.insert(counts_.end(), neutral_.begin(), neutral_.end());
    sums_.push_back(sum);
    verdicts_.push_back(v);
    return false;
  }
  bool Pause(const EnumerationStats&) override { return false; }
  double Clock() override { return 0; }
  size_t Size() const { return sums_.size(); }
  const long long* Counts(size_t i) const { return counts_.data() + i * n_; }
  double Sum(size_t i) const { return sums_[i]; }
  const chem::FormulaRules::Verdict& Verdict(size_t i) const { return verdicts_[i]; }

 private:
  const IonLayout& ion_;
  const chem::FormulaRules& rules_;
  size_t n_;
  std::vector<long long> neutral_, charged_;
  std::vector<long long> counts_;
  std::vector<double> sums_;
  std::vector<chem::FormulaRules::Verdict> verdicts_;
};

// Everything a feature's search of one ion type needs and finds.
struct IonRun {
  std::unique_ptr<IonLayout> layout;
  std::unique_ptr<chem::FormulaRules> rules;
  std::unique_ptr<Keeper> hits;
  std::unique_ptr<FragmentExplainer> fragments;
  chem::IonMassRule rule;
};

// A candidate being ranked.
struct Pending {
  size_t ion = 0, hit = 0;
  double absPpm = 0, score = 0;
  ScoreParts parts;
  std::optional<double> isotope;
  int msms = -1;  // the index of its MS/MS evidence, -1 when it was not judged by it
};

bool RulesOff(const chem::RuleSettings& r) {
  return !r.rdbe && !r.senior && r.ratios == chem::RatioPreset::Off && r.ratioOverrides.empty();
}

long long CountOnly(const FormulaEnumerator& enumerator, double lower, double upper) {
  struct None : FormulaSink {
    bool Hit(const int*, int, double) override { return false; }
    bool Pause(const EnumerationStats&) override { return false; }
    double Clock() override { return 0; }
  } none;
  EnumerationOptions options;
  options.countOnly = true;
  return enumerator.Enumerate(lower, upper, none, options).hits;
}

// One feature's search: its ion types' candidates judged and ranked.
class Search {
 public:
  Search(const RankConfig& config, const FormulaEnumerator& enumerator, const Feature& feature,
         std::vector<chem::IonType> ions)
      : config_(config), enumerator_(enumerator), feature_(feature), runs_(ions.size()) {
    result_.ions = std::move(ions);
    half_ = config.tolerance.HalfWidth(feature.mz);
    // The isotope peaks lie 1/|z| apart: the charge of the first ion type that has one.
    int charge = 0;
    for (const chem::IonType& ion : result_.ions)
      if (charge == 0) charge = ion.Charge();
    FeatureEvidence e = EvidenceOf(feature, config, charge);
    result_.msmsPeaks = std::move(e.msms);
    result_.isotopePeaks = std::move(e.isotopes);
  }

  RankResult Run(bool countOnly) {
    for (size_t i = 0; i < result_.ions.size(); ++i) Enumerate(i, countOnly);
    if (countOnly) return std::move(result_);
    for (Pending& p : pending_) JudgePrior(p);
    if (!result_.isotopePeaks.empty()) JudgeIsotopes();
    JudgeMsms();
    const size_t shown = config_.top > 0 ? std::min(config_.top, pending_.size()) : pending_.size();
    Best(shown);
    for (size_t k = 0; k < shown; ++k) result_.candidates.push_back(Candidate(pending_[k], static_cast<int>(k + 1)));
    return std::move(result_);
  }

 private:
  // The hits of ion i keeping the hard rules, as pending candidates.
  void Enumerate(size_t i, bool countOnly) {
    const chem::IonType& ion = result_.ions[i];
    const auto rule = ion.MassRule(config_.table.table);
    if (!rule) {
      result_.found.push_back(0);
      return;
    }
    IonRun& run = runs_[i];
    run.rule = *rule;
    // The window on the neutral mass that puts the ion's m/z inside the tolerance.
    double lower = rule->NeutralOf(feature_.mz - half_), upper = rule->NeutralOf(feature_.mz + half_);
    if (lower > upper) std::swap(lower, upper);
    // Without rules or losses every formula is a candidate, so counting needs no formula at all.
    if (countOnly && ion.Losses().Empty() && RulesOff(config_.rules)) {
      result_.found.push_back(CountOnly(enumerator_, lower, upper));
      return;
    }
    run.layout = std::make_unique<IonLayout>(config_.blocks, ion, config_.table.table, config_.rules.valences);
    run.rules = std::make_unique<chem::FormulaRules>(config_.rules, run.layout->symbols);
    run.hits = std::make_unique<Keeper>(*run.layout, *run.rules);
    enumerator_.Enumerate(lower, upper, *run.hits, EnumerationOptions{});
    const Keeper& hits = *run.hits;
    result_.found.push_back(static_cast<long long>(hits.Size()));
    if (countOnly) return;

    // The hits by the size of their error in ppm; equal errors by formula, so that the order does not depend on how
    // the blocks were given. With maxCandidates only the closest are ranked.
    std::vector<Pending> own(hits.Size());
    for (size_t h = 0; h < own.size(); ++h) {
      const double theoretical = rule->MzOf(hits.Sum(h));
      own[h].ion = i;
      own[h].hit = h;
      own[h].absPpm = std::fabs((feature_.mz - theoretical) / theoretical * 1e6);
    }
    const size_t most = config_.maxCandidates;
    if (most > 0 && own.size() > most) {
      auto byError = [&](const Pending& a, const Pending& b) {
        if (a.absPpm != b.absPpm) return a.absPpm < b.absPpm;
        return FormulaText(a, ta_) < FormulaText(b, tb_);
      };
      std::nth_element(own.begin(), own.begin() + static_cast<std::ptrdiff_t>(most), own.end(), byError);
      own.resize(most);
    }
    if (config_.msms && !result_.msmsPeaks.empty() && ion.Charge() != 0)
      run.fragments = std::make_unique<FragmentExplainer>(run.layout->masses, run.layout->valences, ion.Charge(),
                                                          result_.msmsPeaks, feature_.mz, config_.fragments);
    pending_.insert(pending_.end(), own.begin(), own.end());
  }

  const std::string& FormulaText(const Pending& p, std::string& out) const {
    runs_[p.ion].layout->layout.Write(runs_[p.ion].hits->Counts(p.hit), false, out);
    return out;
  }

  // The ion's counts of a candidate, into charged_ (the hits kept can all form their ion).
  const long long* IonCounts(const Pending& p) {
    const IonRun& run = runs_[p.ion];
    charged_.resize(std::max(charged_.size(), run.layout->Size()));
    run.layout->IonOf(run.hits->Counts(p.hit), charged_.data());
    return charged_.data();
  }

  double Theoretical(const Pending& p) const { return runs_[p.ion].rule.MzOf(runs_[p.ion].hits->Sum(p.hit)); }

  void JudgePrior(Pending& p) const {
    const IonRun& run = runs_[p.ion];
    const double share = half_ > 0 ? std::fabs(feature_.mz - Theoretical(p)) / half_ : 0;
    const ScoreModel& m = config_.model;
    p.parts.mass = -m.massWeight * share * share;
    p.parts.rules = -m.softWeight * std::popcount(run.hits->Verdict(p.hit).soft);
    p.parts.prior = run.layout->Prior(run.hits->Counts(p.hit), m);
    p.score = m.Prior(share, std::popcount(run.hits->Verdict(p.hit).soft), p.parts.prior);
  }

  bool Better(const Pending& a, const Pending& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.absPpm != b.absPpm) return a.absPpm < b.absPpm;
    FormulaText(a, ta_);
    FormulaText(b, tb_);
    if (ta_ != tb_) return ta_ < tb_;
    return a.ion < b.ion;
  }

  // The best `count` first, in order.
  size_t Best(size_t count) {
    count = std::min(count, pending_.size());
    std::partial_sort(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count), pending_.end(),
                      [&](const Pending& a, const Pending& b) { return Better(a, b); });
    return count;
  }

  void JudgeIsotopes() {
    const size_t judged = Best(kIsotopesJudged);
    for (size_t k = 0; k < pending_.size(); ++k) {
      Pending& p = pending_[k];
      if (k >= judged) {
        // Not among the best: counted as fitting not at all.
        p.parts.isotopes = IsotopePart(0);
      } else {
        const IonRun& run = runs_[p.ion];
        p.isotope = CandidateIsotopeScore(run.layout->Composition(IonCounts(p)), result_.ions[p.ion].Charge(),
                                          config_.table.table, config_.resolution, result_.isotopePeaks, half_);
        if (!p.isotope) continue;
        p.parts.isotopes = IsotopePart(*p.isotope);
      }
      p.score += p.parts.isotopes;
    }
  }

  void JudgeMsms() {
    bool any = false;
    for (const IonRun& r : runs_) any |= r.fragments != nullptr;
    if (!any) return;
    const size_t judged = Best(kMsmsJudged);
    const double worst = config_.model.msmsWeight * std::log(0.1 / 0.99);
    for (size_t k = 0; k < pending_.size(); ++k) {
      Pending& p = pending_[k];
      const IonRun& run = runs_[p.ion];
      if (!run.fragments) continue;
      if (k >= judged) {
        // Not among the best: counted as explaining nothing.
        p.parts.msms = worst;
      } else {
        p.msms = static_cast<int>(evidence_.size());
        evidence_.push_back(run.fragments->Explain(IonCounts(p), config_.explain));
        p.parts.msms = MsmsScore(evidence_.back(), config_.model);
      }
      p.score += p.parts.msms;
    }
  }

  RankedCandidate Candidate(const Pending& p, int rank) {
    const IonRun& run = runs_[p.ion];
    const IonLayout& ion = *run.layout;
    RankedCandidate c;
    c.ion = p.ion;
    c.neutral = ion.Composition(run.hits->Counts(p.hit));
    c.ionFormula = ion.Composition(IonCounts(p));
    c.neutralMass = run.hits->Sum(p.hit);
    c.mzTheoretical = run.rule.MzOf(c.neutralMass);
    c.errorPpm = (feature_.mz - c.mzTheoretical) / c.mzTheoretical * 1e6;
    c.errorMda = (feature_.mz - c.mzTheoretical) * 1000;
    c.rdbe = run.hits->Verdict(p.hit).rdbe;
    c.rank = rank;
    c.score = p.score;
    c.parts = p.parts;
    c.isotopeScore = p.isotope;
    c.softRules = run.hits->Verdict(p.hit).soft;
    if (p.msms < 0) return c;
    const MsmsEvidence& msms = evidence_[static_cast<size_t>(p.msms)];
    if (msms.peaks > 0) c.msmsExplained = msms.explainedIntensity;
    for (const PeakExplanation& x : msms.explanations) {
      const double mz = result_.msmsPeaks[x.peak].mz;
      c.fragments.push_back({x.peak, ion.Composition(x.counts.data()), x.mzTheoretical,
                             (mz - x.mzTheoretical) / x.mzTheoretical * 1e6, (mz - x.mzTheoretical) * 1000});
    }
    return c;
  }

  const RankConfig& config_;
  const FormulaEnumerator& enumerator_;
  const Feature& feature_;
  std::vector<IonRun> runs_;
  RankResult result_;
  double half_ = 0;
  std::vector<Pending> pending_;
  std::vector<MsmsEvidence> evidence_;
  std::vector<long long> charged_;
  std::string ta_, tb_;
};

}  // namespace

Ranker::Ranker(RankConfig config) : config_(std::move(config)) {
  std::vector<BlockRange> ranges;
  for (const Block& b : config_.blocks) ranges.push_back({b.mass, b.min, b.max});
  // A longer list of the lightest blocks' vectors than the enumerator's default: with the usual elements it then holds
  // H, C and N together (about 325 000 vectors, 4 MB), which saves the search a level of partial vectors per feature
  // at the cost of a moment when the ranker is made.
  enumerator_ = std::make_unique<FormulaEnumerator>(ranges, int64_t{1} << 18, 1e-4, int64_t{1} << 19);
}

Ranker::~Ranker() = default;

std::optional<std::vector<chem::IonType>> Ranker::IonsFor(const Feature& f, std::string* why) const {
  const chem::ElementTable& table = config_.table.table;
  if (!f.ion.empty()) {
    const auto parsed = chem::IonType::Parse(f.ion, &table);
    if (parsed) return std::vector<chem::IonType>{*parsed};
    if (why)
      *why = ReadProblem{f.file, f.line, "the ion type \"" + f.ion + "\" cannot be used: " + parsed.Error().message}
                 .Text();
    return std::nullopt;
  }
  if (config_.ionsGiven || f.Polarity() == 0) return config_.ions;
  const int z = f.charge != 0 ? std::abs(f.charge) : 1;
  const std::string count = z == 1 ? "" : std::to_string(z);
  const std::string notation = f.Polarity() > 0 ? "[M+" + count + "H]" + count + "+" : "[M-" + count + "H]" + count + "-";
  return std::vector<chem::IonType>{*chem::IonType::Parse(notation, &table)};
}

RankResult Ranker::Run(const Feature& feature, bool countOnly) const {
  std::string why;
  auto ions = IonsFor(feature, &why);
  if (!ions) {
    RankResult failed;
    failed.problem = why;
    return failed;
  }
  return Search(config_, *enumerator_, feature, std::move(*ions)).Run(countOnly);
}

RankResult Ranker::Rank(const Feature& feature) const { return Run(feature, false); }
RankResult Ranker::Count(const Feature& feature) const { return Run(feature, true); }

}  // namespace zelm
