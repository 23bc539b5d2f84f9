// The frame of the report's spectrum pictures: an inline SVG with m/z along the bottom and the intensity in percent
// of the largest peak upwards. The page's style sheet colours it (classes ax, tk, ...), so a picture carries only its
// geometry: few elements, coordinates rounded to a tenth of a pixel.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelm {

struct PlotFrame {
  double width = 0, height = 0;                       // the picture, in pixels
  double left = 34, right = 8, top = 8, bottom = 26;  // the margins around the plotting area
  double mzLow = 0, mzHigh = 1;                       // the m/z the area spans
  double full = 0;         // pixels of 100 %; 0: the whole area's height (less leaves room above for labels)
  double tickPixels = 70;  // about this far apart, the m/z ticks
  double leastStep = 0;    // and at least this many m/z apart

  double X(double mz) const;
  double Y(double percent) const;  // 0 % is the axis
  double Base() const { return height - bottom; }
};

// A frame of the given size whose m/z span holds low..high with a margin of `pad` (a share of the span, at least
// `least` m/z on each side).
PlotFrame FrameAround(double width, double height, double low, double high, double pad, double least);

// "<svg ...>" with a description for screen readers, and the axes: the m/z axis with round-numbered ticks and their
// labels, the intensity axis with 0, 50 and 100 %.
void OpenPlot(std::string& out, const PlotFrame& frame, std::string_view description);
void ClosePlot(std::string& out);

// Appends one coordinate (to a tenth of a pixel) to a path or an attribute.
void AppendPixel(std::string& out, double value);

// The step between round-numbered ticks (1, 2 or 5 times a power of ten) that gives about `count` ticks over span.
double TickStep(double span, int count);

}  // namespace zelm
