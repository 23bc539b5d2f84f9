#include <gtest/gtest.h>

#include <vector>

#include "core/result_line.h"
#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/formula_text.h"

namespace zelm {
namespace {

class SelectionTest : public ::testing::Test {
 protected:
  SelectionTest() {
    form.XAxisStart = 0;
    form.XAxisEnd = 200;
    form.YAxisTop = "100";
    form.StoredResults[0] = "0";
    form.IsotopeTable[0][0] = " 3";
    form.IsotopeTable[1] = {"12", "C", "12", "100"};
    form.IsotopeTable[2] = {"13", "C", "13.00335483507", "1.08157"};
    form.IsotopeTable[3] = {"14", "N", "14.00307400443", "100"};
    form.SetHeight(kHeightCompact);
  }
  // Stores the lines as a search run would and lists them in the results list.
  void Store(const std::vector<std::string>& lines) {
    form.StoredResults[0] = CountText(static_cast<long long>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) form.StoredResults[i + 1] = lines[i];
    form.Results.Clear();
    for (const auto& line : lines) form.Results.AddItem(line);
  }
  // Highlights the listed line with this text and releases a mouse button over the list.
  void Click(const std::string& line, int button = 1) {
    for (int i = 0; i < form.Results.Count(); ++i)
      if (form.Results.Item(i) == line) form.Results.SetListIndex(i);
    ASSERT_EQ(form.Results.SelectedText(), line);
    form.Results_MouseUp(button, 0, 10, 10);
  }
  std::vector<const GraphItem*> LinesOf(uint32_t colour) const {
    std::vector<const GraphItem*> out;
    for (const auto& item : form.Graph.Items)
      if (item.kind == GraphItem::Kind::Line && item.colour == colour) out.push_back(&item);
    return out;
  }

