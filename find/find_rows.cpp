#include "find/find_rows.h"

#include "chemistry/formula_notation.h"
#include "chemistry/formula_rules.h"

namespace zelm {

namespace {

std::string Formula(const chem::Composition& c, bool unicode) { return unicode ? chem::ToUnicode(c) : chem::ToAscii(c); }


}  // namespace

const std::vector<std::string>& CandidateColumns() {
  static const std::vector<std::string> kColumns = {
      "query",     "mz",   "ion",  "formula", "ion_formula",   "mz_theoretical", "error_ppm",
      "error_mda", "rdbe", "rank", "score",   "isotope_score", "msms_explained", "rules", "probability"};
  return kColumns;
}

const std::vector<std::string>& ExplainColumns() {
  static const std::vector<std::string> kColumns = {"query",     "rank",     "formula",  "ion",      "peak_mz",
                                                    "intensity", "fragment", "fragment_mz", "error_ppm", "error_mda"};
  return kColumns;
}

void CandidateRows(const Feature& feature, const RankResult& result, bool unicode, TableWriter& table) {
  char a[32], b[32], d[32], e[32], f[32], g[32], h[32], k[32], p[32];
  for (const RankedCandidate& c : result.candidates) {
    const std::string ion = result.ions[c.ion].Notation(), formula = Formula(c.neutral, unicode),
                      ionFormula = Formula(c.ionFormula, unicode), rank = std::to_string(c.rank),
                      rules = chem::SoftBreakNames(c.softRules);
    const CellView cells[] = {{feature.id, false},
                              {FormatNumber(feature.mz, 6, a), true},
                              {ion, false},
                              {formula, false},
                              {ionFormula, false},
                              {FormatNumber(c.mzTheoretical, 6, b), true},
                              {FormatNumber(c.errorPpm, 3, d), true},
                              {FormatNumber(c.errorMda, 3, e), true},
                              {c.rdbe ? FormatNumber(*c.rdbe, 1, f) : std::string_view(), true},
                              {rank, true},
                              {FormatNumber(c.score, 3, g), true},
                              {c.isotopeScore ? FormatNumber(*c.isotopeScore, 3, h) : std::string_view(), true},
                              {c.msmsExplained ? FormatNumber(*c.msmsExplained, 3, k) : std::string_view(), true},
                              {rules, false},
                              {FormatNumber(c.probability, 4, p), true}};
    table.Row(cells);
  }
}

void ExplainRows(const Feature& feature, const RankResult& result, bool unicode, TableWriter& table) {
  char a[32], b[32], d[32], e[32], f[32];
  const std::vector<Peak>& peaks = result.msmsPeaks;
  for (const RankedCandidate& c : result.candidates) {
    const std::string rank = std::to_string(c.rank), formula = Formula(c.neutral, unicode),
                      ion = result.ions[c.ion].Notation();
    // Each MS/MS peak, with the fragment that explains it (none: empty cells).
    std::vector<const FragmentMatch*> of(peaks.size(), nullptr);
    for (const FragmentMatch& x : c.fragments)
      if (x.peak < peaks.size() && !of[x.peak]) of[x.peak] = &x;
    for (size_t p = 0; p < peaks.size(); ++p) {
      const FragmentMatch* x = of[p];
      const std::string fragment = x ? Formula(x->fragment, unicode) : std::string();
      const CellView cells[] = {{feature.id, false},
                                {rank, true},
                                {formula, false},
                                {ion, false},
                                {FormatNumber(peaks[p].mz, 6, a), true},
                                {FormatNumber(peaks[p].intensity, 6, b), true},
                                {fragment, false},
                                {x ? FormatNumber(x->mzTheoretical, 6, d) : std::string_view(), true},
                                {x ? FormatNumber(x->errorPpm, 3, e) : std::string_view(), true},
                                {x ? FormatNumber(x->errorMda, 3, f) : std::string_view(), true}};
      table.Row(cells);
    }
  }
}

}  // namespace zelm
