#include <algorithm>

#include "chemistry/formula_notation.h"
#include "find/html_text.h"
#include "find/report_parts.h"

namespace zelm {

namespace {

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
      CandidateTable(out, r_, shown_);
    }
    out += "<div class=\"fg\">";
    IsotopeBlock(out, f_, r_, shown_, s_);
    MsmsBlock(out, f_, r_, shown_);
    out += "</div></section>\n";
    return part;
  }

 private:
  long long Found() const {
    long long n = 0;
    for (long long k : r_.found) n += k;
    return n;
  }

  // The summary's row: id (a link to the section), m/z, ion, best formula and probability, runner-up and
  // probability, candidates.
  void Row(std::string& out) const {
    out += "<tr><td><a href=\"#f" + std::to_string(index_) + "\">";
    AppendEscaped(out, f_.id);
    out += "</a><td>";
    AppendNumber(out, f_.mz, 5);
    out += "<td>";
    if (!r_.candidates.empty()) {
      const size_t ion = r_.candidates.front().ion;
      if (ion < r_.ions.size()) AppendEscaped(out, r_.ions[ion].Notation());
    } else {
      for (size_t i = 0; i < r_.ions.size(); ++i) {
        if (i) out += ", ";
        AppendEscaped(out, r_.ions[i].Notation());
      }
      if (r_.ions.empty()) AppendEscaped(out, f_.ion);
    }
    for (size_t k = 0; k < 2; ++k) {
      out += "<td>";
      if (k < r_.candidates.size())
        AppendEscaped(out, chem::ToUnicode(r_.candidates[k].neutral));
      else
        out += kReportDash;
      out += "<td>";
      if (k < r_.candidates.size())
        AppendProbability(out, r_.candidates[k].probability);
      else
        out += kReportDash;
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
      out += kReportDot;
      AppendEscaped(out, f_.ion);
    } else if (f_.charge != 0) {
      out += kReportDot;
      out += "charge ";
      out += ChargeText(f_.charge);
    }
    if (f_.mode != IonMode::Unknown) {
      out += kReportDot;
      out += f_.mode == IonMode::Positive ? "positive" : "negative";
    }
    out += kReportDot;
    AppendPlural(out, f_.ms1.size(), "MS1 spectrum", "MS1 spectra");
    out += kReportDot;
    AppendPlural(out, f_.ms2.size(), "MS/MS spectrum", "MS/MS spectra");
    out += kReportDot;
    const long long found = Found();
    out += std::to_string(found) + (found == 1 ? " candidate" : " candidates");
    if (shown_ < static_cast<size_t>(found)) out += ", the best " + std::to_string(shown_) + " shown";
    out += "</p>";
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
