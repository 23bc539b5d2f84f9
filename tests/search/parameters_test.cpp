#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

constexpr int kMiddleButton = 4;

class Parameters : public ::testing::Test {
 protected:
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};

  void Start(const std::string& quickLibrary = "C,12\r\n") {
    dir.Write("EMassQuick.txt", quickLibrary);
    dir.Write("ConfFile.txt", "");
    form.FormLoad();
    form.FormActivate();
  }
  void Left(void (Form1::*handler)(int, int, float, float)) { (form.*handler)(kLeftButton, 0, 0, 0); }
  void Right(void (Form1::*handler)(int, int, float, float)) { (form.*handler)(kRightButton, 0, 0, 0); }
  // Moves the focus away, so that a handler's focus change shows.
  void FocusElsewhere() { form.SetFocus(form.Range); }
};

TEST_F(Parameters, MaxMassNStepsBetweenOneAndFifteenPowersAndShowsTheLargestCount) {
  Start();
  ASSERT_EQ(form.MaxBit, 3);
  EXPECT_EQ(form.MaxMassN.Caption, "15");
  const int indexCount = form.IndexCount;

  FocusElsewhere();
  Left(&Form1::MaxMassN_MouseUp);
  EXPECT_EQ(form.MaxBit, 4);
  EXPECT_EQ(form.MaxMassN.Caption, " 31");
  EXPECT_EQ(form.Focus, &form.FindMass);
  Right(&Form1::MaxMassN_MouseUp);
  EXPECT_EQ(form.MaxMassN.Caption, " 15");

  for (int i = 0; i < 12; ++i) Left(&Form1::MaxMassN_MouseUp);
  EXPECT_EQ(form.MaxBit, 15);
  EXPECT_EQ(form.MaxMassN.Caption, " 65535");
  for (int i = 0; i < 20; ++i) Right(&Form1::MaxMassN_MouseUp);
  EXPECT_EQ(form.MaxBit, 0);
  EXPECT_EQ(form.MaxMassN.Caption, " 1");
  form.MaxMassN_MouseUp(kMiddleButton, 0, 0, 0);
  EXPECT_EQ(form.MaxBit, 0);
  EXPECT_EQ(form.MaxMassN.Caption, " 1");
  // The index is rebuilt by the next search run, not here.
  EXPECT_EQ(form.IndexCount, indexCount);
}

TEST_F(Parameters, MassAdjustmentCyclesThroughTheRowsBothWays) {
  dir.Write("M-Adjstr.txt", "\"No Mass Adjustment\",0\r\n\"Adduct +H\",1.00782503223\r\n\"Adduct +Na\",22.989769282\r\n");
  Start();
  ASSERT_EQ(form.AdjustLast, 2);
  std::vector<std::string> captions;
  FocusElsewhere();
  for (int i = 0; i < 4; ++i) {
    Left(&Form1::MassAdjustment_MouseUp);
    captions.push_back(form.MassAdjustment.Caption);
  }
  EXPECT_EQ(captions, (std::vector<std::string>{"Adduct +H", "Adduct +Na", "No Mass Adjustment", "Adduct +H"}));
  EXPECT_EQ(form.AdjustIndex, 1);
  EXPECT_EQ(form.Focus, &form.FindMass);
  Right(&Form1::MassAdjustment_MouseUp);
  EXPECT_EQ(form.AdjustIndex, 0);
  Right(&Form1::MassAdjustment_MouseUp);
  EXPECT_EQ(form.AdjustIndex, 2);
  EXPECT_EQ(form.MassAdjustment.Caption, "Adduct +Na");
  form.MassAdjustment_MouseUp(kMiddleButton, 0, 0, 0);
  EXPECT_EQ(form.AdjustIndex, 2);
}

TEST_F(Parameters, MassAdjustmentWithoutRowsOffersNoAdjustment) {
  // An empty file gives the one row without adjustment: both buttons stay on it.
  dir.Write("M-Adjstr.txt", "");
  Start();
  ASSERT_EQ(form.AdjustLast, 0);
  Left(&Form1::MassAdjustment_MouseUp);
  EXPECT_EQ(form.AdjustIndex, 0);
  EXPECT_EQ(form.MassAdjustment.Caption, "No Mass Adjustment");
  Right(&Form1::MassAdjustment_MouseUp);
  EXPECT_EQ(form.AdjustIndex, 0);
  EXPECT_EQ(form.MassAdjustment.Caption, "No Mass Adjustment");

  // With no row at all nothing is read from the table and no adjustment is named.
  form.AdjustLast = -1;
  form.AdjustName[0] = "Adduct +K";
  form.MassAdjustment.SetCaption("Adduct +K");
  FocusElsewhere();
  Right(&Form1::MassAdjustment_MouseUp);
  EXPECT_EQ(form.AdjustIndex, 0);
  EXPECT_EQ(form.MassAdjustment.Caption, "No Mass Adjustment");
  EXPECT_EQ(form.Focus, &form.FindMass);
  Left(&Form1::MassAdjustment_MouseUp);
  EXPECT_EQ(form.AdjustIndex, 0);
  EXPECT_EQ(form.MassAdjustment.Caption, "No Mass Adjustment");
}

