// The peak report: what the plot shows, as text in the report list over the plot and on the clipboard.
#include <cmath>

#include "core/result_line.h"
#include "core/form1.h"
#include "text/text.h"

namespace zelm {

namespace {

constexpr char kReportDone[] = "Report has been copied to the clipboard. Click Close Graph to close box.";
constexpr char kNoResult[] = "No result is selected: click a result in the results list, then Copy Results again.";

}  // namespace

void Form1::Report_Click() {
  // The report needs the compound mass after the formula; without a result line there is nothing to report.
  if (MassTextStart(SelectedResult) >= SelectedResult.size()) {
    SetHelp(kNoResult);
    return;
  }

  std::string text;  // the clipboard text: every line followed by a carriage return alone
  auto add = [&](std::string line) {
    text += line;
    text += '\r';
    ReportBox.AddItem(std::move(line));
  };

  ReportBox.Clear();
  ReportBox.SetVisible(true);
  add(SelectedResult);

  const double lines = IsotopeLines[0][0];
  const int count = lines <= 0 ? 0 : lines >= kIsotopeLineLimit ? kIsotopeLineLimit : static_cast<int>(lines);
  for (int i = 1; i <= count; ++i) {
    // The mass rounded half up to 6 places; the height cut down (not rounded) to 2 places.
    const double mass = std::floor(IsotopeLines[i][0] * 1000000 + 0.5) / 1000000;
    const double height = std::floor(100 * IsotopeLines[i][1]) / 100;
    add("  Isotope line:" + NumberText(mass) + " at " + NumberText(height) + "%");
  }

  const double compound = ResultMass(SelectedResult);
  for (size_t k = 0; k < FragmentList.size(); k += 4) {
    const double position = LeadingNumber(std::string_view(FragmentList).substr(k, 4));
    if (position < 1 || position > kStoredLimit) continue;
    const std::string& fragment = StoredResults[static_cast<size_t>(position)];
    add("     " + fragment);
    add("          Remaining Fragment:" + NumberText(compound - ResultMass(fragment)));
  }

  host.SetClipboardText(text);
  SetHelp(kReportDone);
}

}  // namespace zelm
