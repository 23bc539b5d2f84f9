// The formula enumeration. Blocks are kept heaviest first; position j's count is chosen with the counts before it
// fixed, from the range that division leaves: with the prefix sum s, what the blocks after j can add lies between
// least_[j + 1] and most_[j + 1], so c * mass must lie within the window less s less that, give or take slack_ (how far
// a formed sum may lie from the exact one). Each count so chosen is kept only when the table says the blocks after it
// may reach a sum that brings the total inside. The last (lightest) block's counts are a range: since the formed sum
// s + double(c) * mass never falls as c grows, the counts inside are those between two bounds, guessed by division and
// then moved to the exact edge by testing the formed sum itself.
//
// The table. Row j marks, on bins of width w (a power of two, so that sums scale to bins exactly), the bin of every
// exact sum the blocks j..k-1 can form: row k holds the sum 0 alone; row j is row j + 1 shifted by c * mass / w for
// every count c of block j. A sum t in bin b plus c * mass lands in bin b + floor(x) or the one above (x = c * mass /
// w), so row j + 1 widened by one bin and shifted by floor(x) marks both; where x lies within rounding of a whole
// number the neighbouring shift is marked too. A marked bin proves nothing; an unmarked one holds no sum.
//
// The list. The lightest blocks, when their vectors are few enough, are listed once with their sums (added heaviest
// first from 0.0) sorted, and bucketed on a power-of-two width so that a sum's bucket is exact. A prefix sum s looks
// up the listed sums within the window less s give or take slack_, a superset of those whose formed sums lie inside;
// each is then formed from s and tested, and those inside handed out by index, which is their order. Counting forms
// only those within slack_ of an edge. The table's rows are built from the list's row (marked from its sums) up, and
// stop at the first row dense enough to be left unasked: the rows above it are left unasked too.
#include "engine/formula_enumeration.h"

#include "engine/bit_range.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>
#include <stdexcept>

