#include "find/find_run.h"

#include <algorithm>
#include <cmath>

#include "chemistry/formula_notation.h"
#include "find/formula_layout.h"

namespace zelm {

double Tolerance::HalfWidth(double mz) const {
  // The same arithmetic as the window's search: the mass times the tolerance in parts per million.
  const double byPpm = ppm > 0 ? mz * (ppm / 1000000) : 0;
  const double byMda = mda > 0 ? mda / 1000 : 0;
  return std::max(byPpm, byMda);
}

namespace {

// The count vectors of one search, kept flat (k counts a vector) with their sums.
class Collector : public FormulaSink {
 public:
  explicit Collector(size_t k) : k_(k) {}
  bool Hit(const int* count, int k, double sum) override {
    counts_.insert(counts_.end(), count, count + k);
    sums_.push_back(sum);
    return false;
  }
  bool Pause(const EnumerationStats&) override { return false; }
  double Clock() override { return 0; }
  size_t Size() const { return sums_.size(); }
  const int* Counts(size_t i) const { return counts_.data() + i * k_; }
  double Sum(size_t i) const { return sums_[i]; }

 private:
  size_t k_;
  std::vector<int> counts_;
  std::vector<double> sums_;
};

}  // namespace

namespace {

// How a query's hits of one ion type become formulas: every entry the blocks and the ion's groups can give laid out
// once, each block's share of them, and the ion's groups.
struct IonLayout {
  FormulaLayout layout;
  std::vector<std::vector<std::pair<size_t, long long>>> blockShares;
  std::vector<std::pair<size_t, long long>> adducts, losses;
  int multimer = 1;

  IonLayout(const std::vector<Block>& blocks, const chem::IonType& ion) : multimer(ion.Multimer()) {
    for (const Block& b : blocks) {
      blockShares.emplace_back();
      for (const auto& e : b.formula.Entries()) blockShares.back().push_back({layout.Index(e), e.count});
    }
    const chem::Composition added = ion.Adducts(), lost = ion.Losses();
    for (const auto& e : added.Entries()) adducts.push_back({layout.Index(e), e.count});
    for (const auto& e : lost.Entries()) losses.push_back({layout.Index(e), e.count});
    layout.Finish();
  }
};

}  // namespace

QueryResult SearchQuery(const Query& query, const std::vector<chem::IonType>& ions, const std::vector<Block>& blocks,
                        const FormulaEnumerator& enumerator, const chem::ElementTable& table, const Tolerance& tolerance,
                        size_t maxCandidates, bool countOnly, bool unicode) {
  QueryResult result;
  result.ions = ions;
  const double half = tolerance.HalfWidth(query.mz);
  for (size_t i = 0; i < ions.size(); ++i) {
    const auto rule = ions[i].MassRule(table);
    if (!rule) {
      result.found.push_back(0);
      continue;
    }
    // The window on the neutral mass that puts the ion's m/z inside the tolerance.
    double lower = rule->NeutralOf(query.mz - half), upper = rule->NeutralOf(query.mz + half);
    if (lower > upper) std::swap(lower, upper);
    // Without losses every formula makes the ion, so counting needs no formula at all.
    if (countOnly && ions[i].Losses().Empty()) {
      Collector none(blocks.size());
      EnumerationOptions options;
      options.countOnly = true;
      result.found.push_back(enumerator.Enumerate(lower, upper, none, options).hits);
      continue;
    }
    Collector sink(blocks.size());
    enumerator.Enumerate(lower, upper, sink, EnumerationOptions{});
    // The hits by the size of their error (it grows with the distance of the neutral mass from the window's middle).
    const double middle = rule->NeutralOf(query.mz);
    std::vector<size_t> order(sink.Size());
    for (size_t h = 0; h < order.size(); ++h) order[h] = h;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return std::fabs(sink.Sum(a) - middle) < std::fabs(sink.Sum(b) - middle);
    });
    const IonLayout ion(blocks, ions[i]);
    const size_t n = ion.layout.Size();
    std::vector<long long> neutral(n), charged(n);
    std::vector<Candidate> mine;
    long long found = 0;
    for (size_t h : order) {
      std::fill(neutral.begin(), neutral.end(), 0);
      const int* counts = sink.Counts(h);
      for (size_t b = 0; b < blocks.size(); ++b)
        if (counts[b] > 0)
          for (const auto& [entry, per] : ion.blockShares[b]) neutral[entry] += per * counts[b];
      // The ion: n molecules, the adducts added, the losses taken away; a loss the formula cannot give is no ion.
      for (size_t e = 0; e < n; ++e) charged[e] = neutral[e] * ion.multimer;
      for (const auto& [entry, per] : ion.adducts) charged[entry] += per;
      bool possible = true;
      for (const auto& [entry, per] : ion.losses) possible &= (charged[entry] -= per) >= 0;
      if (!possible) continue;
      ++found;
      if (countOnly || (maxCandidates > 0 && mine.size() >= maxCandidates)) continue;
      Candidate c;
      c.ion = i;
      ion.layout.Write(neutral.data(), unicode, c.formula);
      ion.layout.Write(charged.data(), unicode, c.ionFormula);
      c.neutralMass = sink.Sum(h);
      c.mzTheoretical = rule->MzOf(c.neutralMass);
      c.errorPpm = (query.mz - c.mzTheoretical) / c.mzTheoretical * 1e6;
      c.errorMda = (query.mz - c.mzTheoretical) * 1000;
      c.rdbe = ion.layout.Rdbe(neutral.data());
      mine.push_back(std::move(c));
    }
    // Equal errors by formula, so that the order does not depend on how the blocks were given.
    std::stable_sort(mine.begin(), mine.end(), [](const Candidate& a, const Candidate& b) {
      const double ea = std::fabs(a.errorPpm), eb = std::fabs(b.errorPpm);
      if (ea != eb) return ea < eb;
      return a.formula < b.formula;
    });
    result.found.push_back(found);
    for (auto& c : mine) result.candidates.push_back(std::move(c));
  }
  return result;
}

}  // namespace zelm
