// Measured isotope peaks as the input writes them, and the score of a pattern against them.
#include "rank/isotope_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "chemistry/formula_notation.h"
#include "rank/candidate_terms.h"
#include "spectra/spectrum.h"
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
  return CandidateIsotopeFit(F(ion), 1, Table(), chem::kDefaultResolution, measured, tolerance)->score;
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
  EXPECT_FALSE(CandidateIsotopeFit(F("C6H13O6"), 1, Table(), chem::kDefaultResolution, {}, 0.001));
  EXPECT_TRUE(CandidateIsotopeFit(F("C6H13O6"), 1, Table(), chem::kDefaultResolution, {{181.07, 1}}, 0.001));
}

TEST(IsotopeTerms, AnM1BelowThePatternReadsSignedAndAFarOffOneWeighsLittleMore) {
  // Glucose's [M+H]+ measured with its M+1 at half the pattern's, and with no M+1 at all.
  const std::vector<chem::PatternPeak> pattern = chem::IsotopePattern(F("C6H13O6"), 1, Table(), 60000);
  auto terms = [&](double m1Share) {
    std::vector<Peak> measured{{pattern[0].mz, 100}};
    if (m1Share > 0) measured.push_back({pattern[1].mz, m1Share * 100 * pattern[1].abundance / pattern[0].abundance});
    Evidence x{};
    IsotopeTerms(CandidateIsotopeFit(F("C6H13O6"), 1, Table(), 60000, measured, 0.002), x);
    return x;
  };
  const Evidence half = terms(0.5), none = terms(0), right = terms(1);
  EXPECT_NEAR(right[Index(Term::IsotopeM1)], 0, 0.01);
  EXPECT_NEAR(right[Index(Term::IsotopeM1Tail)], 0, 0.01);
  EXPECT_LT(half[Index(Term::IsotopeM1)], -0.6);
  EXPECT_LT(none[Index(Term::IsotopeM1)], 3 * half[Index(Term::IsotopeM1)]);
  // More than three times as far off, its tail term less than two and a half times as large (a square would be
  // more than nine times).
  EXPECT_GT(half[Index(Term::IsotopeM1Tail)], 1);
  EXPECT_LT(none[Index(Term::IsotopeM1Tail)], 2.5 * half[Index(Term::IsotopeM1Tail)]);
}

TEST(IsotopeFit, TheM2OfSulfurLiesBelowThatOfCarbonsAndOxygens) {
  // S-adenosylhomocysteine's [M+H]+ as an Orbitrap resolves its M+2: 34S 10 mDa below 13C2. A formula of C, H and O
  // of nearly its mass puts its whole M+2 at 13C2 and 18O.
  const std::vector<chem::PatternPeak> pattern = chem::IsotopePattern(F("C14H21N6O5S"), 1, Table(), 60000);
  std::vector<Peak> measured;
  for (const chem::PatternPeak& p : pattern) measured.push_back({p.mz + 0.0003, p.abundance});
  auto fit = [&](const char* ion) {
    return *CandidateIsotopeFit(F(ion), 1, Table(), 60000, measured, measured.front().mz * 20e-6);
  };
  const IsotopeFit right = fit("C14H21N6O5S"), wrong = fit("C21H21O7");
  EXPECT_NEAR(right.shift1, 0, 0.1);
  EXPECT_NEAR(right.shift2, 0, 0.1);
  EXPECT_LT(wrong.shift2, -5);
  EXPECT_GT(wrong.shift2, -10);
  Evidence r{}, w{};
  IsotopeTerms(right, r);
  IsotopeTerms(wrong, w);
  EXPECT_GT(w[Index(Term::IsotopeShift2Tail)], r[Index(Term::IsotopeShift2Tail)] + 1);
  EXPECT_LT(w[Index(Term::IsotopeShift2)], -1.5);
}

}  // namespace
}  // namespace zelm
