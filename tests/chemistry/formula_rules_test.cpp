#include "chemistry/formula_rules.h"

#include <gtest/gtest.h>

#include <random>

#include "chemistry_support.h"

namespace zelm::chem {
namespace {

// Judges a formula with the rules of `settings`, its entries as the composition holds them.
FormulaRules::Verdict Judge(std::string_view formula, const RuleSettings& settings = RuleSettings()) {
  const Composition c = F(formula);
  std::vector<std::string> symbols;
  std::vector<long long> counts;
  for (const auto& e : c.Entries()) {
    symbols.push_back(e.symbol);
    counts.push_back(e.count);
  }
  return FormulaRules(settings, symbols).Judge(counts.data());
}

RuleSettings With(RatioPreset preset) {
  RuleSettings s;
  s.ratios = preset;
  return s;
}

TEST(FormulaRules, KnownCompoundsPassTheDefaults) {
  for (const char* known : {"C8H10N4O2", "C6H12O6", "C8HF17O3S", "C6H13O9P", "C6Cl6", "C40H56", "CH4", "H2O"}) {
    const auto v = Judge(known);
    EXPECT_TRUE(v.pass) << known;
  }
  EXPECT_DOUBLE_EQ(*Judge("C8H10N4O2").rdbe, 6);
  EXPECT_EQ(Judge("C8H10N4O2").soft, 0u);
  EXPECT_EQ(Judge("C6H12O6").soft, 0u);
}

TEST(FormulaRules, CommonRatiosDropWhatExtendedKeepsAsSoftBreaks) {
  // Perfluorooctanesulfonic acid: F/C 2.1 and H/C 0.13 are outside the common ranges; glucose 6-phosphate's O/C 1.5.
  EXPECT_FALSE(Judge("C8HF17O3S", With(RatioPreset::Common)).pass);
  EXPECT_FALSE(Judge("C6H13O9P", With(RatioPreset::Common)).pass);
  EXPECT_EQ(SoftBreakNames(Judge("C8HF17O3S").soft), "H/C,F/C");
  EXPECT_EQ(SoftBreakNames(Judge("C6H13O9P").soft), "O/C");
  // Off: neither hard nor soft.
  EXPECT_TRUE(Judge("C8HF17O3S", With(RatioPreset::Off)).pass);
  EXPECT_EQ(Judge("C8HF17O3S", With(RatioPreset::Off)).soft, 0u);
  // Beyond the extended ranges: O/C above 3, N/C above 4.
  EXPECT_FALSE(Judge("CH2O4").pass);
  EXPECT_FALSE(Judge("CH4N5").pass);
  // A ratio without carbon is not judged.
  EXPECT_TRUE(Judge("H3O4P").pass);
}

TEST(FormulaRules, OverridesReplaceThePresetRange) {
  RuleSettings s;
  std::string why;
  ASSERT_TRUE(s.ParseRatios("F/C=0-1, O/C=0-1.6", &why)) << why;
  EXPECT_FALSE(Judge("C8HF17O3S", s).pass);
  RuleSettings common = With(RatioPreset::Common);
  ASSERT_TRUE(common.ParseRatios("O/C=0-1.6", &why));
  EXPECT_TRUE(Judge("C6H13O9P", common).pass);
  EXPECT_FALSE(s.ParseRatios("Q/C=0-1", &why));
  EXPECT_FALSE(s.ParseRatios("H/C=2-1", &why));
  EXPECT_FALSE(s.ParseRatios("H/N=0-1", &why));
}

TEST(FormulaRules, OddElectronFormulasAreNotNeutralMolecules) {
  // The methyl radical and the phenyl radical: RDBE 0.5 and 4.5, an odd sum of valences.
  EXPECT_FALSE(Judge("CH3").pass);
  EXPECT_DOUBLE_EQ(*Judge("C6H5").rdbe, 4.5);
  EXPECT_FALSE(Judge("C6H5").pass);
  // Allowing fractional RDBE lets it through the RDBE rule, but SENIOR still wants an even valence sum.
  RuleSettings s;
  s.rdbeWhole = false;
  EXPECT_FALSE(Judge("C6H5", s).pass);
  s.senior = false;
  EXPECT_TRUE(Judge("C6H5", s).pass);
}

TEST(FormulaRules, SeniorAndRdbeRangesAreIndependentRules) {
  // PH: RDBE 1 and an even valence sum, but 4 is less than twice phosphorus's valence.
  RuleSettings noRdbe;
  noRdbe.rdbe = false;
  EXPECT_FALSE(Judge("PH", noRdbe).pass);
  noRdbe.senior = false;
  EXPECT_TRUE(Judge("PH", noRdbe).pass);
  // C2H8: RDBE -1, too few valences to join its atoms; either rule alone drops it.
  RuleSettings onlySenior;
  onlySenior.rdbe = false;
  EXPECT_FALSE(Judge("C2H8", onlySenior).pass);
  RuleSettings onlyRdbe;
  onlyRdbe.senior = false;
  EXPECT_FALSE(Judge("C2H8", onlyRdbe).pass);
  // An RDBE range.
  RuleSettings range;
  std::string why;
  ASSERT_TRUE(range.ParseRdbe("0-5", &why)) << why;
  EXPECT_FALSE(Judge("C8H10N4O2", range).pass);
  ASSERT_TRUE(range.ParseRdbe("-0.5-", &why)) << why;
  EXPECT_DOUBLE_EQ(range.rdbeMin, -0.5);
  EXPECT_TRUE(Judge("C8H10N4O2", range).pass);
  EXPECT_FALSE(range.ParseRdbe("abc", &why));
  EXPECT_FALSE(range.ParseRdbe("5-1", &why));
  ASSERT_TRUE(range.ParseRdbe("off", &why));
  EXPECT_FALSE(range.rdbe);
}

TEST(FormulaRules, HnopsLimitsAreSoft) {
  // Rich in O, P and S at once: 14 oxygens break the limit of 13; with 4 nitrogens the N limit of 3 breaks.
  EXPECT_EQ(Judge("C30H51N3O13P2S2").soft, 0u);
  const auto v = Judge("C30H51N3O14P2S2");
  EXPECT_TRUE(v.pass);
  EXPECT_EQ(SoftBreakNames(v.soft), "HNOPS");
  EXPECT_EQ(SoftBreakNames(Judge("C30H52N4O13P2S2").soft), "HNOPS");
  EXPECT_EQ(Judge("C30H52N4O13P2S2", With(RatioPreset::Off)).soft, 0u);
}

TEST(FormulaRules, IsotopesCountAsTheirElementAndLabelsTakeNoPart) {
  // [13C] and C together: H/C of C6H6 with one 13C is 1.
  EXPECT_DOUBLE_EQ(*Judge("[13C]C5H6").rdbe, 4);
  const std::vector<std::string> symbols = {"C", "H", "Loss"};
  const long long counts[] = {6, 6, 1};
  const auto v = FormulaRules(RuleSettings(), symbols).Judge(counts);
  EXPECT_FALSE(v.rdbe.has_value());
  EXPECT_TRUE(v.pass);
}

TEST(FormulaRules, PassesAgreesWithTheFullVerdictOnRandomFormulas) {
  // Entries with an isotope and a label among them, under each preset, with and without RDBE and SENIOR.
  const std::vector<std::string> symbols = {"C", "H", "N", "O", "P", "S", "Cl", "F", "Br", "C", "Loss"};
  std::mt19937 random(7);
  for (const RatioPreset preset : {RatioPreset::Extended, RatioPreset::Common, RatioPreset::Off}) {
    for (int variant = 0; variant < 4; ++variant) {
      RuleSettings s = With(preset);
      s.rdbe = variant != 1;
      s.senior = variant != 2;
      if (variant == 3) s.rdbeMax = 10;
      const FormulaRules rules(s, symbols);
      int passed = 0;
      for (int i = 0; i < 3000; ++i) {
        long long counts[11];
        for (long long& n : counts) n = std::uniform_int_distribution<long long>(0, 6)(random);
        counts[0] = std::uniform_int_distribution<long long>(0, 20)(random);
        counts[1] = std::uniform_int_distribution<long long>(0, 40)(random);
        counts[10] = i % 7 == 0;
        const bool full = rules.Judge(counts).pass;
        EXPECT_EQ(rules.Passes(counts), full) << i;
        passed += full;
      }
      EXPECT_GT(passed, 0);
      EXPECT_LT(passed, 3000);
    }
  }
}

}  // namespace
}  // namespace zelm::chem
