#include "chemistry/formula_notation.h"
#include "find/html_text.h"
#include "find/report_figures.h"
#include "find/report_parts.h"

namespace zelm {

void IsotopeBlock(std::string& out, const Feature& feature, const RankResult& result, size_t shown,
                  const ReportSettings& settings) {
  out += "<figure class=\"fi\">";
  if (result.isotopePeaks.empty()) {
    out += "<p class=\"no\">";
    out += feature.ms1.empty() ? "No MS1 spectrum: no isotope peaks to compare."
                               : "The MS1 spectrum does not show the ion within the tolerance.";
    out += "</p></figure>";
    return;
  }
  std::vector<chem::PatternPeak> pattern;
  std::string ion;
  if (shown > 0 && settings.table) {
    const RankedCandidate& best = result.candidates.front();
    ion = IonFormulaText(best.ionFormula, ChargeOf(result, best));
    pattern = chem::IsotopePattern(best.ionFormula, ChargeOf(result, best), *settings.table, settings.resolution);
  }
  IsotopeFigure(out, result.isotopePeaks, pattern, "Measured isotope peaks beside the pattern of the best candidate");
  out += "<figcaption>Isotope peaks: <i class=\"km\"></i>measured (";
  AppendPlural(out, result.isotopePeaks.size(), "peak", "peaks");
  out += ")";
  if (!pattern.empty()) {
    out += " beside <i class=\"kp\"></i>the pattern of ";
    AppendEscaped(out, ion);
    out += ", the ion of #1 (resolving power ";
    AppendNumber(out, settings.resolution, 0);
    out += ")";
  } else if (shown > 0) {
    out += "; the pattern of #1 cannot be computed";
  }
  out += ", each scaled to its largest peak.</figcaption></figure>";
}

void MsmsBlock(std::string& out, const Feature& feature, const RankResult& result, size_t shown) {
  out += "<figure class=\"fs\">";
  if (result.msmsPeaks.empty()) {
    out += "<p class=\"no\">";
    out += feature.ms2.empty()       ? "No MS/MS spectrum."
           : feature.ms2.size() == 1 ? "The MS/MS spectrum holds no peak."
                                     : "The MS/MS spectra hold no peak.";
    out += "</p></figure>";
    return;
  }
  // The best candidate's fragment of each peak it explains (the first when several are given).
  std::vector<PeakLabel> labels;
  std::vector<const FragmentMatch*> of(result.msmsPeaks.size(), nullptr);
  const RankedCandidate* best = shown > 0 ? &result.candidates.front() : nullptr;
  if (best)
    for (const FragmentMatch& x : best->fragments)
      if (x.peak < of.size() && !of[x.peak]) {
        of[x.peak] = &x;
        std::string text = IonFormulaText(x.fragment, ChargeOf(result, *best) > 0 ? 1 : -1) + " ";
        AppendNumber(text, x.errorPpm, 1, true);
        labels.push_back({x.peak, std::move(text)});
      }
  const std::vector<size_t> left = MsmsFigure(out, result.msmsPeaks, labels, feature.mz,
                                              "MS/MS spectrum with the peaks the best candidate explains");
  out += "<figcaption>MS/MS: ";
  if (feature.ms2.size() > 1) {
    AppendPlural(out, feature.ms2.size(), "spectrum", "spectra");
    out += " merged into ";
  }
  AppendPlural(out, result.msmsPeaks.size(), "peak", "peaks");
  if (!labels.empty()) {
    out += "; <i class=\"ke\"></i>";
    out += std::to_string(labels.size());
    out += " explained by fragments of #1 ";
    AppendEscaped(out, chem::ToUnicode(best->neutral));
    out += " (fragment ion, error in ppm)";
  } else if (best && best->msmsExplained && *best->msmsExplained > 0) {
    out += "; the fragments of #1 were not kept (rank with explain to label them)";
  } else if (best) {
    out += "; none explained by #1";
  }
  out += "; dotted: the precursor.";
  if (!left.empty()) {
    // Folded away (a browser opens it without script): in a crowded spectrum the list is long.
    out += "<details><summary>";
    out += std::to_string(left.size());
    out += left.size() == 1 ? " more explained peak" : " more explained peaks";
    out += ", not labelled for want of room</summary>";
    for (size_t i = 0; i < left.size(); ++i) {
      const PeakLabel& l = labels[left[i]];
      if (i) out += "; ";
      AppendNumber(out, result.msmsPeaks[l.peak].mz, 4);
      out += ' ';
      AppendEscaped(out, l.text);
    }
    out += "</details>";
  }
  out += "</figcaption></figure>";
}

}  // namespace zelm
