// The tooltips of the Results lines after a search run: each line's error against the mass it was searched for.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

const std::string C12 = ToSuperscript("12") + "C";
const std::string C10 = "C" + ToSubscript("10");
const std::string C5 = "C" + ToSubscript("5");

class ResultsToolTips : public ::testing::Test {
 protected:
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};

  void SetUp() override {
    dir.Write("EMassQuick.txt", C12 + ",12\r\n");
    dir.Write("ConfFile.txt", "");
    form.FormLoad();
    form.FormActivate();
  }
  void Run(const std::string& masses, const std::string& range) {
    form.FindMass.SetText(masses);
    form.Range.SetText(range);
    form.QuickSearch_Click();
  }
  std::vector<std::string> Tips() const {
    std::vector<std::string> tips;
    for (int i = 0; i < form.Results.Count(); ++i) tips.push_back(form.ResultsToolTip(i));
    return tips;
  }
};

TEST_F(ResultsToolTips, EachLineHasTheErrorOfItsOwnMass) {
  // 120.0001 finds ten carbons 0.0001 u below it (0.8333 ppm of 120); 60 finds five carbons exactly.
  Run("120.0001,60", "2");
  EXPECT_EQ(Tips(), (std::vector<std::string>{C10 + "\nerror 0.83 ppm (0.10 mDa)\nRDBE 11",
                                              C5 + "\nerror 0.00 ppm (0.00 mDa)\nRDBE 6"}));
  EXPECT_EQ(form.ResultsToolTip(2), "");
  EXPECT_EQ(form.ResultsToolTip(-1), "");
}

TEST_F(ResultsToolTips, AlikeLinesOfTwoMassesKeepTheirOwnErrors) {
  // Both masses find the same line; each keeps its error, in the order of the masses, also after a line is cut.
  Run("120,120.0001", "2");
  ASSERT_EQ(form.Results.Count(), 2);
  EXPECT_EQ(form.Results.Item(0), form.Results.Item(1));
  EXPECT_EQ(Tips(), (std::vector<std::string>{C10 + "\nerror 0.00 ppm (0.00 mDa)\nRDBE 11",
                                              C10 + "\nerror 0.83 ppm (0.10 mDa)\nRDBE 11"}));
  form.WorkList.SetListIndex(-1);
  form.Results.SetListIndex(0);
  form.Cut_Click();
  EXPECT_EQ(Tips(), (std::vector<std::string>{C10 + "\nerror 0.83 ppm (0.10 mDa)\nRDBE 11"}));
}

TEST_F(ResultsToolTips, TheErrorIsOnTheMeasuredScaleAfterChargeAndAdjustment) {
  // A positive ion: 120 is searched as 120.00055 and ten carbons are reported as 119.99945, 0.00055 u below the
  // measured mass (4.5834 ppm).
  form.OptionPlus.Value = true;
  form.Option0.Value = false;
  Run("120", "10");
  EXPECT_EQ(Tips(), (std::vector<std::string>{C10 + "\nerror 4.58 ppm (0.55 mDa)\nRDBE 11"}));

  // An added H: 121.00792503223 is searched as 120.0001 and ten carbons are reported as 121.00782503223.
  form.OptionPlus.Value = false;
  form.Option0.Value = true;
  ASSERT_EQ(form.AdjustName[1], "Adduct +H");
  form.AdjustIndex = 1;
  Run("121.00792503223", "2");
  EXPECT_EQ(Tips(), (std::vector<std::string>{C10 + "\nerror 0.83 ppm (0.10 mDa)\nRDBE 11"}));
}

TEST_F(ResultsToolTips, ASearchRunDuringAYieldLeavesTheLinesAfterItTheirOwnMass) {
  // The five carbons of 60.0001 are met after the search's first yield, where a run for 120 is started.
  bool nested = false;
  host.onYield = [&] {
    if (nested) return;
    nested = true;
    form.FindMass.SetText("120");
    form.QuickSearch_Click();
  };
  form.FindMass.SetText("60.0001");
  form.Range.SetText("2");
  form.QuickSearch_Click();
  ASSERT_TRUE(nested);
  // 0.0001 u above 60 is 1.6667 ppm.
  EXPECT_EQ(Tips(), (std::vector<std::string>{C10 + "\nerror 0.00 ppm (0.00 mDa)\nRDBE 11",
                                              C10 + "\nerror 0.00 ppm (0.00 mDa)\nRDBE 11",
                                              C5 + "\nerror 1.67 ppm (0.10 mDa)\nRDBE 6"}));
}

TEST_F(ResultsToolTips, LinesOfTheRunningSearchAlreadyHaveTheirError) {
  // At the first yield of the search the ten carbons it has met are listed, before any line is stored.
  std::vector<std::string> seen;
  host.onYield = [&] {
    for (int i = 0; i < form.Results.Count(); ++i) seen.push_back(form.ResultsToolTip(i));
  };
  Run("120.0001", "2");
  ASSERT_FALSE(seen.empty());
  EXPECT_EQ(seen.front(), C10 + "\nerror 0.83 ppm (0.10 mDa)\nRDBE 11");
}

TEST_F(ResultsToolTips, ALineNotFoundBySearchHasNoKnownError) {
  form.Results.AddItem(C12 + ToSubscript("5") + std::string(26, ' ') + " 60");
  EXPECT_EQ(form.ResultsToolTip(0),
            C5 + "\nerror not known: the mass this line was searched for is not known\nRDBE 6");
  // Nor does a line a direct candidate check adds outside a search.
  std::string s = " 0(" + C12 + ")", mass = " 12";
  form.Results.Clear();
  form.CheckAdd(s, mass);
  EXPECT_NE(form.ResultsToolTip(0).find("error not known"), std::string::npos);
}

}  // namespace
}  // namespace zelm
