#include <gtest/gtest.h>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

const char kCopied[] = "Results have been copied to the clipboard.";
const char kQuestion[] = "Would you also like to print these results?";

std::string ResultLine(const std::string& formula, double mass) {
  std::string line = formula;
  line.resize(30, ' ');
  return line + NumberText(mass).substr(0, 12);
}
const std::string kC10 = ResultLine(ToSuperscript("12") + "C" + ToSubscript("10"), 120);
const std::string kC5 = ResultLine(ToSuperscript("12") + "C" + ToSubscript("5"), 60);
const std::string kH = ResultLine(ToSuperscript("1") + "H" + ToSubscript("8") + ToSuperscript("12") + "C" +
                                      ToSubscript("9"), 116.0626);

struct Export : ::testing::Test {
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};
};

TEST_F(Export, EmptyListOnlyMovesTheFocus) {
  host.clipboard = "kept";
  form.HelpLine.Caption = " Helpline:";
  form.SetFocus(form.Results);
  form.CopyAll_Click();
  EXPECT_EQ(host.clipboard, "kept");
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_TRUE(host.printed.empty());
  EXPECT_EQ(form.HelpLine.Caption, " Helpline:");
  EXPECT_EQ(form.Focus, &form.FindMass);
}

TEST_F(Export, OneResultAnsweredNo) {
  form.Results.AddItem(kC10);
  form.SetFocus(form.CopyAll);
  host.answers = {kAnswerNo};
  form.CopyAll_Click();

  EXPECT_EQ(host.clipboard, kC10 + "\r\n");
  EXPECT_EQ(form.HelpLine.Caption, kCopied);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, kQuestion);
  EXPECT_EQ(host.boxes[0].title, "Zelmara");
  EXPECT_EQ(host.boxes[0].buttons, Buttons::YesNo);
  EXPECT_TRUE(host.boxes[0].defaultYes);
  EXPECT_TRUE(host.printed.empty());
  EXPECT_EQ(form.Focus, &form.FindMass);
}

TEST_F(Export, ListOrderWithCrLfAndTheHighlightOnTheLastLine) {
  // Added out of order: the sorted list shows them in its own order, and that is the order exported.
  form.Results.AddItem(kC10);
  form.Results.AddItem(kH);
  form.Results.AddItem(kC5);
  const std::vector<std::string> shown = form.Results.Items();
  form.Results.SetListIndex(0);
  form.SelectedResult = shown[0];
  form.FragmentList = "   2";
  form.IsotopeLines[0][0] = 1;
  form.SetHeight(kHeightPlot);
  host.answers = {kAnswerNo};
  form.CopyAll_Click();

  EXPECT_EQ(host.clipboard, shown[0] + "\r\n" + shown[1] + "\r\n" + shown[2] + "\r\n");
  EXPECT_EQ(form.Results.ListIndex(), 2);
  // Only the highlight moved: the selection and the plot are those of before.
  EXPECT_EQ(form.SelectedResult, shown[0]);
  EXPECT_EQ(form.FragmentList, "   2");
  EXPECT_EQ(form.IsotopeLines[0][0], 1);
  EXPECT_EQ(form.WindowHeight, kHeightPlot);
}

TEST_F(Export, OnlyTheListedLinesAreExported) {
  // Three stored lines, one of them hidden from the list by its existence confidence.
  form.StoredResults[0] = "3";
  form.StoredResults[1] = kC10;
  form.StoredResults[2] = kH;
  form.StoredResults[3] = kC5;
  form.Results.AddItem(kC10);
  form.Results.AddItem(kC5);
  host.answers = {kAnswerNo};
  form.CopyAll_Click();
  EXPECT_EQ(host.clipboard, form.Results.Item(0) + "\r\n" + form.Results.Item(1) + "\r\n");
  EXPECT_EQ(host.clipboard.find(kH), std::string::npos);
}

TEST_F(Export, YesPrintsTheSameText) {
  form.Results.AddItem(kC10);
  form.Results.AddItem(kC5);
  host.answers = {kAnswerYes};
  form.CopyAll_Click();
  ASSERT_EQ(host.printed.size(), 1u);
  EXPECT_EQ(host.printed[0], host.clipboard);
  EXPECT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(form.Focus, &form.FindMass);
}

TEST_F(Export, FailedPrintIsToldAndTheClipboardKept) {
  form.Results.AddItem(kC10);
  host.answers = {kAnswerYes};
  host.printError = "No printer is available.";
  form.CopyAll_Click();

  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[1].text,
            "The results could not be printed. No printer is available. They are still on the clipboard.");
  EXPECT_EQ(host.boxes[1].title, "ZELM Print");
  EXPECT_EQ(host.boxes[1].buttons, Buttons::Ok);
  EXPECT_EQ(host.clipboard, kC10 + "\r\n");
  EXPECT_EQ(form.HelpLine.Caption, kCopied);
  EXPECT_EQ(form.Focus, &form.FindMass);
}

}  // namespace
}  // namespace zelm
