// Formulas read and written in the usual, Unicode and the window's coded notation.
#include <gtest/gtest.h>

#include "chemistry/chemistry_support.h"

#include <random>

#include "chemistry/element_table.h"
#include "chemistry/formula_notation.h"
#include "support/formula_text.h"

namespace zelm::chem {
namespace {

const Composition kCaffeine({{"C", 0, 8}, {"H", 0, 10}, {"N", 0, 4}, {"O", 0, 2}});

TEST(ParseFormula, UsualNotation) {
  EXPECT_EQ(F("C8H10N4O2"), kCaffeine);
  EXPECT_EQ(F("  C8H10N4O2 "), kCaffeine);
  EXPECT_EQ(F("CH3COOH"), Composition({{"C", 0, 2}, {"H", 0, 4}, {"O", 0, 2}}));
  EXPECT_EQ(F("NaCl"), Composition({{"Na", 0, 1}, {"Cl", 0, 1}}));
  EXPECT_EQ(F("Ca(OH)2"), Composition({{"Ca", 0, 1}, {"O", 0, 2}, {"H", 0, 2}}));
  EXPECT_EQ(F("Mg3(PO4)2"), Composition({{"Mg", 0, 3}, {"P", 0, 2}, {"O", 0, 8}}));
  EXPECT_EQ(F("K4(Fe(CN)6)"), Composition({{"K", 0, 4}, {"Fe", 0, 1}, {"C", 0, 6}, {"N", 0, 6}}));
  EXPECT_EQ(F("H1000"), Composition({{"H", 0, 1000}}));
}

TEST(ParseFormula, Isotopes) {
  EXPECT_EQ(F("[13C]C5H12O6"), Composition({{"C", 13, 1}, {"C", 0, 5}, {"H", 0, 12}, {"O", 0, 6}}));
  EXPECT_EQ(F("[13C]6H12O6"), Composition({{"C", 13, 6}, {"H", 0, 12}, {"O", 0, 6}}));
  EXPECT_EQ(F("C[2H]3[2H]"), Composition({{"C", 0, 1}, {"H", 2, 4}}));
  EXPECT_EQ(F("[37Cl]Cl"), Composition({{"Cl", 37, 1}, {"Cl", 0, 1}}));
  EXPECT_EQ(F("\u00b9\u00b3CC\u2085"), Composition({{"C", 13, 1}, {"C", 0, 5}}));
}

TEST(ParseFormula, CodedAndUnicodeNotation) {
  Composition coded = F(Coded("^1H_10^12C_8^14N_4^16O_2"));
  EXPECT_EQ(coded, Composition({{"H", 1, 10}, {"C", 12, 8}, {"N", 14, 4}, {"O", 16, 2}}));
  EXPECT_EQ(coded.NaturalWhereMonoisotopic(Table()), kCaffeine);
  EXPECT_EQ(F(Coded("C_8H_10N_4O_2")), kCaffeine);
  EXPECT_EQ(F(Coded("^35ClNa")), Composition({{"Cl", 35, 1}, {"Na", 0, 1}}));
  EXPECT_EQ(F("C\u2088H\u2081\u2080N\u2084O\u2082"), kCaffeine);
}

TEST(WriteFormula, HillOrderWithCarbon) {
  EXPECT_EQ(ToAscii(kCaffeine), "C8H10N4O2");
  EXPECT_EQ(ToAscii(F("OCH4")), "CH4O");
  EXPECT_EQ(ToAscii(F("ClCH3")), "CH3Cl");
  EXPECT_EQ(ToAscii(F("BrCH2Ca")), "CH2BrCa");
  // An isotope follows its element; an isotope alone still counts as carbon.
  EXPECT_EQ(ToAscii(F("O6H12C5[13C]")), "C5[13C]H12O6");
  EXPECT_EQ(ToAscii(F("[13C]O2")), "[13C]O2");
  EXPECT_EQ(ToAscii(F("N[13C]H3")), "[13C]H3N");
  EXPECT_EQ(ToAscii(F("C[2H]3H")), "CH[2H]3");
}

TEST(WriteFormula, HillOrderWithoutCarbon) {
  EXPECT_EQ(ToAscii(F("H2O")), "H2O");
  EXPECT_EQ(ToAscii(F("NaCl")), "ClNa");
  EXPECT_EQ(ToAscii(F("NH3")), "H3N");
  EXPECT_EQ(ToAscii(F("H2SO4")), "H2O4S");
  EXPECT_EQ(ToAscii(F("[2H]2O")), "[2H]2O");
  EXPECT_EQ(ToAscii(Composition()), "");
}

TEST(WriteFormula, UnicodeAndCoded) {
  EXPECT_EQ(ToUnicode(kCaffeine), "C\u2088H\u2081\u2080N\u2084O\u2082");
  EXPECT_EQ(ToUnicode(F("[13C]C5H12O6")), "C\u2085\u00b9\u00b3CH\u2081\u2082O\u2086");
  EXPECT_EQ(ToUnicode(F("[204Pb]")), "\u00b2\u2070\u2074Pb");
  EXPECT_EQ(ToCoded(kCaffeine), Coded("C_8H_10N_4O_2"));
  EXPECT_EQ(ToCoded(kCaffeine, &Table()), Coded("^12C_8^1H_10^14N_4^16O_2"));
  EXPECT_EQ(ToCoded(F("[13C]C5"), &Table()), Coded("^12C_5^13C"));
}

TEST(WriteFormula, EveryNotationReadsBack) {
  for (const char* text : {"C8H10N4O2", "[13C]C5H12O6", "H2O", "Ca(OH)2", "[2H]2[18O]", "C60", "[37Cl]2Cl3CH",
                           "UF6", "C1000H2002"}) {
    Composition c = F(text);
    EXPECT_EQ(F(ToAscii(c)), c) << text;
    EXPECT_EQ(F(ToUnicode(c)), c) << text;
    EXPECT_EQ(F(ToCoded(c)), c) << text;
    EXPECT_EQ(F(ToCoded(c, &Table())).NaturalWhereMonoisotopic(Table()), c) << text;
  }
}

struct BadFormula {
  const char* text;
  size_t position;
  const char* reason;  // the start of the reason
};

TEST(ParseFormula, ErrorsSayWhatAndWhere) {
  const BadFormula cases[] = {
      {"C8Xx", 2, "unknown element Xx"},
      {"C8[14C]", 2, "unknown isotope 14C"},
      {"C8H10$", 5, "stray character '$'"},
      {"H2 O", 2, "stray character ' '"},
      {"h2o", 0, "stray character 'h'"},
      {"C0", 1, "bad count 0"},
      {"C9999999", 1, "bad count"},
      {"[13C", 0, "'[' not closed"},
      {"[13CH]", 4, "']' expected"},
      {"[C]", 1, "mass number missing"},
      {"Ca(OH2", 2, "'(' not closed"},
      {"OH)2", 2, "')' without '('"},
      {"()2", 0, "empty parentheses"},
      {"", 0, "no formula"},
      {"   ", 3, "no formula"},
  };
  for (const BadFormula& b : cases) {
    Parsed<Composition> p = ParseFormula(b.text, &Table());
    ASSERT_FALSE(p.Ok()) << b.text;
    EXPECT_EQ(p.Error().position, b.position) << b.text;
    EXPECT_EQ(p.Error().reason.rfind(b.reason, 0), 0u) << b.text << ": " << p.Error().reason;
    EXPECT_NE(p.Error().message.find("position " + std::to_string(b.position + 1)), std::string::npos);
  }
  // Without a table any well-formed symbol is taken.
  EXPECT_TRUE(ParseFormula("C8Xx").Ok());
  EXPECT_FALSE(ParseFormula(Coded("C_0")).Ok());
  Parsed<Composition> huge = ParseFormula("(((H)999999)999999)999999");
  ASSERT_FALSE(huge.Ok());
  EXPECT_EQ(huge.Error().reason, "bad count (too many atoms)");
}

// A formula may hold up to 999999 atoms of one entry however it is written, so that whatever reads writes back as
// one count: counts multiplied by parentheses or added up by a symbol written again are held to it as a written
// count is.
TEST(ParseFormula, NoEntryHoldsMoreAtomsThanOneCountCanWrite) {
  for (const char* text : {"C999999", "(H)999999", "(C9)111111", "C999998C", "((H3)3)111111"}) {
    Parsed<Composition> p = ParseFormula(text);
    ASSERT_TRUE(p.Ok()) << text;
    EXPECT_EQ(F(ToAscii(*p)), *p) << text;
    EXPECT_EQ(F(ToUnicode(*p)), *p) << text;
    EXPECT_EQ(F(ToCoded(*p)), *p) << text;
  }
  const BadFormula cases[] = {
      {"(L777777)7", 0, "bad count (too many atoms)"},
      {"C999999C", 7, "bad count (too many atoms)"},
      {"H((H)1000)1000", 1, "bad count (too many atoms)"},
      {"C500000(C)500000", 7, "bad count (too many atoms)"},
      {"[13C]999999C[13C]", 11, "bad count (too many atoms)"},
      // An element's natural and isotope forms count together: the window's form names both by one isotope.
      {"H600000[1H]600000", 7, "bad count (too many atoms)"},
      {"[13C]2(C500000)2", 6, "bad count (too many atoms)"},
  };
  for (const BadFormula& b : cases) {
    Parsed<Composition> p = ParseFormula(b.text);
    ASSERT_FALSE(p.Ok()) << b.text << " reads as " << ToAscii(*p);
    EXPECT_EQ(p.Error().position, b.position) << b.text;
    EXPECT_EQ(p.Error().reason, b.reason) << b.text;
  }
  // At the limit, the window's form (every element by its most abundant isotope) reads back.
  const Parsed<Composition> full = ParseFormula("H500000[1H]499999", &Table());
  ASSERT_TRUE(full.Ok());
  const Parsed<Composition> back = ParseFormula(ToCoded(*full, &Table()), &Table());
  ASSERT_TRUE(back.Ok()) << back.Error().reason;
  EXPECT_EQ(back->NaturalWhereMonoisotopic(Table()), full->NaturalWhereMonoisotopic(Table()));
}

// Random texts from the characters formulas are made of: each either reads and writes back to itself, or is refused
// with a reason placed inside the text.
TEST(ParseFormula, AnyTextReadsOrIsRefused) {
  const std::string alphabet = "CHNOSaclu()[]0123 +-" + Coded("^1^3_0_2") + "\xe2\x82\xc2\xff";
  std::mt19937 random(7);
  for (int n = 0; n < 20000; ++n) {
    std::string text;
    for (int len = static_cast<int>(random() % 12); len > 0; --len) text += alphabet[random() % alphabet.size()];
    Parsed<Composition> p = ParseFormula(text);
    if (p.Ok()) {
      EXPECT_EQ(F(ToAscii(*p)), *p) << text;
      EXPECT_EQ(F(ToCoded(*p)), *p) << text;
    } else {
      EXPECT_LE(p.Error().position, text.size()) << text;
      EXPECT_FALSE(p.Error().reason.empty()) << text;
    }
  }
}

}  // namespace
}  // namespace zelm::chem
