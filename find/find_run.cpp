#include "find/find_run.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <memory>

#include "chemistry/formula_notation.h"
#include "find/formula_layout.h"
#include "find/isotope_fit.h"

namespace zelm {

double ElementPrior(std::string_view symbol) {
  // Roughly the natural logarithm of how much rarer known small molecules with the element are than those of C, H,
  // N and O alone.
  static const std::pair<std::string_view, double> kCost[] = {{"S", 2.0}, {"P", 3.0},  {"F", 3.0},
                                                              {"Cl", 3.0}, {"Br", 4.0}, {"I", 5.0}};
  for (const auto& [s, cost] : kCost)
    if (s == symbol) return -cost * kElementWeight;
  return 0;
}

double PriorScore(double errorShare, int softBreaks, double elementPrior, std::optional<double> isotopeScore) {
  double score = -kMassWeight * errorShare * errorShare - kSoftWeight * softBreaks + elementPrior;
  if (isotopeScore) score += 2 * std::log(std::max(*isotopeScore, 0.01));
  return score;
}

double MsmsScore(const MsmsEvidence& msms) {
  if (msms.peaks == 0) return 0;
  // The log-likelihood ratio of the explanations against chance: a peak of the true formula is explained nine times
  // in ten, a peak at random with the candidate's chance; weighed by intensity, averaged over the peaks.
  const double r = std::clamp(msms.chance, 0.01, 0.99);
  const double yes = std::log(0.9 / r), no = std::log(0.1 / (1 - r));
  double sum = 0, weights = 0;
  for (const auto& [w, credit] : msms.weights) {
    const double weight = 0.5 + 0.5 * w;
    sum += weight * (credit * yes + (1 - credit) * no);
    weights += weight;
  }
  return weights > 0 ? kMsmsWeight * sum / weights : 0;
}

namespace {

// How a query's hits of one ion type become formulas: every entry the blocks and the ion's groups can give laid out
// once, each block's share of them, and the ion's groups.
struct IonLayout {
  FormulaLayout layout;
  std::vector<std::vector<std::pair<size_t, long long>>> blockShares;
  std::vector<std::pair<size_t, long long>> adducts, losses;
  int multimer = 1;
  std::vector<std::string> symbols;  // per entry
  std::vector<double> masses;        // per entry, its monoisotopic mass (0 when unknown)
  std::vector<int> valences;         // per entry, 0 when unknown
  std::vector<double> prior;         // per entry, its element's prior
  std::vector<chem::CompositionEntry> entries;

  IonLayout(const std::vector<Block>& blocks, const chem::IonType& ion, const chem::ElementTable& table,
            const chem::Valences& valence)
      : multimer(ion.Multimer()) {
    std::vector<chem::CompositionEntry> keys;
    auto index = [&](const chem::CompositionEntry& e) {
      const size_t i = layout.Index(e);
      if (i == keys.size()) keys.push_back(e);
      return i;
    };
    for (const Block& b : blocks) {
      blockShares.emplace_back();
      for (const auto& e : b.formula.Entries()) blockShares.back().push_back({index(e), e.count});
    }
    const chem::Composition added = ion.Adducts(), lost = ion.Losses();
    for (const auto& e : added.Entries()) adducts.push_back({index(e), e.count});
    for (const auto& e : lost.Entries()) losses.push_back({index(e), e.count});
    layout.Finish();
    entries = keys;
    for (const auto& k : keys) {
      symbols.push_back(k.symbol);
      prior.push_back(ElementPrior(k.symbol));
      valences.push_back(valence.Of(k.symbol).value_or(0));
      const auto m = chem::Composition({{k.symbol, k.massNumber, 1}}).MonoisotopicMass(table);
      masses.push_back(m.value_or(0));
    }
    // An entry the table does not know (a library label standing for itself) weighs what its block weighs.
    for (size_t b = 0; b < blocks.size(); ++b)
      if (blockShares[b].size() == 1 && masses[blockShares[b][0].first] == 0 && blockShares[b][0].second > 0)
        masses[blockShares[b][0].first] = blocks[b].mass / static_cast<double>(blockShares[b][0].second);
  }
  size_t Size() const { return layout.Size(); }

