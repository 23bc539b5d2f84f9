// The search run: every comma-separated mass of the mass box searched in turn, the lines of all of them stored,
// listed through the confidence filter, and each listed line selected so that its fragments are named and it is drawn.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <string_view>

#include "core/form1.h"
#include "text/text.h"
#include "engine/walk_steps.h"

namespace zelm {

namespace {

// The largest value the plotted mass range can reach.
constexpr double kXAxisLimit = 32767;

// A piece or range as the help line quotes it: without the blanks around it, and cut when it is long.
std::string Quoted(std::string_view text) {
  text = Trim(text);
  std::string shown(text.substr(0, 24));
  if (text.size() > 24) shown += "...";
  return "(\"" + shown + "\")";
}

}  // namespace

std::string Form1::PieceNote(const std::string& piece, int number, bool listed) const {
  const std::string name = "Piece " + CountText(number);
  const std::string_view text = Trim(piece);
  const size_t read = LeadingNumberLength(text);
  const std::string unused = name + (text.empty() ? "" : ' ' + Quoted(text)) + " ";
  if (text.empty()) return name + " is empty.";
  if (read == 0) return unused + "is not a number.";
  const double mass = LeadingNumber(text);
  const std::string number_text(text.substr(0, read));
  if (mass == 0 && !(std::fabs(std::strtod(number_text.c_str(), nullptr)) <= 0))
    return unused + "is too large a number.";
  if (!listed) {
    if (!(mass > 0)) return unused + "is not above 0.";
    // Nothing can be listed when the window lies beyond every sum of index entries.
    double heaviest = 0, lightest = HUGE_VAL, negatives = 0;
    const int n = std::clamp<int>(IndexCount, 0, kIndexLimit);
    for (int p = 1; p <= n; ++p) {
      const double m = IndexMass[static_cast<size_t>(p)];
      if (m > 0) heaviest += m;
      else negatives += m;
      lightest = std::min(lightest, m);
    }
    if (n == 0) return unused + "finds nothing: the work list is empty.";
    if (negatives < 0) lightest = negatives;
    const SearchWindow window = WindowOf(mass);
    if (window.lower >= heaviest)
      return unused + "is above every mass the work list can form (at most " + NumberTextBare(heaviest) + ").";
    if (window.upper <= lightest)
      return unused + "is below every mass the work list can form (at least " + NumberTextBare(lightest) + ").";
  }
  if (read < text.size()) return name + " " + Quoted(text) + " was read as " + NumberTextBare(mass) + ".";
  return {};
}

void Form1::QuickSearch_Click() {
  if (WorkListBtn.Caption == "Quick") LoadFile("EMassQuick.txt");
  else if (WorkListBtn.Caption == "Basic") LoadFile("EMassBasic.txt");
  Sort();
  StoredResults[0] = '0';
  SetHeight(kHeightSearching);

  long long notStored = 0;
  std::string notes;
  int pieces = 0;
  auto processPiece = [&](const std::string& piece) {
    SearchMass = LeadingNumber(piece);
    if (XAxisEnd < SearchMass) {
      // The next multiple of 10 above the mass, as far as the plot's range goes; a mass beyond it is still searched.
      double widened = std::floor((SearchMass + 10) / 10) * 10;
      XAxisEnd = static_cast<int16_t>(std::min(widened, kXAxisLimit));
    }
    Search(SearchMass);
    if (std::string note = PieceNote(piece, ++pieces, Results.Count() > 0); !note.empty()) notes += " " + note;
    // The stored count is read afresh: a run started during a yield of the search may have changed it.
    const int stored = std::clamp(static_cast<int>(LeadingNumber(StoredResults[0])), 0, kStoredLimit);
    const int lines = Results.Count();
    const int room = kStoredLimit - stored;
    const int kept = std::min(lines, room);
    for (int j = 1; j <= kept; ++j) {
      StoredResults[stored + j] = Results.Item(j - 1);
      StoredErrors[stored + j] = Results.ItemData(j - 1);
    }
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

  // The selection pass yields to the window as a search does, whenever a while has passed since the last yield, so
  // that a long pass never freezes it. Stop ends the pass there; the last line is selected as at the pass's end. The
  // list is read afresh after each yield: a handler run there may have changed it.
  const unsigned stopClicks = StopClicks;
  YieldClock clock([this] { return host.Clock(); }, 1, kSearchYieldSeconds);
  const int listed = Results.Count();
  for (int i = 0; i < listed && i < Results.Count(); ++i) {
    Results.SetListIndex(i);
    Results_MouseUp(0, 0, 0, 0);
    if (i + 1 < listed && --clock.Left() <= 0 && clock.Due()) {
      host.Yield();
      clock.Yielded();
      if (StopClicks != stopClicks) {
        Results.SetListIndex(Results.Count() - 1);
        break;
      }
    }
  }
  if (Results.Count() == 0) SetHelp("No match found.");
  Results_MouseUp(0, 0, 0, 0);
  if (notStored > 0)
    SetHelp(HelpLine.Caption + " Only the first " + CountText(kStoredLimit) + " result lines were stored; " +
            CountText(notStored) + " more were not.");
  // What could not be used, and what was read otherwise than typed, after the text of the selected line.
  const std::string_view range = Trim(Range.Text);
  if (!(LeadingNumber(range) > 0))
    notes = " The range " + Quoted(range) + (LeadingNumberLength(range) == 0 ? " is not a number." : " is not above 0.") +
            notes;
  if (!notes.empty()) {
    const std::string& help = HelpLine.Caption;
    SetHelp(help + (!help.empty() && help.back() == ' ' ? notes.substr(1) : notes));
  }
  SetFocus(FindMass);
}

}  // namespace zelm
