#include "find/find_rows.h"

#include <array>

#include "chemistry/formula_notation.h"
#include "chemistry/formula_rules.h"

namespace zelm {

namespace {

constexpr double kNone = std::numeric_limits<double>::quiet_NaN();

std::string Formula(const chem::Composition& c, bool unicode) { return unicode ? chem::ToUnicode(c) : chem::ToAscii(c); }

std::vector<std::string> Names(const std::vector<Column>& columns) {
  std::vector<std::string> names;
  for (const Column& c : columns) names.push_back(c.name);
  return names;
}

}  // namespace

// Text columns, then number columns with their decimals: m/z to 6, errors and scores to 3, the RDBE to 1.
const std::vector<Column>& CandidateTable() {
  static const std::vector<Column> kColumns = {
      {"query"},         {"mz", true, 6},    {"ion"},                     {"formula"},
      {"ion_formula"},   {"mz_theoretical", true, 6},                     {"error_ppm", true, 3},
      {"error_mda", true, 3},                {"rdbe", true, 1},           {"rank", true, 0},
      {"score", true, 3},                    {"isotope_score", true, 3},  {"msms_explained", true, 3},
      {"rules"},                             {"probability", true, 4}};
  return kColumns;
}

const std::vector<Column>& ExplainTable() {
  static const std::vector<Column> kColumns = {
      {"query"},              {"rank", true, 0},        {"formula"},          {"ion"},
      {"peak_mz", true, 6},   {"intensity", true, 6},   {"fragment"},         {"fragment_mz", true, 6},
      {"error_ppm", true, 3}, {"error_mda", true, 3}};
  return kColumns;
}

const std::vector<std::string>& CandidateColumns() {
  static const std::vector<std::string> kNames = Names(CandidateTable());
  return kNames;
}

const std::vector<std::string>& ExplainColumns() {
  static const std::vector<std::string> kNames = Names(ExplainTable());
  return kNames;
}

void CandidateCells(const Feature& feature, const RankResult& result, bool unicode, const RowSink& row) {
  for (const RankedCandidate& c : result.candidates) {
    const std::string ion = result.ions[c.ion].Notation(), formula = Formula(c.neutral, unicode),
                      ionFormula = Formula(c.ionFormula, unicode), rules = chem::SoftBreakNames(c.softRules);
    const Cell cells[] = {{feature.id},
                          {{}, feature.mz},
                          {ion},
                          {formula},
                          {ionFormula},
                          {{}, c.mzTheoretical},
                          {{}, c.errorPpm},
                          {{}, c.errorMda},
                          {{}, c.rdbe.value_or(kNone)},
                          {{}, static_cast<double>(c.rank)},
                          {{}, c.score},
                          {{}, c.isotopeScore.value_or(kNone)},
                          {{}, c.msmsExplained.value_or(kNone)},
                          {rules},
                          {{}, c.probability}};
    row(cells);
  }
}

void ExplainCells(const Feature& feature, const RankResult& result, bool unicode, const RowSink& row) {
  const std::vector<Peak>& peaks = result.msmsPeaks;
  for (const RankedCandidate& c : result.candidates) {
    const std::string formula = Formula(c.neutral, unicode), ion = result.ions[c.ion].Notation();
    // Each MS/MS peak, with the fragment that explains it (none: empty cells).
    std::vector<const FragmentMatch*> of(peaks.size(), nullptr);
    for (const FragmentMatch& x : c.fragments)
      if (x.peak < peaks.size() && !of[x.peak]) of[x.peak] = &x;
    for (size_t p = 0; p < peaks.size(); ++p) {
      const FragmentMatch* x = of[p];
      const std::string fragment = x ? Formula(x->fragment, unicode) : std::string();
      const Cell cells[] = {{feature.id},
                            {{}, static_cast<double>(c.rank)},
                            {formula},
                            {ion},
                            {{}, peaks[p].mz},
                            {{}, peaks[p].intensity},
                            {fragment},
                            {{}, x ? x->mzTheoretical : kNone},
                            {{}, x ? x->errorPpm : kNone},
                            {{}, x ? x->errorMda : kNone}};
      row(cells);
    }
  }
}

void WriteCells(const std::vector<Column>& columns, const Cell* cells, TableWriter& table) {
  // On the stack for the tables above (15 columns at most), so that a row costs no allocation.
  constexpr size_t kOnStack = 16;
  char stackBuf[kOnStack][32];
  CellView stackViews[kOnStack];
  std::vector<std::array<char, 32>> heapBuf(columns.size() > kOnStack ? columns.size() : 0);
  std::vector<CellView> heapViews(heapBuf.size());
  CellView* views = heapViews.empty() ? stackViews : heapViews.data();
  for (size_t i = 0; i < columns.size(); ++i) {
    char* buf = heapBuf.empty() ? stackBuf[i] : heapBuf[i].data();
    views[i] = columns[i].number ? CellView{FormatNumber(cells[i].number, columns[i].decimals, buf), true}
                                 : CellView{cells[i].text, false};
  }
  table.Row(views);
}

void CandidateRows(const Feature& feature, const RankResult& result, bool unicode, TableWriter& table) {
  CandidateCells(feature, result, unicode, [&](const Cell* cells) { WriteCells(CandidateTable(), cells, table); });
}

void ExplainRows(const Feature& feature, const RankResult& result, bool unicode, TableWriter& table) {
  ExplainCells(feature, result, unicode, [&](const Cell* cells) { WriteCells(ExplainTable(), cells, table); });
}

}  // namespace zelm
