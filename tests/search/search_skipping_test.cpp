// The search against the walk it must match: the same lines met between the same yields, the same bar and help line,
// for random libraries, the built-in libraries, stops, the line limit and an index reloaded during a yield.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdint>
#include <functional>
#include <iterator>
#include <random>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "engine/reach_table.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

// What one search showed: the lines added between each two top-level yields (sorted), the bar at each of them, the
// help-line texts repainted at once, and the closing help line and bar. Yields after a while within one top-level
// step are counted apart.
struct Observed {
  std::vector<std::vector<std::string>> groups;
  std::vector<int> bars;
  std::vector<std::string> repaints;
  std::string help;
  int bar = 0;
  bool operator==(const Observed&) const = default;
};

std::string Describe(const Observed& o) {
  std::ostringstream out;
  out << "help \"" << o.help << "\", bar " << o.bar << ", " << o.groups.size() << " groups:";
  for (const auto& g : o.groups) out << ' ' << g.size();
  return out.str();
}

class SearchAgainstWalk : public ::testing::Test {
 protected:
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};
  // Runs at the i-th yield (from 1) of the observed search, after it was recorded; `timed` tells a yield within a
  // top-level step (the bar was not set since the yield before) from one at a top-level change.
  std::function<void(int)> atYield;
  bool timed = false;
  int timedYields = 0;

  // Runs the search (or the walk) on `mass` and records what it showed.
  Observed Observe(bool skipping, double mass) {
    Observed seen;
    std::vector<std::string> before;
    auto takeGroup = [&] {
      std::vector<std::string> now = form.Results.Items();
      std::sort(now.begin(), now.end());
      std::vector<std::string> added;
      std::set_difference(now.begin(), now.end(), before.begin(), before.end(), std::back_inserter(added));
      seen.groups.push_back(std::move(added));
      before = std::move(now);
    };
    int yields = 0;
    bool inside = false;  // a search started in a yield yields too; only the observed one is recorded
    unsigned barChanges = form.Bar.Changes;
    timedYields = 0;
    host.repaints.clear();
    host.onYield = [&] {
      if (inside) return;
      timed = form.Bar.Changes == barChanges;
      if (timed) {
        ++timedYields;
      } else {
        takeGroup();
        seen.bars.push_back(form.Bar.Width);
      }
      inside = true;
      if (atYield) atYield(++yields);
      inside = false;
      barChanges = form.Bar.Changes;
    };
    if (skipping) form.Search(mass);
    else form.SearchWalk(mass);
    host.onYield = nullptr;
    takeGroup();
    seen.repaints = host.repaints;
    seen.help = form.HelpLine.Caption;
    seen.bar = form.Bar.Width;
    return seen;
  }

  // Loads a library of labelled masses the way a search run does.
  void Library(const std::vector<double>& masses, int maxBit) {
    std::string text;
    for (size_t i = 0; i < masses.size(); ++i)
      text += std::string(1, static_cast<char>('A' + i)) + "," + NumberTextBare(masses[i]) + "\r\n";
    dir.Write("EMassTest.txt", text);
    form.MaxBit = static_cast<int16_t>(maxBit);
    form.LoadFile("EMassTest.txt");
    form.Sort();
    ASSERT_EQ(form.LoadProblem, "");
  }

  void RandomRounds(unsigned seed, int rounds, bool losses);

  void Expect(double mass, const std::string& what) {
    const Observed walk = Observe(false, mass);
    const Observed search = Observe(true, mass);
    EXPECT_TRUE(walk == search) << what << "\n  walk:   " << Describe(walk) << "\n  search: " << Describe(search);
  }
};

