// The truth tables of feature files with known formulas (such as ../shared/massbank/dev_features_truth.tsv): tab
// separated, a header line, then per feature its id, its name, its neutral formula and its adduct first.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "spectra/feature_input.h"

namespace zelm {

struct Truth {
  std::string formula, adduct, name;
};

inline std::map<std::string, Truth> ReadTruth(const std::string& bytes) {
  std::map<std::string, Truth> truth;
  size_t start = 0;
  bool header = true;
  while (start < bytes.size()) {
    size_t end = bytes.find('\n', start);
    if (end == std::string::npos) end = bytes.size();
    const auto f = SplitDelimited(std::string_view(bytes).substr(start, end - start), '\t');
    start = end + 1;
    if (!header && f.size() >= 4) truth[f[0]] = {f[2], f[3], f[1]};
    header = false;
  }
  return truth;
}

}  // namespace zelm
