#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "analysis/formula_groups.h"
#include "analysis/fragment_check.h"
#include "core/form1.h"
#include "support/fake_host.h"
#include "support/formula_text.h"

namespace zelm {
namespace {

class FragmentCheckTest : public ::testing::Test {
 protected:
  std::string Check(std::string_view w1, std::string_view w2) { return form.FragmentCheck(Coded(w1), Coded(w2)); }
  FakeHost host;
  Form1 form{host};
};

const char kAmine[] = "^1H_6^12C_1^14N_1^16O_1^24Mg_3";

TEST(FormulaGroups, SplitAndWrittenOut) {
  auto groups = SplitFormula(Coded("^1H_6^24Mg_3"));
  ASSERT_EQ(groups.size(), 2u);
  EXPECT_EQ(std::make_tuple(groups[1].mass, groups[1].symbol, groups[1].count), std::make_tuple("24", "Mg", "3"));
  EXPECT_EQ(WrittenOut(SplitFormula(Coded("^12C_3"))[0]), "12C12C12C");
  EXPECT_EQ(WrittenOut(SplitFormula(Coded("^12C_0"))[0]), "");
  // The last character never joins a symbol: "^12CO" is 12, C and no count, so it writes out nothing.
  groups = SplitFormula(Coded("^12CO"));
  ASSERT_EQ(groups.size(), 1u);
  EXPECT_EQ(std::make_tuple(groups[0].symbol, groups[0].count), std::make_tuple("C", ""));
  EXPECT_EQ(WrittenOut(groups[0]), "");
  // A single character left over after a complete group starts no group.
  EXPECT_EQ(SplitFormula(Coded("^12C_1O")).size(), 1u);
  EXPECT_TRUE(SplitFormula("C").empty());
  // A blank between groups is a group of its own; a subscript at the start of a group is read as mass (code - 80).
  groups = SplitFormula(Coded("^12C_1 ^1H_2"));
  ASSERT_EQ(groups.size(), 3u);
  EXPECT_EQ(std::make_tuple(groups[1].mass, groups[1].symbol, groups[1].count), std::make_tuple("", " ", ""));
  EXPECT_EQ(SplitFormula(Coded("_1C_2"))[0].mass, "A");
}

TEST_F(FragmentCheckTest, TenCarbonsHoldFiveButNotTheOtherWayRound) {
  EXPECT_EQ(Check("^12C_10", "^12C_5"), "YES");
  EXPECT_EQ(Check("^12C_5", "^12C_10"), "");
}

TEST_F(FragmentCheckTest, EveryGroupMustBeFoundAndTheWrittenOutRunsMatter) {
  EXPECT_EQ(Check(kAmine, "^1H_2^24Mg_1"), "YES");
  EXPECT_EQ(Check(kAmine, "^1H_6"), "YES");
  // A seventh 1H would have to begin where the written-out 12C begins.
  EXPECT_EQ(Check(kAmine, "^1H_7"), "");
  EXPECT_EQ(Check(kAmine, "^1H_2^24Mg_4"), "");
  EXPECT_EQ(Check(kAmine, "^24Mg_1^32S_1"), "");
}

TEST_F(FragmentCheckTest, SelfAndEmptyCandidate) {
  EXPECT_EQ(Check(kAmine, kAmine), "YES");
  EXPECT_EQ(Check("^12C_10", "^12C_10"), "YES");
  EXPECT_EQ(Check(kAmine, ""), "YES");
  EXPECT_EQ(Check("", ""), "YES");
}

TEST_F(FragmentCheckTest, WholeFormulaWithoutCountableGroupHoldsOnlyACandidateWithoutGroups) {
  // "^12C" has no count: written out it is empty.
  EXPECT_EQ(Check("^12C", "^12C_1"), "");
  EXPECT_EQ(Check("^12C", ""), "YES");
  // A candidate group that writes out empty passes only against a non-empty whole.
  EXPECT_EQ(Check("^12C", "^13C"), "");
  EXPECT_EQ(Check("^12C_1", "^13C"), "YES");
  EXPECT_EQ(Check("^12C_1", "^12C_1 ^1H_0"), "YES");
}

TEST_F(FragmentCheckTest, MatchIsTextualAcrossGroupsAndOverlapping) {
  // 17O is found inside the written-out 17OH.
  EXPECT_EQ(Check("^17OH_1", "^17O_1"), "YES");
  // Found across the border of two written-out groups: "1H12C" holds "H12C".
  EXPECT_EQ(Check("^1H_1^12C_1", "H12C_1"), "YES");
  // Groups are looked for independently, so they may use the same atoms.
  EXPECT_EQ(Check("^12C_2", "^12C_1^12C_2"), "YES");
  EXPECT_EQ(Check("^12C_2", "^12C_1^12C_3"), "");
  // Case matters.
  EXPECT_EQ(Check("^12C_1", "^12c_1"), "");
}

TEST_F(FragmentCheckTest, LastCharacterOfTheWholeFormulaCountsForNothing) {
  EXPECT_EQ(Check("^12C_1O_1", "O_1"), "YES");
  EXPECT_EQ(Check("^12C_1O", "O_1"), "");
  // The same trailing character on the candidate is dropped as well.
  EXPECT_EQ(Check("^12C_1", "^12C_1O"), "YES");
}

TEST_F(FragmentCheckTest, LongRunsAreComparedExactly) {
  EXPECT_EQ(Check("^12C_40000", "^12C_39999"), "YES");
  EXPECT_EQ(Check("^12C_40000", "^12C_40000"), "YES");
  EXPECT_EQ(Check("^12C_40000", "^12C_40001"), "");
  EXPECT_EQ(Check("^12C_20000^13C_20000", "^12C_10000^13C_100"), "YES");
  EXPECT_EQ(Check("^12C_20000^13C_20000", "^12C_20001"), "");
}

TEST_F(FragmentCheckTest, CountsInTheMillionsAreComparedExactly) {
  // Counts written inside labels ("X" followed by subscript digits) reach millions.
  EXPECT_EQ(Check("X_9999993", "X_9999992"), "YES");
  EXPECT_EQ(Check("X_9999993", "X_9999993"), "YES");
  EXPECT_EQ(Check("X_9999993", "X_9999994"), "");
  EXPECT_EQ(Check("^12C_4500000^1H_3", "^12C_5000000"), "");
  EXPECT_EQ(Check("^12C_4500000^12C_500000^1H_3", "^12C_5000000"), "YES");
  EXPECT_EQ(Check("^12C_4500000^1H_3", "^1H_3^12C_4499999"), "YES");
  EXPECT_EQ(Check("^1H_1X_999999999999999999999", "X_999999999999999999998"), "YES");
  EXPECT_EQ(Check("^1H_1X_99999999999999", "X_100000000000000"), "");
  // Runs of words that repeat a shorter word, and runs of its rotations: "abab" is "ab" twice, "ba" is "ab" turned.
  EXPECT_EQ(Check("abab_500000^1H_1", "ab_1000000"), "YES");
  EXPECT_EQ(Check("abab_500000^1H_1", "ab_1000001"), "");
  EXPECT_EQ(Check("ab_700000a_1ba_300000^1H_1", "ab_1000000"), "YES");
  EXPECT_EQ(Check("ab_700000a_1ba_300000^1H_1", "ba_1000000"), "YES");
  EXPECT_EQ(Check("ab_700000a_1ba_300000^1H_1", "ba_1000001"), "");
  EXPECT_EQ(Check("ab_700000a_1ba_300000^1H_1", "ab_1000001"), "");
}

// The fragment check against its definition: both formulas written out in full and the candidate's groups looked for
// in the whole one as texts, on formulas made of short words that overlap, repeat and turn into each other.
TEST_F(FragmentCheckTest, AgreesWithTheWrittenOutDefinition) {
  const std::vector<std::string> masses = {"", "^1", "^12", "^2"};
  const std::vector<std::string> symbols = {"a", "b", "ab", "ba", "aba", "abab", "C", "1C", "CC", " "};
  std::mt19937 random(11);
  auto pick = [&](size_t n) { return static_cast<size_t>(random() % n); };
  auto formula = [&](int groups, int most) {
    std::string f;
    for (int i = 0; i < groups; ++i) {
      f += masses[pick(masses.size())] + symbols[pick(symbols.size())];
      const int count = static_cast<int>(pick(static_cast<size_t>(most) + 1));
      if (count > 0 || pick(3) == 0) f += '_' + std::to_string(count);
    }
    return Coded(f);
  };
  auto reference = [](const std::string& whole, const std::string& part) {
    std::string written;
    for (const auto& g : SplitFormula(whole)) written += WrittenOut(g);
    for (const auto& g : SplitFormula(part)) {
      const std::string piece = WrittenOut(g);
      if (piece.empty() ? written.empty() : written.find(piece) == std::string::npos) return false;
    }
    return true;
  };
  int yes = 0;
  for (int i = 0; i < 30000; ++i) {
    const std::string whole = formula(1 + static_cast<int>(pick(6)), i % 2 ? 40 : 6);
    const std::string part = formula(1 + static_cast<int>(pick(2)), i % 3 ? 12 : 40);
    const bool expected = reference(whole, part);
    yes += expected;
    ASSERT_EQ(FragmentMatcher(whole).IsFragment(part), expected) << whole << " / " << part;
    // The same through the runs alone, as for a formula too long to write out.
    ASSERT_EQ(FragmentMatcher(whole, 0).IsFragment(part), expected) << whole << " / " << part;
  }
  EXPECT_GT(yes, 1000);  // both answers are well represented
  EXPECT_LT(yes, 27000);
}

TEST_F(FragmentCheckTest, FormulasLongerThanThirtyCharactersAreReadWhole) {
  // 33 characters; the potassium group lies past column 30.
  std::string whole = "^1H_6^12C_1^14N_1^16O_1^24Mg_3^32S_2^35Cl_1^39K_1";
  ASSERT_GT(Coded(whole).size(), 30u);
  EXPECT_EQ(Check(whole, "^39K_1"), "YES");
  EXPECT_EQ(Check(whole, "^35Cl_1^1H_5"), "YES");
  EXPECT_EQ(Check(whole, "^39K_2"), "");
}

}  // namespace
}  // namespace zelm
