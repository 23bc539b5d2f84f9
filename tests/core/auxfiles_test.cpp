#include <gtest/gtest.h>

#include "core/form1.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

class AuxFiles : public ::testing::Test {
 protected:
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};
};

std::string IsotopeRows(int n) {
  std::string bytes;
  for (int i = 1; i <= n; ++i) bytes += std::to_string(i) + ",E" + std::to_string(i) + "," + std::to_string(i) + ".5,100\r\n";
  return bytes;
}

TEST_F(AuxFiles, IsotopeTableCountsRowsAndKeepsOlderRowsAboveTheCount) {
  dir.Write("isotopes.txt", IsotopeRows(14));
  form.LoadIsotopeTable();
  EXPECT_EQ(form.IsotopeTable[0][0], " 14");
  EXPECT_EQ(form.IsotopeTable[1], (std::array<std::string, 4>{"1", "E1", "1.5", "100"}));
  EXPECT_EQ(form.IsotopeTable[14][1], "E14");
  dir.Write("isotopes.txt", "12,C,12,100\r\n13,C,13.00335484,1.0816\r\n" + IsotopeRows(10).substr(0, 0));
  dir.Write("isotopes.txt", IsotopeRows(10));
  form.LoadIsotopeTable();
  EXPECT_EQ(form.IsotopeTable[0][0], " 10");
  EXPECT_EQ(form.IsotopeTable[11][1], "E11");
  EXPECT_EQ(form.IsotopeTable[14][1], "E14");
}

TEST_F(AuxFiles, IsotopeFieldsAreKeptAsTexts) {
  dir.Write("isotopes.txt", "\"012\",C,12.000,100\r\n13,C,13.00335484,1.0816\r\n");
  form.LoadIsotopeTable();
  EXPECT_EQ(form.IsotopeTable[1][0], "012");
  EXPECT_EQ(form.IsotopeTable[1][2], "12.000");
  EXPECT_EQ(form.IsotopeTable[2][3], "1.0816");
}

TEST_F(AuxFiles, BadIsotopeRecordsAreSkippedAndAMissingTableIsTold) {
  dir.Write("isotopes.txt", "12,C,12,100\r\n13,C\r\n13,C,x,1\r\n1,H,1.00782503,100\r\n");
  form.LoadIsotopeTable();
  EXPECT_EQ(form.IsotopeTable[0][0], " 2");
  EXPECT_EQ(form.IsotopeTable[2][1], "H");
  EXPECT_NE(form.DataProblem.find("isotopes.txt: 2 lines were not read, first line 2"), std::string::npos);
  TempDir empty;
  FakeHost other(empty.Path());
  Form1 fresh(other);
  fresh.LoadIsotopeTable();
  EXPECT_EQ(fresh.IsotopeTable[0][0], " 0");
  EXPECT_NE(fresh.DataProblem.find("isotopes.txt could not be found."), std::string::npos);
}

TEST_F(AuxFiles, ThreeAdjustmentRows) {
  dir.Write("M-Adjstr.txt", "\"No Mass Adjustment\",0\r\n\"Adduct +H, proton\",1.007825\r\nLoss -H2O,-18.010565\r\n");
  form.AdjustIndex = 2;
  form.LoadAdjustments();
  EXPECT_EQ(form.AdjustLast, 2);
  EXPECT_EQ(form.AdjustIndex, 0);
  EXPECT_EQ(form.AdjustName[0], "No Mass Adjustment");
  EXPECT_EQ(form.AdjustName[1], "Adduct +H, proton");
  EXPECT_DOUBLE_EQ(form.AdjustMass[1], 1.007825);
  EXPECT_EQ(form.AdjustName[2], "Loss -H2O");
  EXPECT_DOUBLE_EQ(form.AdjustMass[2], -18.010565);
}

TEST_F(AuxFiles, EmptyOrMissingAdjustmentsOfferOnlyNoAdjustment) {
  dir.Write("M-Adjstr.txt", "");
  form.LoadAdjustments();
  EXPECT_EQ(form.AdjustLast, 0);
  EXPECT_EQ(form.AdjustName[0], "No Mass Adjustment");
  EXPECT_EQ(form.AdjustMass[0], 0);
  std::filesystem::remove(dir.File("M-Adjstr.txt"));
  form.LoadAdjustments();
  EXPECT_EQ(form.AdjustLast, 0);
  EXPECT_NE(form.DataProblem.find("M-Adjstr.txt could not be found."), std::string::npos);
}

TEST_F(AuxFiles, AdjustmentRowsBeyondTheTableAreNotRead) {
  std::string bytes;
  for (int i = 0; i < 60; ++i) bytes += 'A' + std::to_string(i) + "," + std::to_string(i) + "\r\n";
  dir.Write("M-Adjstr.txt", bytes);
  form.LoadAdjustments();
  EXPECT_EQ(form.AdjustLast, 50);
  EXPECT_EQ(form.AdjustName[50], "A50");
  EXPECT_NE(form.DataProblem.find("line 52"), std::string::npos);
}

TEST_F(AuxFiles, ConfidenceEntriesSplitAtTheFirstPercentAndCutTheKey) {
  std::string line = std::string(30, 'F') + " 120.000000001234567";
  dir.Write("ConfFile.txt", " 90%" + line + "\r\n  0%AB%C\r\n");
  form.LoadConfidence();
  EXPECT_EQ(form.ConfidenceTable[0].Percent, "2");
  EXPECT_EQ(form.ConfidenceTable[1].Percent, "90");
  EXPECT_EQ(form.ConfidenceTable[1].Key, line.substr(0, 40));
  EXPECT_EQ(form.ConfidenceTable[2].Key, "AB%C");
}

TEST_F(AuxFiles, EmptyMissingAndBlankConfidenceFiles) {
  dir.Write("ConfFile.txt", "");
  form.LoadConfidence();
  EXPECT_EQ(form.ConfidenceTable[0].Percent, "0");
  std::filesystem::remove(dir.File("ConfFile.txt"));
  form.LoadConfidence();
  EXPECT_EQ(form.ConfidenceTable[0].Percent, "0");
  EXPECT_EQ(form.DataProblem, "");
  dir.Write("ConfFile.txt", "\r\nno marker\r\n100%X\r\n");
  form.LoadConfidence();
  EXPECT_EQ(form.ConfidenceTable[0].Percent, "1");
  EXPECT_EQ(form.ConfidenceTable[1].Key, "X");
  EXPECT_NE(form.DataProblem.find("line 2"), std::string::npos);
}

}  // namespace
}  // namespace zelm
