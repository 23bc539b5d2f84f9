#include "rank/ion_layout.h"

#include <algorithm>
#include <array>
#include <tuple>

namespace zelm {

IonLayout::IonLayout(const std::vector<Block>& blocks, const chem::IonType& ion, const chem::ElementTable& table,
                     const chem::Valences& valence)
    : multimer(ion.Multimer()) {
  auto index = [&](const chem::CompositionEntry& e) {
    const size_t i = layout.Index(e);
    if (i == entries.size()) entries.push_back(e);
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
  for (const auto& k : entries) {
    symbols.push_back(k.symbol);
    classes.push_back(ClassOf(k.symbol));
    valences.push_back(valence.Of(k.symbol).value_or(0));
    const auto m = chem::Composition({{k.symbol, k.massNumber, 1}}).MonoisotopicMass(table);
    masses.push_back(m.value_or(0));
  }
  canonical.resize(entries.size());
  for (size_t e = 0; e < canonical.size(); ++e) canonical[e] = e;
  std::sort(canonical.begin(), canonical.end(), [&](size_t a, size_t b) {
    return std::tie(entries[a].symbol, entries[a].massNumber) < std::tie(entries[b].symbol, entries[b].massNumber);
  });
  for (const auto& shares : blockShares) {
    BlockValence v;
    for (const auto& [entry, per] : shares) {
      v.unknown |= valences[entry] == 0;
      v.excess += per * (valences[entry] - 2);
      v.odd += valences[entry] % 2 ? per : 0;
    }
    blockValences.push_back(v);
  }
  // An entry the table does not know (a library label standing for itself) weighs what its block weighs.
  for (size_t b = 0; b < blocks.size(); ++b)
    if (blockShares[b].size() == 1 && masses[blockShares[b][0].first] == 0 && blockShares[b][0].second > 0)
      masses[blockShares[b][0].first] = blocks[b].mass / static_cast<double>(blockShares[b][0].second);
}

void IonLayout::ClassCounts(const long long* counts, std::array<double, kElementClasses>& n) const {
  for (size_t e = 0; e < entries.size(); ++e) n[static_cast<size_t>(classes[e])] += static_cast<double>(counts[e]);
}

double IonLayout::Prior(const long long* counts, const ScoreModel& model) const {
  std::array<double, kElementClasses> n{};
  ClassCounts(counts, n);
  auto of = [&](ElementClass c) { return n[static_cast<size_t>(c)]; };
  const RatioPrior& r = model.ratio;
  const double c = of(ElementClass::Carbon);
  const double h = of(ElementClass::Hydrogen) + of(ElementClass::Fluorine) + of(ElementClass::Chlorine) +
                   of(ElementClass::Bromine) + of(ElementClass::Iodine);
  double sum = 0;
  // Beyond one of each, sulfur and phosphorus atoms are rarer still.
  sum -= r.extraSulfurPhosphorus * std::max(0.0, of(ElementClass::Sulfur) + of(ElementClass::Phosphorus) - 2);
  if (c > 0) {
    const double z = (h / c - r.hydrogenMean) / r.hydrogenWidth;
    sum -= of(ElementClass::Nitrogen) / c / r.nitrogenScale + of(ElementClass::Oxygen) / c / r.oxygenScale + z * z / 2;
  } else {
    sum -= r.noCarbon;
  }
  // The rarest element present costs its prior, each further one a share of its own: rare elements come together
  // (Cl, F and S in one drug).
  double rarest = 0, rest = 0;
  for (size_t k = 0; k < kElementClasses; ++k) {
    if (n[k] <= 0) continue;
    const double prior = model.ElementPrior(static_cast<ElementClass>(k));
    rest += prior;
    rarest = std::min(rarest, prior);
  }
  return sum + rarest + r.furtherElements * (rest - rarest);
}

chem::Composition IonLayout::Composition(const long long* counts) const {
  // Added in the composition's own order, each entry goes to the end: no list to sort, no entry moved.
  auto build = [&](bool ones) {
    chem::Composition c;
    for (size_t e : canonical)
      if (counts[e] > 0) c.Add(entries[e].symbol, entries[e].massNumber, ones ? 1 : counts[e]);
    return c;
  };
  if (entries.size() > 64) return build(false);
  uint64_t present = 0;
  for (size_t e = 0; e < entries.size(); ++e)
    if (counts[e] > 0) present |= uint64_t{1} << e;
  auto shape = shapes_.find(present);
  if (shape == shapes_.end()) shape = shapes_.emplace(present, build(true)).first;
  chem::Composition c = shape->second;
  for (size_t e = 0; e < entries.size(); ++e)
    if (counts[e] > 1) c.Add(entries[e].symbol, entries[e].massNumber, counts[e] - 1);
  return c;
}

bool IonLayout::IonOf(const long long* neutral, long long* charged) const {
  for (size_t e = 0; e < Size(); ++e) charged[e] = neutral[e] * multimer;
  for (const auto& [entry, per] : adducts) charged[entry] += per;
  bool possible = true;
  for (const auto& [entry, per] : losses) possible &= (charged[entry] -= per) >= 0;
  return possible;
}

void IonLayout::Neutral(const int* blockCounts, long long* neutral) const {
  std::fill(neutral, neutral + Size(), 0);
  for (size_t b = 0; b < blockShares.size(); ++b)
    if (blockCounts[b] > 0)
      for (const auto& [entry, per] : blockShares[b]) neutral[entry] += per * blockCounts[b];
}

bool IonLayout::BreaksRdbe(const int* blockCounts, const chem::RuleSettings& rules) const {
  long long excess = 0, odd = 0;
  for (size_t b = 0; b < blockValences.size(); ++b) {
    if (blockCounts[b] == 0) continue;
    const BlockValence& v = blockValences[b];
    if (v.unknown) return false;
    excess += v.excess * blockCounts[b];
    odd += v.odd * blockCounts[b];
  }
  // The valence sum is odd exactly when the atoms of odd valence are.
  if (odd % 2 && ((rules.rdbe && rules.rdbeWhole) || rules.senior)) return true;
  const double rdbe = 1 + static_cast<double>(excess) / 2;
  return rules.rdbe && (rdbe < rules.rdbeMin || rdbe > rules.rdbeMax);
}

}  // namespace zelm
