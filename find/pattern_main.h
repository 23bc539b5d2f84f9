// zelm-find --pattern: the isotope pattern of a formula's ion as a table of m/z and abundance (the most intense 100).
#pragma once

#include <iosfwd>
#include <string>

#include "chemistry/isotope_pattern.h"

namespace zelm {

struct PatternRequest {
  std::string formula;                          // the neutral formula, in any of the formula notations
  std::string ion;                              // one ion type; empty: [M+H]+
  double resolution = chem::kDefaultResolution;  // m/Δm
  std::string isotopes;                         // an isotope table file; empty: the built-in one
  std::string format = "tsv";                   // tsv, csv or json
  std::string output;                           // a file to write whole; empty: `out`
};

// Writes the pattern with the columns mz and abundance, peaks by rising m/z; returns the exit status: 0 done, 2 when
// the formula, the ion, the resolution or the isotope table cannot be used (a message to `err`, nothing written).
int WritePattern(const PatternRequest& request, std::ostream& out, std::ostream& err);

}  // namespace zelm
