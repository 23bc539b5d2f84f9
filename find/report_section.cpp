#include <algorithm>

#include "chemistry/formula_notation.h"
#include "chemistry/formula_rules.h"
#include "find/html_text.h"
#include "find/report_figures.h"
#include "find/report_html.h"

namespace zelm {

namespace {

constexpr std::string_view kDash = "\xE2\x80\x94";  // what a figure that does not exist shows
constexpr std::string_view kDot = " \xC2\xB7 ";     // between the items of a line

// A charge as superscript: ⁺, ²⁻, ...
std::string ChargeText(int charge) {
  static const char* const kDigits[] = {"", "", "\xC2\xB2", "\xC2\xB3"};
  if (charge == 0) return {};
  const int n = std::abs(charge);
  std::string s = n < 4 ? kDigits[n] : std::to_string(n);
  return s + (charge > 0 ? "\xE2\x81\xBA" : "\xE2\x81\xBB");
}

std::string IonFormulaText(const chem::Composition& c, int charge) { return chem::ToUnicode(c) + ChargeText(charge); }

void AppendPlural(std::string& out, size_t n, std::string_view one, std::string_view many) {
  if (n == 0) {
    out += "no ";
    out += one;
    return;
  }
  out += std::to_string(n);
  out += ' ';
  out += n == 1 ? one : many;
}

// A probability to three decimals; one that would read 0 but is not reads "<0.001".
void AppendProbability(std::string& out, double p) {
  if (p > 0 && p < 0.0005) out += "&lt;0.001";
  else AppendNumber(out, p, 3);
}

// A table cell whose background is a bar of `share` (0 to 1) of its width.
void OpenBarCell(std::string& out, double share) {
  out += "<td class=\"b\" style=\"--v:";
  AppendNumber(out, std::clamp(share, 0.0, 1.0), 2);
  out += "\">";
}

class Section {
 public:
  Section(const Feature& f, const RankResult& r, size_t index, const ReportSettings& s)
      : f_(f), r_(r), index_(index), s_(s) {
    shown_ = std::min(r.candidates.size(), s.top > 0 ? s.top : 5);
  }

  ReportPart Build() {
    ReportPart part;
    part.answered = !r_.candidates.empty();
    Row(part.row);
    std::string& out = part.section;
    out += "<section id=\"f" + std::to_string(index_) + "\"><h2>";
    AppendEscaped(out, f_.id);
    out += " <a class=\"top\" href=\"#top\" title=\"Back to the summary\">\xE2\x86\x91</a></h2>";
    Meta(out);
    if (!r_.problem.empty()) {
      out += "<p class=\"pb\">";
      AppendEscaped(out, r_.problem);
      out += "</p>";
    } else if (shown_ == 0) {
      out += "<p class=\"no\">No candidate keeps the rules within the tolerance.</p>";
    } else {
      Candidates(out);
    }
    out += "<div class=\"fg\">";
    Isotopes(out);
    Msms(out);
    out += "</div></section>\n";
    return part;
  }

 private:
  long long Found() const {
    long long n = 0;
    for (long long k : r_.found) n += k;
    return n;
  }

  std::string IonOf(const RankedCandidate& c) const {
    return c.ion < r_.ions.size() ? r_.ions[c.ion].Notation() : std::string();
  }
  int ChargeOf(const RankedCandidate& c) const { return c.ion < r_.ions.size() ? r_.ions[c.ion].Charge() : 0; }

  // The summary's row: id (a link to the section), m/z, ion, best formula and probability, runner-up and
  // probability, candidates.
  void Row(std::string& out) const {
    out += "<tr><td><a href=\"#f" + std::to_string(index_) + "\">";
    AppendEscaped(out, f_.id);
    out += "</a><td>";
    AppendNumber(out, f_.mz, 5);
    out += "<td>";
    if (!r_.candidates.empty()) {
      AppendEscaped(out, IonOf(r_.candidates.front()));
    } else {
      for (size_t i = 0; i < r_.ions.size(); ++i) {
        if (i) out += ", ";
        AppendEscaped(out, r_.ions[i].Notation());
      }
      if (r_.ions.empty()) AppendEscaped(out, f_.ion);
    }
    for (size_t k = 0; k < 2; ++k) {
      out += "<td>";
      if (k < r_.candidates.size()) AppendEscaped(out, chem::ToUnicode(r_.candidates[k].neutral));
      else out += kDash;
      out += "<td>";
      if (k < r_.candidates.size()) AppendProbability(out, r_.candidates[k].probability);
      else out += kDash;
    }
    out += "<td>";
    out += std::to_string(Found());
    out += '\n';
  }

