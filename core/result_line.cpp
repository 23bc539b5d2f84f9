#include "core/result_line.h"

#include "text/text.h"

namespace zelm {

std::string ResultLine(std::string_view formula, std::string_view massText) {
  std::string line(formula);
  if (formula.size() <= kFormulaColumn) {
    line.append(kFormulaColumn - formula.size(), ' ');
    line += massText.substr(0, kShortMassText);
  } else {
    line += massText;
  }
  return line;
}

ResultLineParts SplitResultLine(std::string_view line) {
  const size_t start = MassTextStart(line);
  return {Trim(line.substr(0, start)), line.substr(start)};
}

namespace {

// Whether text (a line's end) is a whole number text: number texts hold no blank but their leading one.
bool IsMassText(std::string_view text) { return !text.empty() && LeadingNumberLength(text) == text.size(); }

}  // namespace

size_t MassTextStart(std::string_view line) {
  if (line.size() <= kFormulaColumn) return line.size();
  // A formula may hold blanks of its own (labels such as "Na Cl"), so neither a blank before the column nor one after
  // it tells where the mass text starts. It starts at its own leading blank when that is the last blank of the line
  // and the rest is a number; for a negative mass at its minus, the first one from which on the line is a number (a
  // later one may be the exponent's). A formula of fewer than 30 characters is padded with blanks up to the column,
  // so when neither is found (the cut mass text of a short formula) it starts at the column.
  const size_t blank = line.rfind(' ');
  if (blank != std::string_view::npos && blank >= kFormulaColumn && IsMassText(line.substr(blank))) return blank;
  for (size_t minus = line.find('-', kFormulaColumn); minus != std::string_view::npos;
       minus = line.find('-', minus + 1)) {
    if (IsMassText(line.substr(minus))) return minus;
  }
  return kFormulaColumn;
}

std::string_view ResultFormulaView(std::string_view line) { return Trim(line.substr(0, MassTextStart(line))); }

std::string ResultFormula(std::string_view line) { return std::string(ResultFormulaView(line)); }

double ResultMass(std::string_view line) { return LeadingNumber(line.substr(MassTextStart(line))); }

}  // namespace zelm
