#include "analysis/formula_groups.h"

namespace zelm {

std::vector<FormulaGroup> SplitFormula(std::string_view formula) {
  std::vector<FormulaGroup> groups;
  const size_t length = formula.size();
  auto code = [&](size_t i) { return static_cast<unsigned char>(formula[i]); };
  size_t p = 0;  // 0-based: "p < L" of the 1-based reading is p + 1 < length
  while (p + 1 < length) {
    FormulaGroup g;
    while (p < length && code(p) >= 128) g.mass += static_cast<char>(code(p++) - 80);
    while (p + 1 < length && code(p) < 128) g.symbol += formula[p++];
    while (p < length && code(p) >= 144) g.count += static_cast<char>(code(p++) - 96);
    groups.push_back(std::move(g));
  }
  return groups;
}

}  // namespace zelm
