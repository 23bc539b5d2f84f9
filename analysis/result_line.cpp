#include "analysis/result_line.h"

#include "text/text.h"

namespace zelm {

size_t MassTextStart(std::string_view line) {
  if (line.size() <= kFormulaColumn) return line.size();
  // A formula of fewer than 30 characters is padded with blanks up to the column.
  if (line[kFormulaColumn - 1] == ' ') return kFormulaColumn;
  // The formula fills the column or runs past it: the mass text starts at its own leading blank, the last blank of the
  // line (number texts hold no blank). Without one (a negative mass) the column is taken.
  size_t blank = line.rfind(' ');
  if (blank != std::string_view::npos && blank >= kFormulaColumn) return blank;
  return kFormulaColumn;
}

std::string_view ResultFormulaView(std::string_view line) { return Trim(line.substr(0, MassTextStart(line))); }

std::string ResultFormula(std::string_view line) { return std::string(ResultFormulaView(line)); }

double ResultMass(std::string_view line) { return LeadingNumber(line.substr(MassTextStart(line))); }

}  // namespace zelm
