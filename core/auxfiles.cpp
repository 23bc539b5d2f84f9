// The isotope table, the mass adjustments and the existence-confidence memory: read only, never written.
#include "core/form1.h"
#include "text/text.h"
#include "text/textfile.h"

namespace zelm {

namespace {

// Collects the lines a loader skipped into one help-line note.
struct SkipNote {
  std::string file;
  int count = 0;
  std::string first;
  std::string extra;

  void Skip(int line, const std::string& why) {
    if (count++ == 0) first = "line " + CountText(line) + " (" + why + ")";
  }
  std::string Text() const {
    std::string t;
    if (count > 0)
      t = file + ": " + CountText(count) + (count == 1 ? " line was" : " lines were") + " not read, first " + first +
          ".";
    if (!extra.empty()) t += (t.empty() ? "" : " ") + extra;
    return t;
  }
};

void AddProblem(std::string& problems, const std::string& text) {
  if (text.empty()) return;
  problems += (problems.empty() ? "" : " ") + text;
}

}  // namespace

void Form1::LoadIsotopeTable() {
  const std::string name = "isotopes.txt";
  SkipNote note{name};
  TextReader file(DataPath(name));
  int n = 0;
  if (!file.Ok()) note.extra = file.Error() + " No isotope lines can be shown.";
  while (file.Ok() && !file.AtEnd()) {
    std::string line = file.ReadLine();
    if (Trim(line).empty()) continue;
    auto fields = SplitFields(line);
    if (fields.size() < 4) {
      note.Skip(file.LineNumber(), "fewer than four fields");
      continue;
    }
    if (!IsNumberText(fields[2]) || !IsNumberText(fields[3])) {
      note.Skip(file.LineNumber(), "a mass or abundance that is not a number");
      continue;
    }
    if (n == kIsotopeLimit) {
      note.extra = name + " line " + CountText(file.LineNumber()) + " and the lines after it were not read: the table " +
                   "holds " + CountText(kIsotopeLimit) + " records.";
      break;
    }
    ++n;
    for (int c = 0; c < 4; ++c) IsotopeTable[n][c] = fields[c];
  }
  IsotopeTable[0][0] = NumberText(n);
  AddProblem(DataProblem, note.Text());
}

void Form1::LoadAdjustments() {
  const std::string name = "M-Adjstr.txt";
  SkipNote note{name};
  AdjustIndex = 0;
  TextReader file(DataPath(name));
  if (!file.Ok()) note.extra = file.Error() + " Only \"No Mass Adjustment\" is offered.";
  while (file.Ok() && !file.AtEnd()) {
    std::string line = file.ReadLine();
    if (Trim(line).empty()) continue;
    auto fields = SplitFields(line);
    if (fields.size() < 2 || !IsNumberText(fields[1])) {
      note.Skip(file.LineNumber(), fields.size() < 2 ? "no comma" : "a mass that is not a number");
      continue;
    }
    if (AdjustIndex == kAdjustLimit) {
      note.extra = name + " line " + CountText(file.LineNumber()) + " and the lines after it were not read: at most " +
                   CountText(kAdjustLimit) + " adjustments are kept.";
      break;
    }
    AdjustName[AdjustIndex] = fields[0];
    AdjustMass[AdjustIndex] = LeadingNumber(fields[1]);
    ++AdjustIndex;
  }
  if (AdjustIndex == 0) {
    // Without any row the button would have nothing to show: offer the one row without adjustment.
    AdjustName[0] = "No Mass Adjustment";
    AdjustMass[0] = 0;
    AdjustIndex = 1;
  }
  AdjustLast = static_cast<int16_t>(AdjustIndex - 1);
  AdjustIndex = 0;
  AddProblem(DataProblem, note.Text());
}

void Form1::LoadConfidence() {
  const std::string name = "ConfFile.txt";
  SkipNote note{name};
  int n = 0;
  // A missing confidence file reads as empty: no compound is rated.
  if (FileExists(DataPath(name))) {
    TextReader file(DataPath(name));
    if (!file.Ok()) note.extra = file.Error() + " No compound is rated.";
    while (file.Ok() && !file.AtEnd()) {
      std::string line = file.ReadLine();
      if (Trim(line).empty()) continue;
      for (const std::string& field : SplitFields(line)) {
        auto percent = field.find('%');
        if (percent == std::string::npos) {
          note.Skip(file.LineNumber(), "no \"%\"");
          continue;
        }
        if (n == kConfidenceLimit) {
          note.extra = name + " line " + CountText(file.LineNumber()) +
                       " and the lines after it were not read: at most " + CountText(kConfidenceLimit) +
                       " ratings are kept.";
          break;
        }
        ++n;
        ConfidenceTable[n].Percent = field.substr(0, percent);
        ConfidenceTable[n].Key = field.substr(percent + 1, 40);
      }
      if (n == kConfidenceLimit && !note.extra.empty()) break;
    }
  }
  ConfidenceTable[0].Percent = CountText(n);
  AddProblem(DataProblem, note.Text());
}

}  // namespace zelm
