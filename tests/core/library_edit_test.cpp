#include <gtest/gtest.h>

#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

using Lines = std::vector<std::string>;

const std::string O16 = ToSuperscript("16") + "O";
const char kQuick[] = "C,12\r\nH,1.5\r\n";
const std::string kEnhanced = O16 + ",15.99491461957\r\nN,14.003074\r\nS,31.97207\r\n";
const char kNoEntry[] = "No entry was made.";

std::string AddText(const std::string& library) {
  return "The name of the label and the mass separated by a comma. i.e.,:   C, 12     should be in the Search Mass box.  "
         "Enter Superscript or subscript numbers by holding the Alt or Control key and type in the number. "
         "This entry will go in the file EMASS" +
         library + ".TXT  You may also edit EMASS" + library +
         ".TXT with Wordpad using the Font: Chemistry Serif. Click OK to enter or click cancel.";
}

class LibraryEdit : public ::testing::Test {
 protected:
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};

  void Start(const std::string& quick = kQuick) {
    dir.Write("EMassQuick.txt", quick);
    dir.Write("EMassBasic.txt", "Na,22.98977\r\nK,38.96371\r\n");
    dir.Write("EMassEnhanced.txt", kEnhanced);
    dir.Write("ConfFile.txt", "");
    form.FormLoad();
    form.FormActivate();
    form.SetFocus(form.Range);
  }
  void AddWith(const std::string& massBox, int answer = kAnswerOk) {
    form.FindMass.SetText(massBox);
    host.answers.push_back(answer);
    form.Add_Click();
  }
  // Highlights a work-list item as the mouse does: the click event follows a change of the highlight.
  void ClickWorkList(int i) {
    if (form.WorkList.SetListIndex(i)) form.WorkList_Click();
  }
  void Delete(int answer = kAnswerOk) {
    host.answers.push_back(answer);
    form.Cut_Click();
  }
  // Makes every write of a file fail: the name of its temporary file is taken by a folder.
  void BlockWrites(const std::string& name) {
    std::filesystem::create_directory(dir.File(name) + ".zelm-tmp");
  }
  std::vector<double> IndexMasses() const {
    return {form.IndexMass.begin() + 1, form.IndexMass.begin() + 1 + form.IndexCount};
  }
  bool IndexSorted() const {
    auto m = IndexMasses();
    return std::is_sorted(m.begin(), m.end());
  }
};

TEST_F(LibraryEdit, AddAppendsTheMassBoxAsALineAndReloads) {
  Start("H,1.5");  // the last line lacks its line end
  AddWith("C, 12");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, AddText("QUICK"));
  EXPECT_EQ(host.boxes[0].title, "ZELM Item Add");
  EXPECT_EQ(host.boxes[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "H,1.5\r\nC, 12\r\n");
  EXPECT_EQ(form.WorkList.Items(), (Lines{"H, 1.5", "C, 12"}));
  EXPECT_EQ(form.IndexCount, 8);
  EXPECT_TRUE(IndexSorted());
  EXPECT_EQ(IndexMasses().back(), 96);
  EXPECT_EQ(form.HelpLine.Caption, " Sort completed.");
  EXPECT_EQ(form.Focus, &form.FindMass);
}

TEST_F(LibraryEdit, AddGoesToTheCurrentLibrary) {
  Start();
  form.WorkListBtn_Click();
  AddWith(O16 + ",15.99491461957");
  EXPECT_EQ(host.boxes.at(0).text, AddText("BASIC"));
  EXPECT_EQ(dir.Read("EMassBasic.txt"), "Na,22.98977\r\nK,38.96371\r\n" + O16 + ",15.99491461957\r\n");
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(form.WorkList.Items().back(), O16 + ", 15.99491461957");
}

TEST_F(LibraryEdit, AddWithoutACommaOrWithCancelWritesNothing) {
  Start();
  for (auto [box, answer] : std::vector<std::pair<std::string, int>>{
           {"120", kAnswerOk}, {"", kAnswerOk}, {"N, 14", kAnswerCancel}, {"N, 14", 0}}) {
    host.boxes.clear();
    form.SetFocus(form.Range);
    AddWith(box, answer);
    ASSERT_EQ(host.boxes.size(), 2u) << box;
    EXPECT_EQ(host.boxes[1].text, kNoEntry);
    EXPECT_EQ(host.boxes[1].title, "ZELM Cancel");
    EXPECT_EQ(host.boxes[1].buttons, Buttons::Ok);
    EXPECT_EQ(form.Focus, &form.FindMass);
  }
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5"}));
}

