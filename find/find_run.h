// One query of zelm-find: its m/z searched for each of its ion types, every neutral formula of the building blocks
// whose ion lies inside the tolerance, with the figures a table reports about it.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "chemistry/composition.h"
#include "chemistry/element_table.h"
#include "chemistry/ion_type.h"
#include "engine/formula_enumeration.h"
#include "find/building_blocks.h"
#include "find/peak_input.h"

namespace zelm {

struct Tolerance {
  double ppm = 0;  // 0: not given
  double mda = 0;  // 0: not given
  // The half-width of the window around an m/z: the wider of the two that are given.
  double HalfWidth(double mz) const;
};

struct Candidate {
  size_t ion = 0;  // which of the query's ion types
  std::string formula, ionFormula;  // in Hill order, plain ASCII or with Unicode digits
  double neutralMass = 0, mzTheoretical = 0, errorPpm = 0, errorMda = 0;
  std::optional<double> rdbe;
};

struct QueryResult {
  std::vector<chem::IonType> ions;
  std::vector<long long> found;  // per ion, before --max-candidates
};

// Every candidate of `query` for each of `ions`, handed to `row` in order: ion by ion, each ion's candidates by the size
// of their error in ppm, equal errors by formula; at most `maxCandidates` (0: all) of an ion. With countOnly no row
// is handed out and only `found` counts.
QueryResult SearchQuery(const Query& query, const std::vector<chem::IonType>& ions, const std::vector<Block>& blocks,
                        const FormulaEnumerator& enumerator, const chem::ElementTable& table, const Tolerance& tolerance,
                        size_t maxCandidates, bool countOnly, bool unicode,
                        const std::function<void(const Candidate&)>& row);

}  // namespace zelm