  // What the feature is and holds.
  void Meta(std::string& out) const {
    out += "<p class=\"mt\">m/z ";
    AppendNumber(out, f_.mz, 6);
    if (!f_.ion.empty()) {
      out += kDot;
      AppendEscaped(out, f_.ion);
    } else if (f_.charge != 0) {
      out += kDot;
      out += "charge ";
      out += ChargeText(f_.charge);
    }
    if (f_.mode != IonMode::Unknown) {
      out += kDot;
      out += f_.mode == IonMode::Positive ? "positive" : "negative";
    }
    out += kDot;
    AppendPlural(out, f_.ms1.size(), "MS1 spectrum", "MS1 spectra");
    out += kDot;
    AppendPlural(out, f_.ms2.size(), "MS/MS spectrum", "MS/MS spectra");
    out += kDot;
    const long long found = Found();
    out += std::to_string(found) + (found == 1 ? " candidate" : " candidates");
    if (shown_ < static_cast<size_t>(found)) out += ", the best " + std::to_string(shown_) + " shown";
    out += "</p>";
  }

  // The best candidates side by side: one column each, one row per figure.
  void Candidates(std::string& out) const {
    const auto cands = [&](std::string_view head, auto cell) {
      out += "<tr><th>";
      out += head;
      for (size_t k = 0; k < shown_; ++k) cell(r_.candidates[k]);
      out += '\n';
    };
    const auto td = [&] { out += "<td>"; };
    out += "<table class=\"cd\">";
    cands("", [&](const RankedCandidate& c) { out += "<th>#" + std::to_string(c.rank); });
    cands("Formula", [&](const RankedCandidate& c) {
      out += "<td class=\"fm\">";
      AppendEscaped(out, chem::ToUnicode(c.neutral));
    });
    cands("Ion", [&](const RankedCandidate& c) {
      td();
      AppendEscaped(out, IonOf(c));
      out += kDot;
      AppendEscaped(out, IonFormulaText(c.ionFormula, ChargeOf(c)));
    });
    cands("m/z", [&](const RankedCandidate& c) {
      td();
      AppendNumber(out, c.mzTheoretical, 6);
    });
    cands("Mass error", [&](const RankedCandidate& c) {
      td();
      AppendNumber(out, c.errorPpm, 2, true);
      out += " ppm (";
      AppendNumber(out, c.errorMda, 2, true);
      out += " mDa)";
    });
    cands("RDBE", [&](const RankedCandidate& c) {
      td();
      if (c.rdbe) AppendNumber(out, *c.rdbe, 1, true);
      else out += kDash;
    });
    cands("Score", [&](const RankedCandidate& c) {
      td();
      AppendNumber(out, c.score, 2, true);
    });
    cands("Probability", [&](const RankedCandidate& c) {
      OpenBarCell(out, c.probability);
      AppendProbability(out, c.probability);
    });
    cands("Isotope fit", [&](const RankedCandidate& c) {
      if (!c.isotopeScore) {
        td();
        out += r_.isotopePeaks.empty() ? kDash : std::string_view("not judged");
        return;
      }
      OpenBarCell(out, *c.isotopeScore);
      AppendNumber(out, *c.isotopeScore, 3);
    });
    cands("MS/MS explained (intensity · peaks)", [&](const RankedCandidate& c) {
      if (!c.msmsExplained) {
        td();
        out += r_.msmsPeaks.empty() ? kDash : std::string_view("not judged");
        return;
      }
      OpenBarCell(out, *c.msmsExplained);
      AppendNumber(out, *c.msmsExplained * 100, 0);
      out += " %";
      if (!c.fragments.empty()) {
        out += kDot;
        AppendPlural(out, c.fragments.size(), "peak", "peaks");
      }
    });
    cands("Rules broken", [&](const RankedCandidate& c) {
      const std::string names = chem::SoftBreakNames(c.softRules);
      out += names.empty() ? "<td>none" : "<td class=\"rb\">";
      AppendEscaped(out, names);
    });
    out += "</table>";
  }

