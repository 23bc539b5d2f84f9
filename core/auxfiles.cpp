// The isotope table, the mass adjustments and the existence-confidence memory: read only, never written.
#include <climits>

#include "core/form1.h"
#include "text/data_files.h"
#include "text/text.h"

namespace zelm {

namespace {

void AddProblem(std::string& problems, const std::string& text) {
  if (text.empty()) return;
  problems += (problems.empty() ? "" : " ") + text;
}

// The note on a data file: its unused lines before `before`, then what else is to be said.
std::string Note(const std::vector<FileProblem>& problems, int before, const std::string& extra) {
  std::string t = ProblemsNote(problems, before, "read");
  if (!extra.empty()) t += (t.empty() ? "" : " ") + extra;
  return t;
}

}  // namespace

void Form1::LoadIsotopeTable() {
  const std::string name = "isotopes.txt";
  const IsotopeData file = ReadIsotopes(DataPath(name));
  std::string extra;
  if (!file.read) extra = file.problems.front().reason + " No isotope lines can be shown.";
  int n = 0, stopLine = INT_MAX;
  for (const IsotopeRecord& record : file.records) {
    if (n == kIsotopeLimit) {
      stopLine = record.line;
      extra = name + " line " + CountText(record.line) + " and the lines after it were not read: the table holds " +
              CountText(kIsotopeLimit) + " records.";
      break;
    }
    ++n;
    IsotopeTable[n] = record.fields;
  }
  IsotopeTable[0][0] = NumberText(n);
  AddProblem(DataProblem, Note(file.problems, stopLine, extra));
}

void Form1::LoadAdjustments() {
  const std::string name = "M-Adjstr.txt";
  const AdjustmentData file = ReadAdjustments(DataPath(name));
  std::string extra;
  if (!file.read) extra = file.problems.front().reason + " Only \"No Mass Adjustment\" is offered.";
  AdjustIndex = 0;
  int stopLine = INT_MAX;
  for (const AdjustmentRow& row : file.rows) {
    if (AdjustIndex == kAdjustLimit) {
      stopLine = row.line;
      extra = name + " line " + CountText(row.line) + " and the lines after it were not read: at most " +
              CountText(kAdjustLimit) + " adjustments are kept.";
      break;
    }
    AdjustName[AdjustIndex] = row.name;
    AdjustMass[AdjustIndex] = row.mass;
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
  AddProblem(DataProblem, Note(file.problems, stopLine, extra));
}

void Form1::LoadConfidence() {
  const std::string name = "ConfFile.txt";
  // A missing confidence file reads as empty: no compound is rated.
  const RatingData file = ReadRatings(DataPath(name));
  std::string extra;
  if (!file.read) extra = file.problems.front().reason + " No compound is rated.";
  int n = 0, stopLine = INT_MAX;
  for (const RatingEntry& rating : file.ratings) {
    if (n == kConfidenceLimit) {
      stopLine = rating.line;
      extra = name + " line " + CountText(rating.line) + " and the lines after it were not read: at most " +
              CountText(kConfidenceLimit) + " ratings are kept.";
      break;
    }
    ++n;
    ConfidenceTable[n].Percent = rating.percent;
    ConfidenceTable[n].Key = rating.key;
  }
  ConfidenceTable[0].Percent = CountText(n);
  AddProblem(DataProblem, Note(file.problems, stopLine, extra));
}

}  // namespace zelm
