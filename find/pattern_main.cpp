#include "find/pattern_main.h"

#include <ostream>

#include "chemistry/element_table.h"
#include "chemistry/formula_notation.h"
#include "chemistry/ion_type.h"
#include "find/table_output.h"
#include "text/defaults.h"
#include "text/textfile.h"

namespace zelm {

namespace {

int Fail(std::ostream& err, const std::string& message) {
  err << "zelm-find: " << message << "\n";
  return 2;
}

}  // namespace

int WritePattern(const PatternRequest& request, std::ostream& out, std::ostream& err) {
  const chem::LoadedTable loaded =
      request.isotopes.empty() ? chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt")
                               : chem::LoadElementTable(request.isotopes);
  if (loaded.table.Empty())
    return Fail(err, loaded.problems.empty() ? request.isotopes + " holds no element" : loaded.problems.front().reason);
  const chem::ElementTable& table = loaded.table;
  if (!(request.resolution > 0)) return Fail(err, "the resolving power --resolution must be above 0");
  const auto format = TableFormatNamed(request.format);
  if (!format) return Fail(err, "the format \"" + request.format + "\" is not tsv, csv or json");

  const auto formula = chem::ParseFormula(request.formula, &table);
  if (!formula)
    return Fail(err, "the formula \"" + request.formula + "\" cannot be used: " + formula.Error().message);
  const std::string ionText = request.ion.empty() ? "[M+H]+" : request.ion;
  if (ionText.find(',') != std::string::npos) return Fail(err, "--pattern takes one ion type, not \"" + ionText + "\"");
  const auto ion = chem::IonType::Parse(ionText, &table);
  if (!ion) return Fail(err, "the ion type \"" + ionText + "\" cannot be used: " + ion.Error().message);
  std::string why;
  const auto ionFormula = ion->IonFormula(*formula, &why);
  if (!ionFormula)
    return Fail(err, "the ion " + ion->Notation() + " cannot be made of " + chem::ToAscii(*formula) + ": " + why);

  const auto pattern = chem::IsotopePattern(*ionFormula, ion->Charge(), table, request.resolution);
  if (pattern.empty()) return Fail(err, "the isotope pattern of " + chem::ToAscii(*ionFormula) + " cannot be computed");
  TableWriter writer(*format, {"mz", "abundance"});
  char mz[32], abundance[32];
  for (const chem::PatternPeak& p : pattern)
    writer.Row({{FormatNumber(p.mz, 6, mz), true}, {FormatNumber(p.abundance, 2, abundance), true}});
  writer.End();
  if (request.output.empty()) {
    out << writer.Take() << std::flush;
  } else if (std::string problem = WriteFileAtomic(request.output, writer.Take()); !problem.empty()) {
    return Fail(err, problem);
  }
  return 0;
}

}  // namespace zelm
