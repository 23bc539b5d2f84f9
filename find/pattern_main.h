// zelm-find --pattern: the isotope pattern of a formula's ion as a table of m/z and abundance (the most intense 100).
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

#include "chemistry/isotope_pattern.h"
#include "find/find_rows.h"

namespace zelm {

struct PatternRequest {
  std::string formula;                          // the neutral formula, in any of the formula notations
  std::string ion;                              // one ion type; empty: [M+H]+
  double resolution = chem::kDefaultResolution;  // m/Δm
  std::string isotopes;                         // an isotope table file; empty: the built-in one
  std::string format = "tsv";                   // tsv, csv or json
  std::string output;                           // a file to write whole; empty: `out`
};

// The pattern's peaks by rising m/z (the most intense 100), or why the formula, the ion, the resolution or the isotope
// table cannot be used (request.format and request.output are not looked at).
struct PatternPeaks {
  std::vector<chem::PatternPeak> peaks;
  std::string problem;  // in zelm-find's words; empty when the peaks are there
};
PatternPeaks ComputePattern(const PatternRequest& request);
// Its columns: mz and abundance.
const std::vector<Column>& PatternTable();

// Writes the pattern with the columns mz and abundance, peaks by rising m/z; returns the exit status: 0 done, 2 when
// the formula, the ion, the resolution or the isotope table cannot be used (a message to `err`, nothing written).
int WritePattern(const PatternRequest& request, std::ostream& out, std::ostream& err);

}  // namespace zelm