// Random libraries whose masses are multiples of 1/64, so that every sum is exact and sums often tie with the target
// and with each other: equal index masses, targets equal to sums, narrow and wide windows, tables of every size; with
// `losses`, negative masses (neutral losses) and zeros among them.
void SearchAgainstWalk::RandomRounds(unsigned seed, int rounds, bool losses) {
  std::mt19937 random(seed);
  auto below = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
  for (int round = 0; round < rounds; ++round) {
    const int maxBit = below(5);
    const int entries = 1 + below(std::max(1, 14 / (maxBit + 1)));
    std::vector<double> masses;
    for (int i = 0; i < entries; ++i) {
      double m = (16 + below(1500)) / 64.0;
      if (i > 0 && below(4) == 0) m = masses[below(i)];                        // the same mass again
      else if (i > 0 && below(5) == 0) m = masses[below(i)] * (1 << below(3));  // a multiple of one
      if (losses && below(4) == 0) m = -(16 + below(1500)) / 64.0;  // a loss
      else if (losses && below(8) == 0) m = 0;
      masses.push_back(m);
    }
    Library(masses, maxBit);
    if (::testing::Test::HasFatalFailure()) return;

    // The target: the sum of some index entries, sometimes moved a little or a lot. Sums of consecutive positions
    // down to position 2 on top of a few others make the walk's runs down through consecutive positions end exactly
    // at the target.
    double target = 0;
    const int run = below(2) == 0 ? 2 + below(form.IndexCount) : 0;
    for (int p = 1; p <= form.IndexCount; ++p)
      if ((p >= 2 && p <= run) || (p > run && below(3) == 0)) target += form.IndexMass[p];
    if (target == 0) target = form.IndexMass[1 + below(form.IndexCount)];
    if (losses && !(target > 0)) target = (1 + below(4000)) / 32.0;
    switch (below(4)) {
      case 0: break;
      case 1: target += (below(33) - 16) / 256.0; break;
      case 2: target *= 1 + (below(21) - 10) / 100.0; break;
      default: target = (1 + below(4000)) / 32.0;
    }
    // Half-widths from a fraction of the finest mass step to a large part of the mass.
    const double halfWidths[] = {1 / 2048.0, 1 / 300.0, 1 / 65.0, 0.5, 3, target / 5, target / 2};
    const double halfWidth = halfWidths[below(7)];
    form.Range.SetText(NumberTextBare(halfWidth / target * 1000000));
    form.OptionPlus.Value = below(8) == 0;
    form.AdjustIndex = 0;
    form.AdjustMass[0] = below(8) == 0 ? 1.0078125 : 0;
    // Skipping from the first position, or after a few; tables from a few words to the full size.
    form.SearchSettings.plainVisits = below(3) == 0 ? below(40) : 0;
    form.SearchSettings.tableWords = below(2) == 0 ? 16 + below(200) : size_t{1} << 16;

    std::ostringstream what;
    what << "round " << round << ": MaxBit " << maxBit << ", masses";
    for (double m : masses) what << ' ' << m;
    what << "; mass " << target << ", Range " << form.Range.Text << ", plain " << form.SearchSettings.plainVisits << ", words "
         << form.SearchSettings.tableWords;
    Expect(target, what.str());
    if (::testing::Test::HasFailure()) return;
  }
}

TEST_F(SearchAgainstWalk, RandomLibrariesMeetTheSameCombinationsBetweenTheSameYields) { RandomRounds(8, 2500, false); }

TEST_F(SearchAgainstWalk, RandomLibrariesWithLossesAndZerosMeetTheSameCombinations) { RandomRounds(9, 2500, true); }

TEST_F(SearchAgainstWalk, StopAtAnyYieldLeavesTheSameLinesAndBar) {
  std::mt19937 random(21);
  for (int round = 0; round < 200; ++round) {
    Library({12, 14.00390625, 15.99609375, 1.0078125, 31.97265625}, 1 + static_cast<int>(random() % 3));
    form.Range.SetText(round % 2 ? "40" : "40000");
    form.SearchSettings.plainVisits = 0;
    const int stopAt = 1 + static_cast<int>(random() % static_cast<unsigned>(form.IndexCount));
    atYield = [&](int i) {
      if (i == stopAt) form.Stop_Click();
    };
    const double mass = 60 + static_cast<int>(random() % 2000) / 16.0;
    Expect(mass, "round " + std::to_string(round));
    if (::testing::Test::HasFailure()) return;
  }
}

