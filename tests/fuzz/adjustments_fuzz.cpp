// The mass adjustments: read, stepped through with the adjustment button and used by a search.
#include <cmath>
#include <utility>

#include "text/data_files.h"
#include "core/result_line.h"
#include "text/text.h"
#include "window_support.h"

using namespace zelm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::Text(data, size);

  const AdjustmentData file = ReadAdjustments(fuzz::Scratch().Write("M-Adjstr.txt", bytes));
  FUZZ_CHECK(file.read);
  for (const AdjustmentRow& row : file.rows) FUZZ_CHECK(fuzz::Finite(row.mass) && row.line > 0);

  auto window = fuzz::StartWindow(std::pair{std::string("M-Adjstr.txt"), bytes});
  Form1& form = window->form;
  const int rows = std::clamp<int>(file.rows.size(), 1, kAdjustLimit);
  FUZZ_CHECK(form.AdjustLast == rows - 1);
  FUZZ_CHECK(form.AdjustIndex == 0 && form.MassAdjustment.Caption == form.AdjustName[0]);
  // Left steps forward and right back, round the rows; the button always names the row in force.
  const int steps = size % 7;
  for (int i = 0; i < steps; ++i) {
    form.MassAdjustment_MouseUp(i % 3 == 2 ? kRightButton : kLeftButton, 0, 0, 0);
    FUZZ_CHECK(form.AdjustIndex >= 0 && form.AdjustIndex <= form.AdjustLast);
    FUZZ_CHECK(form.MassAdjustment.Caption == form.AdjustName[form.AdjustIndex]);
  }
  // The search itself: a row that moves 120 far up makes it list the thousands of combinations of a heavy mass, which
  // is right but takes the instrumented build longer than a fuzz input may take; the rows are read the same either way.
  if (std::fabs(form.AdjustMass[static_cast<size_t>(form.AdjustIndex)]) > 500) return 0;
  form.FindMass.SetText("120");
  form.QuickSearch_Click();
  // Whatever the row, every line lists a mass within the range (1 ppm) of the mass searched.
  for (int i = 0; i < form.Results.Count(); ++i)
    FUZZ_CHECK(std::fabs(ResultMass(form.Results.Item(i)) - 120) <= 120e-6 + 1e-6);
  return 0;
}
