// The fragment relation between two formulas, tested on their written-out forms: each group of the candidate, written
// out atom by atom ("12C12C12C" for three carbon-12), has to occur somewhere in the written-out whole formula.
#pragma once

#include <string>
#include <string_view>

#include "analysis/formula_groups.h"

namespace zelm {

// Longest written-out form kept for one formula; only counts written inside labels can come near it.
constexpr size_t kWrittenOutLimit = size_t{1} << 22;

// The written-out form of a group: mass number and symbol, repeated count times (empty for a count of 0 or less),
// cut to at most `room` characters.
std::string WrittenOut(const FormulaGroup& group, size_t room = kWrittenOutLimit);
// The same into `out`, which is cleared first.
void WriteOut(const FormulaGroup& group, size_t room, std::string& out);

// The written-out form of the whole formula, built once and tested against many candidates.
class FragmentMatcher {
 public:
  explicit FragmentMatcher(std::string_view whole);
  // True when every group of `candidate` occurs in the whole formula written out (also when it has no group).
  bool IsFragment(std::string_view candidate) const;
  const std::string& Written() const { return written_; }

 private:
  bool Contains(const std::string& piece) const;
  std::string written_;
};

}  // namespace zelm
