#include <gtest/gtest.h>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

class Library : public ::testing::Test {
 protected:
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};

  void LoadLines(const std::string& bytes, int maxBit) {
    dir.Write("EMassQuick.txt", bytes);
    form.MaxBit = static_cast<int16_t>(maxBit);
    form.LoadFile("EMassQuick.txt");
  }
  std::vector<std::string> Labels() const {
    return {form.IndexLabel.begin() + 1, form.IndexLabel.begin() + 1 + form.IndexCount};
  }
  std::vector<double> Masses() const {
    return {form.IndexMass.begin() + 1, form.IndexMass.begin() + 1 + form.IndexCount};
  }
};

TEST_F(Library, EqualMassesEndInReverseFileOrderWithMaxBitZero) {
  LoadLines("X,2\r\nY,2\r\nZ,1\r\n", 0);
  form.Sort();
  EXPECT_EQ(Labels(), (std::vector<std::string>{" 0(Z)", " 0(Y)", " 0(X)"}));
  EXPECT_EQ(Masses(), (std::vector<double>{1, 2, 2}));
}

TEST_F(Library, CarbonAndHydrogenExpandAndSortAsTheExchangeSortDoes) {
  LoadLines("C,12\r\nH,1.5\r\n", 3);
  EXPECT_EQ(form.IndexCount, 8);
  // Before sorting: each line's entries in the order n = 0..3, lines in file order.
  EXPECT_EQ(Labels(), (std::vector<std::string>{" 0(C)", " 1(C)", " 2(C)", " 3(C)", " 0(H)", " 1(H)", " 2(H)",
                                                 " 3(H)"}));
  form.Sort();
  EXPECT_EQ(Labels(), (std::vector<std::string>{" 0(H)", " 1(H)", " 2(H)", " 0(C)", " 3(H)", " 1(C)", " 2(C)",
                                                 " 3(C)"}));
  EXPECT_EQ(Masses(), (std::vector<double>{1.5, 3, 6, 12, 12, 24, 48, 96}));
  EXPECT_EQ(form.HelpLine.Caption, " Sort completed.");
  EXPECT_EQ(host.repaints, (std::vector<std::string>{" Now loading complete emass file and creating index.",
                                                      " Now sorting index.", " Sort completed."}));
}

TEST_F(Library, MaxBitFifteenWritesTwoDigitPowers) {
  LoadLines("C,12\r\n", 15);
  ASSERT_EQ(form.IndexCount, 16);
  for (int n = 0; n <= 9; ++n) EXPECT_EQ(form.IndexLabel[n + 1], " " + std::to_string(n) + "(C)");
  for (int n = 10; n <= 15; ++n) EXPECT_EQ(form.IndexLabel[n + 1], std::to_string(n) + "(C)");
  EXPECT_EQ(form.IndexMass[16], 12.0 * 32768);
}

TEST_F(Library, TwelveHundredFiftyLinesFillTheIndexExactly) {
  std::string bytes;
  for (int i = 1; i <= 1250; ++i) bytes += 'E' + std::to_string(i) + "," + std::to_string(i) + "\r\n";
  LoadLines(bytes, 3);
  EXPECT_EQ(form.IndexCount, 5000);
  EXPECT_EQ(form.WorkList.Count(), 1250);
  EXPECT_EQ(form.IndexLabel[5000], " 3(E1250)");
  EXPECT_EQ(form.LoadProblem, "");
}

TEST_F(Library, ALineThatWouldPassTheIndexLimitIsNotLoadedAndNamed) {
  std::string bytes;
  for (int i = 1; i <= 1252; ++i) bytes += 'E' + std::to_string(i) + "," + std::to_string(i) + "\r\n";
  LoadLines(bytes, 3);
  EXPECT_EQ(form.IndexCount, 5000);
  EXPECT_EQ(form.WorkList.Count(), 1250);
  EXPECT_NE(form.HelpLine.Caption.find("line 1251"), std::string::npos) << form.HelpLine.Caption;
  // With MaxBit 4, 1000 lines fit; the 1001st would need positions past 5000.
  LoadLines(bytes, 4);
  EXPECT_EQ(form.IndexCount, 5000);
  EXPECT_EQ(form.WorkList.Count(), 1000);
  EXPECT_NE(form.LoadProblem.find("line 1001"), std::string::npos);
  // The table itself never grows.
  EXPECT_EQ(form.IndexLabel.size(), 5001u);
}

TEST_F(Library, WorkListLineHasABlankAfterTheComma) {
  std::string carbon = ToSuperscript("12") + "C";
  LoadLines(carbon + ",12\r\n  H , 1.00782503\r\n", 3);
  EXPECT_EQ(form.WorkList.Items(), (std::vector<std::string>{carbon + ", 12", "H, 1.00782503"}));
  // Read back, a work-list line gives the same label and mass.
  LoadLines(form.WorkList.Item(0) + "\r\n", 0);
  EXPECT_EQ(form.IndexLabel[1], " 0(" + carbon + ")");
  EXPECT_EQ(form.IndexMass[1], 12);
}

TEST_F(Library, EmptyLibraryGivesNoEntriesAndStillCompletesTheSort) {
  LoadLines("", 3);
  EXPECT_EQ(form.WorkList.Count(), 0);
  EXPECT_EQ(form.IndexCount, 0);
  form.Sort();
  EXPECT_EQ(form.HelpLine.Caption, " Sort completed.");
}

TEST_F(Library, LoadClearsTheHighlightAndAShortLoadLeavesOldEntriesUnused) {
  LoadLines("C,12\r\nH,1\r\n", 3);
  form.WorkList.SetListIndex(1);
  LoadLines("N,14\r\n", 0);
  EXPECT_EQ(form.WorkList.ListIndex(), -1);
  EXPECT_EQ(form.IndexCount, 1);
  EXPECT_EQ(form.IndexLabel[2], " 1(C)");
}

TEST_F(Library, BadLinesAreSkippedWholeAndNamed) {
  LoadLines("C,12\r\nnocomma\r\n\r\nX,abc\r\nA,1,2\r\nB(2),3\r\n,5\r\nH,1\r\n", 0);
  EXPECT_EQ(form.WorkList.Items(), (std::vector<std::string>{"C, 12", "H, 1"}));
  EXPECT_EQ(form.IndexCount, 2);
  EXPECT_EQ(form.LoadProblem, "EMassQuick.txt: 6 lines were not loaded, first line 2 (it has no comma).");
  form.Sort();
  EXPECT_EQ(form.HelpLine.Caption, " Sort completed. " + form.LoadProblem);
}

TEST_F(Library, MissingLibraryEmptiesTheWorkListAndSaysSo) {
  LoadLines("C,12\r\n", 0);
  form.LoadFile("EMassBasic.txt");
  EXPECT_EQ(form.WorkList.Count(), 0);
  EXPECT_EQ(form.IndexCount, 0);
  EXPECT_NE(form.HelpLine.Caption.find("EMassBasic.txt could not be found."), std::string::npos);
}

}  // namespace
}  // namespace zelm
