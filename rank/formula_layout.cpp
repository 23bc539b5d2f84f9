#include "rank/formula_layout.h"

#include <algorithm>
#include <charconv>
#include <tuple>

namespace zelm {

namespace {

const char* const kSuper[10] = {"\u2070", "\u00b9", "\u00b2", "\u00b3", "\u2074",
                                "\u2075", "\u2076", "\u2077", "\u2078", "\u2079"};
const char* const kSub[10] = {"\u2080", "\u2081", "\u2082", "\u2083", "\u2084",
                              "\u2085", "\u2086", "\u2087", "\u2088", "\u2089"};

}  // namespace

size_t FormulaLayout::Index(const chem::CompositionEntry& key) {
  for (size_t i = 0; i < keys_.size(); ++i)
    if (keys_[i].symbol == key.symbol && keys_[i].massNumber == key.massNumber) return i;
  keys_.push_back({key.symbol, key.massNumber, 0});
  return keys_.size() - 1;
}

void FormulaLayout::Finish() {
  ascii_.clear();
  unicode_.clear();
  carbon_.clear();
  for (size_t i = 0; i < keys_.size(); ++i) {
    const auto& k = keys_[i];
    const std::string mass = std::to_string(k.massNumber);
    ascii_.push_back(k.massNumber ? "[" + mass + k.symbol + "]" : k.symbol);
    std::string u;
    if (k.massNumber)
      for (char d : mass) u += kSuper[d - '0'];
    unicode_.push_back(u + k.symbol);
    if (k.symbol == "C") carbon_.push_back(i);
  }
  // The canonical order of entries (by symbol, then mass number), and Hill's: with carbon, C and H first.
  std::vector<size_t> order(keys_.size());
  for (size_t i = 0; i < order.size(); ++i) order[i] = i;
  std::sort(order.begin(), order.end(), [&](size_t a, size_t b) {
    return std::tie(keys_[a].symbol, keys_[a].massNumber) < std::tie(keys_[b].symbol, keys_[b].massNumber);
  });
  withoutCarbon_ = order;
  withCarbon_ = order;
  auto rank = [&](size_t i) { return keys_[i].symbol == "C" ? 0 : keys_[i].symbol == "H" ? 1 : 2; };
  std::stable_sort(withCarbon_.begin(), withCarbon_.end(), [&](size_t a, size_t b) { return rank(a) < rank(b); });
}

void FormulaLayout::Write(const long long* counts, bool unicode, std::string& out) const {
  out.clear();
  bool carbon = false;
  for (size_t c : carbon_) carbon |= counts[c] > 0;
  for (size_t i : carbon ? withCarbon_ : withoutCarbon_) {
    const long long n = counts[i];
    if (n <= 0) continue;
    out += unicode ? unicode_[i] : ascii_[i];
    if (n == 1) continue;
    char buf[24];
    const auto end = std::to_chars(buf, buf + sizeof buf, n).ptr;
    if (!unicode) {
      out.append(buf, end);
    } else {
      for (const char* p = buf; p < end; ++p) out += kSub[*p - '0'];
    }
  }
}

}  // namespace zelm