  FakeHost host;
  Form1 form{host};
  const std::string c10 = Coded("^12C_10");
  const std::string c5 = Coded("^12C_5");
  const std::string line10 = ResultLineOf(c10, 120);
  const std::string line5 = ResultLineOf(c5, 60);
};

TEST(ResultLine, ShortFormulaIsReadAtColumnThirty) {
  const std::string line = ResultLineOf(Coded("^12C_10"), 120);
  ASSERT_EQ(line.size(), 34u);
  EXPECT_EQ(ResultFormula(line), Coded("^12C_10"));
  EXPECT_EQ(ResultMass(line), 120);
  // A formula of exactly 30 characters is followed by the mass text's own blank.
  const std::string thirty(30, 'X');
  EXPECT_EQ(ResultFormula(thirty + " 60.5"), thirty);
  EXPECT_EQ(ResultMass(thirty + " 60.5"), 60.5);
  // A negative mass after the padding.
  EXPECT_EQ(ResultMass("C" + std::string(29, ' ') + "-1.5"), -1.5);
  // No mass text.
  EXPECT_EQ(ResultFormula("ABC"), "ABC");
  EXPECT_EQ(ResultMass("ABC"), 0);
}

TEST(ResultLine, LongFormulaIsReadWholeWithTheMassThatFollowsIt) {
  const std::string formula = Coded("^1H_6^12C_1^14N_1^16O_1^24Mg_3^32S_2^35Cl_1^39K_1");
  ASSERT_GT(formula.size(), 30u);
  const std::string line = ResultLineOf(formula, 1234.567890123);
  EXPECT_EQ(ResultFormula(line), formula);
  EXPECT_DOUBLE_EQ(ResultMass(line), 1234.567890123);
  // A formula of 31 to 39 characters followed by a mass text cut to 12 characters reads the same way.
  EXPECT_EQ(ResultFormula(formula + " 1234.567890"), formula);
  EXPECT_DOUBLE_EQ(ResultMass(formula + " 1234.567890"), 1234.56789);
}

TEST_F(SelectionTest, TenCarbonsNameFiveCarbonsAsTheirFragment) {
  Store({line10, line5});
  Click(line10);
  EXPECT_EQ(form.SelectedResult, line10);
  EXPECT_EQ(form.FragmentList, "   2");
  EXPECT_EQ(form.MatchScore, 1);
  EXPECT_EQ(form.HelpLine.Caption, "Results:" + c10 + " has " + " 1" + " fragment(s) " + "[" + c5 + "]");
  // Isotope line and plot follow.
  ASSERT_EQ(form.IsotopeLines[0][0], 1);
  EXPECT_DOUBLE_EQ(form.IsotopeLines[1][0], 120 - 12 + 13.00335483507);
  EXPECT_EQ(form.WindowHeight, kHeightPlot);
  auto green = LinesOf(kPlotGreen);
  ASSERT_EQ(green.size(), 1u);
  EXPECT_EQ(green[0]->x1, 120);
  auto red = LinesOf(kPlotRed);
  ASSERT_EQ(red.size(), 1u);
  EXPECT_EQ(red[0]->x1, 60);
  auto blue = LinesOf(kPlotBlue);
  ASSERT_EQ(blue.size(), 1u);
  EXPECT_NEAR(blue[0]->x1, 121.00335, 1e-4);
}

TEST_F(SelectionTest, FiveCarbonsHaveNoFragmentAndAnyButtonSelects) {
  Store({line10, line5});
  Click(line5, 2);
  EXPECT_EQ(form.SelectedResult, line5);
  EXPECT_EQ(form.FragmentList, "");
  EXPECT_EQ(form.MatchScore, 0);
  EXPECT_EQ(form.HelpLine.Caption, "Results:" + c5 + " has " + " 0" + " fragment(s) ");
  EXPECT_TRUE(LinesOf(kPlotRed).empty());
  EXPECT_EQ(LinesOf(kPlotGreen).at(0)->x1, 60);
}

TEST_F(SelectionTest, TwelveStoredLinesTheSelectedOneIsSkippedAndPositionsAreFourCharacters) {
  std::vector<std::string> lines;
  for (int k = 1; k <= 12; ++k) lines.push_back(ResultLineOf(Coded("^12C_" + std::to_string(k)), 12.0 * k));
  Store(lines);
  Click(lines[4]);  // 12C5, stored at position 5
  EXPECT_EQ(form.FragmentList, "   1   2   3   4");
  EXPECT_EQ(form.MatchScore, 4);
  EXPECT_EQ(form.HelpLine.Caption, "Results:" + Coded("^12C_5") + " has " + " 4" + " fragment(s) " + "[" +
                                       Coded("^12C_1") + "][" + Coded("^12C_2") + "][" + Coded("^12C_3") + "][" +
                                       Coded("^12C_4") + "]");
  Click(lines[11]);  // 12C12 holds all eleven others
  EXPECT_EQ(form.FragmentList, "   1   2   3   4   5   6   7   8   9  10  11");
  EXPECT_EQ(form.MatchScore, 11);
}

TEST_F(SelectionTest, PositionsUpToAThousandFitFourCharacters) {
  std::vector<std::string> lines(1000, line5);
  lines[999] = line10;
  Store(lines);
  Click(line10);
  ASSERT_EQ(form.FragmentList.size(), 999u * 4);
  EXPECT_EQ(form.FragmentList.substr(0, 8), "   1   2");
  EXPECT_EQ(form.FragmentList.substr(form.FragmentList.size() - 4), " 999");
  // Selecting the five-carbon line takes its first copy, and every other copy is a fragment of it.
  Click(line5);
  EXPECT_EQ(form.MatchScore, 998);
  EXPECT_EQ(form.FragmentList.substr(0, 8), "   2   3");
}

TEST_F(SelectionTest, TwoEqualStoredLinesFirstIsTheSelectionAndTheSecondAFragment) {
  Store({line5, line10, line5});
  Click(line5);
  EXPECT_EQ(form.FragmentList, "   3");
  EXPECT_EQ(form.MatchScore, 1);
}

TEST_F(SelectionTest, NothingHighlightedEmptiesSelectionAndFragmentsOnly) {
  Store({line10, line5});
  Click(line10);
  const std::string help = form.HelpLine.Caption;
  const unsigned graphChanges = form.Graph.Changes;
  const int lines = static_cast<int>(form.IsotopeLines[0][0]);
  form.GraphClose_Click();
  form.Results.SetListIndex(-1);
  form.Results_MouseUp(1, 0, 0, 0);
  EXPECT_EQ(form.SelectedResult, "");
  EXPECT_EQ(form.FragmentList, "");
  EXPECT_EQ(form.MatchScore, 1);
  EXPECT_EQ(form.HelpLine.Caption, help);
  EXPECT_EQ(form.Graph.Changes, graphChanges);
  EXPECT_EQ(form.IsotopeLines[0][0], lines);
  EXPECT_EQ(form.WindowHeight, kHeightCompact);
}

TEST_F(SelectionTest, HighlightWithNothingStoredNamesTheHighlightedLineNotAStaleOne) {
  Store({line10, line5});
  // A new run has begun: nothing stored yet, but the list already shows a line of the first mass.
  form.StoredResults[0] = "0";
  const std::string fresh = ResultLineOf(Coded("^12C_8"), 96);
  form.Results.Clear();
  form.Results.AddItem(fresh);
  Click(fresh);
  EXPECT_EQ(form.HelpLine.Caption, "Results:" + Coded("^12C_8") + " has " + " 0" + " fragment(s) ");
  EXPECT_EQ(form.FragmentList, "");
  EXPECT_EQ(form.MatchScore, 0);
  EXPECT_EQ(LinesOf(kPlotGreen).at(0)->x1, 96);
}

TEST_F(SelectionTest, HighlightedLineNotAmongTheStoredOnesStopsAtTheLastStoredLine) {
  // Mid-run: 12C10 and 12C5 are stored, the list already shows a line of the mass being searched.
  Store({line10, line5});
  const std::string fresh = ResultLineOf(Coded("^12C_8"), 96);
  form.Results.AddItem(fresh);
  Click(fresh);
  EXPECT_EQ(form.HelpLine.Caption, "Results:" + c5 + " has " + " 0" + " fragment(s) ");
  EXPECT_EQ(form.SelectedResult, fresh);
}

TEST_F(SelectionTest, FormulasLongerThanThirtyCharactersAreUsedWhole) {
  const std::string big = Coded("^1H_6^12C_1^14N_1^16O_1^24Mg_3^32S_2^35Cl_1^39K_1");
  const std::string potassium = Coded("^39K_1");
  ASSERT_GT(big.size(), 30u);
  const std::string bigLine = ResultLineOf(big, 190.5);
  const std::string kLine = ResultLineOf(potassium, 38.9637);
  Store({bigLine, kLine});
  Click(bigLine);
  EXPECT_EQ(form.FragmentList, "   2");
  EXPECT_EQ(form.HelpLine.Caption, "Results:" + big + " has " + " 1" + " fragment(s) " + "[" + potassium + "]");
  EXPECT_EQ(LinesOf(kPlotGreen).at(0)->x1, 190.5f);
  auto red = LinesOf(kPlotRed);
  ASSERT_EQ(red.size(), 1u);
  EXPECT_FLOAT_EQ(red[0]->x1, static_cast<float>(190.5 - 38.9637));
}

}  // namespace
}  // namespace zelm
