// Ion types read from their notation, their formulas and the neutral mass <-> m/z conversions.
#include <gtest/gtest.h>

#include "chemistry/chemistry_support.h"

#include "chemistry/element_table.h"
#include "chemistry/formula_notation.h"
#include "chemistry/ion_type.h"

namespace zelm::chem {
namespace {

// Exact masses written out (isotopes.txt), and the electron.
constexpr double kH = 1.00782503223, kC = 12.0, kN = 14.00307400443, kO = 15.99491461957, kNa = 22.989769282,
                 kK = 38.9637064864, kCl = 34.968852682, kE = 0.000548579909;
constexpr double kM = 300.0;  // a neutral monoisotopic mass

IonType Ion(std::string_view text) {
  Parsed<IonType> ion = IonType::Parse(text, &Table());
  EXPECT_TRUE(ion.Ok()) << text << ": " << ion.Error().message;
  return ion.Ok() ? *ion : IonType();
}

struct KnownIon {
  const char* text;
  int charge;
  int multimer;
  double mz;  // of kM
};

const KnownIon kIons[] = {
    {"M", 0, 1, kM},
    {"[M+H]+", 1, 1, kM + kH - kE},
    {"[M-H]-", -1, 1, kM - kH + kE},
    {"[M+Na]+", 1, 1, kM + kNa - kE},
    {"[M+K]+", 1, 1, kM + kK - kE},
    {"[M+NH4]+", 1, 1, kM + kN + 4 * kH - kE},
    {"[M+Cl]-", -1, 1, kM + kCl + kE},
    {"[M+FA-H]-", -1, 1, kM + kC + 2 * kH + 2 * kO - kH + kE},
    {"[M+CH3COOH-H]-", -1, 1, kM + 2 * kC + 4 * kH + 2 * kO - kH + kE},
    {"[M+Hac-H]-", -1, 1, kM + 2 * kC + 4 * kH + 2 * kO - kH + kE},
    {"[M+HAc-H]-", -1, 1, kM + 2 * kC + 4 * kH + 2 * kO - kH + kE},
    {"[M-H2O+H]+", 1, 1, kM - 2 * kH - kO + kH - kE},
    {"[M+2H]2+", 2, 1, (kM + 2 * kH - 2 * kE) / 2},
    {"[M-2H]2-", -2, 1, (kM - 2 * kH + 2 * kE) / 2},
    {"[M+3Na]3+", 3, 1, (kM + 3 * kNa - 3 * kE) / 3},
    {"[M+H+Na]2+", 2, 1, (kM + kH + kNa - 2 * kE) / 2},
    {"[2M+H]+", 1, 2, 2 * kM + kH - kE},
    {"[3M+Na]+", 1, 3, 3 * kM + kNa - kE},
    {"[M]+", 1, 1, kM - kE},
    {"[M]-", -1, 1, kM + kE},
};

TEST(IonType, KnownIonsGiveHandComputedMz) {
  for (const KnownIon& k : kIons) {
    IonType ion = Ion(k.text);
    EXPECT_EQ(ion.Charge(), k.charge) << k.text;
    EXPECT_EQ(ion.Multimer(), k.multimer) << k.text;
    std::optional<double> mz = ion.MzOf(kM, Table());
    ASSERT_TRUE(mz.has_value()) << k.text;
    EXPECT_NEAR(*mz, k.mz, 1e-9) << k.text;
  }
}

TEST(IonType, MzBackToNeutralMass) {
  for (const KnownIon& k : kIons) {
    IonType ion = Ion(k.text);
    EXPECT_NEAR(*ion.NeutralOf(k.mz, Table()), kM, 1e-9) << k.text;
    std::optional<IonMassRule> rule = ion.MassRule(Table());
    ASSERT_TRUE(rule.has_value());
    for (double m : {18.0, 194.080376, 1234.5678}) EXPECT_NEAR(rule->NeutralOf(rule->MzOf(m)), m, 1e-9) << k.text;
  }
}

TEST(IonType, CaffeineProtonated) {
  Composition caffeine = *ParseFormula("C8H10N4O2");
  double m = *caffeine.MonoisotopicMass(Table());
  EXPECT_NEAR(*Ion("[M+H]+").MzOf(m, Table()), 195.087652, 1e-6);
  EXPECT_NEAR(*Ion("[M+H]+").NeutralOf(195.087652, Table()), 194.080376, 1e-6);
}

TEST(IonType, NotationReadsBackAndNamesAreFormulas) {
  for (const KnownIon& k : kIons) EXPECT_EQ(Ion(k.text).Notation(), k.text);
  EXPECT_EQ(Ion("[M+FA-H]-"), Ion("[M+CH2O2-H]-"));
  EXPECT_EQ(Ion("[M+Hac-H]-"), Ion("[M+CH3COOH-H]-"));
  EXPECT_FALSE(Ion("[M+H]+") == Ion("[M+Na]+"));
  EXPECT_FALSE(Ion("[M+H]+") == Ion("[2M+H]+"));
  EXPECT_FALSE(Ion("[M+H]+") == Ion("[M+H]2+"));
  EXPECT_EQ(Ion(" [M+H]+ "), Ion("[M+H]+"));
  EXPECT_EQ(Ion("[M-H2O+H]+").Losses(), *ParseFormula("H2O"));
  EXPECT_EQ(Ion("[M-H2O+H]+").Adducts(), *ParseFormula("H"));
  EXPECT_EQ(Ion("[M+2Na-H]+").Adducts(), *ParseFormula("Na2"));
}

TEST(IonType, IonFormula) {
  Composition caffeine = *ParseFormula("C8H10N4O2");
  EXPECT_EQ(*Ion("[M+H]+").IonFormula(caffeine), *ParseFormula("C8H11N4O2"));
  EXPECT_EQ(*Ion("[2M+Na]+").IonFormula(*ParseFormula("H2O")), *ParseFormula("H4NaO2"));
  EXPECT_EQ(*Ion("[M+FA-H]-").IonFormula(caffeine), *ParseFormula("C9H11N4O4"));
  EXPECT_EQ(*Ion("M").IonFormula(caffeine), caffeine);
  std::string why;
  EXPECT_FALSE(Ion("[M-H2O+H]+").IonFormula(*ParseFormula("CH4"), &why).has_value());
  EXPECT_NE(why.find("H2O cannot be taken from"), std::string::npos);
  // The adducts count before the losses: H taken from M + H.
  EXPECT_EQ(*Ion("[M+H-H]+").IonFormula(*ParseFormula("C")), *ParseFormula("C"));
}

TEST(IonType, UnknownNotationIsRejected) {
  const std::pair<const char*, size_t> cases[] = {
      {"", 0},          {"M+H", 0},      {"[M+H]", 5},   {"[M+H]4+", 5}, {"[M+H]0+", 5}, {"[M+H]+x", 6},
      {"[M+Xx]+", 3},   {"[M+]+", 3},    {"[M+H+", 5},   {"[X+H]+", 1},  {"[0M+H]+", 1}, {"[M*H]+", 2},
      {"[M+H2q]+", 5},  {"[M+0H]+", 3},  {"[M]", 3},       {"[M+H", 0},
  };
  for (const auto& [text, position] : cases) {
    Parsed<IonType> ion = IonType::Parse(text, &Table());
    ASSERT_FALSE(ion.Ok()) << text;
    EXPECT_EQ(ion.Error().position, position) << text << ": " << ion.Error().message;
    EXPECT_FALSE(ion.Error().message.empty());
  }
  EXPECT_NE(IonType::Parse("[M+Xx]+", &Table()).Error().reason.find("unknown element Xx"), std::string::npos);
}

TEST(IonType, GroupsOutsideTheTableHaveNoMass) {
  Parsed<IonType> ion = IonType::Parse("[M+Xx]+");  // no table: any symbol is taken
  ASSERT_TRUE(ion.Ok());
  EXPECT_FALSE(ion->MzOf(kM, Table()).has_value());
  EXPECT_FALSE(ion->MassRule(Table()).has_value());
}

}  // namespace
}  // namespace zelm::chem
