#include "engine/reach_table.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zelm {

namespace {

// The most bins a row may have, so that bin numbers and their doubles stay exact.
constexpr double kMostBins = 1099511627776.0;  // 2^40

// The shift whose bin width 2^-shift is the largest power of two not above `width`.
int ShiftFor(double width) {
  if (!(width > 0)) return 1000;
  int exponent = 0;
  std::frexp(width, &exponent);  // width = f x 2^exponent, 0.5 <= f < 1
  return std::clamp(1 - exponent, -1000, 1000);
}

// Bins twice as wide: bit i of the result is marked when bit 2i or 2i + 1 of x is (for the low 32 bits).
uint64_t Halve(uint64_t x) {
  x = (x | (x >> 1)) & 0x5555555555555555u;
  x = (x | (x >> 1)) & 0x3333333333333333u;
  x = (x | (x >> 2)) & 0x0F0F0F0F0F0F0F0Fu;
  x = (x | (x >> 4)) & 0x00FF00FF00FF00FFu;
  x = (x | (x >> 8)) & 0x0000FFFF0000FFFFu;
  x = (x | (x >> 16)) & 0x00000000FFFFFFFFu;
  return x;
}

int64_t WordsFor(int64_t bins) { return (bins + 63) >> 6; }

// to = from, with from moved up by `whole` bins (and by one more where `between`) added: the words 0 to toWords - 1.
// Words of from past fromWords count as empty.
template <bool kBetween>
void MoveUpBy(const uint64_t* from, int64_t fromWords, uint64_t* to, int64_t toWords, int64_t whole) {
  const int64_t moveWords = whole >> 6;
  const int bits = static_cast<int>(whole & 63);
  auto at = [&](int64_t i) { return i >= 0 && i < fromWords ? from[i] : uint64_t{0}; };
  // The moved word i: from's words i - moveWords and the one below it ((x >> 1) >> 63 - bits is 0 when bits is 0).
  auto moved = [&](int64_t i) { return (at(i - moveWords) << bits) | ((at(i - moveWords - 1) >> 1) >> (63 - bits)); };
  uint64_t carry = 0;  // the top bit of the word moved before, for the move by one more
  auto put = [&](int64_t i, uint64_t old, uint64_t m) {
    if (kBetween) {
      to[i] = old | m | (m << 1) | carry;
      carry = m >> 63;
    } else {
      to[i] = old | m;
    }
  };
  // Below the moved words, the row before as it is.
  int64_t i = std::min(toWords, moveWords);
  std::copy(from, from + std::min(i, fromWords), to);
  if (fromWords < i) std::fill(to + fromWords, to + i, uint64_t{0});
  // The first two moved words read below from's start.
  const int64_t end = std::min(toWords, fromWords);
  for (const int64_t edge = std::min(end, moveWords + 2); i < edge; ++i) put(i, at(i), moved(i));
  // Where every word read lies inside from: each word on its own, so that the loop can run several at once.
  for (; i < end; ++i) {
    const uint64_t m = (from[i - moveWords] << bits) | ((from[i - moveWords - 1] >> 1) >> (63 - bits));
    if (kBetween) {
      const uint64_t below = (from[i - moveWords - 1] << bits) | ((from[i - moveWords - 2] >> 1) >> (63 - bits));
      to[i] = from[i] | m | (m << 1) | (below >> 63);
    } else {
      to[i] = from[i] | m;
    }
  }
  if (i > 0) carry = moved(i - 1) >> 63;
  for (; i < toWords; ++i) put(i, at(i), moved(i));
}

void MoveUp(const uint64_t* from, int64_t fromWords, uint64_t* to, int64_t toWords, int64_t whole, bool between) {
  if (between) MoveUpBy<true>(from, fromWords, to, toWords, whole);
  else MoveUpBy<false>(from, fromWords, to, toWords, whole);
}

// to |= from moved up by `by` bins (down where negative; and by one more where `between`), over the words 0 to
// toWords - 1; words of from outside 0 to fromWords - 1 count as empty. Plain and slower: for the rows of negative
// masses.
void OrMoved(const uint64_t* from, int64_t fromWords, uint64_t* to, int64_t toWords, int64_t by, bool between) {
  const int64_t moveWords = by >> 6;
  const int bits = static_cast<int>(by & 63);
  auto at = [&](int64_t i) { return i >= 0 && i < fromWords ? from[i] : uint64_t{0}; };
  auto moved = [&](int64_t i) { return (at(i - moveWords) << bits) | ((at(i - moveWords - 1) >> 1) >> (63 - bits)); };
  for (int64_t i = 0; i < toWords; ++i) {
    uint64_t m = moved(i);
    if (between) m |= (m << 1) | (moved(i - 1) >> 63);
    to[i] |= m;
  }
}

// The row before brought to bins `halvings` times as wide: bins and the bin of sum 0 (`zero`) as they become. Where
// the bin of 0 is odd, everything moves up by one bin first, so that the bins below 0 halve as those above it do.
template <typename Step>
void Widen(int halvings, int64_t& bins, int64_t& zero, Step&& step) {
  for (int s = 0; s < halvings; ++s) {
    const bool odd = (zero & 1) != 0;
    if (bins > 0) {
      step(odd, bins);
      bins = (bins + odd + 1) / 2;
    }
    zero = (zero + odd) / 2;
  }
}

}  // namespace

