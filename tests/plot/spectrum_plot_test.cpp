#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <vector>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/formula_text.h"

namespace zelm {
namespace {

class PlotTest : public ::testing::Test {
 protected:
  PlotTest() {
    form.XAxisStart = 0;
    form.XAxisEnd = 200;
    form.YAxisTop = "100";
    form.StoredResults[0] = "0";
    form.SetHeight(kHeightCompact);
  }
  void SelectCompound(double mass) { form.SelectedResult = ResultLineOf(Coded("^12C_10"), mass); }
  void StoreFragment(int position, double mass) {
    form.StoredResults[position] = ResultLineOf(Coded("^12C_5"), mass);
    if (LeadingNumber(form.StoredResults[0]) < position) form.StoredResults[0] = CountText(position);
  }

  std::vector<GraphItem> ItemsOf(GraphItem::Kind kind, uint32_t colour = kPlotBlack) const {
    std::vector<GraphItem> out;
    for (const auto& item : form.Graph.Items)
      if (item.kind == kind && (kind == GraphItem::Kind::Text || item.colour == colour)) out.push_back(item);
    return out;
  }
  std::vector<GraphItem> Texts() const { return ItemsOf(GraphItem::Kind::Text); }
  std::vector<GraphItem> Lines(uint32_t colour) const { return ItemsOf(GraphItem::Kind::Line, colour); }
  // Mass ticks: the lengths of the downward lines at each x under the frame.
  std::map<float, std::set<float>> MassTicks() const {
    std::map<float, std::set<float>> ticks;
    for (const auto& l : Lines(kPlotBlack))
      if (l.x1 == l.x2 && l.y1 == 0 && l.y2 < 0) ticks[l.x1].insert(-l.y2);
    return ticks;
  }
  // Intensity ticks: the horizontal lines that start at either end of the frame and are shorter than it.
  std::vector<GraphItem> IntensityTicks() const {
    std::vector<GraphItem> out;
    const float start = static_cast<float>(form.XAxisStart), end = form.XAxisEnd;
    for (const auto& l : Lines(kPlotBlack))
      if (l.y1 == l.y2 && (l.x1 == start || l.x1 == end) && std::abs(l.x2 - l.x1) < end - start) out.push_back(l);
    return out;
  }
  // The plot x of a pointer at a given pixel of the 682-pixel-wide surface, in the scale of the last drawing.
  float PlotX(double pixel) const {
    return static_cast<float>(form.Graph.ScaleLeft + pixel / kPixels * form.Graph.ScaleWidth);
  }
  double Pixel(double x) const { return (x - form.Graph.ScaleLeft) / form.Graph.ScaleWidth * kPixels; }
  // Presses at plot x `from` and moves the pointer pixel by pixel over `by` u of the first scale (negative: left).
  void Drag(double from, double by, int button = 1) {
    double px = Pixel(from);
    const double target = px + Pixel(form.XAxisStart + by) - Pixel(form.XAxisStart);
    form.Graph_MouseDown(button, 0, PlotX(px), 50);
    const double step = target > px ? 1 : -1;
    while ((target - px) * step > 0) {
      px += step;
      form.Graph_MouseMove(button, 0, PlotX(px), 50);
    }
  }

