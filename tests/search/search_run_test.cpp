#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "core/graph_surface.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

const std::string C12 = ToSuperscript("12") + "C";
const std::string TenCarbons = C12 + "\x91\x90" + std::string(25, ' ') + " 120";
const std::string FiveCarbons = C12 + "\x95" + std::string(26, ' ') + " 60";
const char kSearching[] = " Now searching for possible mass combinations.";

class SearchRun : public ::testing::Test {
 protected:
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};

  // Start-up with carbon 12 alone as the quick library, then activation.
  void StartWith(const std::string& quickLibrary) {
    dir.Write("EMassQuick.txt", quickLibrary);
    dir.Write("ConfFile.txt", "");
    form.FormLoad();
    form.FormActivate();
  }
  void Run(const std::string& masses) {
    form.FindMass.SetText(masses);
    host.repaints.clear();
    form.QuickSearch_Click();
  }
  std::vector<std::string> Stored() const {
    int n = static_cast<int>(LeadingNumber(form.StoredResults[0]));
    return {form.StoredResults.begin() + 1, form.StoredResults.begin() + 1 + n};
  }
  long Searches() const { return std::count(host.repaints.begin(), host.repaints.end(), kSearching); }
};

TEST_F(SearchRun, TwoMassesStoreTheirLinesInOrderAndTheLastListedLineStaysSelected) {
  StartWith(C12 + ",12\r\n");
  int heightDuringSearch = 0;
  host.onYield = [&] { heightDuringSearch = form.WindowHeight; };
  form.StoredResults[0] = "7";
  form.SetFocus(form.Range);
  Run("120,60");
  EXPECT_EQ(form.StoredResults[0], "2");
  EXPECT_EQ(Stored(), (std::vector<std::string>{TenCarbons, FiveCarbons}));
  EXPECT_EQ(form.Results.Items(), (std::vector<std::string>{TenCarbons, FiveCarbons}));
  EXPECT_EQ(form.Results.ListIndex(), 1);
  EXPECT_EQ(heightDuringSearch, kHeightSearching);
  EXPECT_EQ(form.SearchMass, 60);
  EXPECT_EQ(form.Focus, &form.FindMass);
  EXPECT_EQ(host.repaints.front(), " Now loading complete emass file and creating index.");
  EXPECT_EQ(Searches(), 2);
}

// A vertical line of the plot at mass x in colour, from 0 up to top.
bool HasLine(const Form1& form, double x, double top, uint32_t colour) {
  for (const GraphItem& item : form.Graph.Items)
    if (item.kind == GraphItem::Kind::Line && item.colour == colour && std::abs(item.x1 - x) < 1e-3 &&
        std::abs(item.x2 - x) < 1e-3 && std::abs(std::max(item.y1, item.y2) - top) < 1e-3 &&
        std::min(item.y1, item.y2) == 0)
      return true;
  return false;
}

TEST_F(SearchRun, WorkedExampleEndsWithTheFiveCarbonsAndNamesThemAsFragmentOfTheTen) {
  StartWith(C12 + ",12\r\n");
  Run("120,60");
  // The run ends with the last line, five carbons, selected and drawn: no fragment.
  EXPECT_EQ(form.SelectedResult, FiveCarbons);
  EXPECT_EQ(form.HelpLine.Caption, "Results:" + C12 + "\x95 has  0 fragment(s) ");
  EXPECT_EQ(form.WindowHeight, kHeightPlot);
  EXPECT_TRUE(HasLine(form, 60, 100, kPlotGreen));
  // Selecting the ten carbons names the five carbons and draws them.
  form.Results.SetListIndex(0);
  form.Results_MouseUp(kRightButton, 0, 0, 0);
  EXPECT_EQ(form.HelpLine.Caption, "Results:" + C12 + "\x91\x90 has  1 fragment(s) [" + C12 + "\x95]");
  EXPECT_EQ(form.FragmentList, "   2");
  EXPECT_TRUE(HasLine(form, 120, 100, kPlotGreen));
  EXPECT_TRUE(HasLine(form, 60, 50, kPlotBlack));
  EXPECT_TRUE(HasLine(form, 60, 50, kPlotRed));
  // The carbon-13 line just right of 120, ten times carbon-13's abundance high.
  bool isotope = false;
  for (const GraphItem& item : form.Graph.Items)
    isotope |= item.colour == kPlotBlue && item.x1 > 121 && item.x1 < 121.01 && std::max(item.y1, item.y2) > 10;
  EXPECT_TRUE(isotope);
}