// A handler run during a yield may reload the index: with other masses (sorted or not, as the library button leaves
// them), with none, with the same ones, or run a whole search of its own. The search goes on as the walk does.
TEST_F(SearchAgainstWalk, IndexReloadedDuringAYieldIsSearchedAsTheWalkSearchesIt) {
  const std::string quick = "EMassQuick.txt";
  form.FormLoad();
  dir.Write("EMassOther.txt", "X,7.5\r\nY,2.25\r\nZ,11.125\r\nW,3.0625\r\n");
  dir.Write("EMassEmpty.txt", "");
  form.SearchSettings.plainVisits = 0;
  const std::vector<std::function<void()>> reloads = {
      [&] { form.LoadFile("EMassOther.txt"), form.Sort(); },  // other masses, fewer entries
      [&] { form.LoadFile("EMassOther.txt"); },               // other masses, not sorted
      [&] { form.LoadFile("EMassEmpty.txt"); },               // none
      [&] { form.LoadFile(quick), form.Sort(); },             // the same masses again
      [&] {                                                   // a search of its own
        double other = 66.5;
        form.Search(other);
      },
  };
  for (size_t r = 0; r < reloads.size(); ++r) {
    for (int at : {1, 5, 20, 33}) {
      for (double mass : {150.0, 260.0}) {
        atYield = [&](int i) {
          if (i == at) reloads[r]();
        };
        // Both start from the quick library.
        form.MaxBit = 3;
        form.LoadFile(quick);
        form.Sort();
        form.Range.SetText("30");
        const Observed walk = Observe(false, mass);
        form.LoadFile(quick);
        form.Sort();
        const Observed search = Observe(true, mass);
        EXPECT_TRUE(walk == search) << "reload " << r << " at yield " << at << ", mass " << mass << "\n  walk:   "
                                    << Describe(walk) << "\n  search: " << Describe(search);
      }
    }
  }
}

// A yield after a while within a top-level step: a stop there, or a library reloaded there, leaves the search where
// the walk is left when the same is done to it at the point of its walk the search had reached. The walk yields after
// every position it enters, so one of its yields is that point: the one behind the same lines and top-level changes
// whose outcome is the search's.
class WithinATopLevelStep : public SearchAgainstWalk {
 protected:
  void SetUp() override {
    form.FormLoad();
    dir.Write("EMassOther.txt", "X,7.5\r\nY,2.25\r\nZ,11.125\r\nW,3.0625\r\n");
    dir.Write("EMassEmpty.txt", "");
    form.SearchSettings.plainVisits = 0;
    host.clockStep = 1;  // every look at the clock finds a yield due
  }
  void Quick() {
    form.MaxBit = 3;
    form.LoadFile("EMassQuick.txt");
    form.Sort();
    form.Range.SetText("100");
  }

  // Runs `action` at the first yield of the search within a top-level step after it listed `lines` lines, and at the
  // matching yield of the walk;
  // expects one such yield of the walk to leave what the search left, and the action to fall between two lines of
  // the same top-level step.
  void Expect(double mass, int lines, const std::function<void()>& action, const std::string& what) {
    // The walk's yields: the lines listed and the top-level changes behind each.
    struct Point {
      int lines, tops;
    };
    std::vector<Point> points;
    int tops = 0;
    form.SearchSettings.clockSteps = 1;
    atYield = [&](int) {
      tops += !timed;
      points.push_back({form.Results.Count(), tops});
    };
    Quick();
    const Observed whole = Observe(false, mass);

    form.SearchSettings.clockSteps = 16;
    int linesAt = -1, topsAt = -1;
    tops = 0;
    atYield = [&](int) {
      tops += !timed;
      if (timed && linesAt < 0 && form.Results.Count() >= lines) {
        linesAt = form.Results.Count(), topsAt = tops;
        action();
      }
    };
    Quick();
    const Observed search = Observe(true, mass);
    ASSERT_GE(linesAt, 0) << what << ": no yield within a top-level step";

    int fewest = INT32_MAX, most = -1;
    for (const Point& point : points)
      if (point.tops == topsAt) fewest = std::min(fewest, point.lines), most = std::max(most, point.lines);
    EXPECT_LT(fewest, linesAt) << what << ": no line of the step was listed before";
    EXPECT_LT(linesAt, most) << what << ": no line of the step was left to list";

    form.SearchSettings.clockSteps = 1;
    bool matched = false;
    for (size_t r = 0; r < points.size() && !matched; ++r) {
      if (points[r].lines != linesAt || points[r].tops != topsAt) continue;
      atYield = [&](int i) {
        if (i == static_cast<int>(r) + 1) action();
      };
      Quick();
      matched = Observe(false, mass) == search;
    }
    EXPECT_TRUE(matched) << what << ": at " << linesAt << " lines in top-level step " << topsAt
                         << "\n  search: " << Describe(search) << "\n  walk without it: " << Describe(whole);
  }
};

