#include <algorithm>
#include <cstdlib>

#include "chemistry/formula_notation.h"
#include "chemistry/formula_rules.h"
#include "find/html_text.h"
#include "find/report_parts.h"

namespace zelm {

namespace {

std::string IonOf(const RankResult& r, const RankedCandidate& c) {
  return c.ion < r.ions.size() ? r.ions[c.ion].Notation() : std::string();
}

// A table cell whose background is a bar of `share` (0 to 1) of its width.
void OpenBarCell(std::string& out, double share) {
  out += "<td class=\"b\" style=\"--v:";
  AppendNumber(out, std::clamp(share, 0.0, 1.0), 2);
  out += "\">";
}

}  // namespace

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

void AppendProbability(std::string& out, double p) {
  if (p > 0 && p < 0.0005)
    out += "&lt;0.001";
  else
    AppendNumber(out, p, 3);
}

int ChargeOf(const RankResult& r, const RankedCandidate& c) {
  return c.ion < r.ions.size() ? r.ions[c.ion].Charge() : 0;
}

void CandidateTable(std::string& out, const RankResult& result, size_t shown) {
  const auto cands = [&](std::string_view head, auto cell) {
    out += "<tr><th>";
    out += head;
    for (size_t k = 0; k < shown; ++k) cell(result.candidates[k]);
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
    AppendEscaped(out, IonOf(result, c));
    out += kReportDot;
    AppendEscaped(out, IonFormulaText(c.ionFormula, ChargeOf(result, c)));
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
    if (c.rdbe)
      AppendNumber(out, *c.rdbe, 1, true);
    else
      out += kReportDash;
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
      out += result.isotopePeaks.empty() ? kReportDash : std::string_view("not judged");
      return;
    }
    OpenBarCell(out, *c.isotopeScore);
    AppendNumber(out, *c.isotopeScore, 3);
  });
  cands("MS/MS explained (intensity · peaks)", [&](const RankedCandidate& c) {
    if (!c.msmsExplained) {
      td();
      out += result.msmsPeaks.empty() ? kReportDash : std::string_view("not judged");
      return;
    }
    OpenBarCell(out, *c.msmsExplained);
    AppendNumber(out, *c.msmsExplained * 100, 0);
    out += " %";
    if (!c.fragments.empty()) {
      out += kReportDot;
      AppendPlural(out, c.fragments.size(), "peak", "peaks");
    }
  });
  if (result.knownFormulas)
    cands("Known compound's formula", [&](const RankedCandidate& c) {
      td();
      out += c.evidence[Index(Term::KnownFormula)] > 0 ? "yes" : "no";
    });
  cands("Rules broken", [&](const RankedCandidate& c) {
    const std::string names = chem::SoftBreakNames(c.softRules);
    out += names.empty() ? "<td>none" : "<td class=\"rb\">";
    AppendEscaped(out, names);
  });
  out += "</table>";
}

}  // namespace zelm
