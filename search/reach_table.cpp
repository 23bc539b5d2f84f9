#include "search/reach_table.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace zelm {

namespace {

// The most bins a row may have, so that bin numbers and their doubles stay exact.
constexpr double kMostBins = 1099511627776.0;  // 2^40

// A mass in bins of width 2^-shift: the whole bins below it, and whether it falls between two bin edges.
struct Bins {
  int64_t whole;
  bool between;
};
Bins InBins(double mass, int shift) {
  const double x = std::ldexp(mass, shift);  // exact: a scaling by a power of two
  const double whole = std::floor(x);
  return {static_cast<int64_t>(whole), whole != x};
}

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

}  // namespace

void ReachTable::Build(const double* mass, int n, double limit, double width, size_t wordBudget) {
  rows_.assign(static_cast<size_t>(n) + 1, Row{});
  if (n <= 0) {
    total_ = 0;
    return;
  }

  // Lay out the rows: each row spreads the sums it keeps (up to the limit, or up to the sum of all its masses when
  // that is less) over about the same number of bins, never finer than a sixteenth of the window nor than the row
  // before. A row whose subsets are many for that span (its 2^p sums, each a window wide, would cover it) answers yes
  // nearly everywhere whatever its bins, so it gets wider ones.
  const double rowBins = 64.0 * static_cast<double>(std::max<size_t>(wordBudget / static_cast<size_t>(n), 1));
  double most = 0;
  size_t total = 0;
  int shift = ShiftFor(width / 16);
  for (int p = 1; p <= n; ++p) {
    most += mass[p];
    const double span = std::min(limit, most);
    const double crowding = std::ldexp(width, std::min(p, 1000)) / span;
    shift = std::min(shift, ShiftFor(span / rowBins * std::max(1.0, crowding)));
    while (std::ldexp(limit, shift) + 2 > kMostBins) --shift;
    Row& row = rows_[p];
    const Row& before = rows_[p - 1];
    row.shift = shift;
    row.scale = std::ldexp(1.0, shift);
    const int64_t bins = static_cast<int64_t>(std::floor(std::ldexp(limit, shift))) + 2;
    // The row before, in this row's bins.
    int64_t from = before.used;
    for (int s = before.shift; p > 1 && s > shift && from > 0; --s) from = (from + 1) / 2;
    const bool beyond = std::ldexp(mass[p], shift) >= static_cast<double>(bins);
    if (beyond) {
      row.used = from;  // every sum with this mass lies beyond the table
    } else {
      // A subset's exact sum lies in a stretch of bins that the row marks whole: adding a mass moves the stretch up
      // by the mass's whole bins, and widens it by one bin when the mass falls between two edges.
      const Bins b = InBins(mass[p], shift);
      row.used = std::min(bins, from == 0 ? b.whole + b.between + 1 : from + b.whole + b.between);
    }
    row.end = static_cast<double>(row.used);
    if (p > 1 && beyond && row.shift == before.shift) {
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

    // The row before, brought to this row's bins, in pad_[1] onwards, with a zero word before it and zero words after
    // it up to this row's length.
    int64_t fromWords = p > 1 ? WordsFor(before.used) : 0;
    const int64_t padded = std::max(fromWords, toWords) + 1;
    if (static_cast<int64_t>(pad_.size()) < padded) pad_.resize(static_cast<size_t>(padded));
    uint64_t* pad = pad_.data();
    pad[0] = 0;
    std::copy(words_.get() + before.offset, words_.get() + before.offset + fromWords, pad + 1);
    for (int s = before.shift; p > 1 && s > row.shift && fromWords > 0; --s) {
      const int64_t halved = (fromWords + 1) / 2;
      for (int64_t i = 0; i < halved; ++i) {
        uint64_t word = Halve(pad[1 + 2 * i]);
        if (2 * i + 1 < fromWords) word |= Halve(pad[2 + 2 * i]) << 32;
        pad[1 + i] = word;
      }
      fromWords = halved;
    }
    std::fill(pad + 1 + fromWords, pad + padded, 0);

    if (std::ldexp(mass[p], row.shift) >= std::floor(std::ldexp(limit, row.shift)) + 2) {
      std::copy(pad + 1, pad + 1 + toWords, to);
    } else {
      // The row before, that row moved up by the mass's whole bins (and by one more when the mass falls between
      // edges), and the mass alone.
      const Bins b = InBins(mass[p], row.shift);
      const int64_t moveWords = b.whole >> 6;
      const int bitShift = static_cast<int>(b.whole & 63);
      const int64_t copied = std::min(toWords, moveWords);
      std::copy(pad + 1, pad + 1 + copied, to);
      if (b.between) {
        uint64_t carry = 0;  // the top bit of the previous moved word, for the move by one bin more
        for (int64_t i = copied; i < toWords; ++i) {
          const int64_t src = i - moveWords;
          const uint64_t moved = (pad[src + 1] << bitShift) | ((pad[src] >> 1) >> (63 - bitShift));
          to[i] = pad[i + 1] | moved | (moved << 1) | carry;
          carry = moved >> 63;
        }
      } else {
        for (int64_t i = copied; i < toWords; ++i) {
          const int64_t src = i - moveWords;
          to[i] = pad[i + 1] | (pad[src + 1] << bitShift) | ((pad[src] >> 1) >> (63 - bitShift));
        }
      }
      for (int64_t bin = b.whole; bin <= b.whole + b.between; ++bin)
        if (bin < row.used) to[bin >> 6] |= uint64_t{1} << (bin & 63);
    }
    // Bits past the row's last bin stand for sums beyond what the row keeps.
    if (row.used & 63) to[toWords - 1] &= ~uint64_t{0} >> (64 - (row.used & 63));
  }
}

}  // namespace zelm
