#include <algorithm>
#include <cmath>
#include <limits>
#include <numeric>

#include "find/html_text.h"
#include "find/report_figures.h"
#include "find/report_plot.h"

namespace zelm {

namespace {

constexpr double kLabelGap = 11;  // pixels between two labels' lines (a label is about 9 pixels thick)

void AppendLine(std::string& d, const PlotFrame& f, double x, double percent) {
  d += 'M';
  AppendPixel(d, x);
  d += ' ';
  AppendPixel(d, f.Base());
  d += 'V';
  AppendPixel(d, f.Y(percent));
}

// The unexplained peaks as one path: the tallest on each half pixel.
std::string Unexplained(const PlotFrame& f, const std::vector<Peak>& peaks, const std::vector<bool>& labelled,
                        double most) {
  std::vector<double> tallest(static_cast<size_t>(f.width * 2) + 1, 0);
  for (size_t i = 0; i < peaks.size(); ++i) {
    if (labelled[i] || !(peaks[i].intensity > 0) || !std::isfinite(peaks[i].mz)) continue;
    const double x = std::clamp(f.X(peaks[i].mz), 0.0, f.width);
    double& t = tallest[static_cast<size_t>(std::lround(x * 2))];
    t = std::max(t, peaks[i].intensity / most * 100);
  }
  std::string d;
  for (size_t k = 0; k < tallest.size(); ++k)
    if (tallest[k] > 0) AppendLine(d, f, static_cast<double>(k) / 2, tallest[k]);
  return d;
}

}  // namespace

std::vector<size_t> MsmsFigure(std::string& out, const std::vector<Peak>& peaks, const std::vector<PeakLabel>& labels,
                               double precursorMz, std::string_view description) {
  std::vector<size_t> left;
  if (peaks.empty()) return left;
  double low = std::numeric_limits<double>::infinity(), high = -low, most = 0;
  for (const Peak& p : peaks) {
    if (!std::isfinite(p.mz) || !std::isfinite(p.intensity)) continue;
    low = std::min(low, p.mz);
    high = std::max(high, p.mz);
    if (p.intensity > 0) most = std::max(most, p.intensity);
  }
  if (!(low <= high)) return left;  // no peak to draw
  if (precursorMz > 0 && std::isfinite(precursorMz)) high = std::max(high, precursorMz);
  if (!(most > 0)) most = 1;
  PlotFrame f = FrameAround(720, 300, low, high, 0.04, 2);
  // Room above the tallest peak for a label of some 18 characters.
  if (!labels.empty()) f.full = 150;
  OpenPlot(out, f, description);
  if (precursorMz > 0 && std::isfinite(precursorMz)) {
    out += "<path class=\"pr\" d=\"M";
    AppendPixel(out, f.X(precursorMz));
    out += ' ';
    AppendPixel(out, f.Base());
    out += "V";
    AppendPixel(out, f.top);
    out += "\"/>";
  }
  std::vector<bool> labelled(peaks.size(), false);
  for (const PeakLabel& l : labels)
    if (l.peak < peaks.size()) labelled[l.peak] = true;
  out += "<path class=\"un\" d=\"";
  out += Unexplained(f, peaks, labelled, most);
  out += "\"/>";
  if (labels.empty()) {
    ClosePlot(out);
    return left;
  }
  std::string d, text;
  std::vector<size_t> order(labels.size());
  std::iota(order.begin(), order.end(), size_t{0});
  auto height = [&](size_t k) { return labels[k].peak < peaks.size() ? peaks[labels[k].peak].intensity : 0; };
  std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) { return height(a) > height(b); });
  std::vector<double> placed;
  for (size_t k : order) {
    if (labels[k].peak >= peaks.size() || !std::isfinite(peaks[labels[k].peak].mz)) continue;
    const Peak& p = peaks[labels[k].peak];
    const double x = f.X(p.mz), percent = std::max(p.intensity, 0.0) / most * 100;
    AppendLine(d, f, x, percent);
    if (std::any_of(placed.begin(), placed.end(), [&](double at) { return std::fabs(at - x) < kLabelGap; })) {
      left.push_back(k);
      continue;
    }
    placed.push_back(x);
    // Written upwards: the baseline a little right of the line centres the letters on it.
    std::string at;
    AppendPixel(at, x + 3.5);
    at += ' ';
    AppendPixel(at, f.Y(percent) - 3);
    text += "<text transform=\"rotate(-90 ";
    text += at;
    text += ")\" x=\"";
    text += at.substr(0, at.find(' '));
    text += "\" y=\"";
    text += at.substr(at.find(' ') + 1);
    text += "\">";
    AppendEscaped(text, labels[k].text);
    text += "</text>";
  }
  out += "<path class=\"ex\" d=\"";
  out += d;
  out += "\"/><g class=\"lb\">";
  out += text;
  out += "</g>";
  ClosePlot(out);
  std::sort(left.begin(), left.end());
  return left;
}

}  // namespace zelm