void ReachTable::Build(const double* mass, int n, double limit, double least, double width, size_t wordBudget) {
  rows_.assign(static_cast<size_t>(n) + 1, Row{});
  total_ = 0;
  if (n <= 0) return;
  least = std::min(least, 0.0);

  // Lay out the rows: each row spreads the sums it keeps (from the sum of its negative masses, or `least` when that
  // is more, up to the limit, or up to the sum of its positive masses when that is less) over about the same number
  // of bins, never finer than a 64th of the window nor than the row before. A row whose subsets are many for that
  // span (its 2^p sums, each a window wide, would cover it) answers yes nearly everywhere whatever its bins, so it gets
  // wider ones, and the others share the budget.
  int roomy = 0;
  double positive = 0, negative = 0, subsets = 1;
  for (int p = 1; p <= n; ++p) {
    (mass[p] < 0 ? negative : positive) += mass[p];
    subsets *= 2;
    if (width * subsets < std::min(limit, positive) - std::max(negative, least)) ++roomy;
  }
  const size_t shares = static_cast<size_t>(std::min(roomy + 2, n));
  const double rowBins = 64.0 * static_cast<double>(std::max<size_t>(wordBudget / shares, 1));
  positive = negative = 0;
  subsets = 1;
  size_t total = 0;
  int shift = ShiftFor(width / 64);
  for (int p = 1; p <= n; ++p) {
    (mass[p] < 0 ? negative : positive) += mass[p];
    subsets *= 2;
    const double span = std::min(limit, positive) - std::max(negative, least);
    shift = std::min(shift, ShiftFor(span / rowBins * std::max(1.0, width * subsets / span)));
    while (std::ldexp(limit - least, shift) + 4 > kMostBins) --shift;
    Row& row = rows_[p];
    const Row& before = rows_[p - 1];
    row.shift = shift;
    row.scale = p > 1 && shift == before.shift ? before.scale : std::ldexp(1.0, shift);
    // The row before, in this row's bins.
    int64_t from = p > 1 ? before.used : 0, zero = p > 1 ? before.zero : 0;
    Widen(p > 1 ? before.shift - shift : 0, from, zero, [](bool, int64_t) {});
    // The mass in bins (exact: a scaling by a power of two): the whole bins below it, and whether it falls between
    // two edges. A negative mass moves the sums kept so far up by its whole bins, so that the sums with it stay at
    // bin 0 and above, as far as they reach `least`: below that nothing is kept.
    const double x = mass[p] * row.scale;
    row.whole = static_cast<int64_t>(std::floor(x));
    row.between = static_cast<double>(row.whole) != x;
    const int64_t keep = least < 0 ? -Floor(least * row.scale) : 0;  // the bins from `least` up to 0
    row.zero = std::min(zero + std::max<int64_t>(-row.whole, 0), std::max(keep, zero));
    row.zeroD = static_cast<double>(row.zero);
    row.up = row.zero - zero;
    const int64_t bins = Floor(limit * row.scale) + row.zero + 2;
    // Every sum with this mass lies beyond the table: at least whole bins above the lowest bin.
    row.beyond = row.up == 0 && row.whole >= bins;
    if (row.beyond) {
      row.used = from;
    } else {
      // A subset's exact sum lies in a stretch of bins that the row marks whole: adding a mass moves the stretch by
      // the mass's whole bins, and widens it by one bin when the mass falls between two edges.
      const int64_t with = row.whole + row.up;  // where the sums with the mass lie from those without
      const int64_t alone = row.zero + row.whole + row.between + 1;
      row.used = std::max<int64_t>(
          std::min(bins, std::max({from == 0 ? 0 : from + row.up, from == 0 ? 0 : from + with + row.between, alone})),
          0);
    }
    row.end = static_cast<double>(row.used);
    if (p > 1 && row.beyond && row.shift == before.shift) {
      row.offset = before.offset;  // the same row
      row.shared = true;
    } else {
      row.offset = total;
      total += static_cast<size_t>(WordsFor(row.used));
    }
  }
  total_ = total;
  if (capacity_ < total_ || !words_) {
    capacity_ = std::max<size_t>(total_, 1);
    words_.reset(new uint64_t[capacity_]);
  }

  for (int p = 1; p <= n; ++p) {
    const Row& row = rows_[p];
    const Row& before = rows_[p - 1];
    if (row.shared) continue;
    uint64_t* to = words_.get() + row.offset;
    const int64_t toWords = WordsFor(row.used);

    // The row before, brought to this row's bins (widened in pad_ where they are wider).
    const uint64_t* from = words_.get() + before.offset;
    int64_t fromBins = p > 1 ? before.used : 0, zero = p > 1 ? before.zero : 0;
    const int halvings = p > 1 ? before.shift - row.shift : 0;
    if (halvings > 0 && fromBins > 0) {
      const int64_t fromWords = WordsFor(fromBins);
      if (static_cast<int64_t>(pad_.size()) < fromWords + 1) pad_.resize(static_cast<size_t>(fromWords) + 1);
      std::copy(from, from + fromWords, pad_.data());
      from = pad_.data();
    }
    {
      uint64_t* pad = pad_.data();
      Widen(halvings, fromBins, zero, [&](bool odd, int64_t bins) {
        int64_t words = WordsFor(bins);
        if (odd) {  // up by one bin, from the top down
          const int64_t upWords = WordsFor(bins + 1);
          if (upWords > words) pad[words] = 0;
          for (int64_t i = upWords - 1; i >= 0; --i) pad[i] = (pad[i] << 1) | (i > 0 ? pad[i - 1] >> 63 : 0);
          words = upWords;
        }
        const int64_t halved = (words + 1) / 2;
        for (int64_t i = 0; i < halved; ++i) {
          uint64_t word = Halve(pad[2 * i]);
          if (2 * i + 1 < words) word |= Halve(pad[2 * i + 1]) << 32;
          pad[i] = word;
        }
      });
    }
    const int64_t fromWords = fromBins > 0 ? WordsFor(fromBins) : 0;
    if (row.beyond) {
      for (int64_t i = 0; i < toWords; ++i) to[i] = i < fromWords ? from[i] : 0;
    } else {
      if (row.up == 0 && row.whole >= 0) {
        MoveUp(from, fromWords, to, toWords, row.whole, row.between);
      } else {
        std::fill(to, to + toWords, uint64_t{0});
        OrMoved(from, fromWords, to, toWords, row.up, false);
        OrMoved(from, fromWords, to, toWords, row.whole + row.up, row.between);
      }
      // The mass alone.
      const int64_t alone = row.zero + row.whole;
      for (int64_t bin = std::max<int64_t>(alone, 0); bin <= alone + row.between; ++bin)
        if (bin < row.used) to[bin >> 6] |= uint64_t{1} << (bin & 63);
    }
    // Bits past the row's last bin stand for sums beyond what the row keeps.
    if (row.used & 63) to[toWords - 1] &= ~uint64_t{0} >> (64 - (row.used & 63));
  }
}

}  // namespace zelm