namespace zelm {

namespace {

// dst |= src shifted up by `shift` bins (shift may be -1), over `words` words; bits shifted past the end are dropped.
void ShiftOr(uint64_t* dst, const uint64_t* src, int64_t words, int64_t shift) {
  if (shift < 0) {  // only -1: a shift down by one bin
    for (int64_t i = 0; i < words; ++i) dst[i] |= (src[i] >> 1) | (i + 1 < words ? src[i + 1] << 63 : 0);
    return;
  }
  const int64_t q = shift >> 6;
  const int r = static_cast<int>(shift & 63);
  if (q >= words) return;
  if (r == 0) {
    for (int64_t i = q; i < words; ++i) dst[i] |= src[i - q];
    return;
  }
  dst[q] |= src[0] << r;
  for (int64_t i = q + 1; i < words; ++i) dst[i] |= (src[i - q] << r) | (src[i - q - 1] >> (64 - r));
}

// The floor of x clamped to [min - 1, max + 1], done in double so that no cast overflows.
int ClampFloor(double x, int min, int max) {
  if (!(x > min - 1.0)) return min - 1;  // also NaN
  if (!(x < max + 1.0)) return max + 1;
  return static_cast<int>(std::floor(x));
}

}  // namespace

FormulaEnumerator::FormulaEnumerator(std::vector<BlockRange> blocks, int64_t tableBins, double finestBin,
                                     int64_t tailVectors) {
  for (const BlockRange& b : blocks) {
    if (!(b.mass > 0) || !std::isfinite(b.mass)) throw std::invalid_argument("a block's mass must be finite and above 0");
    if (b.min < 0) throw std::invalid_argument("a block's least count must not be below 0");
    if (b.min > b.max) empty_ = true;
  }
  k_ = static_cast<int>(blocks.size());
  given_.resize(blocks.size());
  std::iota(given_.begin(), given_.end(), 0);
  std::stable_sort(given_.begin(), given_.end(), [&](int a, int b) { return blocks[a].mass > blocks[b].mass; });
  for (int g : given_) {
    mass_.push_back(blocks[g].mass);
    min_.push_back(blocks[g].min);
    max_.push_back(blocks[g].max);
  }
  least_.assign(k_ + 1, 0.0);
  most_.assign(k_ + 1, 0.0);
  for (int j = k_ - 1; j >= 0; --j) {
    least_[j] = least_[j + 1] + min_[j] * mass_[j];
    most_[j] = most_[j + 1] + std::max(max_[j], 0) * mass_[j];
  }
  slack_ = (16.0 * k_ + 32.0) * std::ldexp(most_.empty() ? 0.0 : most_[0], -52);

  // The lightest blocks solved together: as many as have no more than tailVectors count vectors, at least two.
  if (!empty_ && k_ >= 2 && tailVectors > 0) {
    const int64_t most = std::min<int64_t>(tailVectors, int64_t{1} << 31);
    int64_t vectors = 1;
    int t = 0;
    while (t < k_) {
      const int64_t n = int64_t{max_[k_ - 1 - t]} - min_[k_ - 1 - t] + 1;
      if (vectors > most / n) break;
      vectors *= n;
      ++t;
    }
    if (t >= 2) {
      tail_ = t;
      const int from = k_ - t;
      for (int j = from; j < k_; ++j) tailRadix_.push_back(max_[j] - min_[j] + 1);
      std::vector<std::pair<double, uint32_t>> list(static_cast<size_t>(vectors));
      std::vector<int> c(min_.begin() + from, min_.end());
      for (int64_t i = 0; i < vectors; ++i) {
        double sum = 0.0;
        for (int d = 0; d < t; ++d) sum = sum + static_cast<double>(c[d]) * mass_[from + d];
        list[static_cast<size_t>(i)] = {sum, static_cast<uint32_t>(i)};
        for (int d = t - 1; d >= 0; --d) {  // the next vector, odometer fashion, the lightest block fastest
          if (c[d] < max_[from + d]) {
            ++c[d];
            break;
          }
          c[d] = min_[from + d];
        }
      }
      std::sort(list.begin(), list.end());
      tailSum_.reserve(list.size());
      tailIndex_.reserve(list.size());
      for (const auto& [sum, index] : list) {
        tailSum_.push_back(sum);
        tailIndex_.push_back(index);
      }
      // About two buckets a listed vector.
      const double top = tailSum_.back();
      const double width = std::ldexp(1.0, std::ilogb(std::max(top, 1e-300) / (2.0 * static_cast<double>(vectors))));
      tailBucketInverse_ = 1.0 / width;
      tailBuckets_ = static_cast<int64_t>(std::floor(top * tailBucketInverse_)) + 1;
      tailStart_.assign(static_cast<size_t>(tailBuckets_) + 1, 0);
      size_t i = 0;
      for (int64_t b = 0; b <= tailBuckets_; ++b) {
        while (i < tailSum_.size() && tailSum_[i] * tailBucketInverse_ < static_cast<double>(b)) ++i;
        tailStart_[static_cast<size_t>(b)] = static_cast<uint32_t>(i);
      }
    }
  }

  row_.assign(static_cast<size_t>(k_) + 1, Row{});
  if (empty_ || k_ == 0) return;
  // Each row's bin width: the least power of two with no more than about tableBins bins up to the row's largest sum,
  // no finer than finestBin and no finer than the row below it (of the lighter blocks).
  auto powerAtLeast = [](double x) {
    const double p = std::ldexp(1.0, std::ilogb(x));
    return p < x ? 2 * p : p;
  };
  const double bins = static_cast<double>(std::max<int64_t>(tableBins, 64));
  const double finest = powerAtLeast(std::max(finestBin, 1e-300));
  for (int j = k_; j >= 0; --j) {
    Row& r = row_[static_cast<size_t>(j)];
    r.width = std::max(finest, powerAtLeast(std::max(most_[j] / bins, 1e-300)));
    if (j < k_) r.width = std::max(r.width, row_[static_cast<size_t>(j) + 1].width);
    r.inverse = 1.0 / r.width;
    // Room above the largest sum's bin for the widening of each row, and a word more.
    r.bins = static_cast<int64_t>(std::floor(most_[j] * r.inverse)) + 2 * (k_ - j) + 4;
    r.words = (r.bins + 63) / 64 + 1;
  }
  // Rows are built from the top one down to row 0: the top one is row k (the sum 0), or with the lightest blocks
  // solved together their row, marked from their list; rows under the top one are never asked.
  auto allocate = [&](Row& r) {
    r.offset = static_cast<int64_t>(words_.size());
    words_.resize(words_.size() + static_cast<size_t>(r.words), 0);
    return &words_[static_cast<size_t>(r.offset)];
  };
  // A row is asked only when it leaves more than a tenth of its bins up to its largest sum unmarked.
  auto settle = [&](Row& r) {
    const int64_t last = r.bins - 1;
    const uint64_t* row = &words_[static_cast<size_t>(r.offset)];
    int64_t marked = 0;
    for (int64_t w = 0; w <= last >> 6; ++w) marked += __builtin_popcountll(row[w]);
    r.ask = marked * 10 < (last + 1) * 9;
  };
  const int top = k_ - tail_;
  {
    Row& r = row_[static_cast<size_t>(top)];
    uint64_t* row = allocate(r);
    if (tail_ == 0) {
      row[0] = 1;  // row k: the sum 0
    } else {
      // Each listed sum's bin, and its neighbour where the sum lies within a millionth of a bin of the edge (the listed
      // sums lie far closer than that to the exact ones).
      for (double t : tailSum_) {
        const double x = t * r.inverse;
        const int64_t first = std::max<int64_t>(0, static_cast<int64_t>(std::floor(x - 1e-6)));
        const int64_t last = std::min<int64_t>(r.bins - 1, static_cast<int64_t>(std::floor(x + 1e-6)));
        for (int64_t b = first; b <= last; ++b) row[b >> 6] |= uint64_t{1} << (b & 63);
      }
    }
    settle(r);
  }
  std::vector<uint64_t> wide;
  constexpr double kNear = 1e-6;  // in bins: far above the rounding of c * mass / w
  for (int j = top - 1; j >= 0; --j) {
    // A row dense enough to be left unasked: the rows of more blocks are left unasked and unbuilt.
    if (!row_[static_cast<size_t>(j) + 1].ask) break;
    Row& r = row_[static_cast<size_t>(j)];
    uint64_t* row = allocate(r);
    const Row& below = row_[static_cast<size_t>(j) + 1];
    // Row j + 1 on row j's bins (a coarse bin is marked when a fine bin in it is), then widened by one bin.
    const int shift = std::ilogb(r.width) - std::ilogb(below.width);
    wide.assign(static_cast<size_t>(r.words), 0);
    const uint64_t* next = &words_[static_cast<size_t>(below.offset)];
    for (int64_t w = 0; w < below.words; ++w)
      for (uint64_t bits = next[w]; bits; bits &= bits - 1) {
        const int64_t b = ((w << 6) + __builtin_ctzll(bits)) >> shift;
        wide[static_cast<size_t>(b >> 6)] |= uint64_t{1} << (b & 63);
      }
    for (int64_t i = r.words - 1; i >= 0; --i) wide[i] |= (wide[i] << 1) | (i > 0 ? wide[i - 1] >> 63 : 0);
    for (int c = min_[j]; c <= max_[j]; ++c) {
      const double x = static_cast<double>(c) * mass_[j] * r.inverse;
      const double whole = std::floor(x);
      const int64_t o = static_cast<int64_t>(whole);
      ShiftOr(row, wide.data(), r.words, o);
      if (x - whole < kNear) ShiftOr(row, wide.data(), r.words, o - 1);
      if (x - whole > 1 - kNear) ShiftOr(row, wide.data(), r.words, o + 1);
    }
    settle(r);
  }
}

int FormulaEnumerator::DenseRows() const {
  int dense = 0;
  for (const Row& r : row_) dense += !r.ask;
  return dense;
}

double FormulaEnumerator::FormedSum(const int* count) const {
  double sum = 0.0;
  for (int j = 0; j < k_; ++j) sum = sum + static_cast<double>(count[given_[j]]) * mass_[j];
  return sum;
}

[[gnu::always_inline]] inline bool FormulaEnumerator::MayReach(int j, double a, double b) const {
  const Row& r = row_[static_cast<size_t>(j)];
  if (!r.ask) return true;
  // The bins of a and b, each widened by a millionth of a bin against the rounding of the scaling.
  const double lo = a * r.inverse - 1e-6, hi = b * r.inverse + 1e-6;
  if (!(hi >= 0) || !(lo < static_cast<double>(r.bins))) return false;
  const int64_t first = lo > 0 ? static_cast<int64_t>(lo) : 0;
  const int64_t last = hi < static_cast<double>(r.bins - 1) ? static_cast<int64_t>(hi) : r.bins - 1;
  return AnyBit(&words_[static_cast<size_t>(r.offset)], first, last);
}

// One search: the enumerator's blocks, a window, a sink; the counts so far in the order given.
class Enumeration {
 public:
  Enumeration(const FormulaEnumerator& e, double lower, double upper, FormulaSink& sink,
              const EnumerationOptions& options)
      : e_(e), lower_(lower), upper_(upper), sink_(sink), countOnly_(options.countOnly),
        clockSteps_(std::max<long long>(options.clockSteps, 1)), pauseSeconds_(options.pauseSeconds),
        count_(static_cast<size_t>(e.k_) + 1, 0) {
    // The slack also covers the rounding of the window's finite bounds where they lie far above the sums.
    double scale = 0;
    if (std::isfinite(lower)) scale = std::max(scale, std::fabs(lower));
    if (std::isfinite(upper)) scale = std::max(scale, std::fabs(upper));
    slack_ = std::max(e.slack_, (16.0 * e.k_ + 32.0) * std::ldexp(scale, -52));
  }

