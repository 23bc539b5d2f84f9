#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/formula_text.h"

namespace zelm {
namespace {

using Record = std::array<std::string, 4>;

const std::vector<Record> kTable = {
    {"1", "H", "1.00782503223", "100"},  {"2", "H", "2.01410177812", "0.0115013"},
    {"12", "C", "12", "100"},            {"13", "C", "13.00335483507", "1.08157"},
    {"14", "N", "14.00307400443", "100"}, {"15", "N", "15.00010889888", "0.36533"},
    {"16", "O", "15.99491461957", "100"}, {"17", "O", "16.9991317565", "0.0380926"},
    {"18", "O", "17.99915961286", "0.205499"}, {"24", "Mg", "23.985041697", "100"},
    {"25", "Mg", "24.985836976", "12.6598"}, {"26", "Mg", "25.982592968", "13.9385"},
    {"32", "S", "31.9720711744", "100"}};

class IsotopeTest : public ::testing::Test {
 protected:
  void SetTable(const std::vector<Record>& records) {
    for (size_t i = 0; i < records.size(); ++i) form.IsotopeTable[i + 1] = records[i];
    form.IsotopeTable[0][0] = NumberText(static_cast<double>(records.size()));
  }
  void Select(const std::string& readable, double mass) {
    form.SelectedResult = ResultLineOf(Coded(readable), mass);
    form.ComputeIsotopes();
  }
  int Lines() const { return static_cast<int>(form.IsotopeLines[0][0]); }
  double Mass(int i) const { return form.IsotopeLines[i][0]; }
  double Height(int i) const { return form.IsotopeLines[i][1]; }

