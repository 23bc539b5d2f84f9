// Library files: the work list and the search index built from them.
#include <climits>
#include <utility>

#include "core/form1.h"
#include "text/text.h"
#include "text/data_files.h"

namespace zelm {

std::string ProblemsNote(const std::vector<FileProblem>& problems, int before, const char* what) {
  int count = 0;
  const FileProblem* first = nullptr;
  for (const FileProblem& p : problems) {
    if (p.line <= 0 || p.line >= before) continue;
    if (count++ == 0) first = &p;
  }
  if (count == 0) return {};
  return first->file + ": " + CountText(count) + (count == 1 ? " line was" : " lines were") + " not " + what +
         ", first line " + CountText(first->line) + " (" + first->reason + ").";
}

void Form1::LoadFile(const std::string& FileName) {
  SetHelp(" Now loading complete emass file and creating index.", true);
  WorkList.Clear();
  LoadProblem.clear();
  int count = 0;
  const int perLine = MaxBit + 1;

  const LibraryData file = ReadLibrary(DataPath(FileName));
  if (!file.read) LoadProblem = file.problems.front().reason + " The work list is empty.";
  int stopLine = INT_MAX;
  for (const LibraryEntry& entry : file.entries) {
    if (count + perLine > kIndexLimit) {
      // The index has room for 5000 entries: this line and the rest of the file are not loaded.
      stopLine = entry.line;
      LoadProblem = FileName + " line " + CountText(entry.line) +
                    " and the lines after it were not loaded: the search index holds " + CountText(kIndexLimit) +
                    " entries.";
      break;
    }
    WorkList.AddItem(WorkListLine(entry.label, entry.mass));
    double multiple = entry.mass;
    for (int n = 0; n <= MaxBit; ++n) {
      ++count;
      IndexLabel[count] = IndexLabelText(n, entry.label);
      IndexMass[count] = multiple;
      multiple *= 2;
    }
  }
  if (std::string skip = ProblemsNote(file.problems, stopLine, "loaded"); !skip.empty())
    LoadProblem = LoadProblem.empty() ? skip : skip + " " + LoadProblem;
  IndexCount = static_cast<int16_t>(count);
  host.RepaintNow(WorkList);
  if (!LoadProblem.empty()) SetHelp(" Now loading complete emass file and creating index. " + LoadProblem, true);
}

void Form1::Sort() {
  SetHelp(" Now sorting index.", true);
  const int n = IndexCount;
  for (int i = 1; i <= n - 1; ++i) {
    for (int j = i + 1; j <= n; ++j) {
      if (IndexMass[i] > IndexMass[j]) {
        std::swap(IndexMass[i], IndexMass[j]);
        std::swap(IndexLabel[i], IndexLabel[j]);
      }
    }
  }
  SetHelp(LoadProblem.empty() ? " Sort completed." : " Sort completed. " + LoadProblem, true);
}

}  // namespace zelm
