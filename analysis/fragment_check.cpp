#include "analysis/fragment_check.h"

#include <cmath>
#include <vector>

#include "core/form1.h"
#include "core/text.h"

namespace zelm {

std::string WrittenOut(const FormulaGroup& group, size_t room) {
  std::string unit = group.mass + group.symbol;
  double count = std::floor(LeadingNumber(group.count));
  if (!(count >= 1) || unit.empty()) return {};
  double fits = static_cast<double>(room / unit.size());
  size_t times = static_cast<size_t>(count < fits ? count : fits);
  std::string out;
  out.reserve(times * unit.size());
  for (size_t i = 0; i < times; ++i) out += unit;
  return out;
}

FragmentMatcher::FragmentMatcher(std::string_view whole) {
  for (const FormulaGroup& g : SplitFormula(whole)) {
    if (written_.size() >= kWrittenOutLimit) break;
    written_ += WrittenOut(g, kWrittenOutLimit - written_.size());
  }
}

bool FragmentMatcher::Contains(const std::string& piece) const {
  // An empty piece is found in any text but an empty one.
  if (piece.empty()) return !written_.empty();
  if (piece.size() > written_.size()) return false;
  if (piece.size() <= 64) return written_.find(piece) != std::string::npos;
  // Long pieces are runs of one repeated unit: search in linear time (Knuth-Morris-Pratt) so that a run of thousands
  // of atoms against another cannot take quadratic time.
  std::vector<size_t> border(piece.size(), 0);
  for (size_t i = 1, k = 0; i < piece.size(); ++i) {
    while (k > 0 && piece[i] != piece[k]) k = border[k - 1];
    if (piece[i] == piece[k]) ++k;
    border[i] = k;
  }
  for (size_t i = 0, k = 0; i < written_.size(); ++i) {
    while (k > 0 && written_[i] != piece[k]) k = border[k - 1];
    if (written_[i] == piece[k]) ++k;
    if (k == piece.size()) return true;
  }
  return false;
}

bool FragmentMatcher::IsFragment(std::string_view candidate) const {
  for (const FormulaGroup& g : SplitFormula(candidate))
    if (!Contains(WrittenOut(g))) return false;
  return true;
}

std::string Form1::FragmentCheck(const std::string& w1, const std::string& w2) {
  return FragmentMatcher(w1).IsFragment(w2) ? "YES" : "";
}

}  // namespace zelm