TEST_F(WithinATopLevelStep, StopKeepsTheLinesListedBeforeIt) {
  for (double mass : {150.0, 175.0}) {
    for (int lines : {25, 150, 300}) {
      Expect(mass, lines, [&] { form.Stop_Click(); },
             "stop after " + std::to_string(lines) + " lines, mass " + NumberTextBare(mass));
      EXPECT_EQ(form.HelpLine.Caption, "Search has been stopped.");
      if (HasFailure()) return;
    }
  }
}

TEST_F(WithinATopLevelStep, ReloadedIndexIsSearchedOnAsTheWalkSearchesIt) {
  const std::vector<std::function<void()>> reloads = {
      [&] { form.LoadFile("EMassOther.txt"), form.Sort(); },  // other masses, fewer entries
      [&] { form.LoadFile("EMassOther.txt"); },               // other masses, not sorted
      [&] { form.LoadFile("EMassEmpty.txt"); },               // none
      [&] { form.LoadFile("EMassQuick.txt"), form.Sort(); },  // the same masses again
  };
  for (size_t r = 0; r < reloads.size(); ++r) {
    for (int lines : {40, 250}) {
      Expect(150, lines, reloads[r], "reload " + std::to_string(r) + " after " + std::to_string(lines) + " lines");
      if (HasFailure()) return;
    }
  }
}

// The built-in libraries at masses where the walk takes little time, narrow and wide.
TEST_F(SearchAgainstWalk, BuiltInLibrariesListTheSameLines) {
  form.FormLoad();
  form.MaxBit = 3;
  form.SearchSettings.plainVisits = 0;
  struct Case {
    const char* library;
    double mass;
    const char* ppm;
  };
  const Case cases[] = {
      {"EMassQuick.txt", 100, "0.5"},      {"EMassQuick.txt", 180.0634, "5"}, {"EMassQuick.txt", 250, "20"},
      {"EMassQuick.txt", 333.3333, "1"},   {"EMassQuick.txt", 400.1, "2"},    {"EMassQuick.txt", 120, "3000"},
      {"EMassBasic.txt", 100, "20"},       {"EMassBasic.txt", 122.04, "1"},   {"EMassBasic.txt", 150, "5"},
  };
  for (const Case& c : cases) {
    form.LoadFile(c.library);
    form.Sort();
    form.Range.SetText(c.ppm);
    Expect(c.mass, std::string(c.library) + " at " + NumberTextBare(c.mass) + " u, " + c.ppm + " ppm");
  }
}

// The built-in libraries with a neutral loss of water, a negative mass at the lightest positions of the index.
TEST_F(SearchAgainstWalk, BuiltInLibrariesWithALossListTheSameLines) {
  form.FormLoad();
  form.MaxBit = 3;
  form.SearchSettings.plainVisits = 0;
  for (const char* library : {"EMassQuick.txt", "EMassBasic.txt"}) {
    form.LoadFile(library);
    std::string text;
    for (const std::string& line : form.WorkList.Items()) text += line + "\r\n";
    dir.Write("EMassLoss.txt", text + "Loss, -18.010565\r\n");
    form.LoadFile("EMassLoss.txt");
    form.Sort();
    ASSERT_LT(form.IndexMass[1], 0);
    struct Case {
      double mass;
      const char* ppm;
    };
    for (const Case& c : {Case{100, "20"}, Case{122.04, "1"}, Case{60.021, "5"}, Case{18, "1000"}}) {
      form.Range.SetText(c.ppm);
      const std::string what = std::string(library) + " with a loss at " + NumberTextBare(c.mass) + " u, " + c.ppm + " ppm";
      double mass = c.mass;
      form.SearchWalk(mass);
      const long long walked = form.SearchStatistics.visits;
      Expect(c.mass, what);
      // It skips as it does without the loss: of a long walk it enters a small part.
      if (walked > 100000) {
        EXPECT_LT(form.SearchStatistics.visits * 20, walked) << what << ": walk " << walked;
      }
    }
  }
}