  // The sum of the element priors of the elements present, each element once, and the ratio prior.
  double Prior(const long long* counts) const {
    double sum = 0;
    double c = 0, h = 0, nitrogen = 0, oxygen = 0, sulfurPhosphorus = 0;
    for (size_t e = 0; e < entries.size(); ++e) {
      const std::string& s = symbols[e];
      const double n = static_cast<double>(counts[e]);
      if (s == "C") c += n;
      else if (s == "S" || s == "P") sulfurPhosphorus += n;
      else if (s == "H" || s == "F" || s == "Cl" || s == "Br" || s == "I") h += n;
      else if (s == "N") nitrogen += n;
      else if (s == "O") oxygen += n;
    }
    const RatioPrior& r = kRatioPrior;
    // Beyond one of each, sulfur and phosphorus atoms are rarer still.
    sum -= r.extraSulfurPhosphorus * std::max(0.0, sulfurPhosphorus - 2);
    if (c > 0) {
      const double z = (h / c - r.hydrogenMean) / r.hydrogenWidth;
      sum -= nitrogen / c / r.nitrogenScale + oxygen / c / r.oxygenScale + z * z / 2;
    } else {
      sum -= r.noCarbon;
    }
    // The rarest element present costs its prior, each further one kRatioPrior.furtherElements of its own: rare
    // elements come together (Cl, F and S in one drug).
    double rarest = 0, rest = 0;
    for (size_t e = 0; e < entries.size(); ++e) {
      if (counts[e] <= 0 || prior[e] == 0) continue;
      bool before = false;
      for (size_t f = 0; f < e; ++f) before |= counts[f] > 0 && symbols[f] == symbols[e];
      if (before) continue;
      rest += prior[e];
      rarest = std::min(rarest, prior[e]);
    }
    return sum + rarest + r.furtherElements * (rest - rarest);
  }
  chem::Composition Composition(const long long* counts) const {
    std::vector<chem::CompositionEntry> list;
    for (size_t e = 0; e < entries.size(); ++e)
      if (counts[e] > 0) list.push_back({entries[e].symbol, entries[e].massNumber, counts[e]});
    return chem::Composition(list);
  }

  // The ion's counts of neutral counts: the molecules, the adducts added, the losses taken away. False when the ion
  // takes away more than the molecules and adducts hold.
  bool IonOf(const long long* neutral, long long* charged) const {
    for (size_t e = 0; e < Size(); ++e) charged[e] = neutral[e] * multimer;
    for (const auto& [entry, per] : adducts) charged[entry] += per;
    bool possible = true;
    for (const auto& [entry, per] : losses) possible &= (charged[entry] -= per) >= 0;
    return possible;
  }

