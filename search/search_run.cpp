// The search run: every comma-separated mass of the mass box searched in turn, the lines of all of them stored,
// listed through the confidence filter, and each listed line selected so that its fragments are named and it is drawn.
#include <algorithm>
#include <cmath>

#include "core/form1.h"
#include "core/text.h"

namespace zelm {

namespace {

// The largest value the plotted mass range can reach.
constexpr double kXAxisLimit = 32767;

}  // namespace

void Form1::QuickSearch_Click() {
  if (WorkListBtn.Caption == "Quick") LoadFile("EMassQuick.txt");
  else if (WorkListBtn.Caption == "Basic") LoadFile("EMassBasic.txt");
  Sort();
  StoredResults[0] = "0";
  SetHeight(kHeightSearching);

  long long notStored = 0;
  auto processPiece = [&](const std::string& piece) {
    SearchMass = LeadingNumber(piece);
    if (XAxisEnd < SearchMass) {
      // The next multiple of 10 above the mass, as far as the plot's range goes; a mass beyond it is still searched.
      double widened = std::floor((SearchMass + 10) / 10) * 10;
      XAxisEnd = static_cast<int16_t>(std::min(widened, kXAxisLimit));
    }
    Search(SearchMass);
    // The stored count is read afresh: a run started during a yield of the search may have changed it.
    const int stored = std::clamp(static_cast<int>(LeadingNumber(StoredResults[0])), 0, kStoredLimit);
    const int lines = Results.Count();
    const int room = kStoredLimit - stored;
    const int kept = std::min(lines, room);
    for (int j = 1; j <= kept; ++j) StoredResults[stored + j] = Results.Item(j - 1);
    notStored += lines - kept;
    StoredResults[0] = CountText(stored + kept);
  };

  // The box is read character by character as the run reaches it; its length is taken once.
  const size_t length = FindMass.Text.size();
  std::string piece;
  for (size_t i = 0; i < length; ++i) {
    if (i >= FindMass.Text.size()) break;  // the box was shortened during a search
    const char c = FindMass.Text[i];
    if (c == ',') {
      processPiece(piece);
      piece.clear();
    } else {
      piece += c;
    }
  }
  processPiece(piece);

  ShowResults();

  const int listed = Results.Count();
  for (int i = 0; i < listed; ++i) {
    Results.SetListIndex(i);
    Results_MouseUp(0, 0, 0, 0);
  }
  if (Results.Count() == 0) SetHelp("No match found.");
  Results_MouseUp(0, 0, 0, 0);
  if (notStored > 0)
    SetHelp(HelpLine.Caption + " Only the first " + CountText(kStoredLimit) + " result lines were stored; " +
            CountText(notStored) + " more were not.");
  SetFocus(FindMass);
}

}  // namespace zelm
