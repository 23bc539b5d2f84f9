#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

const std::string C12 = ToSuperscript("12") + "C";

class CombinationSearch : public ::testing::Test {
 protected:
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};
  std::vector<int> barAtYield;

  void SetUp() override {
    host.onYield = [this] { barAtYield.push_back(form.Bar.Width); };
  }

  // One index entry per mass (ascending), each its own library label "A", "B", ... with n = 0.
  void Index(const std::vector<double>& masses) {
    form.IndexCount = static_cast<int16_t>(masses.size());
    for (size_t i = 0; i < masses.size(); ++i) {
      form.IndexMass[i + 1] = masses[i];
      form.IndexLabel[i + 1] = IndexLabelText(0, std::string(1, static_cast<char>('A' + i)));
    }
  }
  // Carbon 12 alone with MaxBit 3: 12, 24, 48, 96.
  void CarbonIndex() {
    form.IndexCount = 4;
    for (int n = 0; n < 4; ++n) {
      form.IndexMass[n + 1] = 12.0 * (1 << n);
      form.IndexLabel[n + 1] = IndexLabelText(n, C12);
    }
  }
  void Run(double mass, const std::string& ppm) {
    form.Range.SetText(ppm);
    form.Search(mass);
  }
  // The formulas listed, without their mass texts.
  std::vector<std::string> Formulas() const {
    std::vector<std::string> out;
    for (const std::string& line : form.Results.Items()) out.emplace_back(Trim(line.substr(0, 30)));
    return out;
  }
  static std::string F(const std::string& letters) {
    std::string out;
    for (char c : letters) out += std::string(1, c) + SubDigit(1);
    return out;
  }
};

TEST_F(CombinationSearch, FirstTraceListsOnlyThreeAndOneAndYieldsAtEachTopLevelChange) {
  Index({1, 2, 4});
  form.Bar.SetWidth(1935);
  Run(5, "100000");  // half-width 0.5
  EXPECT_EQ(Formulas(), (std::vector<std::string>{F("AC")}));
  EXPECT_EQ(form.SearchStatistics.visits, 6);  // {3} {3,2} {3,1} {2} {2,1} {1}
  EXPECT_EQ(barAtYield, (std::vector<int>{645, 0}));
  EXPECT_EQ(host.yields, 2);
  EXPECT_EQ(form.HelpLine.Caption, "Results:  1 found. ");
  EXPECT_EQ(form.Bar.Width, 0);
  EXPECT_EQ(host.repaints, (std::vector<std::string>{" Now searching for possible mass combinations."}));
}

TEST_F(CombinationSearch, HighTargetNeverMeetsThreeAndOne) {
  Index({1, 2, 4});
  Run(100, "5000");  // half-width 0.5
  EXPECT_TRUE(form.Results.Items().empty());
  EXPECT_EQ(form.SearchStatistics.visits, 6);  // {3} {3,2} {3,2,1} {2} {2,1} {1}
  EXPECT_EQ(form.HelpLine.Caption, "Results:  0 found. ");
}

TEST_F(CombinationSearch, ClimbRuleSkipsThreeAndOneInsideTheWindow) {
  Index({1, 2, 10});
  Run(12.5, "160000");  // half-width 2: window 10.5 to 14.5
  std::vector<std::string> got = Formulas();
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, (std::vector<std::string>{F("ABC"), F("BC")}));  // 13 and 12; 11 = {3,1} is skipped
}

TEST_F(CombinationSearch, SecondTraceTenCarbonsAndFiveCarbons) {
  CarbonIndex();
  Run(120, "1");
  ASSERT_EQ(form.Results.Count(), 1);
  EXPECT_EQ(form.Results.Item(0), C12 + "\x91\x90" + std::string(25, ' ') + " 120");
  EXPECT_EQ(form.SearchStatistics.visits, 10);
  EXPECT_EQ(barAtYield, (std::vector<int>{967, 483, 0}));  // 2/4, 1/4 and 0 of 1935 twips

  barAtYield.clear();
  Run(60, "1");
  ASSERT_EQ(form.Results.Count(), 1);  // the list holds the latest search only
  EXPECT_EQ(form.Results.Item(0), C12 + "\x95" + std::string(26, ' ') + " 60");
}

TEST_F(CombinationSearch, SumsOnTheBoundsAreNotListed) {
  Index({9, 10, 11});
  Run(10, "100000");  // window 9 to 11, both excluded
  EXPECT_EQ(Formulas(), (std::vector<std::string>{F("B")}));
}

