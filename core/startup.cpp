// Start-up, activation and exit of the main window.
#include "text/defaults.h"
#include "core/form1.h"
#include "text/text.h"

namespace zelm {

namespace {

const char kStartText[] = "Help Line: Enter a Search Mass and click on Search. Click Help for more information.";

std::string JoinNames(const std::vector<std::string>& names) {
  std::string out;
  for (size_t i = 0; i < names.size(); ++i) out += (i == 0 ? "" : ", ") + names[i];
  return out;
}

}  // namespace

void Form1::FormLoad() {
  // Data files missing from the working directory are written from the built-in defaults, never over existing ones.
  std::string problems;
  CreatedFiles = WriteMissingDefaults(host.CurrentDirectory(), &problems);

  WorkListBtn.SetCaption("Quick");
  MaxBit = 3;
  host.SetPrinterFont("Chemistry Serif", 16);
  ConfidenceThreshold = 100;
  StoredResults[0] = '0';
  ConfidenceTable[0].Percent = '0';
  DataProblem.clear();
  LoadConfidence();
  LoadFile("EMassQuick.txt");
  Sort();

  std::string help = kStartText;
  if (!CreatedFiles.empty())
    help += " Created from the built-in data: " + JoinNames(CreatedFiles) + ".";
  if (!problems.empty()) help += " " + problems;
  if (!LoadProblem.empty()) help += " " + LoadProblem;
  if (!DataProblem.empty()) help += " " + DataProblem;
  SetHelp(help);
  SetFocus(FindMass);
}

void Form1::FormActivate() {
  SetHeight(kHeightCompact);
  Bar.SetWidth(0);
  XAxisStart = 0;
  XAxisEnd = 200;
  YAxisTop = "100";
  std::string before = DataProblem;
  DataProblem.clear();
  LoadIsotopeTable();
  LoadAdjustments();
  // The first row is in force again: the button names it, so that it never shows a row that is not in force.
  MassAdjustment.SetCaption(AdjustName[0]);
  // A problem with the isotope table or the adjustments is told on the help line, once per change of the files.
  if (!DataProblem.empty() && DataProblem != before &&
      HelpLine.Caption.find(DataProblem) == std::string::npos)
    SetHelp(HelpLine.Caption + " " + DataProblem);
}

void Form1::Exit_Click() { host.End(); }

}  // namespace zelm
