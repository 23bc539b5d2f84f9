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

size_t MassTextStart(std::string_view line) {
  if (line.size() <= kFormulaColumn) return line.size();
  // A formula of fewer than 30 characters is padded with blanks up to the column.
  if (line[kFormulaColumn - 1] == ' ') return kFormulaColumn;
  // The formula fills the column or runs past it: the mass text starts at its own leading blank, the last blank of the
  // line (number texts hold no blank), or for a negative mass at its minus: the first one from which on the line is a
  // number (a later one may be the exponent's).
  size_t blank = line.rfind(' ');
  if (blank != std::string_view::npos && blank >= kFormulaColumn) return blank;
  for (size_t minus = line.find('-', kFormulaColumn); minus != std::string_view::npos;
       minus = line.find('-', minus + 1)) {
    if (IsNumberText(line.substr(minus))) return minus;
  }
  return kFormulaColumn;
}

std::string_view ResultFormulaView(std::string_view line) { return Trim(line.substr(0, MassTextStart(line))); }

std::string ResultFormula(std::string_view line) { return std::string(ResultFormulaView(line)); }

double ResultMass(std::string_view line) { return LeadingNumber(line.substr(MassTextStart(line))); }

}  // namespace zelm
