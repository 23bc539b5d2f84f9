// The built-in data: 8-bit files that the loaders read whole, with values a chemist can check.
#include <gtest/gtest.h>

#include <cmath>
#include <map>

#include "text/defaults.h"
#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

class BuiltInData : public ::testing::Test {
 protected:
  void SetUp() override {
    WriteMissingDefaults(dir.Path());
    form.MaxBit = 3;
    form.LoadIsotopeTable();
    form.LoadAdjustments();
    form.LoadConfidence();
  }
  // The row of an isotope by mass number and symbol, 0 when missing.
  int Row(const std::string& massNumber, const std::string& symbol) const {
    int n = static_cast<int>(LeadingNumber(form.IsotopeTable[0][0]));
    for (int r = 1; r <= n; ++r)
      if (form.IsotopeTable[r][0] == massNumber && form.IsotopeTable[r][1] == symbol) return r;
    return 0;
  }
  double Mass(int row) const { return LeadingNumber(form.IsotopeTable[row][2]); }
  double Abundance(int row) const { return LeadingNumber(form.IsotopeTable[row][3]); }

  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};
};

TEST_F(BuiltInData, EveryFileLoadsWithoutASkippedLine) {
  EXPECT_EQ(form.DataProblem, "");
  for (const char* lib : {"EMassQuick.txt", "EMassBasic.txt", "EMassEnhanced.txt"}) {
    form.LoadFile(lib);
    EXPECT_EQ(form.LoadProblem, "") << lib;
    EXPECT_GT(form.WorkList.Count(), 0) << lib;
    std::string bytes(DefaultFileBytes(lib));
    EXPECT_NE(bytes.find("\r\n"), std::string::npos);
    EXPECT_EQ(bytes.find('"'), std::string::npos) << lib;
  }
  EXPECT_EQ(form.ConfidenceTable[0].Percent, "0");
}

TEST_F(BuiltInData, IsotopeMassesAndAbundancesSpotCheck) {
  int h = Row("1", "H"), c12 = Row("12", "C"), c13 = Row("13", "C");
  int cl35 = Row("35", "Cl"), cl37 = Row("37", "Cl"), br79 = Row("79", "Br"), br81 = Row("81", "Br");
  ASSERT_TRUE(h && c12 && c13 && cl35 && cl37 && br79 && br81);
  EXPECT_NEAR(Mass(h), 1.00782503, 1e-8);
  EXPECT_EQ(Mass(c12), 12);
  EXPECT_NEAR(Mass(c13), 13.00335484, 1e-8);
  EXPECT_NEAR(Abundance(c13), 1.0816, 0.001);
  EXPECT_NEAR(Abundance(cl37), 31.96, 0.05);
  EXPECT_NEAR(Abundance(br81), 97.28, 0.01);
  // A named record is followed directly by its element's further isotopes.
  EXPECT_EQ(c13, c12 + 1);
  EXPECT_EQ(cl37, cl35 + 1);
  EXPECT_EQ(br81, br79 + 1);
}

TEST_F(BuiltInData, LibraryLabelsCarryTheMassNumberAndMatchTheIsotopeTable) {
  form.LoadFile("EMassQuick.txt");
  std::map<std::string, double> quick;
  for (const auto& line : form.WorkList.Items()) {
    auto comma = line.find(',');
    quick[line.substr(0, comma)] = LeadingNumber(line.substr(comma + 1));
  }
  for (const char* symbol : {"H", "C", "N", "O", "Na"}) {
    bool found = false;
    for (const auto& [label, mass] : quick) {
      size_t digits = 0;
      while (digits < label.size() && IsSuperDigit(label[digits])) ++digits;
      if (label.substr(digits) != symbol) continue;
      ASSERT_GT(digits, 0u) << symbol;
      std::string massNumber;
      for (size_t i = 0; i < digits; ++i) massNumber += static_cast<char>(label[i] - 80);
      int row = Row(massNumber, symbol);
      ASSERT_GT(row, 0) << symbol;
      EXPECT_DOUBLE_EQ(mass, Mass(row)) << symbol;
      found = true;
    }
    EXPECT_TRUE(found) << symbol;
  }
}

TEST_F(BuiltInData, FragmentLabelsArePlainAndTheAdjustmentsStartWithNone) {
  form.LoadFile("EMassEnhanced.txt");
  bool water = false;
  for (const auto& line : form.WorkList.Items()) {
    std::string label = line.substr(0, line.find(','));
    EXPECT_EQ(label.find_first_of("()\""), std::string::npos) << label;
    if (label == "H2O") {
      water = true;
      EXPECT_NEAR(LeadingNumber(line.substr(line.find(',') + 1)), 18.0105647, 1e-6);
    }
  }
  EXPECT_TRUE(water);
  EXPECT_EQ(form.AdjustName[0], "No Mass Adjustment");
  EXPECT_EQ(form.AdjustMass[0], 0);
  EXPECT_LE(form.AdjustLast, 50);
}

}  // namespace
}  // namespace zelm