TEST_F(SearchRun, TrailingCommaSearchesAnEmptyPieceAsZero) {
  StartWith(C12 + ",12\r\n");
  Run("120,");
  EXPECT_EQ(Searches(), 2);
  EXPECT_EQ(form.SearchMass, 0);
  EXPECT_EQ(Stored(), (std::vector<std::string>{TenCarbons}));
}

TEST_F(SearchRun, TheSelectionPassYieldsWhenAWhileHasPassedAndStopEndsIt) {
  StartWith(C12 + ",12\r\n");
  const std::string ThreeCarbons = C12 + "\x93" + std::string(26, ' ') + " 36";
  host.clock = 0;
  host.clockStep = 0.06;  // every reading of the clock moves it on 60 ms: a yield is due at every look
  std::vector<int> passYields;  // the line selected at each yield of the selection pass
  host.onYield = [&] {
    if (!form.SelectedResult.empty()) passYields.push_back(form.Results.ListIndex());
  };
  Run("120,60,36");
  ASSERT_EQ(form.Results.Items(), (std::vector<std::string>{TenCarbons, ThreeCarbons, FiveCarbons}));
  EXPECT_EQ(passYields, (std::vector<int>{0, 1}));  // not after the last line: the run ends there
  EXPECT_EQ(form.Results.ListIndex(), 2);

  // Stop at the pass's first yield: the rest of the pass is left out, the last line ends selected and drawn.
  passYields.clear();
  form.SelectedResult.clear();
  host.onYield = [&] {
    if (form.SelectedResult.empty()) return;
    passYields.push_back(form.Results.ListIndex());
    form.Stop_Click();
  };
  const std::string lastHelp = form.HelpLine.Caption;
  Run("120,60,36");
  EXPECT_EQ(passYields, (std::vector<int>{0}));
  EXPECT_EQ(Stored().size(), 3u);
  EXPECT_EQ(form.Results.ListIndex(), 2);
  EXPECT_EQ(form.SelectedResult, FiveCarbons);
  EXPECT_EQ(form.HelpLine.Caption, lastHelp);
}

TEST_F(SearchRun, EmptyBoxSearchesZeroAndFindsNothing) {
  StartWith(C12 + ",12\r\n");
  Run("");
  EXPECT_EQ(Searches(), 1);
  EXPECT_EQ(form.StoredResults[0], "0");
  EXPECT_EQ(form.HelpLine.Caption, "No match found. Piece 1 is empty.");
}

TEST_F(SearchRun, TheHelpLineSaysWhichPieceCouldNotBeUsedAndWhy) {
  StartWith(C12 + ",12\r\nH,1.0078\r\n");  // with counts up to 15: at most 195.117 u
  Run("abc, ,nan,-5,0,1e308,1e999,0.5");
  EXPECT_EQ(Searches(), 8);
  EXPECT_EQ(form.HelpLine.Caption,
            "No match found."
            " Piece 1 (\"abc\") is not a number."
            " Piece 2 is empty."
            " Piece 3 (\"nan\") is not a number."
            " Piece 4 (\"-5\") is not above 0."
            " Piece 5 (\"0\") is not above 0."
            " Piece 6 (\"1e308\") is above every mass the work list can form (at most 195.117)."
            " Piece 7 (\"1e999\") is too large a number."
            " Piece 8 (\"0.5\") is below every mass the work list can form (at least 1.0078).");
  // A mass that simply has no formula gets no note.
  Run("100.5");
  EXPECT_EQ(form.HelpLine.Caption, "No match found.");
  // The range too; a long piece is quoted in part.
  form.Range.SetText("-1");
  Run("120," + std::string(100, 'x'));
  EXPECT_EQ(form.HelpLine.Caption,
            "No match found. The range (\"-1\") is not above 0."
            " Piece 2 (\"xxxxxxxxxxxxxxxxxxxxxxxx...\") is not a number.");
  form.Range.SetText("");
  Run("120");
  EXPECT_EQ(form.HelpLine.Caption, "No match found. The range (\"\") is not a number.");
}

