#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "chemistry/formula_notation.h"
#include "rank/formula_layout.h"

namespace zelm {
namespace {

// Written from counts, a formula reads exactly as the chemistry layer writes the same composition: Hill order with
// and without carbon, isotopes beside their element, counts of 1 left out, in both notations.
TEST(FormulaLayout, WritesWhatTheChemistryLayerWrites) {
  const std::vector<chem::CompositionEntry> keys = {{"O", 0, 0},  {"C", 13, 0}, {"H", 0, 0}, {"Cl", 0, 0},
                                                    {"C", 0, 0},  {"N", 0, 0},  {"H", 2, 0}, {"Br", 0, 0},
                                                    {"Na", 0, 0}, {"S", 34, 0}, {"Xyz", 0, 0}};
  FormulaLayout layout;
  for (const auto& k : keys) layout.Index(k);
  EXPECT_EQ(layout.Index({"C", 0, 0}), 4u);  // an entry added again keeps its place
  layout.Finish();
  std::mt19937 random(9);
  for (int round = 0; round < 3000; ++round) {
    std::vector<long long> counts(keys.size());
    chem::Composition c;
    for (size_t i = 0; i < keys.size(); ++i) {
      counts[i] = random() % 3 == 0 ? 0 : 1 + random() % (round % 2 ? 3 : 120);
      if (counts[i] > 0) c.Add(keys[i].symbol, keys[i].massNumber, counts[i]);
    }
    std::string text;
    layout.Write(counts.data(), false, text);
    ASSERT_EQ(text, chem::ToAscii(c));
    layout.Write(counts.data(), true, text);
    ASSERT_EQ(text, chem::ToUnicode(c));
  }
}


}  // namespace
}  // namespace zelm
