#include "core/result_tooltip.h"

#include <gtest/gtest.h>

#include <string>

#include "chemistry/element_table.h"
#include "core/controls.h"
#include "core/result_line.h"
#include "text/defaults.h"
#include "text/text.h"

namespace zelm {
namespace {

const chem::ElementTable& Table() {
  static const chem::LoadedTable t = chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt");
  return t.table;
}

// A symbol with its mass number as superscript digits, and a count as subscript digits.
std::string Iso(const char* massNumber, const char* symbol) { return ToSuperscript(massNumber) + symbol; }
std::string Sub(const char* count) { return ToSubscript(count); }

// Caffeine as the candidate check writes it: every element as its isotope, each group with its count, the groups in
// the order of coded texts (hydrogen first).
const std::string Caffeine = Iso("1", "H") + Sub("10") + Iso("12", "C") + Sub("8") + Iso("14", "N") + Sub("4") +
                             Iso("16", "O") + Sub("2");

std::string Tip(const std::string& formula, const char* massText, double error) {
  return ResultToolTip(ResultLine(formula, massText), error, Table());
}

TEST(ResultToolTip, CaffeineInHillOrderWithItsErrorAndRdbe) {
  // C8H10N4O2 weighs 194.08037557916; measured 194.0804241: 0.0000486 u above, 0.2504 ppm of it.
  EXPECT_EQ(Tip(Caffeine, " 194.0803755", 0.0000486),
            'C' + Sub("8") + "H" + Sub("10") + "N" + Sub("4") + "O" + Sub("2") +
                "\nerror 0.25 ppm (0.05 mDa)\nRDBE 6");
}

TEST(ResultToolTip, ABelowTheMassErrorIsNegative) {
  // 0.00013 u below 120: -1.0833 ppm.
  EXPECT_EQ(Tip(Iso("12", "C") + Sub("10"), " 120", -0.00013),
            'C' + Sub("10") + "\nerror -1.08 ppm (-0.13 mDa)\nRDBE 11");
}

TEST(ResultToolTip, AFurtherIsotopeKeepsItsMassNumberAfterItsElement) {
  // Carbon 13 comes first in the line (its superscript 3 sorts before the 2 of carbon 12); Hill order puts the
  // element first and its further isotope after it. C6H12O6 has one ring or double bond.
  const std::string glucose13 = Iso("13", "C") + Sub("1") + Iso("12", "C") + Sub("5") + Iso("1", "H") + Sub("12") +
                                Iso("16", "O") + Sub("6");
  EXPECT_EQ(Tip(glucose13, " 181.0667696", 0),
            'C' + Sub("5") + Iso("13", "C") + "H" + Sub("12") + "O" + Sub("6") +
                "\nerror 0.00 ppm (0.00 mDa)\nRDBE 1");
}

TEST(ResultToolTip, AFragmentLabelMadeOfElementsCountsAsThem) {
  // The label "OH" twice and one carbon: C, H2, O2.
  EXPECT_EQ(Tip("OH" + Sub("2") + Iso("12", "C") + Sub("1"), " 46.0054793", 0),
            "CH" + Sub("2") + "O" + Sub("2") + "\nerror 0.00 ppm (0.00 mDa)\nRDBE 1");
  // Plain digits inside a label count its atoms: H2O three times is H6O3.
  EXPECT_EQ(ResultComposition("H2O" + Sub("3"), Table()), ResultComposition('H' + Sub("6") + "O" + Sub("3"), Table()));
}

TEST(ResultToolTip, ALabelThatIsNoFormulaOfElementsIsShownAsWritten) {
  const std::string formula = "Loss" + Sub("1") + Iso("12", "C") + Sub("5");
  EXPECT_EQ(Tip(formula, " 42.1", 0.0001),
            formula + "\nerror 2.38 ppm (0.10 mDa)\nno Hill order or RDBE: Loss is not made of known elements");
  std::string unread;
  EXPECT_FALSE(ResultComposition("dA" + Sub("2"), Table(), &unread));
  EXPECT_EQ(unread, "dA");
  // An isotope the table does not list.
  EXPECT_FALSE(ResultComposition(Iso("12", "C") + Sub("1") + Iso("99", "C") + Sub("1"), Table(), &unread));
  EXPECT_EQ(unread, Iso("99", "C"));
  // A label without a count.
  EXPECT_FALSE(ResultComposition(Iso("12", "C") + Sub("1") + "N", Table(), &unread));
  EXPECT_EQ(unread, "N");
}

TEST(ResultToolTip, HalfRdbeAndElementsWithoutAValence) {
  EXPECT_EQ(Tip(Iso("1", "H") + Sub("3") + Iso("12", "C") + Sub("1"), " 15.0234751", 0),
            "CH" + Sub("3") + "\nerror 0.00 ppm (0.00 mDa)\nRDBE 0.5");
  // No carbon: alphabetical. Iron has no valence.
  EXPECT_EQ(Tip(Iso("16", "O") + Sub("1") + Iso("56", "Fe") + Sub("1"), " 71.9298509", 0),
            "FeO\nerror 0.00 ppm (0.00 mDa)\nRDBE not known: no valence for Fe");
}

TEST(ResultToolTip, AnUnknownErrorIsSaidSo) {
  EXPECT_EQ(Tip(Iso("12", "C") + Sub("5"), " 60", ListBox::kNoData),
            'C' + Sub("5") + "\nerror not known: the mass this line was searched for is not known\nRDBE 6");
}

TEST(ResultToolTip, ALineOfNoPositiveMassHasItsErrorInMDaOnly) {
  EXPECT_EQ(Tip(Iso("12", "C") + Sub("1"), "-5", 0.0002), "C\nerror 0.20 mDa\nRDBE 2");
}

TEST(ResultToolTip, ALongFormulaIsReadWhole) {
  // 40 characters and more: the mass text follows the formula directly.
  std::string formula;
  for (const char* s : {"H", "Li", "B", "C", "N", "O", "F", "Na", "Mg", "Al", "Si", "P", "S"}) {
    const chem::Element* e = Table().Find(s);
    ASSERT_NE(e, nullptr) << s;
    formula += ToSuperscript(CountText(e->Monoisotopic().massNumber)) + s + Sub("1");
  }
  ASSERT_GE(formula.size(), 40u);
  const std::string tip = ResultToolTip(formula + " 284.91", 0, Table());
  EXPECT_EQ(tip.substr(0, tip.find('\n')), "CHAlBFLiMgNNaOPSSi");
}

}  // namespace
}  // namespace zelm