TEST_F(SearchRun, APieceReadOnlyInPartIsSearchedAsReadAndTheHelpLineSaysSo) {
  StartWith(C12 + ",12\r\n");
  Run("120.0.5");
  EXPECT_EQ(Stored(), (std::vector<std::string>{TenCarbons}));
  const std::string note = "s) Piece 1 (\"120.0.5\") was read as 120.";
  ASSERT_GT(form.HelpLine.Caption.size(), note.size());
  EXPECT_EQ(form.HelpLine.Caption.substr(form.HelpLine.Caption.size() - note.size()), note) << form.HelpLine.Caption;
  // A comma parts two masses; each is read whole.
  Run("120,060");
  EXPECT_EQ(Stored(), (std::vector<std::string>{TenCarbons, FiveCarbons}));
  EXPECT_EQ(form.HelpLine.Caption.find("Piece"), std::string::npos) << form.HelpLine.Caption;
  Run("95.5x");
  EXPECT_EQ(form.HelpLine.Caption, "No match found. Piece 1 (\"95.5x\") was read as 95.5.");
}

TEST_F(SearchRun, PlotRangeWidensBeforeTheSearchAndNeverShrinksOrPassesItsLimit) {
  StartWith(C12 + ",12\r\n");
  std::vector<int> endDuringSearch;
  host.onYield = [&] { endDuringSearch.push_back(form.XAxisEnd); };
  Run("250,100");
  EXPECT_EQ(endDuringSearch.front(), 260);
  EXPECT_EQ(endDuringSearch.back(), 260);
  EXPECT_EQ(form.XAxisEnd, 260);

  Run("32765");
  EXPECT_EQ(form.XAxisEnd, 32767);
  Run("50000");
  EXPECT_EQ(form.XAxisEnd, 32767);
  EXPECT_EQ(Searches(), 1);  // a mass beyond the plot's range is still searched
}

TEST_F(SearchRun, StopEndsOnlyTheCurrentMass) {
  StartWith(C12 + ",12\r\n");
  bool pressed = false;
  host.onYield = [&] {
    if (form.SearchMass == 120 && !pressed) {
      pressed = true;
      form.Stop_Click();
    }
  };
  Run("120,60");
  EXPECT_TRUE(pressed);
  EXPECT_EQ(std::count(host.repaints.begin(), host.repaints.end(), "Search has been stopped."), 1);
  // Ten carbons were found before the stop; 60 was searched in full.
  EXPECT_EQ(Stored(), (std::vector<std::string>{TenCarbons, FiveCarbons}));
  EXPECT_EQ(form.Results.Count(), 2);
}

TEST_F(SearchRun, BoxEditedDuringASearchChangesThePiecesNotYetReached) {
  StartWith(C12 + ",12\r\n");
  host.onYield = [&] {
    if (form.SearchMass == 120) form.FindMass.Text = "120,60";
  };
  Run("120,99");
  EXPECT_EQ(Stored(), (std::vector<std::string>{TenCarbons, FiveCarbons}));
  // A box shortened during a search ends the pieces where its text ends.
  host.onYield = [&] {
    if (form.SearchMass == 120) form.FindMass.Text = "1";
  };
  Run("120,60");
  EXPECT_EQ(Searches(), 2);
  EXPECT_EQ(form.SearchMass, 0);
}