TEST_F(LibraryEdit, AddRefusesEntriesThatWouldNotLoadBackAsTyped) {
  Start();
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"C, 12, 13", "more than one comma"},
      {"C,12,", "more than one comma"},
      {"C, twelve", "The mass after the comma is not a number."},
      {"C, ", "The mass after the comma is not a number."},
      {"C, 12x", "The mass after the comma is not a number."},
      {"\"C\", 12", "double quote"},
      {"C\"x, 12", "double quote"},
      {"C(2), 24", "parenthesis"},
      {"C), 12", "parenthesis"},
      {", 12", "The label before the comma is empty."},
      {"   , 12", "The label before the comma is empty."},
      {"N, 14\nO, 16", "line break"},
  };
  for (const auto& [entry, reason] : cases) {
    host.boxes.clear();
    AddWith(entry);
    ASSERT_EQ(host.boxes.size(), 2u) << entry;
    EXPECT_EQ(host.boxes[1].text.rfind(std::string(kNoEntry) + " ", 0), 0u) << host.boxes[1].text;
    EXPECT_NE(host.boxes[1].text.find(reason), std::string::npos) << entry << ": " << host.boxes[1].text;
    EXPECT_EQ(host.boxes[1].title, "ZELM Cancel");
    EXPECT_EQ(host.boxes[1].buttons, Buttons::Ok);
  }
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5"}));

  // Blanks around the label and the mass are allowed: the loader skips them.
  AddWith("  N ,  14.003 ");
  EXPECT_EQ(form.WorkList.Items().back(), "N, 14.003");
}

TEST_F(LibraryEdit, AddThatCannotWriteSaysSoAndKeepsTheFile) {
  Start();
  BlockWrites("EMassQuick.txt");
  AddWith("N, 14");
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[1].title, "ZELM Item Add");
  EXPECT_EQ(host.boxes[1].buttons, Buttons::Ok);
  EXPECT_NE(host.boxes[1].text.find("EMassQuick.txt could not be written"), std::string::npos) << host.boxes[1].text;
  EXPECT_NE(host.boxes[1].text.find("EMassQuick.txt was left as it was."), std::string::npos);
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5"}));
}

TEST_F(LibraryEdit, CopyThenClickAppendsTheClickedLineUnchanged) {
  Start();
  form.Load_Click();
  EXPECT_EQ(form.WorkList.Items(), (Lines{O16 + ", 15.99491461957", "N, 14.003074", "S, 31.97207"}));
  EXPECT_EQ(form.WorkList.ListIndex(), -1);
  EXPECT_EQ(form.PendingEntry, "COPYMODE");
  EXPECT_EQ(form.HelpLine.Caption, "Click item to copy it to current search database.");
  EXPECT_TRUE(IndexSorted());
  EXPECT_EQ(form.Focus, &form.FindMass);

  ClickWorkList(1);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(dir.Read("EMassQuick.txt"), std::string(kQuick) + "N, 14.003074\r\n");
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5", "N, 14.003074"}));
  EXPECT_EQ(form.PendingEntry, "");
  EXPECT_EQ(form.IndexCount, 12);
  EXPECT_TRUE(IndexSorted());
  EXPECT_EQ(dir.Read("EMassEnhanced.txt"), kEnhanced);

  // Copy mode is over: a further click copies nothing.
  ClickWorkList(0);
  EXPECT_EQ(dir.Read("EMassQuick.txt"), std::string(kQuick) + "N, 14.003074\r\n");
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(LibraryEdit, CopyModeSurvivesCopyAndLibrarySwitchAndCopiesIntoTheCurrentLibrary) {
  Start();
  form.Load_Click();
  form.Load_Click();
  EXPECT_EQ(form.PendingEntry, "COPYMODE");
  EXPECT_EQ(form.WorkList.Count(), 3);

  form.WorkListBtn_Click();
  EXPECT_EQ(form.PendingEntry, "COPYMODE");
  EXPECT_EQ(form.WorkList.Items(), (Lines{"Na, 22.98977", "K, 38.96371"}));
  // A click now copies the clicked entry of the current library into itself.
  ClickWorkList(1);
  EXPECT_EQ(dir.Read("EMassBasic.txt"), "Na,22.98977\r\nK,38.96371\r\nK, 38.96371\r\n");
  EXPECT_EQ(form.PendingEntry, "");
}

TEST_F(LibraryEdit, CopyModeClearingTheHighlightCopiesNothing) {
  Start();
  form.Load_Click();
  // A change to no highlight leaves copy mode armed and writes nothing.
  form.WorkList_Click();
  EXPECT_EQ(form.PendingEntry, "COPYMODE");
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_TRUE(host.boxes.empty());
}

TEST_F(LibraryEdit, AddWhileCopyModeIsArmedShowsTheCurrentLibraryAgain) {
  Start();
  form.Load_Click();
  AddWith("N, 14");
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, kNoEntry);
  EXPECT_EQ(host.boxes[0].title, "ZELM Cancel");
  EXPECT_EQ(form.PendingEntry, "");
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5"}));
  EXPECT_TRUE(IndexSorted());

  // So a Delete afterwards writes the current library, not the enhanced one.
  ClickWorkList(0);
  Delete();
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "H,1.5\r\n");
}

