// The plot's drawing surface as a display list: every line and label of the last drawing, in plot units (x in u, y in
// percent), in the order they were drawn, with the user scale they were drawn in. The desktop view paints it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/controls.h"

namespace zelm {

// Colours as 0xRRGGBB.
constexpr uint32_t kPlotBlack = 0x000000;  // the foreground (button text)
constexpr uint32_t kPlotGreen = 0x008000;  // the compound
constexpr uint32_t kPlotRed = 0xFF0000;    // what remains when a fragment is taken away
constexpr uint32_t kPlotBlue = 0x0000FF;   // isotope lines

struct GraphItem {
  enum class Kind { Line, Text };
  Kind kind = Kind::Line;
  // A line runs from (x1, y1) to (x2, y2); a text has the top-left corner of its first character at (x1, y1).
  float x1 = 0, y1 = 0, x2 = 0, y2 = 0;
  uint32_t colour = kPlotBlack;
  float width = 1;   // line width in pixels
  std::string text;  // label coding
};

struct GraphSurface : Control {
  using Control::Control;

  // User scale: the left edge is ScaleLeft, the width ScaleWidth; the top edge is ScaleTop, the bottom edge ScaleBottom
  // (y grows upwards). The vertical scale never changes.
  double ScaleLeft = 0;
  double ScaleWidth = 0;
  static constexpr double ScaleTop = 102;
  static constexpr double ScaleBottom = -21.5;

  std::vector<GraphItem> Items;

  void Cls() { Items.clear(), Touch(); }
  void SetScale(double left, double width) { ScaleLeft = left, ScaleWidth = width, Touch(); }
  void Line(float x1, float y1, float x2, float y2, uint32_t colour = kPlotBlack) {
    Items.push_back({GraphItem::Kind::Line, x1, y1, x2, y2, colour, 1, {}});
    Touch();
  }
  void Print(float x, float y, std::string text) {
    Items.push_back({GraphItem::Kind::Text, x, y, x, y, kPlotBlack, 1, std::move(text)});
    Touch();
  }
};

}  // namespace zelm