TEST_F(CombinationSearch, ChargeAndAdjustmentMoveTheTargetButNotTheHalfWidth) {
  // Candidates for each correction of the mass 120, and one 0.0001195 above the adjusted target: inside with the
  // half-width 120 x 1 ppm = 0.00012, outside if the half-width came from the corrected mass.
  Index({118.992175, 118.9922945, 119.999451, 120.00055});
  form.OptionPlus.Value = true;
  Run(120, "1");
  EXPECT_EQ(Formulas(), (std::vector<std::string>{F("D")}));
  EXPECT_EQ(form.Results.Item(0).substr(30), " 120");

  form.OptionPlus.Value = false;
  form.OptionMinus.Value = true;
  Run(120, "1");
  EXPECT_EQ(Formulas(), (std::vector<std::string>{F("C")}));
  EXPECT_EQ(form.Results.Item(0).substr(30), " 120");

  form.OptionMinus.Value = false;
  form.AdjustMass[1] = 1.007825;
  form.AdjustIndex = 1;
  Run(120, "1");
  EXPECT_EQ(Formulas(), (std::vector<std::string>{F("A"), F("B")}));
  EXPECT_EQ(form.Results.Item(0).substr(30), " 120");
}

TEST_F(CombinationSearch, NoIndexEntriesListsNothingAndZeroesTheBar) {
  form.IndexCount = 0;
  form.Bar.SetWidth(1000);
  Run(120, "1");
  EXPECT_EQ(form.Results.Count(), 0);
  EXPECT_EQ(host.yields, 0);
  EXPECT_EQ(form.Bar.Width, 0);
  EXPECT_EQ(form.HelpLine.Caption, "Results:  0 found. ");
}

TEST_F(CombinationSearch, SingleEntryIsTestedWithoutAYield) {
  Index({120});
  form.Bar.SetWidth(1000);
  Run(120, "1");
  EXPECT_EQ(Formulas(), (std::vector<std::string>{F("A")}));
  EXPECT_EQ(host.yields, 0);
  EXPECT_EQ(form.Bar.Width, 0);
}

TEST_F(CombinationSearch, ToleranceOfZeroOrTextListsNothingButWalksEverything) {
  CarbonIndex();
  form.Range.SetText("abc");
  double mass = 120;
  form.SearchWalk(mass);
  EXPECT_EQ(form.Results.Count(), 0);
  EXPECT_EQ(form.SearchStatistics.visits, 10);
  // The search lists nothing either, with the walk's yields and bar, without entering more than the top level.
  barAtYield.clear();
  Run(120, "abc");
  EXPECT_EQ(form.Results.Count(), 0);
  EXPECT_EQ(barAtYield, (std::vector<int>{967, 483, 0}));
  EXPECT_EQ(form.SearchStatistics.visits, 4);
  Run(120, "-5");
  EXPECT_EQ(form.Results.Count(), 0);
  EXPECT_EQ(host.yields, 9);
  EXPECT_EQ(form.HelpLine.Caption, "Results:  0 found. ");
  EXPECT_EQ(form.Bar.Width, 0);
}

TEST_F(CombinationSearch, StopTakesEffectAtTheNextTopLevelChangeAndKeepsTheLines) {
  CarbonIndex();
  for (int stopAt : {1, 2, 3}) {
    barAtYield.clear();
    host.yields = 0;
    host.repaints.clear();
    form.SetFocus(form.Range);
    host.onYield = [&] {
      barAtYield.push_back(form.Bar.Width);
      if (host.yields == stopAt) form.Stop_Click();
    };
    Run(120, "1");
    EXPECT_EQ(host.yields, stopAt);
    EXPECT_EQ(form.HelpLine.Caption, "Search has been stopped.");
    EXPECT_EQ(host.repaints.back(), "Search has been stopped.");
    EXPECT_EQ(form.Bar.Width, (std::vector<int>{967, 483, 0})[stopAt - 1]);
    EXPECT_EQ(form.Results.Count(), 1);  // ten carbons were met before the first yield
    EXPECT_EQ(form.Focus, &form.FindMass);
    EXPECT_EQ(form.StopRequested, 1);
  }
  // A stop pressed while no search runs waits, and the next search clears it before it looks.
  host.onYield = nullptr;
  form.Stop_Click();
  Run(60, "1");
  EXPECT_EQ(form.HelpLine.Caption, "Results:  1 found. ");
  EXPECT_EQ(form.StopRequested, 0);
}

