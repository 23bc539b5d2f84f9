// The formula enumeration held to the plainest enumeration there is: every count vector in turn, its sum formed
// heaviest block first, kept when it lies strictly inside the window.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numeric>
#include <random>
#include <stdexcept>
#include <vector>

#include "engine/formula_enumeration.h"

namespace zelm {
namespace {

struct Found {
  std::vector<int> count;  // in the order the blocks were given
  double sum;
  bool operator==(const Found& o) const { return count == o.count && sum == o.sum; }
};

std::ostream& operator<<(std::ostream& out, const Found& f) {
  out << "{";
  for (int c : f.count) out << c << " ";
  return out << "| " << f.sum << "}";
}

struct Recorder : FormulaSink {
  std::vector<Found> hits;
  size_t cutAfter = 0;     // end the search after this many hits (0: never)
  int stopAtPause = -1;    // answer stop at this pause (0-based)
  int pauses = 0;
  std::vector<long long> hitsAtPause;
  double clock = 0, clockStep = 0;
  int clockReads = 0;

  bool Hit(const int* count, int k, double sum) override {
    hits.push_back({std::vector<int>(count, count + k), sum});
    return cutAfter > 0 && hits.size() >= cutAfter;
  }
  bool Pause(const EnumerationStats& sofar) override {
    hitsAtPause.push_back(sofar.hits);
    return pauses++ == stopAtPause;
  }
  double Clock() override {
    ++clockReads;
    return clock += clockStep;
  }
};

// Every vector, odometer fashion with the heaviest block's count the slowest digit, the sum formed heaviest first.
std::vector<Found> BruteForce(const std::vector<BlockRange>& blocks, double lower, double upper) {
  const int k = static_cast<int>(blocks.size());
  std::vector<int> order(blocks.size());
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return blocks[a].mass > blocks[b].mass; });
  std::vector<Found> out;
  for (const BlockRange& b : blocks)
    if (b.min > b.max) return out;
  std::vector<int> c(blocks.size());
  for (int i = 0; i < k; ++i) c[i] = blocks[i].min;
  while (true) {
    double sum = 0.0;
    for (int i : order) sum = sum + static_cast<double>(c[i]) * blocks[i].mass;
    if (lower < sum && sum < upper) out.push_back({c, sum});
    int d = k - 1;
    for (; d >= 0; --d) {
      const int i = order[d];
      if (c[i] < blocks[i].max) {
        ++c[i];
        break;
      }
      c[i] = blocks[i].min;
    }
    if (d < 0) break;
  }
  return out;
}

std::vector<Found> Enumerate(const FormulaEnumerator& e, double lower, double upper, EnumerationStats* stats = nullptr) {
  Recorder sink;
  const EnumerationStats s = e.Enumerate(lower, upper, sink, EnumerationOptions{});
  EXPECT_EQ(s.hits, static_cast<long long>(sink.hits.size()));
  if (stats) *stats = s;
  return sink.hits;
}

long long Count(const FormulaEnumerator& e, double lower, double upper) {
  Recorder sink;
  EnumerationOptions options;
  options.countOnly = true;
  const EnumerationStats s = e.Enumerate(lower, upper, sink, options);
  EXPECT_TRUE(sink.hits.empty());
  return s.hits;
}

const std::vector<double> kMasses = {1.00782503223, 2.01410177812, 12, 13.00335483507, 14.00307400443,
                                     15.99491461957, 18.99840316273, 22.9897692820, 30.97376199842, 31.9720711744,
                                     34.968852682, 38.9637064864, 78.9183376, 126.9044719};

