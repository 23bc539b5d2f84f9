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

// Splits a formula into groups. A group is read only while at least two characters are left, so a single character
// at the very end never starts a group and never joins a symbol.
std::vector<FormulaGroup> SplitFormula(std::string_view formula);

}  // namespace zelm
