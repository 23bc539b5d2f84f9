// The isotope table: read as the window's table of texts (and used for the isotope lines of a selected result and its
// plot), and typed into the element table the chemistry layer and zelm-find compute with.
#include <utility>

#include "chemistry/formula_notation.h"
#include "text/data_files.h"
#include "text/text.h"
#include "window_support.h"

using namespace zelm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::Text(data, size);

  const IsotopeData file = ReadIsotopes(fuzz::Scratch().Write("isotopes.txt", bytes));
  FUZZ_CHECK(file.read);
  int lastLine = 0;
  for (const IsotopeRecord& record : file.records) {
    FUZZ_CHECK(record.line > lastLine);
    FUZZ_CHECK(IsNumberText(record.fields[2]) && IsNumberText(record.fields[3]));
    lastLine = record.line;
  }

  // The element table: every element has isotopes, its most abundant one among them, abundances that are fractions
  // summing to 1, and can be found by its symbol.
  const chem::LoadedTable loaded = chem::ReadElementTable(bytes, "isotopes.txt");
  const chem::ElementTable& table = loaded.table;
  for (const chem::Element& element : table.Elements()) {
    FUZZ_CHECK(chem::IsElementSymbol(element.symbol));
    FUZZ_CHECK(!element.isotopes.empty() && element.mostAbundant < element.isotopes.size());
    FUZZ_CHECK(table.Find(element.symbol) == &element);
    double sum = 0;
    for (const chem::Isotope& isotope : element.isotopes) {
      FUZZ_CHECK(isotope.symbol == element.symbol);
      FUZZ_CHECK(fuzz::Finite(isotope.mass));
      FUZZ_CHECK(isotope.abundance >= 0 && isotope.abundance <= 1);
      FUZZ_CHECK(isotope.abundance <= element.Monoisotopic().abundance);
      FUZZ_CHECK(element.FindIsotope(isotope.massNumber) != nullptr);
      sum += isotope.abundance;
    }
    FUZZ_CHECK(std::fabs(sum - 1) < 1e-9);
    // A formula of the element reads with the table and weighs its most abundant isotope.
    const auto parsed = chem::ParseFormula(element.symbol + "2", &table);
    FUZZ_CHECK(parsed.Ok());
    const auto mass = parsed->MonoisotopicMass(table);
    FUZZ_CHECK(mass.has_value() && *mass == 2 * element.MonoisotopicMass());
  }
  for (const chem::TableProblem& problem : loaded.problems) FUZZ_CHECK(problem.line > 0 && !problem.reason.empty());

  // The window: the table read at activation, then a search of carbon 12 whose lines are selected one by one, each
  // with its isotope lines and plot.
  auto window = fuzz::StartWindow(std::pair{std::string("isotopes.txt"), bytes},
                                  std::pair{std::string("EMassQuick.txt"), std::string("\x81\x82" "C,12\r\n")});
  Form1& form = window->form;
  FUZZ_CHECK(fuzz::CountIn(form.IsotopeTable[0][0]) == std::min<int>(file.records.size(), kIsotopeLimit));
  form.FindMass.SetText("24");
  form.QuickSearch_Click();
  FUZZ_CHECK(form.Results.Count() > 0);
  const double lines = form.IsotopeLines[0][0];
  FUZZ_CHECK(lines >= 0 && lines <= kIsotopeLineLimit);
  return 0;
}