TEST_F(SearchRun, RunStartedDuringASearchLeavesItsStoreForTheFirstRunToContinue) {
  StartWith(C12 + ",12\r\n");
  bool nested = false;
  host.onYield = [&] {
    if (nested || form.SearchMass != 120) return;
    nested = true;
    form.QuickSearch_Click();  // runs to its end inside the first run's search of 120
  };
  Run("120,60");
  ASSERT_TRUE(nested);
  // The second run stored its two lines and listed them; the first run resumed with that list and that count.
  EXPECT_EQ(Stored(), (std::vector<std::string>{TenCarbons, FiveCarbons, TenCarbons, FiveCarbons, FiveCarbons}));

  // A nested run that empties the library while the first run's search waits: the first walk ends safely.
  nested = false;
  host.onYield = [&] {
    if (nested) return;
    nested = true;
    dir.Write("EMassQuick.txt", "");
    form.QuickSearch_Click();
  };
  Run("120");
  EXPECT_EQ(form.IndexCount, 0);
  EXPECT_EQ(form.StoredResults[0], "0");
}

TEST_F(SearchRun, CurrentLibraryIsReloadedWhateverTheWorkListShows) {
  StartWith("N,14\r\n");
  dir.Write("EMassBasic.txt", C12 + ",12\r\n");
  form.WorkListBtn.SetCaption("Basic");
  Run("120");
  EXPECT_EQ(Stored(), (std::vector<std::string>{TenCarbons}));
  EXPECT_EQ(form.WorkList.Items(), (std::vector<std::string>{C12 + ", 12"}));

  // Copy mode shows the whole enhanced library; the run loads the current library again.
  form.WorkListBtn.SetCaption("Quick");
  form.LoadFile("EMassEnhanced.txt");
  Run("120");
  EXPECT_EQ(form.IndexCount, 4);
  EXPECT_EQ(form.WorkList.Items(), (std::vector<std::string>{"N, 14"}));
  EXPECT_EQ(form.StoredResults[0], "0");
}

TEST_F(SearchRun, FilterHidingEveryLineEndsWithNoMatch) {
  StartWith(C12 + ",12\r\n");
  form.ConfidenceTable[0].Percent = "1";
  form.ConfidenceTable[1] = {" 90", TenCarbons.substr(0, 40)};
  Run("120");
  EXPECT_EQ(form.StoredResults[0], "1");
  EXPECT_EQ(form.Results.Count(), 0);
  EXPECT_EQ(form.HelpLine.Caption, "No match found.");
}

TEST_F(SearchRun, LinesBeyondTheStoreAreCountedOnTheHelpLine) {
  // The built-in quick library at 1000 ppm lists a few hundred combinations for 100 u.
  form.FormLoad();
  form.FormActivate();
  form.Range.SetText("1000");
  Run("100");
  const int one = static_cast<int>(LeadingNumber(form.StoredResults[0]));
  ASSERT_GT(one, 300);
  ASSERT_LT(one, 500);
  const std::vector<std::string> first = Stored();
  Run("100,100,100");
  EXPECT_EQ(form.StoredResults[0], "1000");
  // The masses fill the store in order; the third adds only what fits.
  std::vector<std::string> all = Stored();
  EXPECT_TRUE(std::equal(first.begin(), first.end(), all.begin()));
  EXPECT_TRUE(std::equal(first.begin(), first.end(), all.begin() + one));
  EXPECT_TRUE(std::equal(all.begin() + 2 * one, all.end(), first.begin()));
  std::string tail = " Only the first 1000 result lines were stored; " + CountText(3 * one - 1000) + " more were not.";
  ASSERT_GE(form.HelpLine.Caption.size(), tail.size());
  EXPECT_EQ(form.HelpLine.Caption.substr(form.HelpLine.Caption.size() - tail.size()), tail);
  EXPECT_EQ(form.Results.Count(), 1000);
}

}  // namespace
}  // namespace zelm
