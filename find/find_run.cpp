#include "find/find_run.h"

#include <algorithm>
#include <cmath>
#include <map>

#include "chemistry/formula_notation.h"

namespace zelm {

double Tolerance::HalfWidth(double mz) const {
  // The same arithmetic as the window's search: the mass times the tolerance in parts per million.
  const double byPpm = ppm > 0 ? mz * (ppm / 1000000) : 0;
  const double byMda = mda > 0 ? mda / 1000 : 0;
  return std::max(byPpm, byMda);
}

std::optional<double> Rdbe(const chem::Composition& formula) {
  static const std::map<std::string, int, std::less<>> valence = {
      {"C", 4},  {"Si", 4}, {"H", 1},  {"F", 1},  {"Cl", 1}, {"Br", 1}, {"I", 1}, {"Li", 1}, {"Na", 1},
      {"K", 1},  {"N", 3},  {"P", 3},  {"B", 3},  {"As", 3}, {"O", 2},  {"S", 2}, {"Se", 2}, {"Mg", 2}, {"Ca", 2}};
  double sum = 0;
  for (const auto& e : formula.Entries()) {
    const auto it = valence.find(e.symbol);
    if (it == valence.end()) return std::nullopt;
    sum += static_cast<double>(e.count) * (it->second - 2);
  }
  return 1 + sum / 2;
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

QueryResult SearchQuery(const Query& query, const std::vector<chem::IonType>& ions, const std::vector<Block>& blocks,
                        const FormulaEnumerator& enumerator, const chem::ElementTable& table, const Tolerance& tolerance,
                        size_t maxCandidates, bool countOnly) {
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
    // The hits in a stable order: the smallest error first (the m/z error grows with the distance of the neutral
    // mass from the window's middle), equal ones as found.
    const double middle = rule->NeutralOf(query.mz);
    std::vector<size_t> order(sink.Size());
    for (size_t h = 0; h < order.size(); ++h) order[h] = h;
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
      return std::fabs(sink.Sum(a) - middle) < std::fabs(sink.Sum(b) - middle);
    });
    std::vector<Candidate> mine;
    long long found = 0;
    for (size_t h : order) {
      Candidate c;
      c.ion = i;
      const int* counts = sink.Counts(h);
      for (size_t b = 0; b < blocks.size(); ++b)
        if (counts[b] > 0) c.neutral += blocks[b].formula.Times(counts[b]);
      const auto ionFormula = ions[i].IonFormula(c.neutral);
      if (!ionFormula) continue;  // a loss the formula cannot give
      ++found;
      if (countOnly || (maxCandidates > 0 && mine.size() >= maxCandidates)) continue;
      c.ionFormula = *ionFormula;
      c.neutralMass = sink.Sum(h);
      c.mzTheoretical = rule->MzOf(c.neutralMass);
      c.errorPpm = (query.mz - c.mzTheoretical) / c.mzTheoretical * 1e6;
      c.errorMda = (query.mz - c.mzTheoretical) * 1000;
      c.rdbe = Rdbe(c.neutral);
      mine.push_back(std::move(c));
    }
    // Equal errors by formula, so that the order does not depend on how the blocks were given.
    std::stable_sort(mine.begin(), mine.end(), [](const Candidate& a, const Candidate& b) {
      const double ea = std::fabs(a.errorPpm), eb = std::fabs(b.errorPpm);
      if (ea != eb) return ea < eb;
      return a.neutral < b.neutral;
    });
    result.found.push_back(found);
    for (auto& c : mine) result.candidates.push_back(std::move(c));
  }
  return result;
}

}  // namespace zelm
