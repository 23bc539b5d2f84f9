#include "analysis/formula_groups.h"

namespace zelm {

bool GroupReader::Next(FormulaGroup& g) {
  const size_t length = formula_.size();
  // 0-based: "p < L" of the 1-based reading is p + 1 < length.
  if (p_ + 1 >= length) return false;
  auto code = [&](size_t i) { return static_cast<unsigned char>(formula_[i]); };
  g.mass.clear();
  g.symbol.clear();
  g.count.clear();
  while (p_ < length && code(p_) >= 128) g.mass += static_cast<char>(code(p_++) - 80);
  while (p_ + 1 < length && code(p_) < 128) g.symbol += formula_[p_++];
  while (p_ < length && code(p_) >= 144) g.count += static_cast<char>(code(p_++) - 96);
  return true;
}

std::vector<FormulaGroup> SplitFormula(std::string_view formula) {
  std::vector<FormulaGroup> groups;
  GroupReader reader(formula);
  FormulaGroup g;
  while (reader.Next(g)) groups.push_back(g);
  return groups;
}

}  // namespace zelm
