#include "rank/ranker.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <functional>
#include <limits>

#include "chemistry/formula_rules.h"
#include "rank/adduct_evidence.h"
#include "rank/adduct_mark.h"
#include "rank/candidate_terms.h"
#include "rank/common_ions.h"
#include "rank/feature_evidence.h"
#include "rank/ion_layout.h"
#include "rank/isotope_fit.h"
#include "rank/msms_evidence.h"
#include "spectra/evidence.h"
#include "spectra/peak_precision.h"

namespace zelm {

namespace {

// The hits of one ion type that keep the hard rules: their neutral counts per entry (flat), sums and verdicts.
class Keeper : public FormulaSink {
 public:
  Keeper(const IonLayout& ion, const chem::FormulaRules& rules, const chem::RuleSettings& settings)
      : ion_(ion), rules_(rules), settings_(settings), n_(ion.Size()), neutral_(n_), charged_(n_) {}
  bool Hit(const int* count, int, double sum) override {
    // Most hits break a hard rule: those are told apart by the quick tests, only the rest judged in full.
    if (ion_.BreaksRdbe(count, settings_)) return false;
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
  const chem::RuleSettings& settings_;
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
  double absPpm = 0;
  double cheap = 0, score = 0;  // the score of its cheap terms, and of all
  std::optional<IsotopeFit> isotope;
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
    for (const chem::IonType& ion : result_.ions) ionTerms_.push_back(IonTerm(ion));
    // The same molecule's other ions in the survey spectrum.
    if (!feature.ms1.empty() && feature.Polarity() != 0) {
      family_.emplace(feature.ms1.front(), feature.mz, CommonIons(feature.Polarity(), config.table.table),
                      config.table.table, config.tolerance);
      for (const chem::IonType& ion : result_.ions) members_.push_back(family_->Member(ion));
    }
    const int decimals = WrittenDecimals(feature);
    coarse_ = decimals >= 0 && decimals <= kCoarseDecimals;
    FeatureEvidence e = EvidenceOf(feature, config, charge);
    result_.msmsPeaks = std::move(e.msms);
    result_.isotopePeaks = std::move(e.isotopes);
    result_.knownFormulas = config.known != nullptr;
    for (const chem::IonType& ion : result_.ions)
      marks_.push_back(config.msms ? AdductMarkSeen(ion, result_.msmsPeaks, feature.mz, config.fragments) : 0);
  }

  RankResult Run(bool countOnly) {
    for (size_t i = 0; i < result_.ions.size(); ++i) Enumerate(i, countOnly);
    if (countOnly) return std::move(result_);
    bool fragments = false;
    for (const IonRun& r : runs_) fragments |= r.fragments != nullptr;
    kind_ = KindOf(!result_.isotopePeaks.empty(), fragments);
    for (Pending& p : pending_) JudgeCheap(p);
    if (!result_.isotopePeaks.empty()) JudgeIsotopes();
    if (fragments) JudgeMsms();
    Probabilities();
    const size_t shown = config_.top > 0 ? std::min(config_.top, pending_.size()) : pending_.size();
    Best(shown);
    for (size_t k = 0; k < shown; ++k) result_.candidates.push_back(Candidate(pending_[k], static_cast<int>(k + 1)));
    for (RankedCandidate& c : result_.candidates) c.probability = std::exp((c.score - top_) / config_.model.temperature) / sum_;
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
    run.hits = std::make_unique<Keeper>(*run.layout, *run.rules, config_.rules);
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

  // The candidate's terms: the cheap ones, then those of the costly parts it was judged by.
  Evidence Terms(const Pending& p) {
    const IonRun& run = runs_[p.ion];
    Evidence x{};
    const double share = half_ > 0 ? std::fabs(feature_.mz - Theoretical(p)) / half_ : 0;
    CheapTerms(*run.layout, run.hits->Counts(p.hit), run.hits->Verdict(p.hit), share, run.hits->Sum(p.hit),
               ionTerms_[p.ion], config_.model, config_.known.get(), x);
    if (coarse_) {
      x[Index(Term::CoarseMassShare)] = share;
      x[Index(Term::CoarseMassShare2)] = share * share;
    }
    if (family_) x[Index(Term::OtherIonsSeen)] = family_->Of(run.hits->Sum(p.hit), members_[p.ion]).seen;
    x[Index(Term::AdductMark)] = marks_[p.ion];
    if (p.isotope) IsotopeTerms(p.isotope, x);
    if (p.msms >= 0) {
      const double theoretical = Theoretical(p);
      MsmsTerms(evidence_[static_cast<size_t>(p.msms)], (feature_.mz - theoretical) / theoretical * 1e6,
                half_ / feature_.mz * 1e6, x);
    }
    return x;
  }

  void JudgeCheap(Pending& p) {
    p.cheap = p.score = config_.model.Score(kind_, Terms(p), true);
  }

  // The costly part of each judged candidate; the others get the lowest of them.
  void AddCostly(size_t judged, const std::function<void(Pending&)>& judge) {
    double lowest = 0;
    for (size_t k = 0; k < judged; ++k) {
      Pending& p = pending_[k];
      const double before = p.score;
      judge(p);
      lowest = k == 0 ? p.score - before : std::min(lowest, p.score - before);
    }
    for (size_t k = judged; k < pending_.size(); ++k) pending_[k].score += lowest;
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
    auto better = [&](const Pending& a, const Pending& b) { return Better(a, b); };
    // A heap is slower than a sort when (nearly) all are wanted.
    if (count * 2 >= pending_.size()) std::sort(pending_.begin(), pending_.end(), better);
    else std::partial_sort(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count), pending_.end(), better);
    return count;
  }

