// How the hits of one ion type become formulas: every entry the building blocks and the ion's groups can give, laid
// out once, each block's share of them, the ion's groups, and per entry what the rules and the priors need (its
// symbol, mass, valence and element class), so that nothing is looked up by name per candidate.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "chemistry/composition.h"
#include "chemistry/element_table.h"
#include "chemistry/formula_rules.h"
#include "chemistry/ion_type.h"
#include "chemistry/valence.h"
#include "rank/building_blocks.h"
#include "rank/formula_layout.h"
#include "rank/score_model.h"

namespace zelm {

struct IonLayout {
  FormulaLayout layout;
  std::vector<std::vector<std::pair<size_t, long long>>> blockShares;
  std::vector<std::pair<size_t, long long>> adducts, losses;
  int multimer = 1;
  std::vector<chem::CompositionEntry> entries;
  std::vector<std::string> symbols;     // per entry
  std::vector<double> masses;           // per entry, its monoisotopic mass (0 when unknown)
  std::vector<int> valences;            // per entry, 0 when unknown
  std::vector<ElementClass> classes;    // per entry
  std::vector<size_t> canonical;        // the entries in a composition's order (by symbol, then mass number)
  // Per block: the sum over its atoms of (valence - 2) and its atoms of odd valence, which the RDBE and its
  // wholeness of a neutral formula follow from; unknown when an atom of it has no valence.
  struct BlockValence {
    long long excess = 0, odd = 0;
    bool unknown = false;
  };
  std::vector<BlockValence> blockValences;

  IonLayout(const std::vector<Block>& blocks, const chem::IonType& ion, const chem::ElementTable& table,
            const chem::Valences& valence);
  size_t Size() const { return layout.Size(); }

  // The element prior (each element present once) and the ratio prior of neutral counts.
  double Prior(const long long* counts, const ScoreModel& model) const;
  // The atoms of each element class in neutral counts.
  void ClassCounts(const long long* counts, std::array<double, kElementClasses>& n) const;
  // The composition of counts. Not safe to call from several threads at once on one layout (it keeps a cache).
  chem::Composition Composition(const long long* counts) const;
  // The ion's counts of neutral counts: the molecules, the adducts added, the losses taken away. False when the ion
  // takes away more than the molecules and adducts hold.
  bool IonOf(const long long* neutral, long long* charged) const;
  // The neutral counts of block counts.
  void Neutral(const int* blockCounts, long long* neutral) const;
  // Whether the neutral formula of block counts surely breaks the RDBE rules (range, wholeness, and SENIOR's even
  // valence sum) of these settings: a test on the block counts alone, before the formula is formed. False when it
  // cannot tell (an atom without a valence), so that the full rules decide.
  bool BreaksRdbe(const int* blockCounts, const chem::RuleSettings& rules) const;

 private:
  // Per set of entries present (a bit each, for up to 64 entries): a composition of them, one of each, which a
  // candidate's composition is copied from and counted up in place, so that it is made with one allocation.
  mutable std::unordered_map<uint64_t, chem::Composition> shapes_;
};

}  // namespace zelm
