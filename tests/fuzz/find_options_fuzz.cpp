// zelm-find's element lists and valence overrides, as typed on its command line.
#include <set>

#include "chemistry/valence.h"
#include "rank/building_blocks.h"
#include "fuzz_support.h"

using namespace zelm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string text = fuzz::Text(data, size);

  std::vector<Block> blocks;
  std::string why;
  if (ParseElements(text, fuzz::BuiltInTable(), blocks, &why)) {
    std::set<std::string> names;
    for (const Block& b : blocks) {
      FUZZ_CHECK(0 <= b.min && b.min <= b.max);
      FUZZ_CHECK(fuzz::Finite(b.mass) && b.mass > 0);
      FUZZ_CHECK(!b.formula.Empty());
      FUZZ_CHECK(names.insert(b.name).second);
    }
  } else {
    FUZZ_CHECK(!why.empty());
  }

  static const char* const kUsual[] = {"C", "H", "N", "O", "S", "P", "Cl", "Si", "B", "Se", "Na"};
  chem::Valences valences;
  const chem::Valences before;
  std::string reason;
  if (valences.Parse(text, &reason)) {
    for (const char* symbol : kUsual) {
      const auto v = valences.Of(symbol);
      FUZZ_CHECK(v.has_value() && *v >= 1 && *v <= 8);
    }
  } else {
    FUZZ_CHECK(!reason.empty());
    // Nothing changed.
    for (const char* symbol : kUsual) FUZZ_CHECK(valences.Of(symbol) == before.Of(symbol));
  }
  return 0;
}
