// Composition arithmetic, comparison and monoisotopic mass.
#include <gtest/gtest.h>

#include "chemistry/chemistry_support.h"

#include "chemistry/composition.h"
#include "chemistry/element_table.h"
#include "chemistry/formula_notation.h"

namespace zelm::chem {
namespace {

// Exact masses as isotopes.txt lists them.
constexpr double kH = 1.00782503223, kC = 12.0, kC13 = 13.00335483507, kN = 14.00307400443, kO = 15.99491461957;

TEST(Composition, SameAtomsAreEqualHoweverBuilt) {
  Composition a({{"O", 0, 1}, {"H", 0, 1}, {"H", 0, 1}, {"N", 0, 0}});
  Composition b({{"H", 0, 2}, {"O", 0, 1}});
  EXPECT_EQ(a, b);
  EXPECT_EQ(a.Entries().size(), 2u);
  EXPECT_NE(a, Composition({{"H", 0, 1}, {"H", 2, 1}, {"O", 0, 1}}));
  EXPECT_TRUE(Composition().Empty());
  EXPECT_FALSE(a.Empty());
}

TEST(Composition, CountsOfEntriesAndOfElements) {
  Composition c({{"C", 0, 5}, {"C", 13, 1}, {"H", 0, 12}});
  EXPECT_EQ(c.Count("C"), 5);
  EXPECT_EQ(c.Count("C", 13), 1);
  EXPECT_EQ(c.Count("C", 14), 0);
  EXPECT_EQ(c.AtomsOf("C"), 6);
  EXPECT_EQ(c.Count("O"), 0);
}

TEST(Composition, AddSubtractAndContain) {
  Composition water = F("H2O"), glucose = F("C6H12O6");
  EXPECT_EQ(glucose + water, F("C6H14O7"));
  EXPECT_EQ(water.Times(3), F("H6O3"));
  EXPECT_TRUE(glucose.Times(0).Empty());
  EXPECT_TRUE(glucose.Contains(water));
  EXPECT_TRUE(glucose.Contains(Composition()));
  EXPECT_FALSE(water.Contains(glucose));
  EXPECT_FALSE(F("C6H12O6").Contains(F("[13C]")));
  ASSERT_TRUE(glucose.Minus(water).has_value());
  EXPECT_EQ(*glucose.Minus(water), F("C6H10O5"));
  EXPECT_TRUE(glucose.Minus(glucose)->Empty());
  EXPECT_FALSE(water.Minus(F("H3")).has_value());
  EXPECT_FALSE(water.Minus(F("N")).has_value());
  // Add refuses to take a count below zero and leaves the composition as it was.
  Composition c = water;
  EXPECT_FALSE(c.Add("O", 0, -2));
  EXPECT_EQ(c, water);
  EXPECT_TRUE(c.Add("O", 0, -1));
  EXPECT_EQ(c, F("H2"));
}

TEST(Composition, TotalOrder) {
  std::vector<Composition> cs = {F("H2O"), F("H2"), F("CH4"), F("[13C]H4"), F("C2"), Composition()};
  for (const Composition& a : cs) {
    EXPECT_FALSE(a < a);
    for (const Composition& b : cs) {
      if (a == b) continue;
      EXPECT_NE(a < b, b < a) << ToAscii(a) << " vs " << ToAscii(b);
      for (const Composition& c : cs) {
        if (a < b && b < c) {
          EXPECT_TRUE(a < c);
        }
      }
    }
  }
}

TEST(CompositionMass, KnownMolecules) {
  EXPECT_NEAR(*F("C8H10N4O2").MonoisotopicMass(Table()), 194.080376, 1e-6);  // caffeine
  EXPECT_NEAR(*F("C6H12O6").MonoisotopicMass(Table()), 6 * kC + 12 * kH + 6 * kO, 1e-9);
  EXPECT_NEAR(*F("[13C]C5H12O6").MonoisotopicMass(Table()), kC13 + 5 * kC + 12 * kH + 6 * kO, 1e-9);
  EXPECT_NEAR(*F("NH3").MonoisotopicMass(Table()), kN + 3 * kH, 1e-9);
  EXPECT_DOUBLE_EQ(*Composition().MonoisotopicMass(Table()), 0.0);
}

TEST(CompositionMass, UnknownElementOrIsotopeHasNoMass) {
  EXPECT_FALSE(F("C2Xx").MonoisotopicMass(Table()).has_value());
  EXPECT_FALSE(F("[14C]").MonoisotopicMass(Table()).has_value());
}

TEST(Composition, MonoisotopicEntriesBecomeNatural) {
  Composition c({{"C", 12, 5}, {"C", 13, 1}, {"H", 1, 12}, {"O", 18, 1}});
  EXPECT_EQ(c.NaturalWhereMonoisotopic(Table()), Composition({{"C", 0, 5}, {"C", 13, 1}, {"H", 0, 12}, {"O", 18, 1}}));
}

}  // namespace
}  // namespace zelm::chem
