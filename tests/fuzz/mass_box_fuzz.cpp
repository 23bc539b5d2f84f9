// The mass box: text pasted from the clipboard (Unicode, turned into the label coding at the desktop's edge) and
// searched piece by piece with the quick library, then stepped with the selected work-list entry.
#include <utility>

#include "core/result_line.h"
#include "text/codec.h"
#include "text/text.h"
#include "window_support.h"

using namespace zelm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Long boxes only search more pieces; they read no differently.
  if (size > 200) return 0;
  const std::string text = fuzz::Text(data, size);

  // Every byte of the label coding goes out to the clipboard as a character and comes back as itself; any UTF-8 comes
  // back as some text.
  FUZZ_CHECK(Utf8ToBytes(BytesToUtf8(text)) == text);
  const std::string pasted = Utf8ToBytes(text);

  // A small quick library keeps every search short.
  auto window = fuzz::StartWindow(std::pair{std::string("EMassQuick.txt"),
                                            std::string("\x81\x82" "C,12\r\n\x81H,1.00782503223\r\n\x81\x84N,14.00307400443\r\n"
                                                        "\x81\x86O,15.99491461957\r\n")});
  Form1& form = window->form;
  window->host.clipboard = pasted;
  form.PasteFromClipboard_Click();
  const std::string& box = form.FindMass.Text;
  FUZZ_CHECK(box.find_first_of("\r\n") == std::string::npos);
  size_t pieces = 1;
  for (char c : box) pieces += c == ',';

  form.QuickSearch_Click();
  const int stored = fuzz::CountIn(form.StoredResults[0]);
  FUZZ_CHECK(stored >= 0 && stored <= kStoredLimit);
  FUZZ_CHECK(form.Results.Count() <= stored);
  // Each listed line lies within the range of one of the pieces.
  for (int i = 0; i < form.Results.Count(); ++i) {
    const double mass = ResultMass(form.Results.Item(i));
    bool near = false;
    size_t start = 0;
    for (size_t p = 0; p < pieces && !near; ++p) {
      const size_t end = std::min(box.find(',', start), box.size());
      const double wanted = LeadingNumber(std::string_view(box).substr(start, end - start));
      near = std::fabs(mass - wanted) <= std::fabs(wanted) * 1e-6 + 1e-6;
      start = end + 1;
    }
    FUZZ_CHECK(near);
  }

  // Plus and minus the first work-list entry: the box holds a number again, never one of 0 or less after a minus.
  if (form.WorkList.Count() > 0) {
    form.WorkList.SetListIndex(0);
    form.PlusMinusX_MouseUp(size % 2 ? kLeftButton : kRightButton, 0, 0, 0);
    FUZZ_CHECK(IsNumberText(form.FindMass.Text));
    FUZZ_CHECK(fuzz::Finite(form.SearchMass));
  }
  return 0;
}