TEST_F(LibraryEdit, CopyThatCannotWriteSaysSoAndShowsTheCurrentLibrary) {
  Start();
  BlockWrites("EMassQuick.txt");
  form.Load_Click();
  ClickWorkList(0);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].title, "ZELM Item Add");
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5"}));
  EXPECT_EQ(form.PendingEntry, "");
}

TEST_F(LibraryEdit, CopyFromAMissingEnhancedLibrarySaysWhy) {
  Start();
  std::filesystem::remove(dir.File("EMassEnhanced.txt"));
  form.Load_Click();
  EXPECT_EQ(form.WorkList.Count(), 0);
  EXPECT_EQ(form.HelpLine.Caption.rfind("Click item to copy it to current search database. ", 0), 0u);
  EXPECT_NE(form.HelpLine.Caption.find("EMassEnhanced.txt could not be found."), std::string::npos);
}

TEST_F(LibraryEdit, WorkListClickWhileIdleDoesNothing) {
  Start();
  ClickWorkList(1);
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(form.WorkList.ListIndex(), 1);
}

TEST_F(LibraryEdit, DeleteAsksThenTakesOnlyThatLineOut) {
  Start("C,12\r\nH,1.5\r\nN,14\r\n");
  const int indexCount = form.IndexCount;
  ClickWorkList(1);
  Delete(kAnswerCancel);
  ASSERT_EQ(host.boxes.size(), 1u);
  EXPECT_EQ(host.boxes[0].text, "Click OK to confirm deletion.");
  EXPECT_EQ(host.boxes[0].title, "ZELM Item Delete");
  EXPECT_EQ(host.boxes[0].buttons, Buttons::OkCancel);
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "C,12\r\nH,1.5\r\nN,14\r\n");
  EXPECT_EQ(form.WorkList.Count(), 3);
  EXPECT_EQ(form.WorkList.ListIndex(), 1);
  EXPECT_EQ(form.Focus, &form.FindMass);

  Delete();
  EXPECT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "C,12\r\nN,14\r\n");
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "N, 14"}));
  EXPECT_EQ(form.WorkList.ListIndex(), 1);
  EXPECT_EQ(form.IndexCount, indexCount);  // rebuilt by the next search run
}

TEST_F(LibraryEdit, DeletingTheOnlyEntryEmptiesTheFile) {
  Start("C,12\r\n");
  ClickWorkList(0);
  Delete();
  EXPECT_TRUE(dir.Exists("EMassQuick.txt"));
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "");
  EXPECT_EQ(form.WorkList.Count(), 0);
  EXPECT_EQ(form.WorkList.ListIndex(), -1);
}

TEST_F(LibraryEdit, DeleteWithNothingHighlightedOnlyMovesTheFocus) {
  Start();
  form.Results.AddItem("a result");
  Delete();
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(form.WorkList.Count(), 2);
  EXPECT_EQ(form.Results.Count(), 1);
  EXPECT_EQ(form.Focus, &form.FindMass);
}