  EnumerationStats Run() {
    if (!(lower_ < upper_) || e_.empty_) return stats_;
    last_ = sink_.Clock();
    countdown_ = clockSteps_;
    if (e_.k_ == 0) {
      if (lower_ < 0.0 && 0.0 < upper_) {
        ++stats_.hits;
        if (!countOnly_ && sink_.Hit(count_.data(), 0, 0.0)) stats_.cut = true;
      }
      return stats_;
    }
    if (!e_.MayReach(0, lower_ - slack_, upper_ + slack_)) return stats_;
    if (e_.tail_ == e_.k_) Tail(0.0);
    else if (e_.k_ == 1) Last(0.0);
    else Descend(0, 0.0);
    return stats_;
  }

 private:
  // A step: every clockSteps of them the clock is read, and a pause comes when a while has passed. True: stop.
  bool Step() {
    if (--countdown_ > 0) return false;
    countdown_ = clockSteps_;
    const double now = sink_.Clock();
    if (now - last_ < pauseSeconds_) return false;
    last_ = now;
    if (sink_.Pause(stats_)) {
      stats_.stopped = true;
      return true;
    }
    return false;
  }

  // Position j (not the last) with prefix sum s; true when the search ends.
  bool Descend(int j, double s) {
    const double m = e_.mass_[j];
    const int min = e_.min_[j], max = e_.max_[j];
    const int lo = std::max(min, ClampFloor((lower_ - slack_ - s - e_.most_[j + 1]) / m, min, max));
    const int hi = std::min(max, ClampFloor((upper_ + slack_ - s - e_.least_[j + 1]) / m, min, max));
    const bool last = e_.tail_ == 0 && j + 2 == e_.k_;
    const bool tail = e_.tail_ > 0 && j + 1 == e_.k_ - e_.tail_;
    const int at = e_.given_[j];
    for (int c = lo; c <= hi; ++c) {
      ++stats_.visits;
      if (Step()) return true;
      const double sum = s + static_cast<double>(c) * m;
      if (last) {
        count_[at] = c;
        if (Last(sum)) return true;
        continue;
      }
      if (!e_.MayReach(j + 1, lower_ - slack_ - sum, upper_ + slack_ - sum)) continue;
      count_[at] = c;
      if (tail ? Tail(sum) : Descend(j + 1, sum)) return true;
    }
    return false;
  }