TEST_F(SearchAgainstWalk, LineLimitCutsAtTheSameLine) {
  form.FormLoad();
  form.Range.SetText("1000000");
  form.SearchSettings.plainVisits = 0;
  Expect(700, "quick library at 700 u with 1000000 ppm");
  EXPECT_EQ(form.Results.Count(), Form1::kSearchLineLimit);
}

// Every combination of the index whose sum, added heaviest first as the walk adds, lies strictly inside the window,
// each as its top-level position and combination text; found by halves, independently of the walk.
std::vector<std::pair<int, std::string>> InsideByHalves(const Form1& form, double lower, double upper) {
  const int n = form.IndexCount, half = n / 2;
  auto sums = [&](int first, int last) {
    std::vector<std::pair<double, uint64_t>> out{{0.0, 0}};
    for (int p = first; p <= last; ++p) {
      const size_t count = out.size();
      for (size_t i = 0; i < count; ++i)
        if (out[i].first + form.IndexMass[p] < upper + 1)
          out.push_back({out[i].first + form.IndexMass[p], out[i].second | (uint64_t{1} << p)});
    }
    return out;
  };
  std::vector<std::pair<double, uint64_t>> low = sums(1, half);
  std::sort(low.begin(), low.end());
  std::vector<std::pair<int, std::string>> found;
  for (const auto& [highSum, highSet] : sums(half + 1, n)) {
    auto from = std::lower_bound(low.begin(), low.end(), std::make_pair(lower - highSum - 1e-6, uint64_t{0}));
    for (auto it = from; it != low.end() && it->first < upper - highSum + 1e-6; ++it) {
      const uint64_t set = highSet | it->second;
      if (set == 0) continue;
      double sum = 0;
      std::string text;
      int top = 0;
      for (int p = n; p >= 1; --p) {
        if (!(set >> p & 1)) continue;
        if (top == 0) top = p;
        sum = sum + form.IndexMass[p];
        text += form.IndexLabel[p];
      }
      if (lower < sum && sum < upper) found.push_back({top, text + "|" + NumberText(sum)});
    }
  }
  return found;
}

// Where the half-width is below the lightest mass and below the step between the two lightest, the walk lists every
// combination inside the window: at the heavy masses of daily work the search is checked against all of them.
TEST_F(SearchAgainstWalk, QuickLibraryAtHeavyMassesListsEveryCombinationInsideTheWindow) {
  form.FormLoad();
  form.MaxBit = 3;
  form.LoadFile("EMassQuick.txt");
  form.Sort();
  ASSERT_EQ(form.IndexCount, 36);
  ASSERT_LT(1500 * 20e-6, form.IndexMass[2] - form.IndexMass[1]);
  struct Case {
    double mass;
    const char* ppm;
  };
  for (const Case& c : {Case{500.2, "1"}, Case{700, "1"}, Case{1000.2, "1"}, Case{1200.1, "1"}, Case{1345.67, "0.2"},
                        Case{1499.9, "0.5"}}) {
    form.Range.SetText(c.ppm);
    const Form1::SearchWindow window = form.BeginSearch(c.mass);
    // The expected lines, group by group, formed by the candidate check of a second window.
    FakeHost otherHost(dir.Path());
    Form1 other(otherHost);
    std::vector<std::vector<std::string>> expected(static_cast<size_t>(form.IndexCount));
    for (auto& [top, combination] : InsideByHalves(form, window.lower, window.upper)) {
      std::string text = combination.substr(0, combination.find('|'));
      std::string massText = combination.substr(combination.find('|') + 1);
      other.CheckAdd(text, massText);
      expected[static_cast<size_t>(form.IndexCount - top)].push_back(text);
    }
    for (auto& group : expected) std::sort(group.begin(), group.end());
    const Observed search = Observe(true, c.mass);
    EXPECT_EQ(search.groups, expected) << c.mass << " u, " << c.ppm << " ppm: " << Describe(search);
  }
}

