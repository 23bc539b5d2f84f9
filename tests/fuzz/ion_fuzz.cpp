// Ion notations: any text read as an ion type, with and without the element table; what reads writes its notation
// back, reads again as the same ion type, and converts masses both ways.
#include "chemistry/ion_type.h"
#include "fuzz_support.h"

using namespace zelm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);
  const chem::ElementTable& table = fuzz::BuiltInTable();

  for (const chem::ElementTable* with : {static_cast<const chem::ElementTable*>(nullptr), &table}) {
    const auto ion = chem::IonType::Parse(text, with);
    if (!ion.Ok()) {
      FUZZ_CHECK(ion.Error().position <= text.size() && !ion.Error().reason.empty());
      continue;
    }
    FUZZ_CHECK(std::abs(ion->Charge()) <= 3);
    FUZZ_CHECK(ion->Multimer() >= 1 && ion->Multimer() <= 99);
    const std::string notation = ion->Notation();
    const auto again = chem::IonType::Parse(notation, with);
    if (!again.Ok()) std::fprintf(stderr, "\"%s\" does not read back: %s\n", notation.c_str(), again.Error().message.c_str());
    FUZZ_CHECK(again.Ok());
    FUZZ_CHECK(*again == *ion);
    FUZZ_CHECK(again->Notation() == notation);

    if (const auto rule = ion->MassRule(table)) {
      FUZZ_CHECK(rule->charge == ion->Charge() && rule->multimer == ion->Multimer());
      FUZZ_CHECK(fuzz::Finite(rule->shift));
      // The neutral mass of an m/z gives that m/z again.
      const double neutral = rule->NeutralOf(500);
      FUZZ_CHECK(fuzz::Finite(neutral));
      FUZZ_CHECK(std::fabs(rule->MzOf(neutral) - 500) <= 1e-9 * (1 + std::fabs(rule->shift)));
    } else {
      FUZZ_CHECK(with == nullptr);
    }
  }
  return 0;
}
