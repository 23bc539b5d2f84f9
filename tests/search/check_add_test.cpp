#include <gtest/gtest.h>

#include <string>

#include "core/form1.h"
#include "core/text.h"
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

}  // namespace
}  // namespace zelm
