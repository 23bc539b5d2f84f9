// The line-spectrum plot: drawing the selected result with its fragments and isotope lines, dragging the mass range,
// widening and narrowing both axes, and closing the plot area.
#include <algorithm>
#include <cmath>

#include "core/result_line.h"
#include "core/form1.h"
#include "text/text.h"

namespace zelm {

namespace {

constexpr int kMassAxisLimit = 3000;    // the mass-range buttons never widen past it
constexpr int kMassAxisCeiling = 32767; // the largest value the right end of the mass range can hold

// The whole value of a count or position text, kept within [0, limit].
int PositionIn(std::string_view text, int limit) {
  return static_cast<int>(std::clamp(LeadingNumber(text), 0.0, static_cast<double>(limit)));
}

}  // namespace

void Form1::DrawGraph() {
  ReportBox.SetVisible(false);
  SetHeight(kHeightPlot);
  Graph.Cls();

  const double w = static_cast<double>(XAxisEnd) - XAxisStart;
  const float start = static_cast<float>(XAxisStart);
  const float end = static_cast<float>(XAxisEnd);
  const float margin = static_cast<float>(XAxisStart - 0.03 * w);
  Graph.SetScale(XAxisStart - 0.03 * w, 1.06 * w);

  // Frame.
  Graph.Line(start, 0, end, 0);
  Graph.Line(end, 0, end, 100);
  Graph.Line(end, 100, start, 100);
  Graph.Line(start, 100, start, 0);

  // Intensity labels at the four corners.
  const std::string top = YAxisTop.size() > 3 ? YAxisTop.substr(YAxisTop.size() - 3) : YAxisTop;
  Graph.Print(margin, 102.5f, top);
  Graph.Print(margin, 4, " 0");
  Graph.Print(end, 102.5f, top);
  Graph.Print(end, 4, " 0");

  // Intensity ticks, 0.5 % of the mass range long, pointing into the frame from both sides.
  const float tick = static_cast<float>(0.005 * w);
  for (int y = 0; y <= 100; y += 10) {
    Graph.Line(start, static_cast<float>(y), start + tick, static_cast<float>(y));
    Graph.Line(end, static_cast<float>(y), end - tick, static_cast<float>(y));
  }

  // Mass ticks: 2 units long, 5 at multiples of 10, 7 at multiples of 50, 9 and a label at multiples of 100.
  const double step = w >= 100 ? 5 : 1;
  for (double x = XAxisStart; x <= XAxisEnd; x += step) {
    const float fx = static_cast<float>(x);
    Graph.Line(fx, 0, fx, -2);
    const long whole = std::lround(x);
    if (whole % 10 != 0) continue;
    Graph.Line(fx, 0, fx, -5);
    if (whole % 50 == 0) Graph.Line(fx, 0, fx, -7);
    if (whole % 100 == 0) {
      Graph.Line(fx, 0, fx, -9);
      Graph.Print(static_cast<float>(x - 0.015 * w), -9, NumberText(x));
    }
  }

  // Without a selected line that carries a mass there is nothing more to draw: the empty frame stays.
  if (SelectedResult.size() <= kFormulaColumn) return;

  double topValue = LeadingNumber(YAxisTop);
  if (topValue <= 0) topValue = 100;
  const double height = 10000 / topValue;
  const double mass = ResultMass(SelectedResult);
  const float fm = static_cast<float>(mass);
  Graph.Line(fm, 0, fm, static_cast<float>(height), kPlotGreen);

  // Each fragment in black, and what remains of the compound without it in red, both at half height.
  const int stored = PositionIn(StoredResults[0], kStoredLimit);
  const float half = static_cast<float>(height / 2);
  for (size_t i = 0; i < FragmentList.size(); i += 4) {
    const int j = PositionIn(std::string_view(FragmentList).substr(i, 4), kStoredLimit);
    if (j < 1 || j > stored) continue;
    const double fragment = ResultMass(StoredResults[j]);
    const float ff = static_cast<float>(fragment);
    const float rest = static_cast<float>(mass - fragment);
    Graph.Line(ff, 0, ff, half);
    Graph.Line(rest, 0, rest, half, kPlotRed);
  }

  const int lines = static_cast<int>(std::clamp(IsotopeLines[0][0], 0.0, static_cast<double>(kIsotopeLineLimit)));
  for (int i = 1; i <= lines; ++i) {
    const float m = static_cast<float>(IsotopeLines[i][0]);
    Graph.Line(m, 0, m, static_cast<float>(IsotopeLines[i][1] * height / 100), kPlotBlue);
  }
}

void Form1::Graph_MouseDown(int, int, float X, float) { DragStartX = X; }

void Form1::Graph_MouseMove(int Button, int, float X, float) {
  if (Button != kLeftButton) return;  // only the left button alone drags
  const float steps = std::floor((DragStartX - X) / 10.0f);
  const double d = static_cast<double>(steps) * 10;
  const double start = XAxisStart + d;
  const double end = XAxisEnd + d;
  // A step below 0, or past the largest right end the range can hold, is not taken and nothing is drawn.
  if (start < 0 || end > kMassAxisCeiling) return;
  XAxisStart = start;
  XAxisEnd = static_cast<int16_t>(end);
  DrawGraph();
}

void Form1::Expand_MouseUp(int Button, int, float, float) {
  double start = XAxisStart;
  int end = XAxisEnd;
  if (Button == kRightButton) {
    start = std::max(start - 10, 0.0);
    end = std::min(end + 10, kMassAxisLimit);
    // Far above the limit the cap would put the right end before the left one: such a widening is not taken.
    if (end >= start + 10) XAxisStart = start, XAxisEnd = static_cast<int16_t>(end);
  } else if (Button == kLeftButton) {
    start += 10;
    end -= 10;
    if (!(end < start + 10 || end > kMassAxisLimit)) XAxisStart = start, XAxisEnd = static_cast<int16_t>(end);
  }
  DrawGraph();
}

void Form1::ExpandY_MouseUp(int Button, int, float, float) {
  if (Button == kRightButton) {
    const double v = LeadingNumber(YAxisTop) + 10;
    if (v < 110) YAxisTop = NumberText(v);
  } else if (Button == kLeftButton) {
    const double v = LeadingNumber(YAxisTop) - 10;
    if (v > 0) YAxisTop = NumberText(v);
  }
  DrawGraph();
}

void Form1::GraphClose_Click() {
  if (ReportBox.Visible)
    ReportBox.SetVisible(false);
  else
    SetHeight(kHeightCompact);
}

}  // namespace zelm
