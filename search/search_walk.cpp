// The combination walk: a depth-first walk over the sorted search index that lists every combination it meets whose
// summed mass lies strictly inside the window around the target. It enters every combination whose partial sums stay
// below the target, so its time grows steeply with the mass; Search meets the same combinations without entering the
// ones that cannot be listed, and is measured against this walk.
#include <algorithm>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "search/walk_steps.h"

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
  if (SearchCountOnly) return false;
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

void Form1::SearchWalk(double& WorkMass) {
  const SearchWindow window = BeginSearch(WorkMass);
  const double target = window.target, lower = window.lower, upper = window.upper;

  // The position stack has one slot per level: slot[k] is the index position chosen at level k (level 1 the heaviest
  // member). sum[k] is the mass of levels 1 to k, so leaving a level costs nothing and no rounding accumulates.
  // Both are sized to the index, so any index the tables hold can be searched.
  const int n = std::clamp<int>(IndexCount, 0, kIndexLimit);
  std::vector<int> slot(static_cast<size_t>(n) + 2);
  std::vector<double> sum(static_cast<size_t>(n) + 2, 0.0);
  for (int i = 1; i <= n + 1; ++i) slot[i] = n - i + 1;

  // The index tables are read afresh at every step (a handler run during a yield may reload them); positions stay
  // within the first n + 1 entries, which the tables always have.
  const double* mass = IndexMass.data();
  long long visits = 0;
  long long hits = 0;
  bool cut = false;

  YieldClock clock(host, SearchClockSteps, kSearchYieldSeconds);

  while (slot[1] > 0 && !cut) {
    int k = 1;
    int mark = slot[1] - 1;
    while (slot[k] > 0) {
      // Progress and stop, once per new top-level position, and whenever a while has passed since the last yield
      // (then the bar stays).
      const bool top = slot[1] == mark;
      if (top || (--clock.Left() <= 0 && clock.Due())) {
        if (top) {
          --mark;
          Bar.SetWidth(static_cast<float>(static_cast<double>(mark) / n * 1935));
        }
        SearchVisits = visits;
        SearchHits = hits;
        host.Yield();
        clock.Yielded();
        mass = IndexMass.data();
        if (StopRequested == 1) {
          SetHelp("Search has been stopped.", true);
          return;
        }
      }

      ++visits;
      const double running = sum[k - 1] + mass[slot[k]];
      sum[k] = running;

      if (lower < running && running < upper) {
        ++hits;
        if (ListCombination(slot.data(), k, running)) {
          cut = true;
          break;
        }
      }

      ExtendOrStep(slot.data(), k, running, target);
    }
  }

  SearchVisits = visits;
  SearchHits = hits;
  EndSearch(cut);
}

}  // namespace zelm
