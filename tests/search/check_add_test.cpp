#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

// Coded label helpers: "12" written as superscript or subscript digits.
std::string Sup(const std::string& digits) { return ToSuperscript(digits); }
std::string Sub(const std::string& digits) { return ToSubscript(digits); }

class CandidateCheck : public ::testing::Test {
 protected:
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};

  // Runs CheckAdd on a combination text and mass text; returns the line it produced.
  std::string Check(std::string s, std::string mass) {
    int before = form.Results.Count();
    form.CheckAdd(s, mass);
    EXPECT_EQ(form.Results.Count(), before + 1);
    lastMass = mass;
    return s;
  }
  std::string lastMass;
};

const std::string C12 = Sup("12") + "C";

TEST_F(CandidateCheck, TenCarbonsMergeIntoOneGroupAndTheLineIsLaidOutByteForByte) {
  std::string line = Check(" 3(" + C12 + ") 1(" + C12 + ")", " 120");
  std::string expected = "\x81\x82" "C" "\x91\x90" + std::string(25, ' ') + " 120";
  EXPECT_EQ(line, expected);
  EXPECT_EQ(line.size(), 34u);
  EXPECT_EQ(lastMass, " 120");
  EXPECT_EQ(form.Results.Item(0), expected);
}

TEST_F(CandidateCheck, CountOfOneIsWrittenAsSubscriptOne) {
  std::string line = Check(" 0(" + Sup("1") + "H)", " 1.00782503223");
  EXPECT_EQ(line.substr(0, 3), Sup("1") + "H" + Sub("1"));
  EXPECT_EQ(line.substr(3, 27), std::string(27, ' '));
  EXPECT_EQ(line.substr(30), " 1.007825032");  // the first 12 characters of the mass text
}

TEST_F(CandidateCheck, HydrogenCarbonNitrogenOxygenMagnesiumAreOrderedByTheirCodedTexts) {
  const std::string h = Sup("1") + "H", n = Sup("14") + "N", o = Sup("16") + "O", mg = Sup("24") + "Mg";
  // As the search meets them: heaviest index entry first.
  std::string s = " 1(" + mg + ") 0(" + mg + ") 0(" + o + ") 0(" + n + ") 0(" + C12 + ") 2(" + h + ") 1(" + h + ")";
  std::string line = Check(s, " 120.00006");
  std::string formula = h + Sub("6") + C12 + Sub("1") + n + Sub("1") + o + Sub("1") + mg + Sub("3");
  ASSERT_EQ(formula.size(), 20u);
  EXPECT_EQ(line, formula + std::string(10, ' ') + " 120.00006");
}

TEST_F(CandidateCheck, CarbonThirteenGroupComesBeforeCarbonTwelve) {
  std::string c13 = Sup("13") + "C";
  std::string line = Check(" 0(" + C12 + ") 0(" + c13 + ")", " 25.00335483507");
  EXPECT_EQ(line.substr(0, 8), c13 + Sub("1") + C12 + Sub("1"));
}

TEST_F(CandidateCheck, EqualLabelsMergeWhereverTheyStandAndEachLabelStandsOnce) {
  // C x 2 and C x 1 around a single H: C's count is 3, H's 1, both written once.
  std::string line = Check(" 1(C) 0(H) 0(C)", " 37");
  EXPECT_EQ(line.substr(0, 4), "C" + Sub("3") + "H" + Sub("1"));
  EXPECT_EQ(Trim(line.substr(0, 30)), "C" + Sub("3") + "H" + Sub("1"));
}

TEST_F(CandidateCheck, PowersOfTenAndAboveCountExactly) {
  std::string line = Check("15(C)10(C) 0(C)14(H)", " 405516");
  // 32768 + 1024 + 1 carbons and 16384 hydrogens.
  EXPECT_EQ(Trim(line.substr(0, 30)), "C" + Sub("33793") + "H" + Sub("16384"));
}

TEST_F(CandidateCheck, LabelWithItsOwnSubscriptsSplitsIntoGroups) {
  // The label O2C (subscript 2 inside) with count 1 gives the groups O2 and C1, which the sort puts as C1 O2.
  std::string line = Check(" 0(O" + Sub("2") + "C)", " 44");
  EXPECT_EQ(Trim(line.substr(0, 30)), "C" + Sub("1") + "O" + Sub("2"));
}

TEST_F(CandidateCheck, ReportedMassUndoesChargeAndAdjustment) {
  form.OptionPlus.Value = true;
  Check(" 0(C)", " 120.00055");
  EXPECT_EQ(lastMass, " 120");
  form.OptionPlus.Value = false;
  form.OptionMinus.Value = true;
  Check(" 0(C)", " 119.999451");
  EXPECT_EQ(lastMass, " 120");
  form.OptionMinus.Value = false;
  form.AdjustMass[2] = 1.007825;
  form.AdjustIndex = 2;
  Check(" 0(C)", " 118.992175");
  EXPECT_EQ(lastMass, " 120");
  // The two electron constants differ: a negative ion is not undone with 0.00055.
  form.OptionMinus.Value = true;
  form.AdjustIndex = 0;
  form.AdjustMass[0] = 0;
  Check(" 0(C)", " 119.99945");
  EXPECT_EQ(lastMass, " 119.999999");
}

