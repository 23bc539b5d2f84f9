#include <gtest/gtest.h>

#include "text/defaults.h"
#include "core/form1.h"
#include "text/text.h"
#include "text/textfile.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

const char kStartText[] = "Help Line: Enter a Search Mass and click on Search. Click Help for more information.";

TEST(StartUp, FreshFolderGetsTheDefaultsAndTheQuickLibrary) {
  TempDir dir;
  FakeHost host(dir.Path());
  Form1 form(host);
  form.FormLoad();
  form.FormActivate();
  for (const auto& f : DefaultFiles()) {
    ASSERT_TRUE(dir.Exists(f.Name)) << f.Name;
    EXPECT_EQ(dir.Read(f.Name), std::string(f.Bytes)) << f.Name;
  }
  EXPECT_EQ(form.CreatedFiles.size(), DefaultFiles().size());
  // Loading and sorting were shown in order, before the start-up text replaced them.
  EXPECT_EQ(host.repaints, (std::vector<std::string>{" Now loading complete emass file and creating index.",
                                                      " Now sorting index.", " Sort completed."}));
  EXPECT_EQ(form.HelpLine.Caption.rfind(kStartText, 0), 0u);
  EXPECT_NE(form.HelpLine.Caption.find("Created from the built-in data: EMassQuick.txt"), std::string::npos);

  EXPECT_EQ(form.WorkListBtn.Caption, "Quick");
  EXPECT_EQ(form.MaxBit, 3);
  EXPECT_EQ(form.ConfidenceThreshold, 100);
  EXPECT_EQ(form.StoredResults[0], "0");
  EXPECT_EQ(form.ConfidenceTable[0].Percent, "0");
  EXPECT_EQ(host.printerFont, "Chemistry Serif");
  EXPECT_EQ(host.printerSize, 16);
  EXPECT_EQ(form.Focus, &form.FindMass);
  EXPECT_EQ(form.FindMass.Text, "120");
  EXPECT_TRUE(form.Option0.Value);
  EXPECT_FALSE(form.OptionPlus.Value || form.OptionMinus.Value);
  EXPECT_FALSE(form.Teach.Enabled);
  EXPECT_FALSE(form.Confidence.Enabled);
  EXPECT_TRUE(form.SelectedResult.empty());
  EXPECT_TRUE(form.FragmentList.empty());
  EXPECT_EQ(form.IsotopeLines[0][0], 0);
  EXPECT_EQ(form.Results.Count(), 0);

  // The work list shows the quick library in file order; the index is sorted.
  TextReader quick(dir.File("EMassQuick.txt"));
  int lines = 0;
  while (!quick.AtEnd()) {
    auto fields = SplitFields(quick.ReadLine());
    ASSERT_LT(lines, form.WorkList.Count());
    EXPECT_EQ(form.WorkList.Item(lines), WorkListLine(fields[0], LeadingNumber(fields[1])));
    ++lines;
  }
  EXPECT_EQ(form.WorkList.Count(), lines);
  EXPECT_EQ(form.IndexCount, lines * 4);
  for (int i = 1; i < form.IndexCount; ++i) EXPECT_LE(form.IndexMass[i], form.IndexMass[i + 1]);

  // Activation: compact height, empty bar, default ranges, the tables read.
  EXPECT_EQ(form.WindowHeight, kHeightCompact);
  EXPECT_EQ(form.Bar.Width, 0);
  EXPECT_EQ(form.XAxisStart, 0);
  EXPECT_EQ(form.XAxisEnd, 200);
  EXPECT_EQ(form.YAxisTop, "100");
  EXPECT_GT(LeadingNumber(form.IsotopeTable[0][0]), 100);
  EXPECT_EQ(form.AdjustName[0], "No Mass Adjustment");
  EXPECT_EQ(form.AdjustIndex, 0);
  EXPECT_GT(form.AdjustLast, 0);
}

TEST(StartUp, ExistingFilesAreNeverOverwrittenAndNothingIsToldWhenAllExist) {
  TempDir dir;
  for (const auto& f : DefaultFiles()) dir.Write(f.Name, std::string(f.Bytes));
  dir.Write("EMassQuick.txt", "C,12\r\n");
  FakeHost host(dir.Path());
  Form1 form(host);
  form.FormLoad();
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "C,12\r\n");
  EXPECT_TRUE(form.CreatedFiles.empty());
  EXPECT_EQ(form.HelpLine.Caption, kStartText);
  EXPECT_EQ(form.WorkList.Items(), std::vector<std::string>{"C, 12"});
}

TEST(StartUp, ActivationResetsRangesAndAdjustmentButKeepsResults) {
  TempDir dir;
  FakeHost host(dir.Path());
  Form1 form(host);
  form.FormLoad();
  form.FormActivate();
  form.SetHeight(kHeightPlot);
  form.XAxisStart = 50;
  form.XAxisEnd = 300;
  form.YAxisTop = "10";
  form.AdjustIndex = 2;
  form.MassAdjustment.SetCaption(form.AdjustName[2]);
  form.MaxBit = 5;
  form.StoredResults[0] = "1";
  form.StoredResults[1] = "line";
  form.SelectedResult = "line";
  form.FormActivate();
  EXPECT_EQ(form.WindowHeight, kHeightCompact);
  EXPECT_EQ(form.XAxisStart, 0);
  EXPECT_EQ(form.XAxisEnd, 200);
  EXPECT_EQ(form.YAxisTop, "100");
  EXPECT_EQ(form.AdjustIndex, 0);
  EXPECT_EQ(form.MassAdjustment.Caption, "No Mass Adjustment");
  EXPECT_EQ(form.MaxBit, 5);
  EXPECT_EQ(form.StoredResults[0], "1");
  EXPECT_EQ(form.SelectedResult, "line");
}

TEST(StartUp, ProblemsWithDataFilesAreToldOnTheHelpLine) {
  TempDir dir;
  for (const auto& f : DefaultFiles()) dir.Write(f.Name, std::string(f.Bytes));
  dir.Write("EMassQuick.txt", "C,12\r\nbroken\r\n");
  dir.Write("isotopes.txt", "12,C\r\n");
  FakeHost host(dir.Path());
  Form1 form(host);
  form.FormLoad();
  EXPECT_NE(form.HelpLine.Caption.find("EMassQuick.txt: 1 line was not loaded, first line 2 (it has no comma)."),
            std::string::npos)
      << form.HelpLine.Caption;
  form.FormActivate();
  EXPECT_NE(form.HelpLine.Caption.find("isotopes.txt: 1 line was not read"), std::string::npos)
      << form.HelpLine.Caption;
}

TEST(StartUp, ExitEndsTheProgram) {
  TempDir dir;
  FakeHost host(dir.Path());
  Form1 form(host);
  form.Exit_Click();
  EXPECT_TRUE(host.ended);
}

}  // namespace
}  // namespace zelm
