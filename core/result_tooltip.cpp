#include "core/result_tooltip.h"

#include <algorithm>
#include <cmath>

#include "chemistry/formula_notation.h"
#include "chemistry/valence.h"
#include "core/form1.h"
#include "core/result_line.h"
#include "text/text.h"

namespace zelm {

namespace {

// Figures of the error: hundredths of a ppm and of a mDa.
constexpr int kErrorDecimals = 2;

std::string ErrorLine(double error, double lineMass) {
  if (std::isnan(error)) return "error not known: the mass this line was searched for is not known";
  const std::string mDa = FixedText(error * 1000, kErrorDecimals) + " mDa";
  // A line of no positive mass has no error relative to it.
  if (!(lineMass > 0)) return "error " + mDa;
  return "error " + FixedText(error / lineMass * 1e6, kErrorDecimals) + " ppm (" + mDa + ")";
}

std::string RdbeLine(const chem::Composition& composition) {
  const chem::Valences valences;
  if (const std::optional<double> rdbe = chem::Rdbe(composition, valences)) {
    // Whole valences give whole or half RDBE.
    return "RDBE " + FixedText(*rdbe, *rdbe == std::trunc(*rdbe) ? 0 : 1);
  }
  std::string missing;
  for (const chem::CompositionEntry& e : chem::HillOrder(composition))
    if (!valences.Of(e.symbol) && missing.find(" " + e.symbol + ",") == std::string::npos)
      missing += " " + e.symbol + ",";
  missing.pop_back();
  return "RDBE not known: no valence for" + missing;
}

}  // namespace

std::optional<chem::Composition> ResultComposition(std::string_view formula, const chem::ElementTable& table,
                                                   std::string* unread) {
  chem::Composition total;
  size_t p = 0;
  while (p < formula.size()) {
    const size_t start = p;
    while (p < formula.size() && !IsSubscript(formula[p])) ++p;
    const std::string_view label = formula.substr(start, p - start);
    long long count = 0;
    for (; p < formula.size() && IsSubscript(formula[p]); ++p) {
      const int digit = static_cast<unsigned char>(formula[p]) - kSubZero;
      // Only the ten subscript digits count; counts are far below the limit the search can reach.
      if (digit > 9 || count > 1000000000LL) count = -1;
      if (count >= 0) count = count * 10 + digit;
    }
    chem::Parsed<chem::Composition> read = chem::ParseFormula(label, &table);
    if (!read || count <= 0) {
      if (unread) *unread = std::string(label);
      return std::nullopt;
    }
    total += read->Times(count);
  }
  if (total.Empty()) {
    if (unread) *unread = std::string(formula);
    return std::nullopt;
  }
  return total;
}

std::string ResultToolTip(std::string_view line, double error, const chem::ElementTable& table) {
  const ResultLineParts parts = SplitResultLine(line);
  std::string unread;
  const std::optional<chem::Composition> composition = ResultComposition(parts.formula, table, &unread);
  std::string tip = composition ? chem::ToCoded(composition->NaturalWhereMonoisotopic(table)) : std::string(parts.formula);
  tip += '\n' + ErrorLine(error, ResultMass(line));
  if (composition)
    tip += '\n' + RdbeLine(*composition);
  else
    tip += "\nno Hill order or RDBE: " + (unread.empty() ? std::string(parts.formula) : unread) +
           " is not made of known elements";
  return tip;
}

std::string Form1::ResultsToolTip(int i) const {
  if (i < 0 || i >= Results.Count()) return {};
  // The elements as the isotope table now lists them.
  std::string isotopes;
  const int records =
      static_cast<int>(std::clamp(LeadingNumber(IsotopeTable[0][0]), 0.0, static_cast<double>(kIsotopeLimit)));
  for (int r = 1; r <= records; ++r) {
    const auto& f = IsotopeTable[static_cast<size_t>(r)];
    isotopes += f[0] + "," + f[1] + "," + f[2] + "," + f[3] + "\n";
  }
  const chem::LoadedTable table = chem::ReadElementTable(isotopes, "isotopes.txt");
  return ResultToolTip(Results.Item(i), Results.ItemData(i), table.table);
}

}  // namespace zelm