  // The last (lightest) position with prefix sum s: the counts whose formed sums lie inside, found at their edges.
  bool Last(double s) {
    const int j = e_.k_ - 1;
    const double m = e_.mass_[j];
    const int min = e_.min_[j], max = e_.max_[j];
    auto above = [&](int c) { return s + static_cast<double>(c) * m > lower_; };
    auto below = [&](int c) { return s + static_cast<double>(c) * m < upper_; };
    // The least count above the lower bound: guessed by division, then moved to the edge.
    int lo = std::max(min, ClampFloor((lower_ - s) / m, min, max) + 1);
    if (lo > max) lo = max;
    if (above(lo)) {
      while (lo > min && above(lo - 1)) --lo;
    } else {
      do ++lo;
      while (lo <= max && !above(lo));
      if (lo > max) return false;
    }
    if (!below(lo)) return false;
    // The greatest count below the upper bound, from there.
    int hi = lo;
    if (below(hi + 1) && hi < max) {
      hi = std::max(hi + 1, std::min(max, ClampFloor((upper_ - s) / m, min, max)));
      while (hi < max && below(hi + 1)) ++hi;
      while (!below(hi)) --hi;
    }
    if (lo > hi) return false;
    if (countOnly_) {
      stats_.hits += hi - lo + 1;
      return false;
    }
    const int at = e_.given_[j];
    for (int c = lo; c <= hi; ++c) {
      count_[at] = c;
      ++stats_.hits;
      if (sink_.Hit(count_.data(), e_.k_, s + static_cast<double>(c) * m)) {
        stats_.cut = true;
        return true;
      }
      if (Step()) return true;
    }
    return false;
  }

