// Taking a formula apart into its groups (mass number, symbol, count), as the fragment check and the isotope lines
// read it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelm {

struct FormulaGroup {
  std::string mass;    // mass number in plain digits (every coded character, shifted down by 80)
  std::string symbol;  // plain characters, never the last character of the formula
  std::string count;   // count in plain digits (coded characters of 144 and above, shifted down by 96)
};

// Reads the groups of a formula one by one into a group whose texts are reused, so that testing many formulas does
// not allocate per group.
class GroupReader {
 public:
  explicit GroupReader(std::string_view formula) : formula_(formula) {}
  // Reads the next group; false when no group is left.
  bool Next(FormulaGroup& group);

 private:
  std::string_view formula_;
  size_t p_ = 0;
};

// Splits a formula into groups. A group is read only while at least two characters are left, so a single character
// at the very end never starts a group and never joins a symbol.
std::vector<FormulaGroup> SplitFormula(std::string_view formula);

}  // namespace zelm