TEST_F(LibraryEdit, DeleteRemovesAHighlightedResultWithoutAsking) {
  Start();
  form.StoredResults[0] = "2";
  form.StoredResults[1] = "b line";
  form.StoredResults[2] = "a line";
  form.Results.AddItem("b line");
  form.Results.AddItem("a line");
  form.Results.SetListIndex(1);  // "b line": the list is sorted
  Delete();
  EXPECT_TRUE(host.boxes.empty());
  EXPECT_EQ(form.Results.Items(), (Lines{"a line"}));
  EXPECT_EQ(form.StoredResults[0], "2");
  EXPECT_EQ(form.StoredResults[1], "b line");
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(form.Focus, &form.FindMass);
}

TEST_F(LibraryEdit, DeleteKeepsTheLinesTheWorkListDoesNotShow) {
  Start("C,12\r\nbroken line\r\nH,1.5\r\n\r\nX(1),5\r\nY,z\r\nN,14\r\n");
  ASSERT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5", "N, 14"}));
  ClickWorkList(1);
  Delete();
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "C,12\r\nbroken line\r\n\r\nX(1),5\r\nY,z\r\nN,14\r\n");
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "N, 14"}));
}

TEST_F(LibraryEdit, DeleteKeepsTheLinesPastTheRoomOfTheIndex) {
  // With 16 entries per line the index has room for 312 lines; the last two of 314 are not shown.
  std::string file;
  for (int i = 1; i <= 314; ++i) file += 'E' + std::to_string(i) + "," + std::to_string(i) + "\r\n";
  dir.Write("EMassQuick.txt", file);
  dir.Write("ConfFile.txt", "");
  form.FormLoad();
  form.MaxBit = 15;
  form.LoadFile("EMassQuick.txt");
  ASSERT_EQ(form.WorkList.Count(), 312);
  ClickWorkList(0);
  Delete();
  std::string expected;
  for (int i = 2; i <= 314; ++i) expected += 'E' + std::to_string(i) + "," + std::to_string(i) + "\r\n";
  EXPECT_EQ(dir.Read("EMassQuick.txt"), expected);
}

TEST_F(LibraryEdit, DeleteKeepsALineAddedToTheFileSinceItWasLoaded) {
  Start();
  dir.Write("EMassQuick.txt", std::string(kQuick) + "N,14\r\n");
  ClickWorkList(0);
  Delete();
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "H,1.5\r\nN,14\r\n");
}

TEST_F(LibraryEdit, DeleteRefusesWhenTheFileNoLongerMatchesTheWorkList) {
  Start();
  const std::string changed = "C,12\r\nO,16\r\n";
  dir.Write("EMassQuick.txt", changed);
  ClickWorkList(0);
  Delete();
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[1].text,
            "Nothing was deleted: EMassQuick.txt was changed since the work list was loaded from it. The work list "
            "now shows EMassQuick.txt as it is.");
  EXPECT_EQ(host.boxes[1].title, "ZELM Item Delete");
  EXPECT_EQ(host.boxes[1].buttons, Buttons::Ok);
  EXPECT_EQ(dir.Read("EMassQuick.txt"), changed);
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "O, 16"}));

  // A file that lost lines does not match either.
  dir.Write("EMassQuick.txt", "C,12\r\n");
  ClickWorkList(1);
  Delete();
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "C,12\r\n");
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12"}));

  // Nor does a file that is gone.
  std::filesystem::remove(dir.File("EMassQuick.txt"));
  ClickWorkList(0);
  Delete();
  EXPECT_NE(host.boxes.back().text.find("EMassQuick.txt could not be found."), std::string::npos);
  EXPECT_FALSE(dir.Exists("EMassQuick.txt"));
  EXPECT_EQ(form.WorkList.Count(), 0);
}

TEST_F(LibraryEdit, DeleteThatCannotWriteSaysSoAndKeepsFileAndList) {
  Start();
  BlockWrites("EMassQuick.txt");
  ClickWorkList(0);
  Delete();
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[1].title, "ZELM Item Delete");
  EXPECT_EQ(host.boxes[1].text.rfind("Nothing was deleted: EMassQuick.txt could not be written", 0), 0u)
      << host.boxes[1].text;
  EXPECT_NE(host.boxes[1].text.find("EMassQuick.txt was left as it was."), std::string::npos);
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5"}));
  EXPECT_EQ(form.WorkList.ListIndex(), 0);
}

