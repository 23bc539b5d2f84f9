// The fragment relation between two formulas, tested on their written-out forms: each group of the candidate, written
// out atom by atom ("12C12C12C" for three carbon-12), has to occur somewhere in the written-out whole formula.
//
// The written-out forms are never built: a group written out is one word repeated count times, so the whole formula is
// kept as a list of such runs and each candidate group is looked for in it run by run. The time this takes depends on
// the number of groups and the length of their words, not on their counts.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "analysis/formula_groups.h"

namespace zelm {

// The written-out form of a group: mass number and symbol, repeated count times (empty for a count of 0 or less), cut
// to at most `room` characters. For showing and for tests; the fragment check itself does not write formulas out.
std::string WrittenOut(const FormulaGroup& group, size_t room = size_t{1} << 22);

// The whole formula, kept as runs and tested against many candidates.
class FragmentMatcher {
 public:
  // A whole formula whose written-out form is at most `shortForm` characters long is also kept written out, and
  // looked up directly.
  explicit FragmentMatcher(std::string_view whole, size_t shortForm = 4096);
  // True when every group of `candidate` occurs in the whole formula written out (also when it has no group).
  bool IsFragment(std::string_view candidate) const;

  // A written-out group: `root` (a word that is not itself a repetition of a shorter word) repeated `times` times.
  // Counts beyond 2^62 are taken as 2^62.
  struct Run {
    std::string root;
    unsigned long long times;
  };
  const std::vector<Run>& Runs() const { return runs_; }

 private:
  std::vector<Run> runs_;
  unsigned long long length_ = 0;  // of the written-out form (at most 2^64 - 1)
  size_t short_;
  std::string written_;
};

}  // namespace zelm
