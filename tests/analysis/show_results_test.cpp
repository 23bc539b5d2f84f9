#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

class ConfidenceFilter : public ::testing::Test {
 protected:
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};

  void SetUp() override { form.ConfidenceThreshold = 100; }

  void Store(const std::vector<std::string>& lines) {
    form.StoredResults[0] = CountText(static_cast<long long>(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) form.StoredResults[i + 1] = lines[i];
  }
  void Rate(const std::vector<std::pair<std::string, std::string>>& entries) {
    form.ConfidenceTable[0].Percent = CountText(static_cast<long long>(entries.size()));
    for (size_t i = 0; i < entries.size(); ++i) form.ConfidenceTable[i + 1] = {entries[i].first, entries[i].second};
  }
  std::vector<std::string> Listed() const { return form.Results.Items(); }
};

// A result line of a short formula: padded to 30, then the mass text.
std::string Line(const std::string& formula, const std::string& mass) {
  return formula + std::string(30 - formula.size(), ' ') + mass;
}

TEST_F(ConfidenceFilter, EmptyStoreSaysSoAndLeavesTheListAlone) {
  form.Results.AddItem("kept");
  form.StoredResults[0] = "0";
  form.ShowResults();
  EXPECT_EQ(form.HelpLine.Caption, "Either no search was performed or the search produced no results.");
  EXPECT_EQ(Listed(), (std::vector<std::string>{"kept"}));
}

TEST_F(ConfidenceFilter, WithoutRatingsEveryLineIsListedInTheListsOrder) {
  form.ConfidenceTable[0].Percent = "0";
  form.Results.AddItem("old");
  Store({Line("C\x95", " 60"), Line("C\x91\x90", " 120")});
  form.ShowResults();
  // Subscript 1 sorts before subscript 5: the ten-carbon line first.
  EXPECT_EQ(Listed(), (std::vector<std::string>{Line("C\x91\x90", " 120"), Line("C\x95", " 60")}));
  EXPECT_EQ(form.Results.ListIndex(), -1);
}

TEST_F(ConfidenceFilter, OnlyRatingsBelowTheThresholdHide) {
  std::string a = Line("A\x91", " 1"), b = Line("B\x91", " 2"), c = Line("C\x91", " 3"), d = Line("D\x91", " 4");
  Store({a, b, c, d});
  Rate({{"100", a}, {" 90", b}, {"0", c}, {"", ""}, {"150", d}});
  form.ShowResults();
  EXPECT_EQ(Listed(), (std::vector<std::string>{a, d}));
}

TEST_F(ConfidenceFilter, KeysCompareOnTheFirstFortyCharactersExactly) {
  std::string formula = "ABCDEFGHIJKLMNOPQRSTUVWXYZ" "\x91\x92";  // 28 characters
  std::string one = Line(formula, " 123.4567890123");
  std::string two = Line(formula, " 123.4567890999");  // the same first 40 characters
  std::string lower = Line("abcdefghijklmnopqrstuvwxyz" "\x91\x92", " 123.4567890123");
  ASSERT_EQ(one.substr(0, 40), two.substr(0, 40));
  Store({one, two, lower, one});
  Rate({{" 50", one.substr(0, 40)}});
  form.ShowResults();
  EXPECT_EQ(Listed(), (std::vector<std::string>{lower}));

  // A line shorter than 40 characters is compared whole; a duplicate is listed twice.
  std::string shortLine = "X\x91";
  Store({shortLine, shortLine, Line("Y\x91", " 7")});
  Rate({{" 10", "X"}});
  form.ShowResults();
  EXPECT_EQ(Listed(), (std::vector<std::string>{shortLine, shortLine, Line("Y\x91", " 7")}));
  Rate({{" 10", shortLine}});
  form.ShowResults();
  EXPECT_EQ(Listed(), (std::vector<std::string>{Line("Y\x91", " 7")}));
}

TEST_F(ConfidenceFilter, CountBeyondTheStoreIsReadNoFurtherThanItsEnd) {
  Store({Line("A\x91", " 1")});
  for (int i = 2; i <= kStoredLimit; ++i) form.StoredResults[i] = Line("B\x91", " 2");
  form.StoredResults[0] = "5000";
  form.ConfidenceTable[0].Percent = "9999";
  form.ShowResults();
  EXPECT_EQ(form.Results.Count(), kStoredLimit);
}

}  // namespace
}  // namespace zelm
