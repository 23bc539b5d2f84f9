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

PatternPeaks Problem(std::string why) { return {{}, std::move(why)}; }

}  // namespace

PatternPeaks ComputePattern(const PatternRequest& request) {
  const chem::LoadedTable loaded =
      request.isotopes.empty() ? chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt")
                               : chem::LoadElementTable(request.isotopes);
  if (loaded.table.Empty())
    return Problem(loaded.problems.empty() ? request.isotopes + " holds no element" : loaded.problems.front().reason);
  const chem::ElementTable& table = loaded.table;
  if (!(request.resolution > 0)) return Problem("the resolving power --resolution must be above 0");

  const auto formula = chem::ParseFormula(request.formula, &table);
  if (!formula) return Problem("the formula \"" + request.formula + "\" cannot be used: " + formula.Error().message);
  const std::string ionText = request.ion.empty() ? "[M+H]+" : request.ion;
  if (ionText.find(',') != std::string::npos) return Problem("--pattern takes one ion type, not \"" + ionText + "\"");
  const auto ion = chem::IonType::Parse(ionText, &table);
  if (!ion) return Problem("the ion type \"" + ionText + "\" cannot be used: " + ion.Error().message);
  std::string why;
  const auto ionFormula = ion->IonFormula(*formula, &why);
  if (!ionFormula)
    return Problem("the ion " + ion->Notation() + " cannot be made of " + chem::ToAscii(*formula) + ": " + why);

  PatternPeaks result{chem::IsotopePattern(*ionFormula, ion->Charge(), table, request.resolution), {}};
  if (result.peaks.empty())
    return Problem("the isotope pattern of " + chem::ToAscii(*ionFormula) + " cannot be computed");
  return result;
}

const std::vector<Column>& PatternTable() {
  static const std::vector<Column> kColumns = {{"mz", true, 6}, {"abundance", true, 2}};
  return kColumns;
}

int WritePattern(const PatternRequest& request, std::ostream& out, std::ostream& err) {
  const auto format = TableFormatNamed(request.format);
  const PatternPeaks pattern = ComputePattern(request);
  if (!pattern.problem.empty()) return Fail(err, pattern.problem);
  if (!format) return Fail(err, "the format \"" + request.format + "\" is not tsv, csv or json");
  std::vector<std::string> names;
  for (const Column& c : PatternTable()) names.push_back(c.name);
  TableWriter writer(*format, names);
  for (const chem::PatternPeak& p : pattern.peaks) {
    const Cell cells[] = {{{}, p.mz}, {{}, p.abundance}};
    WriteCells(PatternTable(), cells, writer);
  }
  writer.End();
  if (request.output.empty()) {
    out << writer.Take() << std::flush;
  } else if (std::string problem = WriteFileAtomic(request.output, writer.Take()); !problem.empty()) {
    return Fail(err, problem);
  }
  return 0;
}

}  // namespace zelm