  // The lightest blocks solved together, with prefix sum s: the listed vectors whose sums lie within the window's rest
  // give or take the slack, each checked by its formed sum, handed out by index (the order of the vectors).
  bool Tail(double s) {
    const std::vector<double>& sums = e_.tailSum_;
    const double lo = lower_ - slack_ - s, hi = upper_ + slack_ - s;
    const double x0 = lo * e_.tailBucketInverse_, x1 = hi * e_.tailBucketInverse_;
    const double buckets = static_cast<double>(e_.tailBuckets_);
    if (!(x1 >= 0) || !(x0 < buckets)) return false;
    size_t first = x0 > 0 ? e_.tailStart_[static_cast<size_t>(x0)] : 0;
    size_t end = x1 < buckets ? e_.tailStart_[static_cast<size_t>(x1) + 1] : sums.size();
    while (first < end && sums[first] < lo) ++first;
    while (end > first && sums[end - 1] > hi) --end;
    if (first == end) return false;
    const auto a = sums.begin() + static_cast<ptrdiff_t>(first), b = sums.begin() + static_cast<ptrdiff_t>(end);
    if (countOnly_) {
      // Those surely inside are counted; only those within the slack of an edge are formed.
      const size_t inFirst = static_cast<size_t>(std::upper_bound(a, b, lower_ + slack_ - s) - sums.begin());
      const size_t inEnd =
          static_cast<size_t>(std::lower_bound(sums.begin() + static_cast<ptrdiff_t>(inFirst), b, upper_ - slack_ - s) -
                              sums.begin());
      stats_.hits += static_cast<long long>(inEnd - inFirst);
      for (size_t i = first; i < inFirst; ++i) stats_.hits += Inside(Formed(e_.tailIndex_[i], s));
      for (size_t i = inEnd; i < end; ++i) stats_.hits += Inside(Formed(e_.tailIndex_[i], s));
      return false;
    }
    found_.clear();
    for (size_t i = first; i < end; ++i) {
      const uint32_t index = e_.tailIndex_[i];
      const double sum = Formed(index, s);
      if (Inside(sum)) found_.push_back({index, sum});
    }
    std::sort(found_.begin(), found_.end());
    for (const auto& [index, sum] : found_) {
      Formed(index, s);  // sets the counts
      ++stats_.hits;
      if (sink_.Hit(count_.data(), e_.k_, sum)) {
        stats_.cut = true;
        return true;
      }
      if (Step()) return true;
    }
    return false;
  }

  bool Inside(double sum) const { return lower_ < sum && sum < upper_; }

  // The counts of the listed vector `index` into count_, and the formed sum of the whole vector with prefix sum s.
  double Formed(uint32_t index, double s) {
    const int t = e_.tail_, from = e_.k_ - t;
    for (int d = t - 1; d >= 0; --d) {
      const uint32_t radix = static_cast<uint32_t>(e_.tailRadix_[static_cast<size_t>(d)]);
      count_[static_cast<size_t>(e_.given_[from + d])] = e_.min_[from + d] + static_cast<int>(index % radix);
      index /= radix;
    }
    for (int d = 0; d < t; ++d)
      s = s + static_cast<double>(count_[static_cast<size_t>(e_.given_[from + d])]) * e_.mass_[from + d];
    return s;
  }

  const FormulaEnumerator& e_;
  const double lower_, upper_;
  FormulaSink& sink_;
  const bool countOnly_;
  const long long clockSteps_;
  const double pauseSeconds_;
  double slack_ = 0;
  double last_ = 0;
  long long countdown_ = 0;
  std::vector<int> count_;
  std::vector<std::pair<uint32_t, double>> found_;  // the listed vectors inside, by index
  EnumerationStats stats_;
};

EnumerationStats FormulaEnumerator::Enumerate(double lower, double upper, FormulaSink& sink,
                                              const EnumerationOptions& options) const {
  return Enumeration(*this, lower, upper, sink, options).Run();
}

}  // namespace zelm
