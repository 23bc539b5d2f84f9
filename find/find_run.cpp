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
                        size_t maxCandidates, bool countOnly, bool unicode,
                        const std::function<void(const Candidate&)>& row) {
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
    const IonLayout ion(blocks, ions[i]);
    const size_t n = ion.layout.Size();
    std::vector<long long> neutral(n), charged(n);
    // The counts of hit h into neutral and charged; false when the ion needs a loss the formula cannot give.
    auto form = [&](size_t h) {
      std::fill(neutral.begin(), neutral.end(), 0);
      const int* counts = sink.Counts(h);
      for (size_t b = 0; b < blocks.size(); ++b)
        if (counts[b] > 0)
          for (const auto& [entry, per] : ion.blockShares[b]) neutral[entry] += per * counts[b];
      // The ion: n molecules, the adducts added, the losses taken away.
      for (size_t e = 0; e < n; ++e) charged[e] = neutral[e] * ion.multimer;
      for (const auto& [entry, per] : ion.adducts) charged[entry] += per;
      bool possible = true;
      for (const auto& [entry, per] : ion.losses) possible &= (charged[entry] -= per) >= 0;
      return possible;
    };
    // The hits by the size of their error in ppm; equal errors by formula, so that the order does not depend on how
    // the blocks were given.
    std::vector<double> error(sink.Size());
    for (size_t h = 0; h < error.size(); ++h) {
      const double theoretical = rule->MzOf(sink.Sum(h));
      error[h] = std::fabs((query.mz - theoretical) / theoretical * 1e6);
    }
    std::vector<size_t> order(sink.Size());
    for (size_t h = 0; h < order.size(); ++h) order[h] = h;
    std::string ta, tb;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      if (error[a] != error[b]) return error[a] < error[b];
      form(a);
      ion.layout.Write(neutral.data(), false, ta);
      form(b);
      ion.layout.Write(neutral.data(), false, tb);
      return ta < tb;
    });
    long long found = 0;
    size_t kept = 0;
    Candidate c;
    c.ion = i;
    for (size_t h : order) {
      if (!form(h)) continue;
      ++found;
      if (countOnly || (maxCandidates > 0 && kept >= maxCandidates)) continue;
      ++kept;
      ion.layout.Write(neutral.data(), unicode, c.formula);
      ion.layout.Write(charged.data(), unicode, c.ionFormula);
      c.neutralMass = sink.Sum(h);
      c.mzTheoretical = rule->MzOf(c.neutralMass);
      c.errorPpm = (query.mz - c.mzTheoretical) / c.mzTheoretical * 1e6;
      c.errorMda = (query.mz - c.mzTheoretical) * 1000;
      c.rdbe = ion.layout.Rdbe(neutral.data());
      row(c);
    }
    result.found.push_back(found);
  }
  return result;
}

}  // namespace zelm
