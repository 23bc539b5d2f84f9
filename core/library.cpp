// Library files: the work list and the search index built from them.
#include <utility>

#include "core/form1.h"
#include "text/text.h"
#include "text/textfile.h"

namespace zelm {

std::string LibraryLineFault(const std::vector<std::string>& fields, const std::string& line) {
  if (Trim(line).empty()) return "it is blank";
  if (fields.size() < 2) return "it has no comma";
  if (fields.size() > 2) return "it has more than one comma";
  if (fields[0].empty()) return "its label is empty";
  if (fields[0].find_first_of("()") != std::string::npos) return "its label holds a parenthesis";
  if (!IsNumberText(fields[1])) return "its mass is not a number";
  return {};
}

void Form1::LoadFile(const std::string& FileName) {
  SetHelp(" Now loading complete emass file and creating index.", true);
  WorkList.Clear();
  LoadProblem.clear();
  int count = 0;
  const int perLine = MaxBit + 1;

  TextReader file(DataPath(FileName));
  if (!file.Ok()) LoadProblem = file.Error() + " The work list is empty.";

  int skipped = 0;
  std::string firstSkip;
  while (file.Ok() && !file.AtEnd()) {
    std::string line = file.ReadLine();
    auto fields = SplitFields(line);
    std::string fault = LibraryLineFault(fields, line);
    if (!fault.empty()) {
      if (skipped++ == 0) firstSkip = "line " + CountText(file.LineNumber()) + " (" + fault + ")";
      continue;
    }
    if (count + perLine > kIndexLimit) {
      // The index has room for 5000 entries: this line and the rest of the file are not loaded.
      LoadProblem = FileName + " line " + CountText(file.LineNumber()) +
                    " and the lines after it were not loaded: the search index holds " + CountText(kIndexLimit) +
                    " entries.";
      break;
    }
    const std::string& label = fields[0];
    double mass = LeadingNumber(fields[1]);
    WorkList.AddItem(WorkListLine(label, mass));
    double multiple = mass;
    for (int n = 0; n <= MaxBit; ++n) {
      ++count;
      IndexLabel[count] = IndexLabelText(n, label);
      IndexMass[count] = multiple;
      multiple *= 2;
    }
  }
  if (skipped > 0) {
    std::string skip = FileName + ": " + CountText(skipped) + (skipped == 1 ? " line was" : " lines were") +
                       " not loaded, first " + firstSkip + ".";
    LoadProblem = LoadProblem.empty() ? skip : skip + " " + LoadProblem;
  }
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
