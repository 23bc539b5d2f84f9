// The results export: every listed result to the clipboard, then printed on request.
#include "core/form1.h"

namespace zelm {

namespace {

constexpr char kCopied[] = "Results have been copied to the clipboard.";
constexpr char kPrintQuestion[] = "Would you also like to print these results?";
constexpr char kPrintTitle[] = "Zelmara";
constexpr char kPrintFailedTitle[] = "ZELM Print";

}  // namespace

void Form1::CopyAll_Click() {
  const int count = Results.Count();
  if (count > 0) {
    // The list as shown (after the confidence filter), each line ended by CR LF, the last one included.
    std::string text;
    for (const std::string& line : Results.Items()) {
      text += line;
      text += "\r\n";
    }
    // The copy walks the highlight down the list and leaves it on the last line. Only the highlight moves: the
    // selection handler is not run, so the selected result and the plot stay as they were.
    Results.SetListIndex(count - 1);

    host.SetClipboardText(text);
    SetHelp(kCopied);
    if (host.MessageBox(kPrintQuestion, kPrintTitle, Buttons::YesNo, true) == kAnswerYes) {
      const std::string problem = host.PrintText(text);
      if (!problem.empty())
        host.MessageBox("The results could not be printed. " + problem +
                            " They are still on the clipboard.",
                        kPrintFailedTitle, Buttons::Ok);
    }
  }
  SetFocus(FindMass);
}

}  // namespace zelm
