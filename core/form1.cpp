#include "core/form1.h"

#include "text/text.h"

namespace zelm {

Form1::Form1(Host& h) : host(h) {
  Caption = "ZELM: Zelmara            Formulas from exact masses";
  MassAdjustment.Caption = "No Mass Adjustment";
  ExpandY.Caption = "Click here to Expand/Contract Yaxis";
  Report.Caption = "Copy Results";
  Expand.Caption = "Click here to  Expand/Contract   X axis ";
  GraphClose.Caption = "Close Graph";
  ReportBox.Visible = false;
  PasteFromClipboard.Caption = "Paste from Clipboard";
  Exit.Caption = "Exit";
  Load.Caption = "Copy";
  Cut.Caption = "Delete";
  Stop.Caption = "Stop";
  Add.Caption = "Add";
  PlusMinusX.Caption = "+/- Mass";
  MaxMassN.Caption = "15";
  QuickSearch.Caption = "Search";
  Confidence.Caption = "Existence Confidence=100%";
  Confidence.Enabled = false;
  Teach.Caption = "Teach";
  Teach.Enabled = false;
  Help.Caption = "Help Reference + Tutorial";
  Option0.Value = true;
  Label2.Caption = "+     Charge       -";
  Range.Text = "1";
  FindMass.Text = "120";
  WorkListBtn.Caption = "Library: Quick";
  CopyAll.Caption = "Copy Results";
  HelpLine.Caption = " Helpline:";
  Label3.Caption = "Range (PPM):";
}

std::vector<Control*> Form1::Controls() {
  return {&MassAdjustment, &ExpandY,   &Report,     &Expand,  &GraphClose, &Graph,      &ReportBox,
          &PasteFromClipboard, &Exit,  &Load,       &Cut,     &Stop,       &Add,        &PlusMinusX,
          &MaxMassN,       &QuickSearch, &Confidence, &Teach,  &Help,       &Frame1,     &Option0,
          &OptionPlus,     &OptionMinus, &Label2,   &Results, &Range,      &WorkList,   &FindMass,
          &WorkListBtn,    &CopyAll,   &Bar,        &HelpLine, &Label3};
}

void Form1::SetHeight(int twips) {
  WindowHeight = twips;
  ++WindowChanges;
}

void Form1::SetFocus(Control& control) {
  Focus = &control;
  ++WindowChanges;
}

void Form1::SetHelp(const std::string& text, bool repaintNow) {
  HelpLine.SetCaption(text);
  if (repaintNow) host.RepaintNow(HelpLine);
}

std::string Form1::DataPath(const std::string& name) const {
  std::string dir = host.CurrentDirectory();
  if (dir.empty()) return name;
  return dir.back() == '/' ? dir + name : dir + "/" + name;
}

std::string WorkListLine(const std::string& label, double mass) { return label + "," + NumberText(mass); }

std::string LibraryLineOf(const std::string& workListLine) {
  const auto comma = workListLine.rfind(',');
  if (comma == std::string::npos) return workListLine;
  const std::string label = workListLine.substr(0, comma);
  const bool bare = !label.empty() && label.find(',') == std::string::npos && label.front() != '"' &&
                    label.front() != ' ' && label.front() != '\t' && label.back() != ' ' && label.back() != '\t';
  if (bare) return workListLine;
  return "\"" + label + "\"" + workListLine.substr(comma);
}

std::string IndexLabelText(int n, const std::string& label) {
  std::string digits = CountText(n);
  if (digits.size() < 2) digits = " " + digits;
  return digits + "(" + label + ")";
}

}  // namespace zelm