  // The neutral counts of block counts, and the ion's beside them, as IonOf.
  bool Form(const int* blockCounts, long long* neutral, long long* charged) const {
    std::fill(neutral, neutral + Size(), 0);
    for (size_t b = 0; b < blockShares.size(); ++b)
      if (blockCounts[b] > 0)
        for (const auto& [entry, per] : blockShares[b]) neutral[entry] += per * blockCounts[b];
    return IonOf(neutral, charged);
  }
};

// The hits of one ion type that keep the hard rules: their neutral counts per entry (flat), sums and verdicts.
class Keeper : public FormulaSink {
 public:
  Keeper(const IonLayout& ion, const chem::FormulaRules& rules)
      : ion_(ion), rules_(rules), n_(ion.Size()), neutral_(n_), charged_(n_) {}
  bool Hit(const int* count, int, double sum) override {
    if (!ion_.Form(count, neutral_.data(), charged_.data())) return false;
    const chem::FormulaRules::Verdict v = rules_.Judge(neutral_.data());
    if (!v.pass) return false;
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

// Everything a query's search of one ion type needs and finds.
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
  std::optional<double> isotope;
  int msms = -1;  // the index of its MS/MS evidence, -1 when it was not judged by it
};

bool RulesOff(const chem::RuleSettings& r) {
  return !r.rdbe && !r.senior && r.ratios == chem::RatioPreset::Off && r.ratioOverrides.empty();
}

}  // namespace

QueryResult SearchQuery(const Query& query, const std::vector<chem::IonType>& ions, const std::vector<Block>& blocks,
                        const FormulaEnumerator& enumerator, const chem::ElementTable& table, const Tolerance& tolerance,
                        size_t maxCandidates, bool countOnly, bool unicode, const RankSettings& rank,
                        const std::function<void(const Candidate&)>& row) {
  QueryResult result;
  result.ions = ions;
  const double half = tolerance.HalfWidth(query.mz);
  std::vector<IonRun> runs(ions.size());
  std::vector<Pending> pending;
  std::string ta, tb;
  for (size_t i = 0; i < ions.size(); ++i) {
    const auto rule = ions[i].MassRule(table);
    if (!rule) {
      result.found.push_back(0);
      continue;
    }
    IonRun& run = runs[i];
    run.rule = *rule;
    // The window on the neutral mass that puts the ion's m/z inside the tolerance.
    double lower = rule->NeutralOf(query.mz - half), upper = rule->NeutralOf(query.mz + half);
    if (lower > upper) std::swap(lower, upper);
    // Without rules or losses every formula is a candidate, so counting needs no formula at all.
    if (countOnly && ions[i].Losses().Empty() && RulesOff(rank.rules)) {
      struct None : FormulaSink {
        bool Hit(const int*, int, double) override { return false; }
        bool Pause(const EnumerationStats&) override { return false; }
        double Clock() override { return 0; }
      } none;
      EnumerationOptions options;
      options.countOnly = true;
      result.found.push_back(enumerator.Enumerate(lower, upper, none, options).hits);
      continue;
    }
    run.layout = std::make_unique<IonLayout>(blocks, ions[i], table, rank.rules.valences);
    run.rules = std::make_unique<chem::FormulaRules>(rank.rules, run.layout->symbols);
    run.hits = std::make_unique<Keeper>(*run.layout, *run.rules);
    enumerator.Enumerate(lower, upper, *run.hits, EnumerationOptions{});
    const Keeper& hits = *run.hits;
    result.found.push_back(static_cast<long long>(hits.Size()));
    if (countOnly) continue;

    // The hits by the size of their error in ppm; equal errors by formula, so that the order does not depend on how
    // the blocks were given. With --max-candidates only the closest are ranked.
    std::vector<Pending> own(hits.Size());
    for (size_t h = 0; h < own.size(); ++h) {
      const double theoretical = rule->MzOf(hits.Sum(h));
      own[h].ion = i;
      own[h].hit = h;
      own[h].absPpm = std::fabs((query.mz - theoretical) / theoretical * 1e6);
    }
    const FormulaLayout& layout = run.layout->layout;
    auto byError = [&](const Pending& a, const Pending& b) {
      if (a.absPpm != b.absPpm) return a.absPpm < b.absPpm;
      layout.Write(hits.Counts(a.hit), false, ta);
      layout.Write(hits.Counts(b.hit), false, tb);
      return ta < tb;
    };
    if (maxCandidates > 0 && own.size() > maxCandidates) {
      std::nth_element(own.begin(), own.begin() + static_cast<std::ptrdiff_t>(maxCandidates), own.end(), byError);
      own.resize(maxCandidates);
    }
    if (rank.msms && !query.peaks.empty() && ions[i].Charge() != 0)
      run.fragments = std::make_unique<FragmentExplainer>(run.layout->masses, run.layout->valences, ions[i].Charge(),
                                                          query.peaks, query.mz, rank.fragments);
    pending.insert(pending.end(), own.begin(), own.end());
  }
  if (countOnly) return result;

  // Judge every candidate: first by its mass error, rules and elements, then the best by their isotope fit, then
  // the best of those by their MS/MS evidence.
  const size_t n = [&] {
    size_t most = 0;
    for (const IonRun& r : runs)
      if (r.layout) most = std::max(most, r.layout->Size());
    return most;
  }();
  std::vector<long long> charged(n);
  // The ion's counts of a candidate, into charged (the hits kept can all form their ion).
  auto ionCounts = [&](const Pending& p) {
    runs[p.ion].layout->IonOf(runs[p.ion].hits->Counts(p.hit), charged.data());
  };
  for (Pending& p : pending) {
    const IonRun& run = runs[p.ion];
    const long long* counts = run.hits->Counts(p.hit);
    const double theoretical = run.rule.MzOf(run.hits->Sum(p.hit));
    const double share = half > 0 ? std::fabs(query.mz - theoretical) / half : 0;
    p.score = PriorScore(share, std::popcount(run.hits->Verdict(p.hit).soft), run.layout->Prior(counts), std::nullopt);
  }
  auto formulaOf = [&](const Pending& p, std::string& out) {
    runs[p.ion].layout->layout.Write(runs[p.ion].hits->Counts(p.hit), false, out);
  };
  auto better = [&](const Pending& a, const Pending& b) {
    if (a.score != b.score) return a.score > b.score;
    if (a.absPpm != b.absPpm) return a.absPpm < b.absPpm;
    formulaOf(a, ta);
    formulaOf(b, tb);
    if (ta != tb) return ta < tb;
    return a.ion < b.ion;
  };
  // The best `count` first, in order.
  auto best = [&](size_t count) {
    count = std::min(count, pending.size());
    std::partial_sort(pending.begin(), pending.begin() + static_cast<std::ptrdiff_t>(count), pending.end(), better);
    return count;
  };
  if (!query.isotopePeaks.empty()) {
    const size_t judged = best(kIsotopesJudged);
    for (size_t k = 0; k < pending.size(); ++k) {
      Pending& p = pending[k];
      if (k >= judged) {
        // Not among the best: counted as fitting not at all.
        p.score += 2 * std::log(0.01);
        continue;
      }
      const IonRun& run = runs[p.ion];
      ionCounts(p);
      p.isotope = CandidateIsotopeScore(run.layout->Composition(charged.data()), ions[p.ion].Charge(), table,
                                        rank.resolution, query.isotopePeaks, half);
      if (p.isotope) p.score += 2 * std::log(std::max(*p.isotope, 0.01));
    }
  }
  std::vector<MsmsEvidence> evidence;
  bool anyFragments = false;
  for (const IonRun& r : runs) anyFragments |= r.fragments != nullptr;
  if (anyFragments) {
    const size_t judged = best(kMsmsJudged);
    const double worst = kMsmsWeight * std::log(0.1 / 0.99);
    for (size_t k = 0; k < pending.size(); ++k) {
      Pending& p = pending[k];
      const IonRun& run = runs[p.ion];
      if (!run.fragments) continue;
      if (k >= judged) {
        // Not among the best: counted as explaining nothing.
        p.score += worst;
        continue;
      }
      ionCounts(p);
      p.msms = static_cast<int>(evidence.size());
      evidence.push_back(run.fragments->Explain(charged.data(), rank.explain));
      p.score += MsmsScore(evidence.back());
    }
  }
  const size_t shown = rank.top > 0 ? std::min(rank.top, pending.size()) : pending.size();
  best(shown);

  Candidate c;
  for (size_t k = 0; k < shown; ++k) {
    const Pending& p = pending[k];
    const IonRun& run = runs[p.ion];
    const IonLayout& ion = *run.layout;
    const long long* counts = run.hits->Counts(p.hit);
    ionCounts(p);
    c.ion = p.ion;
    ion.layout.Write(counts, unicode, c.formula);
    ion.layout.Write(charged.data(), unicode, c.ionFormula);
    c.neutralMass = run.hits->Sum(p.hit);
    c.mzTheoretical = run.rule.MzOf(c.neutralMass);
    c.errorPpm = (query.mz - c.mzTheoretical) / c.mzTheoretical * 1e6;
    c.errorMda = (query.mz - c.mzTheoretical) * 1000;
    c.rdbe = run.hits->Verdict(p.hit).rdbe;
    c.rank = static_cast<int>(k + 1);
    c.score = p.score;
    c.isotopeScore = p.isotope;
    c.msmsExplained.reset();
    static const MsmsEvidence kNone;
    const MsmsEvidence& msms = p.msms >= 0 ? evidence[static_cast<size_t>(p.msms)] : kNone;
    if (p.msms >= 0 && msms.peaks > 0) c.msmsExplained = msms.explainedIntensity;
    c.rules = chem::SoftBreakNames(run.hits->Verdict(p.hit).soft);
    c.fragments.clear();
    for (const PeakExplanation& x : msms.explanations) {
      FragmentRow f;
      f.mz = query.peaks[x.peak].mz;
      f.intensity = query.peaks[x.peak].intensity;
      ion.layout.Write(x.counts.data(), unicode, f.formula);
      f.mzTheoretical = x.mzTheoretical;
      f.errorPpm = (f.mz - f.mzTheoretical) / f.mzTheoretical * 1e6;
      f.errorMda = (f.mz - f.mzTheoretical) * 1000;
      c.fragments.push_back(std::move(f));
    }
    row(c);
  }
  return result;
}

}  // namespace zelm