TEST(FormulaEnumeration, AgreesWithEveryVectorTriedOnRandomBlocksAndWindows) {
  std::mt19937 random(11);
  int listedRounds = 0, edgeRounds = 0, tailRounds = 0, wholeRounds = 0;
  for (int round = 0; round < 600; ++round) {
    std::vector<BlockRange> blocks;
    const int k = 1 + static_cast<int>(random() % 5);
    for (int i = 0; i < k; ++i) {
      double m = kMasses[random() % kMasses.size()];
      if (random() % 4 == 0) m = 0.5 + std::uniform_real_distribution<double>(0, 60)(random);
      int lo = static_cast<int>(random() % 4);
      if (random() % 2 == 0) lo = 0;
      int hi = lo + static_cast<int>(random() % 9);
      if (random() % 10 == 0) hi = lo;      // a single count
      if (random() % 40 == 0) hi = lo - 1;  // no count at all
      blocks.push_back({m, lo, hi});
    }
    // A target: the sum of a random vector (formed another way: lightest first), or a random mass.
    double target = 0;
    for (const BlockRange& b : blocks) target += b.mass * (b.min + static_cast<int>(random() % 9));
    std::vector<std::pair<double, double>> windows;
    windows.push_back({target - 0.5, target + 0.5});
    windows.push_back({target * (1 - 5e-6), target * (1 + 5e-6)});
    const double ulps = std::ldexp(target, -52) * static_cast<double>(random() % 6);
    windows.push_back({target - ulps, target + ulps});
    windows.push_back({target - 20, target + 20});
    // Bounds at the exact sums the enumeration forms: the vectors on a bound are outside.
    const std::vector<Found> wide = BruteForce(blocks, target - 30, target + 30);
    if (wide.size() >= 2) {
      const double a = wide[random() % wide.size()].sum, b = wide[random() % wide.size()].sum;
      windows.push_back({std::min(a, b), std::max(a, b)});
      windows.push_back({a, std::nextafter(a, 1e300)});
      windows.push_back({std::nextafter(a, -1e300), a});
      windows.push_back({std::nextafter(a, -1e300), std::nextafter(a, 1e300)});
      edgeRounds += 1;
    }
    // A coarse table and a fine one; the lightest blocks solved together by their sorted list or not, the list short
    // (two or three blocks) or long (often all of them).
    const int64_t bins = round % 2 == 0 ? 64 : int64_t{1} << 16;
    const int64_t tail = round % 3 == 0 ? 0 : round % 3 == 1 ? 40 : int64_t{1} << 15;
    const FormulaEnumerator e(blocks, bins, 1e-9, tail);
    if (tail == 0) {
      EXPECT_EQ(e.TailBlocks(), 0);
    }
    tailRounds += e.TailBlocks() >= 2 && e.TailBlocks() < k;
    wholeRounds += e.TailBlocks() == k;
    for (auto [lower, upper] : windows) {
      const std::vector<Found> want = BruteForce(blocks, lower, upper);
      ASSERT_EQ(Enumerate(e, lower, upper), want) << "round " << round << " window " << lower << " " << upper;
      ASSERT_EQ(Count(e, lower, upper), static_cast<long long>(want.size())) << "round " << round;
      listedRounds += !want.empty();
    }
  }
  EXPECT_GT(listedRounds, 1000);  // most windows hold something
  EXPECT_GT(edgeRounds, 200);
  EXPECT_GT(tailRounds, 40);  // some blocks by the list, some above it
  EXPECT_GT(wholeRounds, 100);  // every block by the list
}

// A block beside another of nearly the same mass, H with D and 12C with 13C, at windows a few units in the last place
// wide around sums of many vectors.
TEST(FormulaEnumeration, KeepsBlocksOfNearlyTheSameMassApartAtTheEdges) {
  const std::vector<std::vector<BlockRange>> sets = {
      {{12, 0, 40}, {13.00335483507, 0, 6}, {1.00782503223, 0, 60}, {2.01410177812, 0, 6}},
      {{1.00782503223, 0, 80}, {2.01410177812, 0, 40}, {15.99491461957, 1, 9}},
  };
  std::mt19937 random(3);
  for (const auto& blocks : sets) for (const int64_t tail : {int64_t{0}, int64_t{1} << 15}) {
    const FormulaEnumerator e(blocks, int64_t{1} << 18, 1e-4, tail);
    EXPECT_EQ(e.TailBlocks(), tail == 0 ? 0 : 3);
    for (int round = 0; round < 60; ++round) {
      std::vector<int> c;
      for (const BlockRange& b : blocks) c.push_back(b.min + static_cast<int>(random() % (b.max - b.min + 1)));
      const double sum = e.FormedSum(c.data());
      for (double half : {0.0, std::ldexp(sum, -52), std::ldexp(sum, -50), sum * 2e-6, 0.02}) {
        for (auto [lower, upper] : {std::pair{sum - half, sum + half}, std::pair{sum, sum + 2 * half + 1e-9},
                                    std::pair{std::nextafter(sum - half, 0.0), sum}}) {
          const std::vector<Found> want = BruteForce(blocks, lower, upper);
          ASSERT_EQ(Enumerate(e, lower, upper), want) << lower << " " << upper;
        }
      }
      // The vector itself lies inside a window one unit in the last place either side of its sum, and on neither
      // bound.
      const std::vector<Found> around = Enumerate(e, std::nextafter(sum, 0.0), std::nextafter(sum, 1e300));
      EXPECT_TRUE(std::find(around.begin(), around.end(), Found{c, sum}) != around.end());
      EXPECT_EQ(Count(e, sum, std::nextafter(sum, 1e300)), 0);
      EXPECT_EQ(Count(e, std::nextafter(sum, 0.0), sum), 0);
    }
  }
}