TEST_F(LibraryEdit, LibrarySwitchAlternatesWithoutSortOrFocusChange) {
  Start();
  host.repaints.clear();
  form.WorkListBtn_Click();
  EXPECT_EQ(form.WorkListBtn.Caption, "Basic");
  EXPECT_EQ(form.WorkList.Items(), (Lines{"Na, 22.98977", "K, 38.96371"}));
  EXPECT_EQ(form.IndexCount, 8);
  EXPECT_EQ(IndexMasses().front(), 22.98977);  // in load order: not sorted
  EXPECT_FALSE(IndexSorted());
  EXPECT_EQ(form.Focus, &form.Range);

  form.WorkListBtn_Click();
  EXPECT_EQ(form.WorkListBtn.Caption, "Quick");
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5"}));
  EXPECT_FALSE(IndexSorted());
  EXPECT_EQ(host.repaints, (Lines{" Now loading complete emass file and creating index.",
                                  " Now loading complete emass file and creating index."}));
  EXPECT_EQ(form.Focus, &form.Range);
}


// ---- What a change of the library leaves on disk ----

std::filesystem::perms Mode(const std::string& path) {
  return std::filesystem::status(path).permissions() & std::filesystem::perms::mask;
}
void SetMode(const std::string& path, std::filesystem::perms mode) {
  std::filesystem::permissions(path, mode, std::filesystem::perm_options::replace);
}
constexpr auto kReadOnly = std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                           std::filesystem::perms::others_read;
constexpr auto kOwnerGroup = std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                             std::filesystem::perms::group_read;

// Labels that need quotes in the file (a comma, leading blanks), numbers of more digits than the program writes, a
// blank before the comma, a lone LF and a last line without its line end.
const char kOddLines[] =
    "\"Na,Cl\", 57.958622\r\n"
    "C,12.0000000000000001\r\n"
    "\"  Sp\", 7\r\n"
    "H , 1.007825031898\n"
    "N,14.003074";

TEST_F(LibraryEdit, DeleteLeavesEveryOtherLineByteForByte) {
  Start(kOddLines);
  ASSERT_EQ(form.WorkList.Items(), (Lines{"Na,Cl, 57.958622", "C, 12", "  Sp, 7", "H, 1.007825031898", "N, 14.003074"}));
  ClickWorkList(1);
  Delete();
  EXPECT_EQ(dir.Read("EMassQuick.txt"),
            "\"Na,Cl\", 57.958622\r\n\"  Sp\", 7\r\nH , 1.007825031898\nN,14.003074");
  EXPECT_EQ(form.WorkList.Items(), (Lines{"Na,Cl, 57.958622", "  Sp, 7", "H, 1.007825031898", "N, 14.003074"}));
  // The last line goes with the line end before it, so no empty line is left.
  ClickWorkList(3);
  Delete();
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "\"Na,Cl\", 57.958622\r\n\"  Sp\", 7\r\nH , 1.007825031898\n");
  form.ReloadCurrentLibrary();
  EXPECT_EQ(form.WorkList.Items(), (Lines{"Na,Cl, 57.958622", "  Sp, 7", "H, 1.007825031898"}));
}

TEST_F(LibraryEdit, AddAndCopyOnlyAppend) {
  Start(kOddLines);
  AddWith("O, 15.99491461957");
  EXPECT_EQ(dir.Read("EMassQuick.txt"), std::string(kOddLines) + "\r\nO, 15.99491461957\r\n");
  dir.Write("EMassEnhanced.txt", "\"Na,Cl\", 57.958622\r\n\"  Sp \",7\r\nX, 1.7976931348623157e308\r\n");
  const std::string before = dir.Read("EMassQuick.txt");
  // A label that needs quotes is copied with them, so that it loads back as the same label.
  for (int item : {0, 1, 2}) {
    form.Load_Click();
    ClickWorkList(item);
  }
  EXPECT_EQ(dir.Read("EMassQuick.txt"),
            before + "\"Na,Cl\", 57.958622\r\n\"  Sp \", 7\r\nX, 1.79769313486231E+308\r\n");
  ASSERT_EQ(form.WorkList.Count(), 9);
  EXPECT_EQ(form.WorkList.Item(6), "Na,Cl, 57.958622");
  EXPECT_EQ(form.WorkList.Item(7), "  Sp , 7");
  EXPECT_EQ(form.WorkList.Item(8), "X, 1.79769313486231E+308");
  EXPECT_TRUE(form.LoadProblem.empty()) << form.LoadProblem;
  EXPECT_TRUE(host.boxes.size() == 1) << host.boxes.back().text;
}

