// The formula enumeration: building blocks (elements, isotopes, anything with a mass) each with a range of counts, and
// a window on the summed mass in; every count vector whose sum lies strictly inside the window out to a sink, with
// pauses for progress and cancel, and statistics at the end. It works on plain masses and knows nothing of chemistry.
//
// A FormulaEnumerator is built once for a set of blocks (it keeps a table of the sums the lighter blocks can reach,
// which takes a while to build) and then searches as many windows as wanted; a search does not change it, so several
// threads may search one enumerator at once.
//
// The sum. The sum of a count vector c is formed in one way only, the same for the window's test and for what the sink
// is handed: in double arithmetic, the blocks taken heaviest first (blocks of equal mass in the order given), starting
// from 0.0 and adding each block's product, one rounded step at a time:
//     sum = 0.0;  for each block i, heaviest first:  sum = sum + double(c[i]) * mass[i];
// A vector is inside when lower < sum < upper, both bounds exclusive. FormedSum() forms it so.
//
// The order. Vectors come lexicographically ascending in their counts taken heaviest block first: the heaviest
// block's count changes slowest, the lightest block's fastest. The sink gets the counts in the order the blocks were
// given.
//
// How it goes: the heaviest block's count first, each count's range found by division from what is left of the window
// and the least and most the lighter blocks can add; a count whose lighter blocks can reach no sum that brings the
// total inside is passed over (the table says so). The few lightest blocks, when their count vectors are not too
// many, are solved together: a list of all their vectors sorted by sum is searched for the window's rest, and what it
// gives is checked by the formed sum and handed out in order. Otherwise the lightest block's counts are a range found
// by division and checked at its ends. Either way counting needs no step per vector.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace zelm {

// A building block: its mass (finite, above 0) and its counts min..max (0 <= min; min > max gives no count at all).
struct BlockRange {
  double mass;
  int min, max;
};

struct EnumerationStats {
  long long visits = 0;  // counts tried for a block other than the lightest (partial vectors entered)
  long long hits = 0;    // vectors inside the window
  bool cut = false;      // the sink ended the search at a hit
  bool stopped = false;  // a pause answered stop
};

class FormulaSink {
 public:
  virtual ~FormulaSink() = default;
  // A vector inside the window: count[i] for block i as given (k of them), and its sum formed as described above.
  // Returning true ends the search.
  virtual bool Hit(const int* count, int k, double sum) = 0;
  // A pause for progress and cancel, when pauseSeconds have passed on Clock() since the last pause (or the start).
  // Returning true stops the search.
  virtual bool Pause(const EnumerationStats& sofar) = 0;
  // Seconds on a clock that never goes back.
  virtual double Clock() = 0;
};

struct EnumerationOptions {
  // Count the vectors inside the window without handing them to the sink (no Hit, and no step per vector).
  bool countOnly = false;
  // The clock is read every this many steps (a step: a partial vector entered or a vector handed out); a pause comes
  // when pauseSeconds have passed since the last one.
  long long clockSteps = 4096;
  double pauseSeconds = 0.05;
};

class FormulaEnumerator {
 public:
  // Throws std::invalid_argument for a mass not finite or not above 0, or a min below 0. `tableBins` is about how many
  // bins each row of the table of reachable sums has (a row's bins are its largest sum over that as a power of two,
  // no finer than `finestBin` nor than the row of fewer blocks); more bins prune more and take longer to build.
  // `tailVectors`: the most count vectors the lightest blocks solved together may have (the list of them sorted by
  // sum); the most of the lightest blocks, at least two, whose vectors are no more are so solved (none when even the
  // two lightest have more, or when 0).
  explicit FormulaEnumerator(std::vector<BlockRange> blocks, int64_t tableBins = int64_t{1} << 18,
                             double finestBin = 1e-4, int64_t tailVectors = int64_t{1} << 15);

  // Every vector inside lower < sum < upper, in the order described above.
  EnumerationStats Enumerate(double lower, double upper, FormulaSink& sink, const EnumerationOptions& options) const;

  // The sum of `count` (given order) formed the one way described above.
  double FormedSum(const int* count) const;

  int Blocks() const { return k_; }
  // The table's bin width in the row of the blocks from heaviest-first position j on (j = 0: all of them; j = k: none),
  // its size in 64-bit words, and how many of its rows are dense enough to be left unasked.
  double BinWidth(int j) const { return row_.at(static_cast<size_t>(j)).width; }
  size_t TableWords() const { return words_.size(); }
  int DenseRows() const;
  // How many of the lightest blocks are solved together by the sorted list (0: none), and the list's length.
  int TailBlocks() const { return tail_; }
  size_t TailVectors() const { return tailSum_.size(); }

 private:
  friend class Enumeration;
  // Whether a sum of the blocks from heaviest-first position j on may lie strictly between a and b.
  bool MayReach(int j, double a, double b) const;

  int k_ = 0;
  bool empty_ = false;            // some block has no count
  std::vector<double> mass_;      // heaviest first
  std::vector<int> min_, max_;    // heaviest first
  std::vector<int> given_;        // heaviest-first position -> position as given
  std::vector<double> least_;     // least_[j]: the least sum of positions j..k-1 (least_[k] = 0)
  std::vector<double> most_;      // most_[j]: the most
  double slack_ = 0;              // how far a formed sum may lie from the exact one, and then some
  // Row j of the table: the sums of the blocks at heaviest-first positions j..k-1 (row k: the sum 0 alone).
  struct Row {
    double width = 1, inverse = 1;  // bin width, a power of two, and its inverse
    int64_t bins = 0, words = 0, offset = 0;  // bins in use; words from offset in words_
    bool ask = false;                         // whether it prunes enough to be asked
  };
  std::vector<Row> row_;
  std::vector<uint64_t> words_;
  // The lightest tail_ blocks (heaviest-first positions k - tail_ .. k - 1): every count vector of theirs, by its
  // index (the counts as digits, heaviest first, each less its min, in radix tailRadix_), sorted by the sum of their
  // products added heaviest first from 0.0 (ties by index).
  int tail_ = 0;
  std::vector<int> tailRadix_;
  std::vector<double> tailSum_;
  std::vector<uint32_t> tailIndex_;
  // Buckets of the sorted sums, of width a power of two: tailStart_[b] is the first listed sum t with t / width >= b
  // (b = 0 .. tailBuckets_, all sums lying below tailBuckets_ * width).
  double tailBucketInverse_ = 1;
  int64_t tailBuckets_ = 0;
  std::vector<uint32_t> tailStart_;
};

}  // namespace zelm