TEST(FormulaEnumeration, HandsOutCountsInTheGivenOrderHeaviestBlockSlowest) {
  // Given light first: the sink still gets the counts in that order, the heavy block's count changing slowest.
  const std::vector<BlockRange> blocks = {{1, 0, 2}, {10, 1, 2}};
  const FormulaEnumerator e(blocks);
  const std::vector<Found> got = Enumerate(e, 0, 100);
  const std::vector<Found> want = {{{0, 1}, 10}, {{1, 1}, 11}, {{2, 1}, 12}, {{0, 2}, 20}, {{1, 2}, 21}, {{2, 2}, 22}};
  EXPECT_EQ(got, want);
  // Bounds exclusive: 11 and 21 are on them.
  EXPECT_EQ(Enumerate(e, 11, 21), (std::vector<Found>{{{2, 1}, 12}, {{0, 2}, 20}}));
  // Blocks of one mass keep the order given: the first given is the slower.
  const FormulaEnumerator twins({{5, 0, 1}, {5, 0, 1}});
  EXPECT_EQ(Enumerate(twins, 4, 6), (std::vector<Found>{{{0, 1}, 5}, {{1, 0}, 5}}));
}

TEST(FormulaEnumeration, EmptyRangesEmptyWindowsAndNoBlocks) {
  EXPECT_TRUE(Enumerate(FormulaEnumerator({{12, 0, 5}, {1, 3, 2}}), 0, 1000).empty());  // a block with no count
  const FormulaEnumerator e({{12, 1, 5}, {1, 2, 4}});
  EXPECT_TRUE(Enumerate(e, 20, 20).empty());
  EXPECT_TRUE(Enumerate(e, 30, 20).empty());
  EXPECT_TRUE(Enumerate(e, 0, 14).empty());  // the least sum is 14, on the bound
  EXPECT_EQ(Count(e, 0, 14.5), 1);
  EXPECT_TRUE(Enumerate(e, 64, 1000).empty());  // the most is 64
  EXPECT_EQ(Count(e, 63.5, 1000), 1);
  EXPECT_EQ(Count(e, -INFINITY, INFINITY), 15);
  EXPECT_EQ(Count(e, NAN, 100), 0);
  // No blocks: the empty vector, of sum 0.
  const FormulaEnumerator none({});
  EXPECT_EQ(Enumerate(none, -1, 1), (std::vector<Found>{{{}, 0.0}}));
  EXPECT_TRUE(Enumerate(none, 0, 1).empty());
  EXPECT_THROW(FormulaEnumerator({{0, 0, 1}}), std::invalid_argument);
  EXPECT_THROW(FormulaEnumerator({{-1, 0, 1}}), std::invalid_argument);
  EXPECT_THROW(FormulaEnumerator({{NAN, 0, 1}}), std::invalid_argument);
  EXPECT_THROW(FormulaEnumerator({{1, -1, 1}}), std::invalid_argument);
}

// Ten elements at counts 0..31 around 500 u: what the table rules out is not entered, so far fewer partial vectors
// are entered than there are below the window.
TEST(FormulaEnumeration, EntersFarFewerPartialVectorsThanLieBelowTheWindow) {
  const std::vector<double> ten = {1.00782503223, 12, 14.00307400443, 15.99491461957, 22.9897692820,
                                   23.985041697,  30.97376199842, 31.9720711744, 34.968852682, 38.9637064864};
  std::vector<BlockRange> blocks;
  for (double m : ten) blocks.push_back({m, 0, 31});
  const FormulaEnumerator e(blocks);
  // Nine of the elements (all but H) below 500 u: the partial vectors a search without the table would enter at
  // least, counted from the lightest of them up.
  std::vector<long long> below(501, 0);  // vectors of whole-u masses (rounded up) at each mass: fewer than of the true ones
  below[0] = 1;
  for (int i = 1; i < 10; ++i) {
    std::vector<long long> next(501, 0);
    const int m = static_cast<int>(std::ceil(ten[i]));
    for (int s = 0; s <= 500; ++s)
      for (int c = 0; c <= 31 && s + c * m <= 500; ++c) next[s + c * m] += below[s];
    below = next;
  }
  const long long partial = std::accumulate(below.begin(), below.end(), 0LL);
  EnumerationStats stats;
  const std::vector<Found> hits = Enumerate(e, 500 * (1 - 5e-6), 500 * (1 + 5e-6), &stats);
  EXPECT_GT(hits.size(), 1000u);
  EXPECT_LT(stats.visits * 4, partial) << stats.visits << " of " << partial;
  for (const Found& f : hits) ASSERT_EQ(f.sum, e.FormedSum(f.count.data()));
}

