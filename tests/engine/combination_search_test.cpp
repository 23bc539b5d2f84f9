// The engine's combination search driven directly, without the window: a sink that records what it is handed.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "engine/combination_search.h"

namespace zelm {
namespace {

struct Recorder : SearchSink {
  std::vector<double> mass;  // positions 0..n
  std::vector<std::vector<int>> hits;
  std::vector<std::pair<bool, int>> pauses;  // (top, left)
  std::vector<long long> visitsAtPause;
  int stopAtPause = -1;   // answer stop at this pause (0-based)
  size_t cutAfter = 0;    // end the search after this many hits (0: never)
  double clock = 0, clockStep = 0;

  bool Hit(const int* slot, int k, double) override {
    hits.emplace_back(slot + 1, slot + k + 1);
    return cutAfter > 0 && hits.size() >= cutAfter;
  }
  Resume Pause(bool top, int left, const SearchStats& sofar) override {
    pauses.emplace_back(top, left);
    visitsAtPause.push_back(sofar.visits);
    return {mass.data(), static_cast<int>(pauses.size()) - 1 == stopAtPause};
  }
  double Clock() override { return clock += clockStep; }
};

// Masses 1, 2 and 3 around 3: the walk enters {3}, {2}, {2,1} and {1}, and lists {3} and {2,1}.
TEST(CombinationSearch, ListsWhatTheWalkMeetsWithProgressAtEveryTopLevelStep) {
  for (bool skipping : {false, true}) {
    Recorder sink;
    sink.mass = {0, 1, 2, 3};
    SearchOptions options;
    options.plainVisits = 0;
    const SearchWindow window{3, 2.5, 3.5};
    const SearchStats stats = skipping ? SearchCombinations(sink.mass.data(), 3, window, sink, options)
                                       : WalkCombinations(sink.mass.data(), 3, window, sink, options);
    EXPECT_EQ(sink.hits, (std::vector<std::vector<int>>{{3}, {2, 1}})) << skipping;
    EXPECT_EQ(stats.hits, 2);
    if (!skipping) {
      EXPECT_EQ(stats.visits, 4);
    }
    EXPECT_FALSE(stats.cut || stats.stopped);
    // A pause each time the top level moves on, with the top-level positions still to come after it.
    EXPECT_EQ(sink.pauses, (std::vector<std::pair<bool, int>>{{true, 1}, {true, 0}})) << skipping;
  }
}

TEST(CombinationSearch, CountingHandsNothingToTheSinkAndStopAndCutEndIt) {
  Recorder sink;
  sink.mass = {0, 1, 2, 3};
  SearchOptions options;
  options.countOnly = true;
  SearchStats stats = SearchCombinations(sink.mass.data(), 3, {3, 2.5, 3.5}, sink, options);
  EXPECT_EQ(stats.hits, 2);
  EXPECT_TRUE(sink.hits.empty());

  // Stop at the first pause: {3} was listed; nothing below the second top-level position was entered.
  Recorder stopping;
  stopping.mass = sink.mass;
  stopping.stopAtPause = 0;
  stats = WalkCombinations(stopping.mass.data(), 3, {3, 2.5, 3.5}, stopping, SearchOptions{});
  EXPECT_TRUE(stats.stopped);
  EXPECT_EQ(stopping.hits, (std::vector<std::vector<int>>{{3}}));
  EXPECT_EQ(stopping.visitsAtPause, (std::vector<long long>{1}));

  // The sink ends the search at its first hit.
  Recorder cutting;
  cutting.mass = sink.mass;
  cutting.cutAfter = 1;
  stats = SearchCombinations(cutting.mass.data(), 3, {3, 2.5, 3.5}, cutting, options = SearchOptions{});
  EXPECT_TRUE(stats.cut);
  EXPECT_EQ(cutting.hits.size(), 1u);
}

TEST(CombinationSearch, PausesAlsoWhenAWhileHasPassedWithinOneTopLevelStep) {
  // Light masses under one heavy one, the target far above it: the first top-level step enters a great many
  // combinations of the light ones.
  for (bool skipping : {false, true}) {
    Recorder sink;
    sink.mass = {0};
    for (int i = 1; i <= 24; ++i) sink.mass.push_back(i);
    sink.mass.push_back(1000);
    sink.clockStep = 1;  // every reading of the clock is a second later
    SearchOptions options;
    options.clockSteps = 64;
    options.plainVisits = 1LL << 40;  // the search walks as the walk does
    const SearchWindow window{1150.5, 1150.4, 1150.6};
    const SearchStats stats = skipping ? SearchCombinations(sink.mass.data(), 25, window, sink, options)
                                       : WalkCombinations(sink.mass.data(), 25, window, sink, options);
    EXPECT_EQ(stats.hits, 0);
    EXPECT_GT(stats.visits, 65536);
    const auto timed = std::count_if(sink.pauses.begin(), sink.pauses.end(), [](auto p) { return !p.first; });
    EXPECT_GT(timed, 100) << skipping;
    EXPECT_EQ(sink.pauses.size() - static_cast<size_t>(timed), 24u);
  }
}

// Libraries of real masses, with windows whose bounds lie within rounding of the sums the walk forms: the search must
// list exactly what the walk lists, so its rule of what cannot be reached has to allow for the rounding of the walk's
// additions.
TEST(CombinationSearch, AgreesWithTheWalkOnRealMassesAtTheEdgeOfTheWindow) {
  const std::vector<double> isotopes = {1.00782503223, 2.01410177812, 12,           13.00335483507, 14.00307400443,
                                        15.99491461957, 18.99840316273, 22.9897692820, 30.97376199842, 31.9720711744,
                                        34.968852682,   38.9637064864, 78.9183376,   126.9044719,    -18.010564684};
  std::mt19937 random(5);
  int agreed = 0, listed = 0;
  for (int round = 0; round < 400; ++round) {
    std::vector<double> library;
    const size_t size = 3 + random() % 6;
    while (library.size() < size) {
      double m = isotopes[random() % isotopes.size()];
      if (round % 3 != 0 && m < 0) continue;
      library.push_back(m);
    }
    std::vector<double> mass;
    for (double m : library)
      for (int b = 0; b <= 3; ++b) mass.push_back(std::ldexp(m, b));
    std::sort(mass.begin(), mass.end());
    mass.insert(mass.begin(), 0.0);
    const int n = static_cast<int>(mass.size()) - 1;
    // The target: the sum of a random combination, added up in another order than the walk's; the half-width a few
    // units in the last place, so that sums fall just inside or just outside.
    double target = 0;
    for (int p = 1; p <= n; ++p)
      if (random() % 4 == 0) target += mass[static_cast<size_t>(p)];
    if (!(target > 0)) target = mass[static_cast<size_t>(n)];
    const double half = std::fabs(target) * 0x1p-50 * static_cast<double>(1 + random() % 8);
    const SearchWindow window{target, target - half, target + half};
    Recorder walk, search;
    walk.mass = search.mass = mass;
    WalkCombinations(walk.mass.data(), n, window, walk, SearchOptions{});
    SearchOptions options;
    options.plainVisits = 0;
    SearchCombinations(search.mass.data(), n, window, search, options);
    ASSERT_EQ(search.hits, walk.hits) << "round " << round;
    agreed += 1;
    listed += !walk.hits.empty();
  }
  EXPECT_EQ(agreed, 400);
  EXPECT_GT(listed, 100);  // the windows are not all empty
}

}  // namespace
}  // namespace zelm