  static constexpr double kPixels = 10230 / 15;
  FakeHost host;
  Form1 form{host};
};

TEST_F(PlotTest, DefaultsFrameLabelsAndTicks) {
  form.ReportBox.SetVisible(true);
  form.DrawGraph();
  EXPECT_EQ(form.WindowHeight, kHeightPlot);
  EXPECT_FALSE(form.ReportBox.Visible);
  EXPECT_DOUBLE_EQ(form.Graph.ScaleLeft, -6);
  EXPECT_DOUBLE_EQ(form.Graph.ScaleWidth, 212);

  // The frame comes first: the rectangle from (0, 0) to (200, 100).
  std::set<std::vector<float>> frame;
  for (int i = 0; i < 4; ++i) {
    const auto& l = form.Graph.Items.at(i);
    frame.insert({std::min(l.x1, l.x2), std::min(l.y1, l.y2), std::max(l.x1, l.x2), std::max(l.y1, l.y2)});
  }
  EXPECT_EQ(frame, (std::set<std::vector<float>>{{0, 0, 200, 0}, {200, 0, 200, 100}, {0, 100, 200, 100}, {0, 0, 0, 100}}));

  // The four corners, then " 0", " 100", " 200" under the frame.
  const std::vector<std::tuple<float, float, std::string>> expected = {
      {-6, 102.5f, "100"}, {-6, 4, " 0"}, {200, 102.5f, "100"}, {200, 4, " 0"},
      {-3, -9, " 0"},      {97, -9, " 100"}, {197, -9, " 200"}};
  auto texts = Texts();
  ASSERT_EQ(texts.size(), expected.size());
  for (size_t i = 0; i < expected.size(); ++i)
    EXPECT_EQ(std::make_tuple(texts[i].x1, texts[i].y1, texts[i].text), expected[i]) << i;

  // Intensity ticks: 11 on each side, 1 unit (0.5 % of 200) long, pointing inwards.
  auto intensity = IntensityTicks();
  ASSERT_EQ(intensity.size(), 22u);
  for (const auto& l : intensity) EXPECT_FLOAT_EQ(l.x2 - l.x1, l.x1 == 0 ? 1 : -1);

  // Mass ticks every 5 u: 2 units long, 5 at tens, 7 at fifties, 9 at hundreds.
  auto ticks = MassTicks();
  ASSERT_EQ(ticks.size(), 41u);
  for (const auto& [x, lengths] : ticks) {
    const int whole = static_cast<int>(x);
    EXPECT_EQ(*lengths.rbegin(), whole % 100 == 0 ? 9 : whole % 50 == 0 ? 7 : whole % 10 == 0 ? 5 : 2) << x;
  }
  EXPECT_TRUE(Lines(kPlotGreen).empty());  // nothing selected
}

TEST_F(PlotTest, NarrowRangeReachedByNarrowingAndDraggingTicksEveryUnitWithoutMassLabels) {
  SelectCompound(120);
  for (int i = 0; i < 5; ++i) form.Expand_MouseUp(kLeftButton, 0, 0, 0);
  ASSERT_EQ(form.XAxisStart, 50);
  EXPECT_EQ(MassTicks().size(), 21u);  // a width of exactly 100 still ticks every 5 u
  form.Expand_MouseUp(kLeftButton, 0, 0, 0);
  Drag(100, -50.5);
  ASSERT_EQ(form.XAxisStart, 110);
  ASSERT_EQ(form.XAxisEnd, 190);

  auto ticks = MassTicks();
  ASSERT_EQ(ticks.size(), 81u);
  EXPECT_EQ(ticks.begin()->first, 110);
  std::vector<float> fives, sevens;
  for (const auto& [x, lengths] : ticks) {
    if (lengths.count(5)) fives.push_back(x);
    if (lengths.count(7)) sevens.push_back(x);
    EXPECT_FALSE(lengths.count(9)) << x;
  }
  EXPECT_EQ(fives, (std::vector<float>{110, 120, 130, 140, 150, 160, 170, 180, 190}));
  EXPECT_EQ(sevens, (std::vector<float>{150}));
  EXPECT_EQ(Texts().size(), 4u);  // only the corner labels
  EXPECT_FLOAT_EQ(Texts()[0].x1, 107.6f);
  for (const auto& l : IntensityTicks()) EXPECT_NEAR(std::abs(l.x2 - l.x1), 0.4, 1e-5);
}

TEST_F(PlotTest, CompoundFragmentsAndIsotopesInTheirColoursAndOrder) {
  SelectCompound(120);
  StoreFragment(1, 60);
  StoreFragment(2, 50);
  form.FragmentList = "   1   2";
  form.IsotopeLines[0][0] = 1;
  form.IsotopeLines[1] = {121.00335, 10.8157};
  form.DrawGraph();

  // The last six items: green compound, black and red for each fragment, blue isotope line.
  const auto& items = form.Graph.Items;
  ASSERT_GE(items.size(), 6u);
  const size_t first = items.size() - 6;
  const std::vector<uint32_t> colours = {kPlotGreen, kPlotBlack, kPlotRed, kPlotBlack, kPlotRed, kPlotBlue};
  const std::vector<float> xs = {120, 60, 60, 50, 70, 121.00335f};
  const std::vector<float> tops = {100, 50, 50, 50, 50, 10.8157f};
  for (size_t i = 0; i < 6; ++i) {
    const auto& l = items[first + i];
    EXPECT_EQ(l.kind, GraphItem::Kind::Line) << i;
    EXPECT_EQ(l.colour, colours[i]) << i;
    EXPECT_EQ(std::make_tuple(l.x1, l.y1, l.x2), std::make_tuple(xs[i], 0.0f, xs[i])) << i;
    EXPECT_FLOAT_EQ(l.y2, tops[i]) << i;
  }
  for (size_t i = 0; i < first; ++i) EXPECT_EQ(items[i].colour, kPlotBlack);
}

TEST_F(PlotTest, MissingOrStaleDataDrawsNothingStale) {
  SelectCompound(120);
  StoreFragment(1, 60);
  form.StoredResults[5] = ResultLineOf(Coded("^12C_2"), 24);  // left over from a longer search
  form.FragmentList = "   1   5";
  form.IsotopeLines[0][0] = 1;
  form.IsotopeLines[1] = {121, 10};
  form.DrawGraph();
  EXPECT_EQ(Lines(kPlotRed).size(), 1u);
  // No selection, or a line without a mass: the empty frame.
  for (const std::string& selected : {std::string(), std::string(Coded("^12C_10") + "   ")}) {
    form.SelectedResult = selected;
    form.Expand_MouseUp(kRightButton, 0, 0, 0);
    EXPECT_EQ(form.WindowHeight, kHeightPlot);
    EXPECT_TRUE(Lines(kPlotGreen).empty() && Lines(kPlotRed).empty() && Lines(kPlotBlue).empty());
    EXPECT_EQ(Texts().size(), 7u);
  }
}

TEST_F(PlotTest, ExpandYStepsByTenWithinTenToHundredAndScalesEveryLine) {
  SelectCompound(120);
  form.IsotopeLines[0][0] = 1;
  form.IsotopeLines[1] = {121, 10};
  form.ExpandY_MouseUp(kLeftButton, 0, 0, 0);
  EXPECT_EQ(form.YAxisTop, " 90");
  EXPECT_EQ(Texts()[0].text, " 90");
  EXPECT_EQ(Texts()[2].text, " 90");
  EXPECT_NEAR(Lines(kPlotGreen).at(0).y2, 111.111, 1e-3);

  form.ExpandY_MouseUp(kRightButton, 0, 0, 0);
  EXPECT_EQ(form.YAxisTop, " 100");
  EXPECT_EQ(Texts()[0].text, "100");
  // At the top a right click changes nothing but still redraws and shows the plot.
  form.GraphClose_Click();
  const unsigned changes = form.Graph.Changes;
  form.ExpandY_MouseUp(kRightButton, 0, 0, 0);
  EXPECT_EQ(form.YAxisTop, " 100");
  EXPECT_GT(form.Graph.Changes, changes);
  EXPECT_EQ(form.WindowHeight, kHeightPlot);

  for (int i = 0; i < 5; ++i) form.ExpandY_MouseUp(kLeftButton, 0, 0, 0);
  EXPECT_FLOAT_EQ(Lines(kPlotGreen).at(0).y2, 200);  // " 50"
  EXPECT_FLOAT_EQ(Lines(kPlotBlue).at(0).y2, 20);
  for (int i = 0; i < 7; ++i) form.ExpandY_MouseUp(kLeftButton, 0, 0, 0);
  EXPECT_EQ(form.YAxisTop, " 10");
  form.ExpandY_MouseUp(4, 0, 0, 0);  // the middle button changes nothing
  EXPECT_EQ(form.YAxisTop, " 10");
}

TEST_F(PlotTest, ExpandWidensAndNarrowsWithinItsLimits) {
  SelectCompound(120);
  form.Expand_MouseUp(kRightButton, 0, 0, 0);  // at 0 only the right end grows
  EXPECT_EQ(std::make_pair(form.XAxisStart, int(form.XAxisEnd)), std::make_pair(0.0, 210));
  for (int i = 0; i < 20; ++i) form.Expand_MouseUp(kLeftButton, 0, 0, 0);
  EXPECT_EQ(std::make_pair(form.XAxisStart, int(form.XAxisEnd)), std::make_pair(100.0, 110));
  EXPECT_DOUBLE_EQ(form.Graph.ScaleWidth, 10.6);

  form.XAxisStart = 0;
  form.XAxisEnd = 3510;  // after a search for 3500
  form.Expand_MouseUp(kLeftButton, 0, 0, 0);
  EXPECT_EQ(std::make_pair(form.XAxisStart, int(form.XAxisEnd)), std::make_pair(0.0, 3510));
  form.Expand_MouseUp(kRightButton, 0, 0, 0);
  EXPECT_EQ(std::make_pair(form.XAxisStart, int(form.XAxisEnd)), std::make_pair(0.0, 3000));
  EXPECT_EQ(MassTicks().size(), 601u);
  form.XAxisStart = 200;
  form.XAxisEnd = 3510;
  form.Expand_MouseUp(kRightButton, 0, 0, 0);
  EXPECT_EQ(std::make_pair(form.XAxisStart, int(form.XAxisEnd)), std::make_pair(190.0, 3000));
  // A range wholly above 3000 is not turned inside out by the cap.
  form.XAxisStart = 3100;
  form.XAxisEnd = 3300;
  form.Expand_MouseUp(kRightButton, 0, 0, 0);
  EXPECT_EQ(std::make_pair(form.XAxisStart, int(form.XAxisEnd)), std::make_pair(3100.0, 3300));
  EXPECT_DOUBLE_EQ(form.Graph.ScaleWidth, 212);
}

TEST_F(PlotTest, DragFollowsThePointerInStepsOfTenWithTheLeftButtonAlone) {
  SelectCompound(120);
  form.DrawGraph();
  Drag(130, -30.5, kRightButton);
  Drag(130, -30.5, kLeftButton | kRightButton);
  EXPECT_EQ(form.XAxisStart, 0);
  Drag(130, -30.5);
  EXPECT_EQ(std::make_pair(form.XAxisStart, int(form.XAxisEnd)), std::make_pair(30.0, 230));
  EXPECT_DOUBLE_EQ(form.Graph.ScaleLeft, 24);
  Drag(130, 60.5);  // back to the right: down to 0 but not below
  EXPECT_EQ(std::make_pair(form.XAxisStart, int(form.XAxisEnd)), std::make_pair(0.0, 200));
}

TEST_F(PlotTest, DragPastEitherEndIsUndoneAndDrawsNothing) {
  SelectCompound(120);
  form.DrawGraph();
  const unsigned changes = form.Graph.Changes;
  Drag(130, 40);
  EXPECT_EQ(form.XAxisStart, 0);
  EXPECT_EQ(form.Graph.Changes, changes);
  // Half a step to the right already counts as a whole step (floor of -0.5 is -1).
  form.Graph_MouseDown(kLeftButton, 0, 130, 0);
  form.Graph_MouseMove(kLeftButton, 0, 135, 0);
  EXPECT_EQ(form.Graph.Changes, changes);
  // Less than a step to the left redraws the same range.
  form.Graph_MouseMove(kLeftButton, 0, 125, 0);
  EXPECT_EQ(form.XAxisStart, 0);
  EXPECT_GT(form.Graph.Changes, changes);

  form.XAxisStart = 32560;
  form.XAxisEnd = 32760;
  form.DrawGraph();
  Drag(32700, -20.5);
  EXPECT_EQ(std::make_pair(form.XAxisStart, int(form.XAxisEnd)), std::make_pair(32560.0, 32760));
}

TEST_F(PlotTest, CloseGraphInTwoStages) {
  SelectCompound(120);
  form.DrawGraph();
  form.ReportBox.SetVisible(true);
  form.GraphClose_Click();
  EXPECT_FALSE(form.ReportBox.Visible);
  EXPECT_EQ(form.WindowHeight, kHeightPlot);
  form.GraphClose_Click();
  EXPECT_EQ(form.WindowHeight, kHeightCompact);
}

}  // namespace
}  // namespace zelm
