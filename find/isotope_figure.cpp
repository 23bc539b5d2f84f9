#include <algorithm>
#include <cmath>

#include "find/html_text.h"
#include "find/report_figures.h"
#include "find/report_plot.h"

namespace zelm {

namespace {

constexpr double kBar = 8;  // a bar's width in pixels

struct Bar {
  double x = 0, percent = 0;
};

// Peaks as bars, those closer than a bar's width joined into one, scaled so that the largest bar is 100.
std::vector<Bar> Bars(const PlotFrame& f, std::vector<Bar> peaks) {
  std::sort(peaks.begin(), peaks.end(), [](const Bar& a, const Bar& b) { return a.x < b.x; });
  std::vector<Bar> bars;
  double most = 0;
  for (const Bar& p : peaks) {
    const double x = f.X(p.x);
    if (!bars.empty() && x - bars.back().x < kBar)
      bars.back().percent += p.percent;
    else
      bars.push_back({x, p.percent});
    most = std::max(most, bars.back().percent);
  }
  for (Bar& b : bars) b.percent = most > 0 ? b.percent / most * 100 : 0;
  return bars;
}

// The bars as one path, each from `offset` to `offset + width` pixels beside its m/z; their values above them.
void DrawBars(std::string& out, std::string& values, const PlotFrame& f, const std::vector<Bar>& bars,
              std::string_view cls, double offset, double floor) {
  out += "<path class=\"";
  out += cls;
  out += "\" d=\"";
  for (const Bar& b : bars) {
    const double w = kBar - 1;
    out += 'M';
    AppendPixel(out, b.x + offset);
    out += ' ';
    AppendPixel(out, f.Base());
    out += 'h';
    AppendPixel(out, w);
    out += 'V';
    AppendPixel(out, f.Y(b.percent));
    out += 'h';
    AppendPixel(out, -w);
    out += 'z';
    if (b.percent < floor) continue;
    // Measured values end at the bar's inner edge, the pattern's start at theirs, so that they do not meet.
    values += offset < 0 ? "<text class=\"e\" x=\"" : "<text x=\"";
    AppendPixel(values, offset < 0 ? b.x - 1.5 : b.x + 1.5);
    values += "\" y=\"";
    AppendPixel(values, f.Y(b.percent) - 3);
    values += "\">";
    AppendNumber(values, b.percent, b.percent >= 10 ? 0 : 1);
    values += "</text>";
  }
  out += "\"/>";
}

}  // namespace

void IsotopeFigure(std::string& out, const std::vector<Peak>& measured, const std::vector<chem::PatternPeak>& pattern,
                   std::string_view description) {
  if (measured.empty()) return;
  std::vector<Bar> m, p;
  double low = measured.front().mz, high = low;
  for (const Peak& x : measured) {
    m.push_back({x.mz, x.intensity});
    low = std::min(low, x.mz);
    high = std::max(high, x.mz);
  }
  for (const chem::PatternPeak& x : pattern) {
    p.push_back({x.mz, x.abundance});
    low = std::min(low, x.mz);
    high = std::max(high, x.mz);
  }
  PlotFrame f = FrameAround(360, 240, low, high, 0.1, 0.7);
  f.top = 20;
  // Isotope peaks lie about 1 apart: a tick at each whole m/z, or every few of a wide envelope.
  f.tickPixels = 40;
  f.leastStep = 1;
  OpenPlot(out, f, description);
  std::string values;
  DrawBars(out, values, f, Bars(f, m), "ms", -kBar - 0.5, 0);
  DrawBars(out, values, f, Bars(f, p), "pt", 1.5, 1);
  out += "<g class=\"bv\">";
  out += values;
  out += "</g>";
  ClosePlot(out);
}

}  // namespace zelm
