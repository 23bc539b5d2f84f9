// Selecting a result line: the stored results that are fragments of it, named on the help line, then its isotope
// lines and the plot.
#include <algorithm>

#include "analysis/fragment_check.h"
#include "core/result_line.h"
#include "core/form1.h"
#include "text/text.h"

namespace zelm {

namespace {

// A stored position as 4 characters, right-aligned with blanks.
std::string FourCharacters(int position) {
  std::string digits = CountText(position);
  return std::string(digits.size() < 4 ? 4 - digits.size() : 0, ' ') + digits;
}

}  // namespace

void Form1::Results_MouseUp(int, int, float, float) {
  FragmentList.clear();
  SelectedResult = Results.SelectedText();
  if (SelectedResult.empty()) return;

  MatchScore = 0;
  const int count =
      static_cast<int>(std::clamp(LeadingNumber(StoredResults[0]), 0.0, static_cast<double>(kStoredLimit)));

  // The selected line's position among the stored lines: the first equal one, else the last stored line.
  int s = 1;
  while (s < count && StoredResults[s] != SelectedResult) ++s;

  int n = 0;
  std::string formula;
  if (s <= count) {
    formula = ResultFormula(StoredResults[s]);
    const FragmentMatcher whole(formula);
    for (int j = 1; j <= count; ++j) {
      if (j == s) continue;
      if (whole.IsFragment(ResultFormulaView(StoredResults[j]))) {
        ++n;
        FragmentList += FourCharacters(j);
        ++MatchScore;
      }
    }
  } else {
    // Nothing is stored yet (the first mass of a run is still being searched): the highlighted line names itself.
    formula = ResultFormula(SelectedResult);
  }

  std::string help = "Results:" + formula + " has " + NumberText(n) + " fragment(s) ";
  for (size_t i = 0; i < FragmentList.size(); i += 4) {
    const int k = static_cast<int>(LeadingNumber(std::string_view(FragmentList).substr(i, 4)));
    help += '[' + ResultFormula(StoredResults[k]) + "]";
  }
  SetHelp(help);

  ComputeIsotopes();
  DrawGraph();
}

}  // namespace zelm