TEST_F(LibraryEdit, AReadOnlyLibraryIsNeverChanged) {
  Start();
  const std::string path = dir.File("EMassQuick.txt");
  SetMode(path, kReadOnly);
  AddWith("N, 14");
  ASSERT_EQ(host.boxes.size(), 2u);
  EXPECT_EQ(host.boxes[1].title, "ZELM Item Add");
  EXPECT_NE(host.boxes[1].text.find("EMassQuick.txt is read-only"), std::string::npos) << host.boxes[1].text;
  ClickWorkList(0);
  Delete();
  ASSERT_EQ(host.boxes.size(), 4u);
  EXPECT_EQ(host.boxes[3].title, "ZELM Item Delete");
  EXPECT_NE(host.boxes[3].text.find("EMassQuick.txt is read-only"), std::string::npos) << host.boxes[3].text;
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5"}));
  form.Load_Click();
  ClickWorkList(0);
  ASSERT_EQ(host.boxes.size(), 5u);
  EXPECT_NE(host.boxes[4].text.find("EMassQuick.txt is read-only"), std::string::npos) << host.boxes[4].text;
  EXPECT_EQ(dir.Read("EMassQuick.txt"), kQuick);
  EXPECT_EQ(Mode(path), kReadOnly);
  EXPECT_EQ(form.WorkList.Items(), (Lines{"C, 12", "H, 1.5"}));
}

TEST_F(LibraryEdit, ARewrittenLibraryKeepsItsMode) {
  Start("C,12\r\nH,1.5\r\nN,14\r\n");
  const std::string path = dir.File("EMassQuick.txt");
  SetMode(path, kOwnerGroup);
  AddWith("O, 16");
  EXPECT_EQ(Mode(path), kOwnerGroup);
  ClickWorkList(0);
  Delete();
  EXPECT_EQ(dir.Read("EMassQuick.txt"), "H,1.5\r\nN,14\r\nO, 16\r\n");
  EXPECT_EQ(Mode(path), kOwnerGroup);
}

TEST_F(LibraryEdit, LeftOverTemporaryFilesGoAtTheNextWrite) {
  Start();
  // What a write cut short leaves: this program's temporary file, and the kind earlier versions named by process.
  dir.Write("EMassQuick.txt.zelm-tmp", std::string(100000, 'x'));
  dir.Write("EMassQuick.txt.tmp19191", "C, 12\r\nH,");
  dir.Write("EMassBasic.txt.zelm-tmp", "other library");
  dir.Write("EMassQuick.txt.tmpfile", "not ours");
  AddWith("N, 14");
  EXPECT_EQ(dir.Read("EMassQuick.txt"), std::string(kQuick) + "N, 14\r\n");
  EXPECT_FALSE(dir.Exists("EMassQuick.txt.zelm-tmp"));
  EXPECT_FALSE(dir.Exists("EMassQuick.txt.tmp19191"));
  EXPECT_TRUE(dir.Exists("EMassBasic.txt.zelm-tmp"));  // another library's: left until that one is written
  EXPECT_TRUE(dir.Exists("EMassQuick.txt.tmpfile"));
  std::vector<std::string> names;
  for (const auto& e : std::filesystem::directory_iterator(dir.Path())) names.push_back(e.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (Lines{"ConfFile.txt", "EMassBasic.txt", "EMassBasic.txt.zelm-tmp", "EMassEnhanced.txt",
                          "EMassQuick.txt", "EMassQuick.txt.tmpfile", "M-Adjstr.txt", "isotopes.txt"}));
}

}  // namespace
}  // namespace zelm