TEST_F(CandidateCheck, LongMassTextIsCutToTwelveCharactersAfterAShortFormula) {
  std::string line = Check(" 0(C)", " 1234.567890123");
  EXPECT_EQ(line, "C" + Sub("1") + std::string(28, ' ') + " 1234.567890");
}

// Labels of ten plain letters, distinct in their first letter.
std::string LongLabel(char first) { return std::string(1, first) + "abcdefghi"; }

TEST_F(CandidateCheck, FormulaOfFortyOrMoreIsFollowedByTheWholeMassText) {
  std::string s;
  for (char c : std::string("DCBA")) s += " 0(" + LongLabel(c) + ")";
  std::string line = Check(s, " 1234.567890123");
  std::string formula;
  for (char c : std::string("ABCD")) formula += LongLabel(c) + Sub("1");
  ASSERT_EQ(formula.size(), 44u);
  EXPECT_EQ(line, formula + " 1234.567890123");
}

TEST_F(CandidateCheck, FormulaOfThirtyOneToThirtyNineKeepsTheWholeMassReadableAfterIt) {
  std::string s;
  for (char c : std::string("CBA")) s += " 0(" + LongLabel(c) + ")";
  std::string line = Check(s, " 1234.567890123");
  std::string formula;
  for (char c : std::string("ABC")) formula += LongLabel(c) + Sub("1");
  ASSERT_EQ(formula.size(), 33u);
  EXPECT_EQ(line, formula + " 1234.567890123");
  EXPECT_EQ(LeadingNumber(line.substr(formula.size())), 1234.567890123);
}

TEST_F(CandidateCheck, MoreThanTwentyFiveGroupsAreAllKept) {
  std::string s, formula;
  for (char c = 'Z'; c >= 'A'; --c) s += " 0(" + std::string(1, c) + ")";
  for (char c = 'A'; c <= 'Z'; ++c) formula += std::string(1, c) + Sub("1");
  std::string line = Check(s, " 500");
  EXPECT_EQ(line, formula + " 500");
}

// The formula as the three steps describe it, one character and one search at a time, for comparing.
std::string FormulaByTheSteps(const std::string& s) {
  auto power = [&](size_t open) {
    size_t from = open >= 2 ? open - 2 : 0;
    return std::ldexp(1.0, static_cast<int>(LeadingNumber(std::string_view(s).substr(from, open - from))));
  };
  std::string single, merged;
  for (size_t p = 0;;) {
    size_t open = s.find('(', p);
    if (open == std::string::npos) break;
    size_t close = s.find(')', open);
    if (close == std::string::npos) break;
    p = close;
    const std::string key = s.substr(open, close - open + 1);
    if (merged.find(key) != std::string::npos) continue;
    if (s.find(key, close) == std::string::npos) {
      single += NumberText(power(open)) + key;
    } else {
      double total = power(open);
      for (size_t at = s.find(key, open + 1); at != std::string::npos; at = s.find(key, at + 1)) total += power(at);
      merged += NumberText(total) + key;
    }
  }
  std::string written, count;
  bool inside = false;
  for (char c : single + merged) {
    if (c == '(') inside = true;
    else if (inside && c == ')') written += count, count.clear(), inside = false;
    else if (inside) written += c;
    else if (c >= '0' && c <= '9') count += SubDigit(c - '0');
  }
  std::vector<std::string> groups;
  bool afterSubscript = true;
  for (char c : written) {
    if (!IsSubscript(c) && afterSubscript) groups.emplace_back();
    if (groups.empty()) groups.emplace_back();
    groups.back() += c;
    afterSubscript = IsSubscript(c);
  }
  for (size_t a = 0; a + 1 < groups.size(); ++a)
    for (size_t b = a + 1; b < groups.size(); ++b)
      if (CodedLess(groups[b], groups[a])) std::swap(groups[a], groups[b]);
  std::string formula;
  for (const std::string& g : groups) formula += g;
  return formula;
}

TEST_F(CandidateCheck, RandomCombinationsGiveTheFormulaOfTheThreeSteps) {
  // Labels with superscripts, subscripts of their own, shared beginnings, and now and then a stray parenthesis,
  // joined as index labels (or not quite) in any order and any number.
  const std::vector<std::string> labels = {Sup("1") + "H", C12, Sup("13") + "C", Sup("14") + "N", "O" + Sub("2") + "C",
                                           "Cl", "C", "Na", "(C", "N)H", ""};
  std::mt19937 random(22);
  for (int round = 0; round < 20000; ++round) {
    std::string s;
    const int entries = static_cast<int>(random() % 12);
    for (int i = 0; i < entries; ++i) {
      const int n = static_cast<int>(random() % 16);
      const std::string& label = labels[random() % (round % 3 == 0 ? labels.size() : 8)];
      s += (n < 10 ? ' ' + std::to_string(n) : std::to_string(n)) + "(" + label + ")";
      if (random() % 50 == 0) s += "x(";
    }
    std::string text = s, mass = " 100";
    form.CheckAdd(text, mass);
    const std::string formula = FormulaByTheSteps(s);
    ASSERT_EQ(text.substr(0, formula.size()), formula) << s;
  }
}

}  // namespace
}  // namespace zelm
