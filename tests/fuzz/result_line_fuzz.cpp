// Result lines: read apart into formula and mass wherever they come from, and written and read back; the fragment
// check reads the formulas of two lines.
#include <cstring>

#include "core/result_line.h"
#include "text/text.h"
#include "window_support.h"

using namespace zelm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string line = fuzz::Text(data, size);

  const size_t start = MassTextStart(line);
  FUZZ_CHECK(start <= line.size());
  const ResultLineParts parts = SplitResultLine(line);
  FUZZ_CHECK(parts.formula == Trim(std::string_view(line).substr(0, start)));
  FUZZ_CHECK(parts.massText == std::string_view(line).substr(start));
  FUZZ_CHECK(ResultFormula(line) == parts.formula && ResultFormulaView(line) == parts.formula);
  FUZZ_CHECK(fuzz::Finite(ResultMass(line)));

  // A line written from a formula (the input after its first eight bytes, without blanks around it, as a formula has
  // none) and the number text of a mass (those eight bytes) reads back as that formula and, when the formula is long,
  // that whole mass text. Left out: a formula that ends in an exponent's "E", which a negative whole mass would
  // complete to a number ("... 1E" and "-5").
  if (size > sizeof(double)) {
    double mass;
    std::memcpy(&mass, data, sizeof mass);
    const std::string formula(Trim(std::string_view(line).substr(sizeof mass)));
    if (!formula.empty() && formula.back() != 'E' && formula.back() != 'e') {
      const std::string massText = NumberText(mass);
      const std::string written = ResultLine(formula, massText);
      const ResultLineParts back = SplitResultLine(written);
      FUZZ_CHECK(back.formula == formula);
      if (formula.size() > kFormulaColumn) {
        FUZZ_CHECK(back.massText == massText);
        FUZZ_CHECK(ResultMass(written) == LeadingNumber(massText));
      } else {
        FUZZ_CHECK(back.massText == std::string_view(massText).substr(0, kShortMassText));
      }
    }
  }

  // The fragment check on the two halves of the input; a formula is always a fragment of itself.
  static auto window = fuzz::StartWindow();
  const std::string a = line.substr(0, size / 2), b = line.substr(size / 2);
  const std::string answer = window->form.FragmentCheck(a, b);
  FUZZ_CHECK(answer.empty() || answer == "YES");
  return 0;
}