TEST_F(CombinationSearch, StoppedMidWalkInAHugeWindowKeepsWhatItListed) {
  // One walk with a wide window: stopping at the first yield leaves exactly the lines of the first top-level position.
  Index({1, 2, 3, 5, 8, 13});
  host.onYield = [&] { form.Stop_Click(); };
  Run(20, "500000");
  int stoppedWith = form.Results.Count();
  host.onYield = nullptr;
  Run(20, "500000");
  EXPECT_GT(stoppedWith, 0);
  EXPECT_LT(stoppedWith, form.Results.Count());
}

TEST_F(CombinationSearch, IndexLargerThanNineHundredNinetyNineEntriesIsSearched) {
  // 1200 entries of masses 1000 + i / 1000: only single entries fit below the target, so every entry is visited.
  std::vector<double> masses;
  for (int i = 1; i <= 1200; ++i) masses.push_back(1000 + i / 1000.0);
  form.IndexCount = 1200;
  for (int i = 1; i <= 1200; ++i) {
    form.IndexMass[i] = masses[i - 1];
    form.IndexLabel[i] = IndexLabelText(0, 'X' + CountText(i));
  }
  double mass = 1000.6;
  form.Range.SetText("50");  // half-width 0.05003: the entries 550 to 650
  form.Search(mass);
  EXPECT_EQ(form.Results.Count(), 101);
  EXPECT_EQ(host.yields, 1199);
}

TEST_F(CombinationSearch, EnormousWindowEndsAtTheLineLimitWithAMessage) {
  // The quick library at 1000 u with a tolerance of 1000000 ppm: nearly every combination met lies in the window.
  form.FormLoad();
  int yieldsAtCut = -1;
  host.onYield = [&] { yieldsAtCut = host.yields; };
  Run(1000, "1000000");
  EXPECT_EQ(form.Results.Count(), Form1::kSearchLineLimit);
  EXPECT_EQ(form.HelpLine.Caption, "Results:  100000 found. The search ended at 100000 lines; narrow the range to "
                                   "see every combination.");
  EXPECT_EQ(form.Bar.Width, 0);
  EXPECT_LT(yieldsAtCut, form.IndexCount - 1);  // the walk did not run to its end
}

TEST_F(CombinationSearch, RandomIndexesListOnlySumsInsideTheWindowAndNoneTwice) {
  std::mt19937 random(20240521);
  std::uniform_real_distribution<double> massOf(0.5, 40);
  for (int round = 0; round < 300; ++round) {
    int n = 1 + static_cast<int>(random() % 11);
    std::vector<double> masses;
    for (int i = 0; i < n; ++i) masses.push_back(std::round(massOf(random) * 1000) / 1000);
    std::sort(masses.begin(), masses.end());
    Index(masses);
    double mass = 1 + std::uniform_real_distribution<double>(0, 120)(random);
    double ppm = std::uniform_real_distribution<double>(10, 300000)(random);
    form.Range.SetText(NumberTextBare(ppm));
    double target = mass, half = mass * LeadingNumber(form.Range.Text) / 1000000;
    form.Search(mass);

    // Every listed formula names a subset of entries; its sum, added heaviest first as the walk adds, lies inside.
    std::set<std::string> seen;
    for (const std::string& line : form.Results.Items()) {
      std::string formula(Trim(line.substr(0, 30)));
      ASSERT_TRUE(seen.insert(formula).second) << "listed twice";
      std::vector<int> members;
      for (char c : formula)
        if (!IsSubscript(c)) members.push_back(c - 'A' + 1);
      std::sort(members.rbegin(), members.rend());
      double sum = 0;
      for (int p : members) sum += masses[p - 1];
      EXPECT_LT(target - half, sum);
      EXPECT_LT(sum, target + half);
    }

    // A window narrower than the lightest mass and than the gap between the two lightest: every subset inside is
    // listed.
    bool narrow = half < masses[0] && (n < 2 || half < masses[1] - masses[0]);
    if (narrow) {
      int inside = 0;
      for (int subset = 1; subset < (1 << n); ++subset) {
        double sum = 0;
        for (int p = n; p >= 1; --p)
          if (subset & (1 << (p - 1))) sum += masses[p - 1];
        if (target - half < sum && sum < target + half) ++inside;
      }
      EXPECT_EQ(static_cast<int>(seen.size()), inside) << "round " << round;
    }
  }
}

}  // namespace
}  // namespace zelm