TEST(FormulaEnumeration, TheSinkEndsTheSearchAtAHit) {
  const std::vector<BlockRange> blocks = {{12, 0, 10}, {1.00782503223, 0, 20}, {15.99491461957, 0, 5}};
  const FormulaEnumerator e(blocks);
  const std::vector<Found> all = BruteForce(blocks, 50, 150);
  ASSERT_GT(all.size(), 10u);
  Recorder sink;
  sink.cutAfter = 7;
  const EnumerationStats stats = e.Enumerate(50, 150, sink, EnumerationOptions{});
  EXPECT_TRUE(stats.cut);
  EXPECT_FALSE(stats.stopped);
  EXPECT_EQ(stats.hits, 7);
  EXPECT_EQ(sink.hits, std::vector<Found>(all.begin(), all.begin() + 7));
}

// With the lightest blocks solved together by their sorted list and without.
class FormulaEnumerationPauses : public testing::TestWithParam<int64_t> {};

TEST_P(FormulaEnumerationPauses, PausesOnTheSinksClockAndStopsWhenAsked) {
  const std::vector<BlockRange> blocks = {{12, 0, 30}, {1.00782503223, 0, 60}, {15.99491461957, 0, 10},
                                          {14.00307400443, 0, 10}};
  const FormulaEnumerator e(blocks, int64_t{1} << 18, 1e-4, GetParam());
  EXPECT_EQ(e.TailBlocks(), GetParam() == 0 ? 0 : 3);
  const std::vector<Found> all = BruteForce(blocks, 200, 400);
  ASSERT_GT(all.size(), 1000u);
  EnumerationOptions options;
  options.clockSteps = 16;
  options.pauseSeconds = 0.05;

  // A clock that stands still: read often, never a pause.
  Recorder still;
  EnumerationStats stats = e.Enumerate(200, 400, still, options);
  EXPECT_EQ(still.pauses, 0);
  EXPECT_GT(still.clockReads, 50);
  EXPECT_EQ(still.hits, all);

  // A clock a second on at every reading: a pause at every reading after the first.
  Recorder ticking;
  ticking.clockStep = 1;
  stats = e.Enumerate(200, 400, ticking, options);
  EXPECT_FALSE(stats.stopped);
  EXPECT_EQ(ticking.pauses, ticking.clockReads - 1);
  EXPECT_GT(ticking.pauses, 50);
  EXPECT_TRUE(std::is_sorted(ticking.hitsAtPause.begin(), ticking.hitsAtPause.end()));
  EXPECT_EQ(ticking.hits, all);

  // A clock a fiftieth of a second on at every reading: a pause at every other one after the first.
  Recorder slow;
  slow.clockStep = 0.03;
  e.Enumerate(200, 400, slow, options);
  EXPECT_EQ(slow.pauses, (slow.clockReads - 1) / 2);

  // Stop at the fifth pause: what came before it was handed out, in order, and nothing after.
  Recorder stopping;
  stopping.clockStep = 1;
  stopping.stopAtPause = 4;
  stats = e.Enumerate(200, 400, stopping, options);
  EXPECT_TRUE(stats.stopped);
  EXPECT_FALSE(stats.cut);
  EXPECT_EQ(stopping.pauses, 5);
  ASSERT_LT(stopping.hits.size(), all.size());
  EXPECT_EQ(static_cast<long long>(stopping.hits.size()), stopping.hitsAtPause.back());
  EXPECT_EQ(stopping.hits, std::vector<Found>(all.begin(), all.begin() + static_cast<long>(stopping.hits.size())));

  // Counting pauses too, and stops (it takes far fewer steps: one per partial vector entered).
  Recorder counting;
  counting.clockStep = 1;
  counting.stopAtPause = 0;
  options.countOnly = true;
  options.clockSteps = 2;
  stats = e.Enumerate(200, 400, counting, options);
  EXPECT_TRUE(stats.stopped);
  EXPECT_EQ(counting.pauses, 1);
  EXPECT_LT(stats.hits, static_cast<long long>(all.size()));
}

INSTANTIATE_TEST_SUITE_P(TailAndNone, FormulaEnumerationPauses, testing::Values(int64_t{0}, int64_t{1} << 15));

}  // namespace
}  // namespace zelm