TEST_F(Parameters, MassAdjustmentStepsBackInsideFromAnIndexPastTheRows) {
  dir.Write("M-Adjstr.txt", "A,1\r\nB,2\r\nC,3\r\n");
  Start();
  form.AdjustIndex = 40;
  Right(&Form1::MassAdjustment_MouseUp);
  EXPECT_EQ(form.AdjustIndex, 1);
  form.AdjustIndex = 40;
  Left(&Form1::MassAdjustment_MouseUp);
  EXPECT_EQ(form.AdjustIndex, 0);
  EXPECT_EQ(form.MassAdjustment.Caption, "A");
}

TEST_F(Parameters, PlusMinusXAddsAndSubtractsTheHighlightedMass) {
  Start();
  ASSERT_EQ(form.WorkList.Items(), (std::vector<std::string>{"C, 12"}));
  form.WorkList.SetListIndex(0);

  form.FindMass.SetText("120");
  FocusElsewhere();
  Left(&Form1::PlusMinusX_MouseUp);
  EXPECT_EQ(form.FindMass.Text, "132");
  EXPECT_EQ(form.SearchMass, 132);
  EXPECT_EQ(form.Focus, &form.FindMass);

  form.FindMass.SetText("120");
  Right(&Form1::PlusMinusX_MouseUp);
  EXPECT_EQ(form.FindMass.Text, "108");

  // A subtraction that would reach 0 or below is not applied.
  form.FindMass.SetText("5");
  Right(&Form1::PlusMinusX_MouseUp);
  EXPECT_EQ(form.FindMass.Text, "5");
  form.FindMass.SetText("12");
  Right(&Form1::PlusMinusX_MouseUp);
  EXPECT_EQ(form.FindMass.Text, "12");

  // Only the first mass of the box is taken; the rest is dropped.
  form.FindMass.SetText("120,60");
  Left(&Form1::PlusMinusX_MouseUp);
  EXPECT_EQ(form.FindMass.Text, "132");

  form.FindMass.SetText("0.5");
  Left(&Form1::PlusMinusX_MouseUp);
  EXPECT_EQ(form.FindMass.Text, "12.5");
}

TEST_F(Parameters, PlusMinusXTakesTheMassAfterTheLastComma) {
  Start("\"Na,Cl\", 57.958622\r\n");
  ASSERT_EQ(form.WorkList.Items(), (std::vector<std::string>{"Na,Cl, 57.958622"}));
  form.WorkList.SetListIndex(0);
  form.FindMass.SetText("100");
  Left(&Form1::PlusMinusX_MouseUp);
  EXPECT_EQ(form.FindMass.Text, "157.958622");
}

TEST_F(Parameters, PlusMinusXSubtractionThatIsRefusedRestoresTheValueExactly) {
  Start("H,1.00782503223\r\n");
  form.WorkList.SetListIndex(0);
  form.FindMass.SetText("0.1");
  Right(&Form1::PlusMinusX_MouseUp);
  EXPECT_EQ(form.FindMass.Text, ".1");
  EXPECT_EQ(form.SearchMass, 0.1);
}

TEST_F(Parameters, PlusMinusXWithoutAUsableLineLeavesTheBox) {
  Start();
  form.FindMass.SetText("120,60");
  FocusElsewhere();
  Left(&Form1::PlusMinusX_MouseUp);
  EXPECT_EQ(form.FindMass.Text, "120,60");
  EXPECT_EQ(form.Focus, &form.FindMass);

  form.WorkList.AddItem("no comma here");
  form.WorkList.SetListIndex(1);
  Left(&Form1::PlusMinusX_MouseUp);
  EXPECT_EQ(form.FindMass.Text, "120,60");
}

