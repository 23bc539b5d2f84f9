// Formula notations: any text read as a formula, with and without the element table; what reads is written in each
// notation and must read back as the same composition.
#include "chemistry/formula_notation.h"
#include "fuzz_support.h"

using namespace zelm;

namespace {

void CheckRoundTrips(const chem::Composition& c, const chem::ElementTable* table) {
  for (const std::string& written : {chem::ToAscii(c), chem::ToUnicode(c), chem::ToCoded(c)}) {
    const auto back = chem::ParseFormula(written, table);
    if (!back.Ok()) std::fprintf(stderr, "\"%s\" does not read back: %s\n", written.c_str(), back.Error().message.c_str());
    FUZZ_CHECK(back.Ok());
    FUZZ_CHECK(*back == c);
  }
  if (table) {
    // The window's form names every element by its most abundant isotope and reads back as that isotope.
    const auto back = chem::ParseFormula(chem::ToCoded(c, table), table);
    FUZZ_CHECK(back.Ok());
    FUZZ_CHECK(back->NaturalWhereMonoisotopic(*table) == c.NaturalWhereMonoisotopic(*table));
    const auto mass = c.MonoisotopicMass(*table);
    FUZZ_CHECK(mass.has_value() && fuzz::Finite(*mass) && *mass > 0);
  }
  // Hill order lists every entry once.
  FUZZ_CHECK(chem::HillOrder(c).size() == c.Entries().size());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);
  const chem::ElementTable& table = fuzz::BuiltInTable();

  const auto free = chem::ParseFormula(text);
  const auto typed = chem::ParseFormula(text, &table);
  if (!free.Ok()) {
    FUZZ_CHECK(free.Error().position <= text.size() && !free.Error().reason.empty());
    // A table only narrows what reads.
    FUZZ_CHECK(!typed.Ok());
  } else {
    FUZZ_CHECK(!free->Empty());
    CheckRoundTrips(*free, nullptr);
  }
  if (typed.Ok()) {
    FUZZ_CHECK(free.Ok() && *typed == *free);
    CheckRoundTrips(*typed, &table);
  } else {
    FUZZ_CHECK(typed.Error().position <= text.size() && !typed.Error().reason.empty());
  }
  return 0;
}
