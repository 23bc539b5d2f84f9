#include <gtest/gtest.h>

#include <string>

#include "core/result_line.h"
#include "text/text.h"

namespace zelm {
namespace {

// Formulas of every width around the column, each with a short, a long and a negative mass text: written and read back
// they give the formula and the mass text exactly, the text's leading blank included.
TEST(ResultLine, WrittenAndReadBackAroundTheColumn) {
  for (size_t width : {1u, 2u, 28u, 29u, 30u, 31u, 39u, 40u, 45u}) {
    std::string formula;
    for (size_t i = 0; i < width; ++i) formula += i % 3 == 0 ? SuperDigit(1) : (i % 3 == 1 ? 'H' : SubDigit(2));
    for (std::string mass : {" 120", " 120.123456789012", "-18.010565", " 1E+16", "-1E-05"}) {
      const std::string line = ResultLine(formula, mass);
      const std::string shown = width <= 30 ? mass.substr(0, 12) : mass;
      EXPECT_EQ(line.size(), std::max<size_t>(width, 30) + shown.size()) << width << mass;
      const ResultLineParts parts = SplitResultLine(line);
      EXPECT_EQ(parts.formula, formula) << width << mass;
      EXPECT_EQ(parts.massText, shown) << width << mass;
      EXPECT_EQ(MassTextStart(line), std::max<size_t>(width, 30)) << width << mass;
      EXPECT_EQ(ResultFormula(line), formula);
      EXPECT_DOUBLE_EQ(ResultMass(line), LeadingNumber(shown));
    }
  }
}

// A formula made of labels that hold blanks ("Na Cl") keeps them: a long one is read whole wherever its blanks fall,
// the one just before the column included, and with a negative mass as well as a positive one.
TEST(ResultLine, LongFormulasWithBlanksAreReadWhole) {
  for (size_t blank : {28u, 29u, 30u, 31u, 33u}) {
    std::string formula = std::string(blank, 'C') + " Na Cl";
    formula += std::string(formula.size() < 31 ? 31 - formula.size() : 0, 'H');
    for (std::string mass : {" 120", "-18.010565", " 1E+16", "-1E-05"}) {
      const std::string line = ResultLine(formula, mass);
      const ResultLineParts parts = SplitResultLine(line);
      EXPECT_EQ(parts.formula, formula) << blank << mass;
      EXPECT_EQ(parts.massText, mass) << blank << mass;
      EXPECT_EQ(MassTextStart(line), formula.size()) << blank << mass;
      EXPECT_DOUBLE_EQ(ResultMass(line), LeadingNumber(mass)) << blank << mass;
    }
  }
  // A short formula with blanks is padded to the column as any other, its mass text cut as any other.
  for (std::string mass : {" 120.123456789012", "-1.2345678901234E+16", " 1.2345678901234E-05"}) {
    const std::string line = ResultLine("Na Cl", mass);
    EXPECT_EQ(SplitResultLine(line).formula, "Na Cl") << mass;
    EXPECT_EQ(SplitResultLine(line).massText, mass.substr(0, 12)) << mass;
  }
}

TEST(ResultLine, ALineWithoutMassTextIsAllFormula) {
  EXPECT_EQ(SplitResultLine("C").formula, "C");
  EXPECT_EQ(SplitResultLine("C").massText, "");
  EXPECT_EQ(SplitResultLine(std::string(30, 'C')).massText, "");
  EXPECT_EQ(ResultMass("  C  "), 0);
}

}  // namespace
}  // namespace zelm
