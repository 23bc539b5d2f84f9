// The report's two pictures of a feature, as inline SVG: the measured isotope peaks beside a candidate's pattern, and
// the merged MS/MS spectrum with the peaks a candidate's fragments explain coloured and labelled.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chemistry/isotope_pattern.h"
#include "spectra/spectrum.h"

namespace zelm {

// Each measured peak as a bar just left of its m/z and each pattern peak just right of its own, both scaled so that
// their largest peak is 100, with the value above each bar (pattern peaks below 1 % unlabelled); peaks closer than
// the bars' width are drawn as one bar of their sum. `pattern` may be empty (no candidate). Nothing is written when
// `measured` is empty.
void IsotopeFigure(std::string& out, const std::vector<Peak>& measured, const std::vector<chem::PatternPeak>& pattern,
                   std::string_view description);

// A label of an explained MS/MS peak: the peak's index and its text (unescaped: it is escaped here).
struct PeakLabel {
  size_t peak = 0;
  std::string text;
};

// Every peak as a line up to its intensity in percent of the largest: the unexplained ones grey, as one path (peaks
// on the same half pixel drawn as the tallest), the labelled ones coloured, with their label written upwards from
// the peak's top; the precursor's m/z dotted when above 0. Labels are placed by the intensity of their peaks, the
// most intense first; one that would overlap a label placed before it is left out of the picture, and its index
// into `labels` is given back so that the caller can list it. Nothing is written when `peaks` is empty.
std::vector<size_t> MsmsFigure(std::string& out, const std::vector<Peak>& peaks, const std::vector<PeakLabel>& labels,
                               double precursorMz, std::string_view description);

}  // namespace zelm