  // Isotope peaks are linked within the reach the envelope was cut with, kIsotopeReach times the tolerance.
  void JudgeIsotopes() {
    AddCostly(Best(kIsotopesJudged), [&](Pending& p) {
      const IonRun& run = runs_[p.ion];
      p.isotope = CandidateIsotopeFit(run.layout->Composition(IonCounts(p)), result_.ions[p.ion].Charge(),
                                      config_.table.table, config_.resolution, result_.isotopePeaks,
                                      kIsotopeReach * half_);
      Rescore(p);
    });
  }

  void JudgeMsms() {
    AddCostly(Best(kMsmsJudged), [&](Pending& p) {
      const IonRun& run = runs_[p.ion];
      if (!run.fragments) return;
      p.msms = static_cast<int>(evidence_.size());
      evidence_.push_back(run.fragments->Explain(IonCounts(p), config_.explain));
      Rescore(p);
    });
  }

  void Rescore(Pending& p) { p.score = config_.model.Score(kind_, Terms(p)); }

  // Each candidate's share exp(score / temperature) of its feature's, all candidates counted.
  void Probabilities() {
    top_ = -std::numeric_limits<double>::infinity();
    for (const Pending& p : pending_) top_ = std::max(top_, p.score);
    sum_ = 0;
    for (const Pending& p : pending_) sum_ += std::exp((p.score - top_) / config_.model.temperature);
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
    c.kind = kind_;
    c.evidence = Terms(p);
    c.judged = (result_.isotopePeaks.empty() || p.isotope.has_value()) && (!runs_[p.ion].fragments || p.msms >= 0);
    c.parts = Parts(c.evidence, p.score);
    if (p.isotope) c.isotopeScore = p.isotope->score;
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

  // The score's parts by kind of term; what a candidate not judged by a costly part got for it goes to that part.
  ScoreParts Parts(const Evidence& x, double score) const {
    const Evidence s = config_.model.TermScores(kind_, x);
    ScoreParts parts;
    for (size_t t = 0; t < kTerms; ++t) {
      const Term term = static_cast<Term>(t);
      double& part = term <= Term::CoarseMassShare2 ? parts.mass
                     : term == Term::SoftRules       ? parts.rules
                     : term >= Term::IsotopeFit && term <= Term::IsotopeShift2Tail ? parts.isotopes
                     : term >= Term::MsmsLlr && term <= Term::MsmsError ? parts.msms
                                                                        : parts.prior;
      part += s[t];
    }
    const double rest = score - (parts.mass + parts.rules + parts.prior + parts.isotopes + parts.msms);
    (result_.msmsPeaks.empty() || kind_ == EvidenceKind::Ms1Only ? parts.isotopes : parts.msms) += rest;
    return parts;
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
  std::vector<Term> ionTerms_;  // per ion
  std::vector<double> marks_;   // per ion, AdductMarkSeen
  std::optional<AdductFamily> family_;  // with a survey spectrum and a known polarity
  std::vector<size_t> members_;         // per ion, its index in the family
  EvidenceKind kind_ = EvidenceKind::Neither;
  bool coarse_ = false;  // the feature's peaks are written coarsely
  double top_ = 0, sum_ = 1;  // the highest score, and the sum of exp((score - top_) / temperature)
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
  std::vector<chem::IonType> ions = IonsOfFeature(f, config_, why);
  if (ions.empty()) return std::nullopt;
  return ions;
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
