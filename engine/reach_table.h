// Which sums the index masses can form: for every run of positions 1 to p, the sums of its nonempty subsets, kept as
// marks on bins. A bin is marked whenever the exact sum of some subset may fall into it, so a range whose bins are all
// unmarked holds no such sum; a marked bin proves nothing. The combination search asks it whether the positions below
// a combination can still bring its sum inside the window.
//
// Every row has about the same number of bins, so the rows of the light positions, whose sums are few and small, get
// fine bins, and the rows of many positions, whose sums lie close together anyway, get coarse ones. Bin widths are
// powers of two, so a mass divides into bins exactly, and never get finer from one row to the next.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>

#include "engine/bit_range.h"
#include <memory>
#include <vector>

namespace zelm {

class ReachTable {
 public:
  // Builds the table for the masses at positions 1 to n (ascending, finite; negative ones and zeros too), for
  // questions about ranges `width` wide: sums of `limit` or more are not kept, nor sums whose negative masses add up
  // to less than `least` (finite, 0 or less), and no bin is finer than a 64th of the width. The table takes about
  // `wordBudget` 64-bit words.
  void Build(const double* mass, int n, double limit, double least, double width, size_t wordBudget);

  // Whether some nonempty subset of the positions 1 to p may have an exact sum strictly between a and b. Never false
  // when one has, for b up to the table's limit, unless its negative masses add up to less than `least`.
  [[gnu::always_inline]] bool MayHold(int p, double a, double b) const {
    const Row& row = rows_[p];
    // The bins from a's to b's, within those in use; bin `zero` holds the sum 0. Where no sum lies below 0 (most
    // rows), a bin is the whole part of a scaled sum.
    int64_t first, last;
    if (row.zero == 0) {
      const double lo = std::max(a * row.scale, 0.0);
      const double hi = std::min(b * row.scale, row.end);
      if (!(lo < hi)) return false;
      first = static_cast<int64_t>(lo);
      last = static_cast<int64_t>(hi);
    } else {
      const double lo = std::max(a * row.scale, -row.zeroD);
      const double hi = std::min(b * row.scale, row.end - row.zeroD);
      if (!(lo < hi)) return false;
      first = Floor(lo) + row.zero;
      last = Floor(hi) + row.zero;
    }
    last -= last == row.used;
    return AnyBit(words_.get() + row.offset, first, last);
  }

  // The size of the table in words, and the bin width of row p (for measuring).
  size_t Words() const { return total_; }
  double BinWidth(int p) const { return 1 / rows_[p].scale; }

 private:
  // The largest whole number not above x, for x well inside the range of int64_t.
  static int64_t Floor(double x) {
    const int64_t i = static_cast<int64_t>(x);
    return i - (x < static_cast<double>(i));
  }
  struct Row {
    double scale = 1;      // bins per unit of mass, 2^shift
    double end = 0;        // used, as a double
    int shift = 0;
    int64_t used = 0;      // bins 0 to used - 1 may be marked; the rest are not stored
    size_t offset = 0;     // the row's first word
    int64_t zero = 0;      // the bin of the sum 0: sums below 0 (of negative masses) lie in the bins below it
    double zeroD = 0;      // zero, as a double
    int64_t up = 0;        // how far the row before moves up (by a negative mass's whole bins)
    int64_t whole = 0;     // the whole bins below the row's mass (negative for a negative mass)
    bool between = false;  // whether the mass falls between two bin edges
    bool beyond = false;   // whether it lies beyond the bins kept
    bool shared = false;   // the row before's words serve (same bins, and the mass adds no sum kept)
  };
  std::vector<Row> rows_;
  std::unique_ptr<uint64_t[]> words_;
  size_t capacity_ = 0;  // words held, kept from one build to the next
  size_t total_ = 0;
  std::vector<uint64_t> pad_;  // the row before, brought to the bins of the row being built
};

}  // namespace zelm
