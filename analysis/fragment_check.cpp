#include "analysis/fragment_check.h"

#include <cmath>
#include <vector>

#include "core/form1.h"
#include "core/text.h"

namespace zelm {

namespace {

// The count's value by the leading-number rule, with a quick path for the usual few plain digits.
double CountValue(const std::string& text) {
  if (!text.empty() && text.size() <= 9) {
    double v = 0;
    for (char c : text) {
      if (c < '0' || c > '9') return std::floor(LeadingNumber(text));
      v = v * 10 + (c - '0');
    }
    return v;
  }
  return std::floor(LeadingNumber(text));
}

}  // namespace

void WriteOut(const FormulaGroup& group, size_t room, std::string& out) {
  out.clear();
  const size_t unit = group.mass.size() + group.symbol.size();
  const double count = CountValue(group.count);
  if (!(count >= 1) || unit == 0) return;
  const double fits = static_cast<double>(room / unit);
  const size_t times = static_cast<size_t>(count < fits ? count : fits);
  out.reserve(times * unit);
  for (size_t i = 0; i < times; ++i) out.append(group.mass).append(group.symbol);
}

std::string WrittenOut(const FormulaGroup& group, size_t room) {
  std::string out;
  WriteOut(group, room, out);
  return out;
}

FragmentMatcher::FragmentMatcher(std::string_view whole) {
  GroupReader reader(whole);
  FormulaGroup g;
  std::string piece;
  while (written_.size() < kWrittenOutLimit && reader.Next(g)) {
    WriteOut(g, kWrittenOutLimit - written_.size(), piece);
    written_ += piece;
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
  GroupReader reader(candidate);
  FormulaGroup g;
  std::string piece;
  while (reader.Next(g)) {
    WriteOut(g, kWrittenOutLimit, piece);
    if (!Contains(piece)) return false;
  }
  return true;
}

std::string Form1::FragmentCheck(const std::string& w1, const std::string& w2) {
  return FragmentMatcher(w1).IsFragment(w2) ? "YES" : "";
}

}  // namespace zelm