// The table never rules out a sum that some subset has, whatever its size; and it does rule out ranges that no subset
// reaches.
TEST(ReachTable, MarksEverySubsetSumAndRulesOutGapsBetweenThem) {
  std::mt19937 random(3);
  for (int round = 0; round < 400; ++round) {
    const int n = 1 + static_cast<int>(random() % 11);
    std::vector<double> mass(static_cast<size_t>(n) + 1, 0.0);
    for (int p = 1; p <= n; ++p) mass[p] = std::uniform_real_distribution<double>(0.01, 60)(random);
    if (round % 3 == 0) mass[1] = 0;
    // Losses: negative masses, at the lightest positions once sorted.
    for (int p = 1; p <= n && round % 4 == 1; p += 3) mass[p] = -std::uniform_real_distribution<double>(0, 40)(random);
    std::sort(mass.begin() + 1, mass.end());
    const double limit = std::uniform_real_distribution<double>(0.05, 250)(random);
    ReachTable table;
    table.Build(mass.data(), n, limit, -1000, std::uniform_real_distribution<double>(1e-6, 1)(random), 8 + random() % 3000);
    for (int p = 1; p <= n; ++p) {
      for (uint32_t set = 1; set < (1u << p); ++set) {
        double sum = 0;
        for (int q = 1; q <= p; ++q)
          if (set >> (q - 1) & 1) sum += mass[q];
        if (sum >= limit) continue;
        ASSERT_TRUE(table.MayHold(p, sum - 1e-9, sum + 1e-9)) << "round " << round << ", p " << p << ", sum " << sum;
      }
    }
  }
  // Whole masses 1, 2, 4 and 8 in bins narrower than a unit: every whole sum from 1 to 15 is there, no half.
  const double masses[] = {0, 1, 2, 4, 8};
  ReachTable table;
  table.Build(masses, 4, 100, 0, 0.01, 4096);
  for (int sum = 1; sum <= 15; ++sum) {
    EXPECT_TRUE(table.MayHold(4, sum - 0.25, sum + 0.25)) << sum;
    EXPECT_FALSE(table.MayHold(4, sum + 0.25, sum + 0.75)) << sum;
  }
  EXPECT_FALSE(table.MayHold(4, 15.25, 99));
  EXPECT_FALSE(table.MayHold(2, 3.5, 99));  // positions 1 and 2 reach 3 at most
  EXPECT_FALSE(table.MayHold(4, -5, 0.5));  // no nonempty subset sums to less than 1
}

// With losses the sums reach below 0. Whole masses in bins narrower than a unit: a whole number is marked exactly when
// some nonempty subset sums to it, and nothing between whole numbers is.
TEST(ReachTable, SumsWithNegativeMassesAndZerosAreMarkedExactly) {
  const std::vector<std::vector<double>> cases = {
      {0, -8, -4, 0, 2, 16}, {0, -36, -18, -3, 5, 7, 40}, {0, -1, 0, 0, 1}, {0, -5, -5, -2}, {0, 0, 3, 9}};
  for (const auto& masses : cases) {
    const int n = static_cast<int>(masses.size()) - 1;
    for (size_t words : {size_t{3}, size_t{4096}}) {
      ReachTable table;
      table.Build(masses.data(), n, 60, -100, words > 3 ? 0.01 : 0.9, words);
      for (int p = 1; p <= n; ++p) {
        std::set<int> sums;
        for (uint32_t set = 1; set < (1u << p); ++set) {
          int sum = 0;
          for (int q = 1; q <= p; ++q)
            if (set >> (q - 1) & 1) sum += static_cast<int>(masses[q]);
          sums.insert(sum);
        }
        for (int sum = -80; sum < 59; ++sum) {
          const bool may = table.MayHold(p, sum - 0.25, sum + 0.25);
          if (sums.count(sum)) {
            EXPECT_TRUE(may) << "p " << p << ", sum " << sum << ", words " << words;
          } else if (words > 3) {
            EXPECT_FALSE(may) << "p " << p << ", sum " << sum;
          }
          if (words > 3) {
            EXPECT_FALSE(table.MayHold(p, sum + 0.25, sum + 0.75)) << "p " << p << ", sum " << sum;
          }
        }
      }
    }
  }
}

}  // namespace
}  // namespace zelm
