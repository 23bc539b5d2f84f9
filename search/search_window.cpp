// What a search of the window does before and after the walk: the help line, the empty list, the window of the
// search, the line of each combination inside it, and the closing help line and bar.
#include <algorithm>
#include <vector>

#include "core/form1.h"
#include "text/text.h"

namespace zelm {

Form1::SearchWindow Form1::BeginSearch(double WorkMass) {
  SetHelp(" Now searching for possible mass combinations.", true);
  Results.Clear();
  StopRequested = 0;
  return WindowOf(WorkMass);
}

Form1::SearchWindow Form1::WindowOf(double WorkMass) const {
  // The half-width comes from the uncorrected mass.
  const double tolerance = LeadingNumber(Range.Text) / 1000000;
  const double halfWidth = WorkMass * tolerance;
  double target = WorkMass;
  if (OptionPlus.Value) target = target + 0.00055;
  if (OptionMinus.Value) target = target - 0.000549;
  if (AdjustIndex >= 0 && AdjustIndex < static_cast<int>(AdjustMass.size())) target = target - AdjustMass[AdjustIndex];
  return {target, target - halfWidth, target + halfWidth};
}

bool Form1::ListCombination(const int* slot, int k, double sum) {
  std::string text;
  for (int level = 1; level <= k; ++level) text += IndexLabel[slot[level]];
  std::string massText = NumberText(sum);
  CheckAdd(text, massText);
  return Results.Count() >= kSearchLineLimit;
}

void Form1::EndSearch(bool cut) {
  std::string found = "Results: " + NumberText(Results.Count()) + " found. ";
  if (cut)
    found += "The search ended at " + CountText(kSearchLineLimit) +
             " lines; narrow the range to see every combination.";
  SetHelp(found);
  Bar.SetWidth(0);
}

}  // namespace zelm
