// Library editing: Add, Copy from the enhanced library, Delete, and the switch between the quick and basic libraries.
// Every change is written to the current library's file at once, through a temporary file renamed over the old one.
#include <optional>

#include "core/form1.h"
#include "text/text.h"
#include "text/data_files.h"
#include "text/textfile.h"

namespace zelm {

namespace {

constexpr char kCopyMode[] = "COPYMODE";
constexpr char kEnhancedFile[] = "EMassEnhanced.txt";
constexpr char kNoEntry[] = "No entry was made.";
constexpr char kAddTitle[] = "ZELM Item Add";
constexpr char kCancelTitle[] = "ZELM Cancel";
constexpr char kDeleteTitle[] = "ZELM Item Delete";

// Why an entry that holds a comma would not load back as typed (the loader would skip or misread it); empty when it
// would.
std::string EntryFault(const std::string& entry) {
  if (entry.find_first_of("\r\n") != std::string::npos) return "An entry is one line: it may not hold a line break.";
  if (entry.find('"') != std::string::npos) return "The label may not hold a double quote.";
  const auto comma = entry.find(',');
  if (entry.find(',', comma + 1) != std::string::npos)
    return "The entry holds more than one comma: only the comma between the label and the mass may be there.";
  const std::string_view label = Trim(std::string_view(entry).substr(0, comma));
  if (label.empty()) return "The label before the comma is empty.";
  if (label.find_first_of("()") != std::string_view::npos) return "The label may not hold a parenthesis.";
  if (!IsNumberText(std::string_view(entry).substr(comma + 1))) return "The mass after the comma is not a number.";
  return {};
}

// Whether a library line loads back as the work-list line it was made from.
bool LoadsBackAs(const std::string& line, const std::string& workListLine) {
  const auto fields = SplitFields(line);
  return LibraryLineFault(fields, line).empty() && WorkListLine(fields[0], LeadingNumber(fields[1])) == workListLine;
}

// The bytes of the library file at path without the line behind work-list item `removed` (and its line end); every
// other byte stays as it is. The work list shows the file's entries in order, so its items are matched with them one
// by one; when they do not match (the file was changed since it was loaded) the answer is empty and *why says so.
std::optional<std::string> BytesWithout(const ListBox& list, int removed, const std::string& path, std::string* why) {
  const LibraryData file = ReadLibrary(path);
  if (!file.read) {
    *why = file.problems.front().reason;
    return std::nullopt;
  }
  const std::string changed = BaseName(path) + " was changed since the work list was loaded from it.";
  const int shown = list.Count();
  if (static_cast<int>(file.entries.size()) < shown || removed < 0 || removed >= shown) {
    *why = changed;
    return std::nullopt;
  }
  for (int i = 0; i < shown; ++i) {
    const LibraryEntry& entry = file.entries[static_cast<size_t>(i)];
    if (WorkListLine(entry.label, entry.mass) != list.Item(i)) {
      *why = changed;
      return std::nullopt;
    }
  }
  const LibraryEntry& cut = file.entries[static_cast<size_t>(removed)];
  return file.bytes.substr(0, cut.start) + file.bytes.substr(cut.end);
}

}  // namespace

std::string Form1::CurrentLibraryFile() const { return "EMass" + WorkListBtn.Caption + ".txt"; }

void Form1::ReloadCurrentLibrary() {
  LoadFile(CurrentLibraryFile());
  Sort();
}

void Form1::Add_Click() {
  std::string entry;
  int answer = 0;
  // An entry handed over by a click in copy mode (or copy mode itself, when Add is clicked while it is armed).
  const bool handedOver = !PendingEntry.empty();
  if (handedOver) {
    entry = PendingEntry;
    answer = kAnswerOk;
    PendingEntry = "";
  } else {
    const std::string library = UpperCase(WorkListBtn.Caption);
    const std::string text =
        "The name of the label and the mass separated by a comma. i.e.,:   C, 12     should be in the Search Mass "
        "box.  "
        "Enter Superscript or subscript numbers by holding the Alt or Control key and type in the number. "
        "This entry will go in the file EMASS" +
        library + ".TXT  " + "You may also edit EMASS" + library +
        ".TXT with Wordpad using the Font: Chemistry Serif. " + "Click OK to enter or click cancel.";
    answer = host.MessageBox(text, kAddTitle, Buttons::OkCancel);
    entry = FindMass.Text;
  }

  bool written = false;
  if (answer == kAnswerOk && !entry.empty() && entry.find(',') != std::string::npos) {
    // A work-list line handed over by copy mode is written as the library line it came from; a typed entry as typed.
    std::string fault;
    if (handedOver) {
      const std::string line = LibraryLineOf(entry);
      if (!LoadsBackAs(line, entry)) fault = "This entry cannot be written so that it loads back as it is shown.";
      entry = line;
    } else {
      fault = EntryFault(entry);
    }
    if (!fault.empty()) {
      host.MessageBox(std::string(kNoEntry) + " " + fault + " Type the label and the mass separated by a comma, " +
                          "i.e.,:   C, 12",
                      kCancelTitle, Buttons::Ok);
    } else {
      const std::string file = CurrentLibraryFile();
      const std::string error = AppendLineAtomic(DataPath(file), entry);
      if (!error.empty()) {
        host.MessageBox(std::string(kNoEntry) + " " + error + " " + file + " was left as it was.", kAddTitle,
                        Buttons::Ok);
      } else {
        LoadFile(file);
        Sort();
        written = true;
      }
    }
  } else {
    host.MessageBox(kNoEntry, kCancelTitle, Buttons::Ok);
  }
  // Copy mode ended without a copy: the work list may still show the enhanced library, and Delete writes the current
  // library from the work list, so the current library is shown again.
  if (handedOver && !written) ReloadCurrentLibrary();
  SetFocus(FindMass);
}

void Form1::Load_Click() {
  LoadFile(kEnhancedFile);
  Sort();
  std::string help = "Click item to copy it to current search database.";
  if (!LoadProblem.empty()) help += " " + LoadProblem;
  SetHelp(help);
  // The highlight is cleared before copy mode is armed, so that this change copies nothing.
  if (WorkList.SetListIndex(-1)) WorkList_Click();
  PendingEntry = kCopyMode;
  SetFocus(FindMass);
}

void Form1::WorkList_Click() {
  if (PendingEntry != kCopyMode) return;
  // A change that leaves nothing highlighted has nothing to copy: copy mode stays armed.
  if (WorkList.ListIndex() < 0) return;
  PendingEntry = WorkList.SelectedText();
  Add_Click();
  PendingEntry = "";
}

void Form1::Cut_Click() {
  if (WorkList.ListIndex() >= 0) {
    const int answer = host.MessageBox("Click OK to confirm deletion.", kDeleteTitle, Buttons::OkCancel);
    const int index = WorkList.ListIndex();
    if (answer == kAnswerOk && index >= 0) {
      const std::string file = CurrentLibraryFile();
      std::string why;
      auto bytes = BytesWithout(WorkList, index, DataPath(file), &why);
      if (!bytes) {
        host.MessageBox("Nothing was deleted: " + why + " The work list now shows " + file + " as it is.",
                        kDeleteTitle, Buttons::Ok);
        ReloadCurrentLibrary();
      } else if (std::string error = WriteFileAtomic(DataPath(file), *bytes); !error.empty()) {
        host.MessageBox("Nothing was deleted: " + error + " " + file + " was left as it was.", kDeleteTitle,
                        Buttons::Ok);
      } else {
        WorkList.RemoveItem(index);
        // Each remaining item is highlighted in turn, as it is written; the last one stays highlighted.
        for (int i = 0; i < WorkList.Count(); ++i)
          if (WorkList.SetListIndex(i)) WorkList_Click();
      }
    }
  } else if (Results.ListIndex() >= 0) {
    // A results line is taken off the list only; the stored results keep it.
    Results.RemoveItem(Results.ListIndex());
  }
  SetFocus(FindMass);
}

void Form1::WorkListBtn_Click() {
  if (WorkListBtn.Caption == "Quick") {
    WorkListBtn.SetCaption("Basic");
    LoadFile("EMassBasic.txt");
  } else {
    WorkListBtn.SetCaption("Quick");
    LoadFile("EMassQuick.txt");
  }
}

}  // namespace zelm
