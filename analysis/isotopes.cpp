// The isotope lines of the selected result: for each group of its formula and each further isotope of that group's
// element, one line at the compound mass shifted by the two isotopes' mass difference, as high as the further
// isotope's abundance times the group's count.
#include <algorithm>

#include "analysis/formula_groups.h"
#include "core/result_line.h"
#include "core/form1.h"
#include "text/text.h"

namespace zelm {

void Form1::ComputeIsotopes() {
  if (SelectedResult.empty()) return;

  // The formula is the text before the first blank.
  std::string_view formula(SelectedResult);
  formula = formula.substr(0, formula.find(' '));
  const std::vector<FormulaGroup> groups = SplitFormula(formula);

  const double compound = ResultMass(SelectedResult);
  const int records = static_cast<int>(
      std::clamp(LeadingNumber(IsotopeTable[0][0]), 0.0, static_cast<double>(kIsotopeLimit)));
  enum { kMassNumber, kSymbol, kIsotopeMass, kAbundance };

  int n = 0;
  for (const FormulaGroup& g : groups) {
    const double count = LeadingNumber(g.count);
    // Named records are rows 1 to N - 1: the last record has no row after it to be a further isotope.
    int r = 1;
    while (r < records && n < kIsotopeLineLimit) {
      if (IsotopeTable[r][kMassNumber] != g.mass) {
        ++r;
        continue;
      }
      const double base = compound - LeadingNumber(IsotopeTable[r][kIsotopeMass]);
      // The run of further isotopes: the rows after the named one with the group's symbol. The row that ends the run
      // is tested as a named row in its turn.
      ++r;
      while (r <= records && IsotopeTable[r][kSymbol] == g.symbol && n < kIsotopeLineLimit) {
        ++n;
        IsotopeLines[n][0] = base + LeadingNumber(IsotopeTable[r][kIsotopeMass]);
        IsotopeLines[n][1] = LeadingNumber(IsotopeTable[r][kAbundance]) * count;
        ++r;
      }
    }
  }
  IsotopeLines[0][0] = n;
}

}  // namespace zelm
