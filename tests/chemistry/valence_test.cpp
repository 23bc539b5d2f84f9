#include "chemistry/valence.h"

#include <gtest/gtest.h>

#include "chemistry_support.h"

namespace zelm::chem {
namespace {

TEST(Valence, RdbeOfKnownCompounds) {
  // Caffeine: 6; benzene 4; glucose 1; an alkane 0; the odd-electron radical CH3 gives half a bond.
  EXPECT_DOUBLE_EQ(*Rdbe(F("C8H10N4O2")), 6);
  EXPECT_DOUBLE_EQ(*Rdbe(F("C6H6")), 4);
  EXPECT_DOUBLE_EQ(*Rdbe(F("C6H12O6")), 1);
  EXPECT_DOUBLE_EQ(*Rdbe(F("C8H18")), 0);
  EXPECT_DOUBLE_EQ(*Rdbe(F("CH3")), 0.5);
  // Halogens count as hydrogen; isotopes count as their element.
  EXPECT_DOUBLE_EQ(*Rdbe(F("C6H4Cl2")), 4);
  EXPECT_DOUBLE_EQ(*Rdbe(F("[13C]C5H6")), 4);
  // PFOS C8HF17O3S: 0; glucose 6-phosphate: 1.
  EXPECT_DOUBLE_EQ(*Rdbe(F("C8HF17O3S")), 0);
  EXPECT_DOUBLE_EQ(*Rdbe(F("C6H13O9P")), 1);
}

TEST(Valence, UnknownElementHasNoRdbeAndOverridesApply) {
  EXPECT_FALSE(Rdbe(F("C2H3Xe")).has_value());
  Valences v;
  std::string why;
  ASSERT_TRUE(v.Parse("S6, P=5 Xe2", &why)) << why;
  EXPECT_EQ(*v.Of("S"), 6);
  EXPECT_EQ(*v.Of("P"), 5);
  // Sulfuric acid: its two S=O bonds count once sulfur is taken as hexavalent.
  EXPECT_DOUBLE_EQ(*Rdbe(F("H2SO4"), v), 2);
  EXPECT_DOUBLE_EQ(*Rdbe(F("H2SO4")), 0);
  EXPECT_DOUBLE_EQ(*Rdbe(F("C2H3Xe"), v), 1.5);
  // A bad item changes nothing.
  Valences w;
  EXPECT_FALSE(w.Parse("N5, S", &why));
  EXPECT_NE(why.find("\"S\""), std::string::npos);
  EXPECT_EQ(*w.Of("N"), 3);
  EXPECT_FALSE(w.Parse("s2", &why));
  EXPECT_FALSE(w.Parse("N9", &why));
}

}  // namespace
}  // namespace zelm::chem