  FakeHost host;
  Form1 form{host};
};

TEST_F(IsotopeTest, EmptySelectionLeavesTheLinesAsTheyWere) {
  SetTable(kTable);
  form.IsotopeLines[0][0] = 2;
  form.IsotopeLines[1] = {7, 8};
  form.SelectedResult.clear();
  form.ComputeIsotopes();
  EXPECT_EQ(Lines(), 2);
  EXPECT_EQ(Mass(1), 7);
  EXPECT_EQ(Height(1), 8);
}

TEST_F(IsotopeTest, TenCarbonsGiveOneCarbon13Line) {
  SetTable(kTable);
  Select("^12C_10", 120);
  ASSERT_EQ(Lines(), 1);
  EXPECT_DOUBLE_EQ(Mass(1), 120 - 12 + 13.00335483507);
  EXPECT_DOUBLE_EQ(Height(1), 10 * 1.08157);
}

TEST_F(IsotopeTest, FiveGroupsInFormulaOrderEachWithItsOwnCount) {
  SetTable(kTable);
  Select("^1H_6^12C_1^14N_1^16O_1^24Mg_3", 120.00006);
  ASSERT_EQ(Lines(), 7);
  const double m = 120.00006;
  EXPECT_DOUBLE_EQ(Mass(1), m - 1.00782503223 + 2.01410177812);
  EXPECT_DOUBLE_EQ(Height(1), 6 * 0.0115013);
  EXPECT_DOUBLE_EQ(Mass(2), m - 12 + 13.00335483507);
  EXPECT_DOUBLE_EQ(Height(2), 1.08157);
  EXPECT_DOUBLE_EQ(Height(3), 0.36533);
  EXPECT_DOUBLE_EQ(Mass(4), m - 15.99491461957 + 16.9991317565);
  EXPECT_DOUBLE_EQ(Mass(5), m - 15.99491461957 + 17.99915961286);
  EXPECT_DOUBLE_EQ(Mass(6), m - 23.985041697 + 24.985836976);
  EXPECT_DOUBLE_EQ(Height(6), 3 * 12.6598);
  EXPECT_DOUBLE_EQ(Height(7), 3 * 13.9385);
}

TEST_F(IsotopeTest, ThreeFurtherIsotopesGiveThreeLinesInTableOrder) {
  SetTable({{"12", "C", "12", "100"},
            {"13", "C", "13", "1"},
            {"14", "C", "14", "2"},
            {"11", "C", "11", "3"},
            {"14", "N", "14", "100"}});
  Select("^12C_2", 24);
  ASSERT_EQ(Lines(), 3);
  EXPECT_DOUBLE_EQ(Mass(1), 25);
  EXPECT_DOUBLE_EQ(Mass(2), 26);
  EXPECT_DOUBLE_EQ(Mass(3), 23);
  EXPECT_DOUBLE_EQ(Height(3), 6);
}

TEST_F(IsotopeTest, AHeavierNamedIsotopeFollowedByAnotherElementGivesNothing) {
  SetTable(kTable);
  Select("^13C_1", 13.00335483507);
  EXPECT_EQ(Lines(), 0);
}

TEST_F(IsotopeTest, TheLastRecordIsNeverNamedButIsAFurtherIsotopeOfTheOneBefore) {
  SetTable({{"14", "N", "14", "100"}, {"12", "C", "12", "100"}});
  Select("^12C_10", 120);
  EXPECT_EQ(Lines(), 0);

  SetTable({{"14", "N", "14", "100"}, {"12", "C", "12", "100"}, {"13", "C", "13", "1.1"}});
  Select("^12C_10", 120);
  ASSERT_EQ(Lines(), 1);
  EXPECT_DOUBLE_EQ(Mass(1), 121);
  EXPECT_DOUBLE_EQ(Height(1), 11);
}

TEST_F(IsotopeTest, MassNumbersAreComparedAsText) {
  SetTable({{"012", "C", "12", "100"}, {"13", "C", "13", "1"}, {"14", "N", "14", "100"}});
  Select("^12C_10", 120);
  EXPECT_EQ(Lines(), 0);
  // A label without a mass number matches only a record with an empty mass number.
  SetTable({{"", "OH", "17", "100"}, {"", "OH", "18", "5"}, {"14", "N", "14", "100"}});
  Select("OH_2", 34);
  ASSERT_EQ(Lines(), 1);
  EXPECT_DOUBLE_EQ(Height(1), 10);
}

TEST_F(IsotopeTest, AMassNumberNamedInSeveralRowsGetsEveryRunAndTheRowEndingARunIsTestedAsNamed) {
  // Row 3 ends the carbon run of row 1 and is then itself taken as a named row for mass number 12; its run is row 4.
  SetTable({{"12", "C", "12", "100"},
            {"13", "C", "13", "1"},
            {"12", "Q", "11.5", "100"},
            {"14", "C", "14", "2"},
            {"1", "H", "1", "100"}});
  Select("^12C_1", 12);
  ASSERT_EQ(Lines(), 2);
  EXPECT_DOUBLE_EQ(Mass(1), 13);
  EXPECT_DOUBLE_EQ(Mass(2), 12 - 11.5 + 14);
  EXPECT_DOUBLE_EQ(Height(2), 2);
}

TEST_F(IsotopeTest, AtMostFiftyLines) {
  std::vector<Record> table = {{"12", "C", "12", "100"}};
  for (int i = 0; i < 60; ++i) table.push_back({"13", "C", NumberText(13 + i).substr(1), "1"});
  SetTable(table);
  form.IsotopeLines[50] = {0, 0};
  Select("^12C_1", 12);
  EXPECT_EQ(Lines(), 50);
  EXPECT_DOUBLE_EQ(Mass(50), 62);
}

TEST_F(IsotopeTest, LongFormulaTakesItsMassFromAfterTheFormula) {
  SetTable(kTable);
  const std::string readable = "^1H_6^12C_1^14N_1^16O_1^24Mg_3^32S_2^35Cl_1^12C_4";
  ASSERT_GT(Coded(readable).size(), 30u);
  Select(readable, 232.5);
  // H, C, N, O, O, Mg, Mg, then the second carbon group.
  ASSERT_EQ(Lines(), 8);
  EXPECT_DOUBLE_EQ(Mass(8), 232.5 - 12 + 13.00335483507);
  EXPECT_DOUBLE_EQ(Height(8), 4 * 1.08157);
}

}  // namespace
}  // namespace zelm
