// The search parameters of the left column: the mass adjustment, the largest count per element, the mass arithmetic
// with the work list, pasting into the mass box, typing coded digits and Enter in the mass box.
#include <algorithm>

#include "core/form1.h"
#include "text/text.h"

namespace zelm {

namespace {

constexpr int kMaxBitLimit = 15;
constexpr char kNoAdjustment[] = "No Mass Adjustment";

// Key codes of the keys that type a coded character with Alt or Ctrl.
constexpr int kKeyZero = 48;
constexpr int kKeyNine = 57;
constexpr int kKeyColon = 58;
constexpr int kKeyPlus = 187;
constexpr int kKeyMinus = 189;

// The character typed for a key with Alt alone (alt) or Ctrl alone; 0 when the key types none.
int CodedKey(int keyCode, bool alt) {
  if (keyCode >= kKeyZero && keyCode <= kKeyNine) return (alt ? kSuperZero : kSubZero) + (keyCode - kKeyZero);
  switch (keyCode) {
    case kKeyColon: return alt ? 138 : 154;
    case kKeyPlus: return alt ? 138 : 254;
    case kKeyMinus: return alt ? 139 : 253;
    default: return 0;
  }
}

}  // namespace

void Form1::MassAdjustment_MouseUp(int Button, int, float, float) {
  // The rows that can be shown: 0 to AdjustLast, never past the table.
  const int last = std::min<int>(AdjustLast, kAdjustLimit - 1);
  if (last < 0) {
    // No row was read: nothing to step through, and no adjustment is offered.
    AdjustIndex = 0;
    MassAdjustment.SetCaption(kNoAdjustment);
    SetFocus(FindMass);
    return;
  }
  // An index outside the rows (a shorter file read since) is brought back inside before it steps.
  int index = std::clamp<int>(AdjustIndex, 0, last);
  if (Button == kLeftButton) index = index + 1 > last ? 0 : index + 1;
  else if (Button == kRightButton) index = index - 1 < 0 ? last : index - 1;
  AdjustIndex = static_cast<int16_t>(index);
  MassAdjustment.SetCaption(AdjustName[AdjustIndex]);
  SetFocus(FindMass);
}

void Form1::MaxMassN_MouseUp(int Button, int, float, float) {
  if (Button == kLeftButton) MaxBit = static_cast<int16_t>(std::min(MaxBit + 1, kMaxBitLimit));
  else if (Button == kRightButton) MaxBit = static_cast<int16_t>(std::max(MaxBit - 1, 0));
  // The largest count of one entry: 2^(MaxBit+1) - 1. The index follows at the next search run.
  MaxMassN.SetCaption(NumberText(static_cast<double>((1L << (MaxBit + 1)) - 1)));
  SetFocus(FindMass);
}

void Form1::PlusMinusX_MouseUp(int Button, int, float, float) {
  const std::string line = WorkList.SelectedText();
  // The mass follows the line's last comma: a label may hold commas of its own, the number text none.
  const auto comma = line.rfind(',');
  if (WorkList.ListIndex() >= 0 && comma != std::string::npos) {
    const double m = LeadingNumber(std::string_view(line).substr(comma + 1));
    SearchMass = LeadingNumber(FindMass.Text);
    const double read = SearchMass;
    if (Button == kRightButton) {
      SearchMass -= m;
      // A mass of 0 or less is never made: the box keeps the value it had.
      if (!(SearchMass > 0)) SearchMass = read;
    } else if (Button == kLeftButton) {
      SearchMass += m;
    }
    FindMass.SetText(NumberTextBare(SearchMass));
  }
  SetFocus(FindMass);
}

void Form1::PasteFromClipboard_Click() {
  const std::string clip = host.ClipboardText();
  std::string text;
  text.reserve(clip.size());
  for (char c : clip) {
    if (c == '\n') text += ',';
    else if (c != '\r') text += c;
  }
  FindMass.SetText(std::move(text));
}

void Form1::FindMass_DblClick() { FindMass.SetText("0"); }

void Form1::FindMass_KeyDown(int KeyCode, int Shift) {
  if (Shift != kAltKey && Shift != kCtrlKey) return;
  const int code = CodedKey(KeyCode, Shift == kAltKey);
  if (code != 0) host.SendKey(static_cast<char>(code));
}

void Form1::FindMass_KeyPress(int KeyAscii) {
  if (KeyAscii != 13) return;
  if (WorkListBtn.Caption == "Quick") QuickSearch_Click();
}

}  // namespace zelm
