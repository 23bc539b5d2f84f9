#include "find/report_plot.h"

#include <algorithm>
#include <cmath>

#include "find/html_text.h"

namespace zelm {

double PlotFrame::X(double mz) const { return left + (mz - mzLow) / (mzHigh - mzLow) * (width - left - right); }

double PlotFrame::Y(double percent) const {
  const double area = full > 0 ? full : height - top - bottom;
  return Base() - std::clamp(percent, 0.0, 100.0) / 100 * area;
}

PlotFrame FrameAround(double width, double height, double low, double high, double pad, double least) {
  PlotFrame f;
  f.width = width;
  f.height = height;
  const double margin = std::max((high - low) * pad, least);
  f.mzLow = low - margin;
  f.mzHigh = high + margin;
  return f;
}

void AppendPixel(std::string& out, double value) { AppendNumber(out, std::round(value * 10) / 10, 1); }

double TickStep(double span, int count) {
  const double raw = span / std::max(count, 1);
  const double power = std::pow(10, std::floor(std::log10(raw)));
  for (double m : {1.0, 2.0, 5.0})
    if (m * power >= raw) return m * power;
  return 10 * power;
}

void OpenPlot(std::string& out, const PlotFrame& f, std::string_view description) {
  out += "<svg viewBox=\"0 0 ";
  AppendPixel(out, f.width);
  out += ' ';
  AppendPixel(out, f.height);
  out += "\" width=\"";
  AppendPixel(out, f.width);
  out += "\" role=\"img\" aria-label=\"";
  AppendEscaped(out, description);
  out += "\">";
  // The axes and the ticks as one path; the labels as text.
  const double step = std::max(
      f.leastStep, TickStep(f.mzHigh - f.mzLow, static_cast<int>((f.width - f.left - f.right) / f.tickPixels)));
  const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
  std::string labels;
  out += "<path class=\"ax\" d=\"M";
  AppendPixel(out, f.left);
  out += ' ';
  AppendPixel(out, f.top);
  out += "V";
  AppendPixel(out, f.Base());
  out += "H";
  AppendPixel(out, f.width - f.right);
  for (double k = std::ceil(f.mzLow / step); k * step <= f.mzHigh; ++k) {
    const double t = k * step;
    out += "M";
    AppendPixel(out, f.X(t));
    out += ' ';
    AppendPixel(out, f.Base());
    out += "v4";
    labels += "<text x=\"";
    AppendPixel(labels, f.X(t));
    labels += "\" y=\"";
    AppendPixel(labels, f.Base() + 14);
    labels += "\">";
    AppendNumber(labels, t, decimals);
    labels += "</text>";
  }
  for (double p : {50.0, 100.0}) {
    out += "M";
    AppendPixel(out, f.left - 4);
    out += ' ';
    AppendPixel(out, f.Y(p));
    out += "h4";
  }
  out += "\"/><g class=\"tk\">";
  out += labels;
  out += "</g><g class=\"yl\">";
  for (double p : {0.0, 50.0, 100.0}) {
    out += "<text x=\"";
    AppendPixel(out, f.left - 6);
    out += "\" y=\"";
    AppendPixel(out, f.Y(p) + 3);
    out += "\">";
    AppendNumber(out, p, 0);
    out += "</text>";
  }
  out += "</g>";
  out += "<text class=\"xl\" x=\"";
  AppendPixel(out, f.width - f.right);
  out += "\" y=\"";
  AppendPixel(out, f.height - 1);
  out += "\">m/z</text>";
}

void ClosePlot(std::string& out) { out += "</svg>"; }

}  // namespace zelm