  void Isotopes(std::string& out) const {
    out += "<figure class=\"fi\">";
    if (r_.isotopePeaks.empty()) {
      out += "<p class=\"no\">";
      out += f_.ms1.empty() ? "No MS1 spectrum: no isotope peaks to compare."
                            : "The MS1 spectrum does not show the ion within the tolerance.";
      out += "</p></figure>";
      return;
    }
    std::vector<chem::PatternPeak> pattern;
    std::string ion;
    if (shown_ > 0 && s_.table) {
      const RankedCandidate& best = r_.candidates.front();
      ion = IonFormulaText(best.ionFormula, ChargeOf(best));
      pattern = chem::IsotopePattern(best.ionFormula, ChargeOf(best), *s_.table, s_.resolution);
    }
    IsotopeFigure(out, r_.isotopePeaks, pattern, "Measured isotope peaks beside the pattern of the best candidate");
    out += "<figcaption>Isotope peaks: <i class=\"km\"></i>measured (";
    AppendPlural(out, r_.isotopePeaks.size(), "peak", "peaks");
    out += ")";
    if (!pattern.empty()) {
      out += " beside <i class=\"kp\"></i>the pattern of ";
      AppendEscaped(out, ion);
      out += ", the ion of #1 (resolving power ";
      AppendNumber(out, s_.resolution, 0);
      out += ")";
    } else if (shown_ > 0) {
      out += "; the pattern of #1 cannot be computed";
    }
    out += ", each scaled to its largest peak.</figcaption></figure>";
  }

  void Msms(std::string& out) const {
    out += "<figure class=\"fs\">";
    if (r_.msmsPeaks.empty()) {
      out += "<p class=\"no\">";
      out += f_.ms2.empty()        ? "No MS/MS spectrum."
             : f_.ms2.size() == 1 ? "The MS/MS spectrum holds no peak."
                                  : "The MS/MS spectra hold no peak.";
      out += "</p></figure>";
      return;
    }
    // The best candidate's fragment of each peak it explains (the first when several are given).
    std::vector<PeakLabel> labels;
    std::vector<const FragmentMatch*> of(r_.msmsPeaks.size(), nullptr);
    const RankedCandidate* best = shown_ > 0 ? &r_.candidates.front() : nullptr;
    if (best)
      for (const FragmentMatch& x : best->fragments)
        if (x.peak < of.size() && !of[x.peak]) {
          of[x.peak] = &x;
          std::string text = IonFormulaText(x.fragment, ChargeOf(*best) > 0 ? 1 : -1) + " ";
          AppendNumber(text, x.errorPpm, 1, true);
          labels.push_back({x.peak, std::move(text)});
        }
    const std::vector<size_t> left =
        MsmsFigure(out, r_.msmsPeaks, labels, f_.mz, "MS/MS spectrum with the peaks the best candidate explains");
    out += "<figcaption>MS/MS: ";
    if (f_.ms2.size() > 1) {
      AppendPlural(out, f_.ms2.size(), "spectrum", "spectra");
      out += " merged into ";
    }
    AppendPlural(out, r_.msmsPeaks.size(), "peak", "peaks");
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
        AppendNumber(out, r_.msmsPeaks[l.peak].mz, 4);
        out += ' ';
        AppendEscaped(out, l.text);
      }
      out += "</details>";
    }
    out += "</figcaption></figure>";
  }

  const Feature& f_;
  const RankResult& r_;
  size_t index_;
  const ReportSettings& s_;
  size_t shown_ = 0;
};

}  // namespace

ReportPart ReportFeature(const Feature& feature, const RankResult& result, size_t index,
                         const ReportSettings& settings) {
  return Section(feature, result, index, settings).Build();
}

}  // namespace zelm