TEST_F(Parameters, PasteJoinsClipboardLinesWithCommasAndDoubleClickWritesZero) {
  Start();
  FocusElsewhere();
  host.clipboard = "120\r\n60";
  form.PasteFromClipboard_Click();
  EXPECT_EQ(form.FindMass.Text, "120,60");
  EXPECT_EQ(form.Focus, &form.Range);  // the focus is not moved

  host.clipboard = "120\r\n60\r\n";
  form.PasteFromClipboard_Click();
  EXPECT_EQ(form.FindMass.Text, "120,60,");

  host.clipboard = "120\n60\r";
  form.PasteFromClipboard_Click();
  EXPECT_EQ(form.FindMass.Text, "120,60");

  const std::string coded = ToSuperscript("12") + "C" + ToSubscript("2");
  host.clipboard = coded + ", 24";
  form.PasteFromClipboard_Click();
  EXPECT_EQ(form.FindMass.Text, coded + ", 24");

  host.clipboard = "";
  form.PasteFromClipboard_Click();
  EXPECT_EQ(form.FindMass.Text, "");

  form.FindMass_DblClick();
  EXPECT_EQ(form.FindMass.Text, "0");
}

// Presses one key in the mass box as the desktop does: the key-down handler may send a keystroke, which is typed at
// the caret (the end here); a key without Alt or Ctrl types itself.
class MassBoxKeys : public Parameters {
 protected:
  void Press(int keyCode, int shift) {
    const size_t sent = host.keys.size();
    form.FindMass_KeyDown(keyCode, shift);
    std::string text = form.FindMass.Text;
    for (size_t i = sent; i < host.keys.size(); ++i) text += host.keys[i];
    if (shift == 0) text += static_cast<char>(keyCode);
    form.FindMass.SetText(text);
  }
  std::vector<int> Sent() const {
    std::vector<int> codes;
    for (char c : host.keys) codes.push_back(static_cast<unsigned char>(c));
    return codes;
  }
};

TEST_F(MassBoxKeys, AltAndCtrlDigitsTypeACodedFormula) {
  form.FindMass.SetText("");
  Press('1', kAltKey);
  Press('2', kAltKey);
  Press('C', 0);
  Press('1', kCtrlKey);
  Press('0', kCtrlKey);
  EXPECT_EQ(form.FindMass.Text, ToSuperscript("12") + "C" + ToSubscript("10"));
  EXPECT_EQ(Sent(), (std::vector<int>{129, 130, 145, 144}));
}

TEST_F(MassBoxKeys, SignKeysTypeTheirCodes) {
  for (int shift : {kAltKey, kCtrlKey})
    for (int key : {48, 57, 58, 187, 189}) form.FindMass_KeyDown(key, shift);
  EXPECT_EQ(Sent(), (std::vector<int>{128, 137, 138, 138, 139, 144, 153, 154, 254, 253}));
}

TEST_F(MassBoxKeys, OtherKeysAndCombinationsTypeNothing) {
  form.FindMass_KeyDown('1', 0);                          // a plain digit types itself
  form.FindMass_KeyDown('1', kShiftKey);                  // Shift alone
  form.FindMass_KeyDown('1', kAltKey | kShiftKey);        // Alt with Shift
  form.FindMass_KeyDown('1', kAltKey | kCtrlKey);         // Alt with Ctrl
  form.FindMass_KeyDown(97, kAltKey);                     // the keypad's 1
  form.FindMass_KeyDown('C', kCtrlKey);                   // a letter
  form.FindMass_KeyDown(59, kAltKey);                     // just past the table
  form.FindMass_KeyDown(188, kCtrlKey);                   // between the sign keys
  EXPECT_TRUE(host.keys.empty());
}

TEST_F(Parameters, EnterSearchesOnlyWithTheQuickLibrary) {
  Start();
  dir.Write("EMassBasic.txt", "C,12\r\n");
  form.FindMass.SetText("120");
  form.StoredResults[0] = "7";

  // Other keys do nothing.
  form.FindMass_KeyPress('1');
  EXPECT_EQ(form.StoredResults[0], "7");

  form.WorkListBtn.SetCaption("Basic");
  host.repaints.clear();
  form.FindMass_KeyPress(13);
  EXPECT_EQ(form.StoredResults[0], "7");
  EXPECT_TRUE(host.repaints.empty());
  EXPECT_EQ(host.yields, 0);
  EXPECT_EQ(form.WindowHeight, kHeightCompact);

  form.WorkListBtn.SetCaption("Quick");
  int heightDuringSearch = 0;
  host.onYield = [&] { heightDuringSearch = form.WindowHeight; };
  form.FindMass_KeyPress(13);
  EXPECT_EQ(heightDuringSearch, kHeightSearching);
  EXPECT_EQ(form.StoredResults[0], "1");
  ASSERT_EQ(form.Results.Count(), 1);
  EXPECT_EQ(form.Results.Item(0).substr(0, 3), "C" + ToSubscript("10"));
}

}  // namespace
}  // namespace zelm
