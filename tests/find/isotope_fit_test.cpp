// Measured isotope peaks as the input writes them, and the score of a pattern against them.
#include "find/isotope_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chemistry/formula_notation.h"
#include "find/peak_input.h"
#include "text/defaults.h"

namespace zelm {
namespace {

const chem::ElementTable& Table() {
  static const chem::LoadedTable t = chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt");
  return t.table;
}

chem::Composition F(const std::string& text) { return *chem::ParseFormula(text, &Table()); }

// The score of an [M+H]+-like ion of charge 1 against measured peaks, tolerance 10 ppm of the first peak.
double Score(const std::string& ion, const std::vector<Peak>& measured) {
  const double tolerance = measured.front().mz * 10e-6;
  return *CandidateIsotopeScore(F(ion), 1, Table(), chem::kDefaultResolution, measured, tolerance);
}

TEST(IsotopePeaks, ReadFromMzColonIntensity) {
  std::vector<Peak> peaks;
  std::string why;
  ASSERT_TRUE(ParseIsotopePeaks(" 181.0707:100; 182.074 : 6.8;183.075:1.3e0;", peaks, &why)) << why;
  ASSERT_EQ(peaks.size(), 3u);
  EXPECT_DOUBLE_EQ(peaks[0].mz, 181.0707);
  EXPECT_DOUBLE_EQ(peaks[0].intensity, 100);
  EXPECT_DOUBLE_EQ(peaks[1].mz, 182.074);
  EXPECT_DOUBLE_EQ(peaks[1].intensity, 6.8);
  EXPECT_DOUBLE_EQ(peaks[2].intensity, 1.3);
  ASSERT_TRUE(ParseIsotopePeaks("", peaks, &why));
  EXPECT_TRUE(peaks.empty());

  peaks = {{1, 1}};
  EXPECT_FALSE(ParseIsotopePeaks("181.07:100;182.07", peaks, &why));
  EXPECT_EQ(why, "the peak \"182.07\" is not m/z:intensity");
  EXPECT_EQ(peaks.size(), 1u);  // unchanged
  EXPECT_FALSE(ParseIsotopePeaks("abc:100", peaks, &why));
  EXPECT_EQ(why, "the m/z \"abc\" is not a number above 0");
  EXPECT_FALSE(ParseIsotopePeaks("-5:100", peaks, &why));
  EXPECT_EQ(why, "the m/z \"-5\" is not a number above 0");
  EXPECT_FALSE(ParseIsotopePeaks("181:0", peaks, &why));
  EXPECT_EQ(why, "the intensity \"0\" is not a number above 0");
  EXPECT_FALSE(ParseIsotopePeaks("181:1:2", peaks, &why));
  EXPECT_EQ(why, "the intensity \"1:2\" is not a number above 0");
}

TEST(IsotopePeaks, TheInputsColumnAndFieldAreReadAndABadOneIsAnError) {
  std::vector<Query> queries;
  InputError error;
  ASSERT_TRUE(ReadQueries("id,mz,isotopes\na,181.0707,181.0707:100;182.074:6.8\nb,195.0877,\n", QueryFormat::Csv,
                          "peaks.csv", queries, &error))
      << error.Text();
  ASSERT_EQ(queries.size(), 2u);
  ASSERT_EQ(queries[0].isotopePeaks.size(), 2u);
  EXPECT_DOUBLE_EQ(queries[0].isotopePeaks[1].mz, 182.074);
  EXPECT_TRUE(queries[1].isotopePeaks.empty());
  EXPECT_FALSE(ReadQueries("mz\tisotopes\n181.07\t181.07:100\n182\t182:x\n", QueryFormat::Tsv, "peaks.tsv", queries,
                           &error));
  EXPECT_EQ(error.Text(), "peaks.tsv line 3: the isotopes \"182:x\" cannot be read: the intensity \"x\" is not a "
                          "number above 0");

  queries.clear();
  ASSERT_TRUE(ReadQueries("BEGIN IONS\nPEPMASS=181.0707\nISOTOPES=181.0707:100;182.074:6.8\nEND IONS\n",
                          QueryFormat::Mgf, "run.mgf", queries, &error))
      << error.Text();
  ASSERT_EQ(queries.size(), 1u);
  EXPECT_EQ(queries[0].isotopePeaks.size(), 2u);
  EXPECT_FALSE(ReadQueries("BEGIN IONS\nPEPMASS=181.0707\nISOTOPES=181.0707;182\nEND IONS\n", QueryFormat::Mgf,
                           "run.mgf", queries, &error));
  EXPECT_EQ(error.Text(), "run.mgf line 3: ISOTOPES \"181.0707;182\" cannot be read: the peak \"181.0707\" is not "
                          "m/z:intensity");
}

TEST(IsotopeScore, ThePatternItselfScoresOneWhateverTheScale) {
  const auto pattern = chem::IsotopePattern(F("C6H5Cl2"), 1, Table());
  std::vector<Peak> measured;
  for (const auto& p : pattern) measured.push_back({p.mz, p.abundance * 1234.5});
  EXPECT_NEAR(IsotopeScore(pattern, measured, 0.001), 1, 1e-12);
  EXPECT_EQ(IsotopeScore(pattern, {}, 0.001), 0);
  EXPECT_EQ(IsotopeScore({}, measured, 0.001), 0);
  // Nothing where the pattern has a peak.
  EXPECT_EQ(IsotopeScore(pattern, {{pattern[0].mz + 0.3, 100}}, 0.001), 0);
}

TEST(IsotopeScore, TheDichlorideBeatsAFormulaWithoutChlorineOfTheSameMass) {
  // C6H4Cl2 + H: M+2 is 2 * 32 % of M, M+4 10 %, M+1 and M+3 carbon's 6.5 % of the peak below; measured a little off.
  // C4H4O2P2 + H lies 2.4 ppm from it but has next to no M+2.
  const std::vector<Peak> measured = {
      {146.97630, 100}, {147.97965, 6.8}, {148.97335, 61}, {149.97670, 4.0}, {150.97040, 10.6}};
  const double right = Score("C6H5Cl2", measured), wrong = Score("C4H5O2P2", measured);
  EXPECT_GT(right, 0.7);
  EXPECT_LT(wrong, 0.01);
}

TEST(IsotopeScore, GlucoseBeatsASulphurFormulaOfTheSameMass) {
  // C6H12O6 + H: M+1 6 * 1.08 + 13 * 0.0115 + 6 * 0.038 = 6.9 %, M+2 about 6 * 0.205 + 15 * 0.0117 = 1.4 %.
  // C5H14N3S2 + H lies 2.6 ppm from it; its two sulphurs give an M+2 of about 9 %.
  const std::vector<Peak> measured = {{181.07067, 100}, {182.07400, 6.9}, {183.07497, 1.4}};
  const double right = Score("C6H13O6", measured), wrong = Score("C5H15N3S2", measured);
  EXPECT_GT(right, 0.9);
  EXPECT_LT(wrong, 0.3);
  EXPECT_GT(right, wrong);
}

TEST(IsotopeScore, MissingAndUnexplainedPeaksLowerTheScore) {
  const std::vector<chem::PatternPeak> pattern = {{200, 100}, {201, 20}, {202, 50}, {203, 5}};
  const std::vector<Peak> all = {{200, 100}, {201, 20}, {202, 50}, {203, 5}};
  EXPECT_NEAR(IsotopeScore(pattern, all, 0.005), 1, 1e-12);
  // The 50 % peak is missing though peaks down to 5 % were seen.
  const std::vector<Peak> missing = {{200, 100}, {201, 20}, {203, 5}};
  EXPECT_LT(IsotopeScore(pattern, missing, 0.005), 0.01);
  // A peak the pattern does not have.
  std::vector<Peak> extra = all;
  extra.push_back({201.5, 30});
  EXPECT_LT(IsotopeScore(pattern, extra, 0.005), 0.1);
  // Peaks fainter than the faintest measured one are not expected to be seen: only M and M+2 given still fit.
  EXPECT_NEAR(IsotopeScore(pattern, {{200, 100}, {202, 50}}, 0.005), 1, 1e-12);
  // An intensity a little off costs a little, much off costs much.
  const double slightly = IsotopeScore(pattern, {{200, 100}, {201, 21}, {202, 48}, {203, 5}}, 0.005);
  const double much = IsotopeScore(pattern, {{200, 100}, {201, 20}, {202, 25}, {203, 5}}, 0.005);
  EXPECT_GT(slightly, 0.8);
  EXPECT_LT(slightly, 1);
  EXPECT_LT(much, 0.2);
  // Outside the tolerance a peak is not the pattern's.
  EXPECT_LT(IsotopeScore(pattern, {{200, 100}, {201, 20}, {202.01, 50}, {203, 5}}, 0.005), 0.01);
}

TEST(IsotopeScore, PeaksWithinTheToleranceAreComparedAsOne) {
  // The pattern splits M+1 into two lines that the measurement shows as one peak, and the other way round.
  const std::vector<chem::PatternPeak> split = {{100, 100}, {101.000, 4}, {101.003, 6}};
  EXPECT_NEAR(IsotopeScore(split, {{100, 100}, {101.002, 10}}, 0.003), 1, 1e-12);
  EXPECT_NEAR(IsotopeScore({{100, 100}, {101.002, 10}}, {{100, 100}, {101.000, 4}, {101.003, 6}}, 0.003), 1, 1e-12);
}

TEST(IsotopeScore, NoScoreWithoutMeasuredPeaks) {
  EXPECT_FALSE(CandidateIsotopeScore(F("C6H13O6"), 1, Table(), chem::kDefaultResolution, {}, 0.001));
  EXPECT_TRUE(CandidateIsotopeScore(F("C6H13O6"), 1, Table(), chem::kDefaultResolution, {{181.07, 1}}, 0.001));
}

}  // namespace
}  // namespace zelm
