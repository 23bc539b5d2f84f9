// Isotope patterns against what the isotopes' abundances say by hand: chlorine's and bromine's clusters, carbon's M+1,
// the merging of fine structure at low and high resolving power, and the m/z of charged ions.
#include "chemistry/isotope_pattern.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>

#include "chemistry/ion_type.h"
#include "chemistry_support.h"

namespace zelm::chem {
namespace {

// The peak of a pattern nearest to mz within 0.2 u, if any.
std::optional<PatternPeak> Near(const std::vector<PatternPeak>& pattern, double mz, double within = 0.2) {
  std::optional<PatternPeak> best;
  for (const PatternPeak& p : pattern)
    if (std::abs(p.mz - mz) <= within && (!best || std::abs(p.mz - mz) < std::abs(best->mz - mz))) best = p;
  return best;
}

int PeaksWithin(const std::vector<PatternPeak>& pattern, double from, double to) {
  int n = 0;
  for (const PatternPeak& p : pattern) n += p.mz >= from && p.mz <= to;
  return n;
}

double MonoMass(std::string_view formula) { return *F(formula).MonoisotopicMass(Table()); }

TEST(IsotopePattern, DichlorobenzeneHasTheChlorineCluster) {
  // 35Cl 75.8 %, 37Cl 24.2 %: with two chlorines M+2 is 2 * 0.32 = 64 % of M and M+4 0.32^2 = 10 %.
  const auto pattern = IsotopePattern(F("C6H4Cl2"), 0, Table(), 1000);
  const double m = MonoMass("C6H4Cl2");
  const auto m0 = Near(pattern, m), m2 = Near(pattern, m + 2), m4 = Near(pattern, m + 4);
  ASSERT_TRUE(m0 && m2 && m4);
  EXPECT_DOUBLE_EQ(m0->abundance, 100);
  EXPECT_NEAR(m2->abundance / m0->abundance * 100, 64, 2);
  EXPECT_NEAR(m4->abundance / m0->abundance * 100, 10.2, 0.8);
  // M+1 is carbon's 6 * 1.08 %, M+3 the same on top of one 37Cl.
  EXPECT_NEAR(Near(pattern, m + 1)->abundance, 6.5, 0.5);
  EXPECT_NEAR(Near(pattern, m + 3)->abundance / m2->abundance * 100, 6.5, 0.7);
}

TEST(IsotopePattern, DibromomethaneIsOneToTwoToOne) {
  // 79Br 50.7 %, 81Br 49.3 %: a^2 : 2ab : b^2 with the middle peak the most intense.
  const auto pattern = IsotopePattern(F("CH2Br2"), 0, Table(), 1000);
  const double m = MonoMass("CH2Br2");
  const auto m0 = Near(pattern, m), m2 = Near(pattern, m + 2), m4 = Near(pattern, m + 4);
  ASSERT_TRUE(m0 && m2 && m4);
  EXPECT_DOUBLE_EQ(m2->abundance, 100);
  EXPECT_NEAR(m0->abundance, 51.4, 1.5);
  EXPECT_NEAR(m4->abundance, 48.6, 1.5);
}

TEST(IsotopePattern, TheMostIntensePeakIs100) {
  // One carbon: M+1 is 13C's 1.08 % of M.
  auto pattern = IsotopePattern(F("C"), 0, Table(), 1000);
  ASSERT_EQ(pattern.size(), 2u);
  EXPECT_DOUBLE_EQ(pattern[0].abundance, 100);
  EXPECT_NEAR(pattern[1].abundance, 1.08, 0.02);
  // A hundred carbons: M+1 (100 * 1.08 % of M) outweighs M, so it is the 100 and M is 100 / 1.08.
  pattern = IsotopePattern(F("C100"), 0, Table(), 10000);
  const auto m0 = Near(pattern, 1200), m1 = Near(pattern, 1201);
  ASSERT_TRUE(m0 && m1);
  EXPECT_DOUBLE_EQ(m1->abundance, 100);
  EXPECT_NEAR(m0->abundance, 100 / 1.0816, 1);
  double top = 0;
  for (const PatternPeak& p : pattern) top = std::max(top, p.abundance);
  EXPECT_DOUBLE_EQ(top, 100);
}

TEST(IsotopePattern, MassesAreTheTablesAndChargeTakesElectrons) {
  // The first line of caffeine's [M+H]+ is the ion's monoisotopic m/z as the ion types compute it.
  const Composition ion = F("C8H11N4O2");
  const IonMassRule rule{1, 1, 0};
  const auto lines = FineStructure(ion, 1, Table());
  ASSERT_FALSE(lines.empty());
  EXPECT_NEAR(lines.front().mz, rule.MzOf(MonoMass("C8H11N4O2")), 1e-9);
  EXPECT_NEAR(lines.front().mz, 195.087652, 1e-6);
  // The neutral molecule as it is, and an anion that gained an electron.
  EXPECT_NEAR(FineStructure(F("C8H10N4O2"), 0, Table()).front().mz, MonoMass("C8H10N4O2"), 1e-9);
  EXPECT_NEAR(FineStructure(F("C8H9N4O2"), -1, Table()).front().mz, MonoMass("C8H9N4O2") + kElectronMass, 1e-9);
  // The lines hold at least the coverage of the whole.
  double sum = 0;
  for (const PatternPeak& p : lines) sum += p.abundance;
  EXPECT_GE(sum, kDefaultCoverage - 1e-12);
  EXPECT_LE(sum, 1 + 1e-9);
}

TEST(IsotopePattern, ChargeTwoHalvesTheSpacing) {
  const Composition ion = F("C30H52N4O6");
  const auto single = IsotopePattern(ion, 1, Table(), 1000);
  const auto twice = IsotopePattern(ion, 2, Table(), 1000);
  ASSERT_GE(single.size(), 3u);
  ASSERT_EQ(twice.size(), single.size());
  for (size_t i = 0; i < single.size(); ++i) {
    EXPECT_NEAR(twice[i].mz, (single[i].mz * 1 - kElectronMass) / 2, 1e-9);
    EXPECT_NEAR(twice[i].abundance, single[i].abundance, 1e-9);
  }
  EXPECT_NEAR(twice[1].mz - twice[0].mz, 1.00336 / 2, 0.002);
}

TEST(IsotopePattern, FineStructureMergesAtLowResolutionAndSplitsAtHigh) {
  // M+1 of C10H12N2 holds a 13C line and a 15N line 6.3 mDa apart (and 2H's, lower still).
  const Composition ion = F("C10H12N2");
  const double m = MonoMass("C10H12N2");
  const double c13 = m + 1.003354835, n15 = m + (15.00010889888 - 14.00307400443);
  const auto low = IsotopePattern(ion, 0, Table(), 10000);   // width 16 mDa
  const auto high = IsotopePattern(ion, 0, Table(), 1e6);    // width 0.16 mDa
  EXPECT_EQ(PeaksWithin(low, m + 0.5, m + 1.5), 1);
  const auto merged = Near(low, c13);
  ASSERT_TRUE(merged);
  EXPECT_GT(merged->mz, n15);
  EXPECT_LT(merged->mz, c13);
  const auto carbon = Near(high, c13, 0.0005), nitrogen = Near(high, n15, 0.0005);
  ASSERT_TRUE(carbon && nitrogen);
  EXPECT_NEAR(carbon->mz, c13, 1e-6);
  EXPECT_NEAR(nitrogen->mz, n15, 1e-6);
  // 10 * 1.08 % and 2 * 0.365 %, which together are the merged peak.
  EXPECT_NEAR(carbon->abundance, 10.8, 0.3);
  EXPECT_NEAR(nitrogen->abundance, 0.73, 0.05);
  EXPECT_GE(PeaksWithin(high, m + 0.5, m + 1.5), 2);
  const auto deuterium = Near(high, m + (2.01410177812 - 1.00782503223), 0.0005);
  const double hydrogen = deuterium ? deuterium->abundance : 0;  // 12 * 0.0115 %, about the floor
  EXPECT_NEAR(merged->abundance, carbon->abundance + nitrogen->abundance + hydrogen, 0.05);
}

TEST(IsotopePattern, AnIsotopeEntryIsThatIsotopeEveryTime) {
  const auto natural = IsotopePattern(F("C6H12O6"), 0, Table(), 1000);
  const auto labelled = IsotopePattern(F("[13C]C5H12O6"), 0, Table(), 1000);
  ASSERT_GE(natural.size(), 2u);
  ASSERT_GE(labelled.size(), 2u);
  EXPECT_NEAR(labelled[0].mz - natural[0].mz, 1.003354835, 1e-6);
  // One carbon less that can be 13C: M+1 is 1.08 % of M lower.
  EXPECT_NEAR(natural[1].abundance - labelled[1].abundance, 1.08, 0.05);
}

TEST(IsotopePattern, MergePeaksOnHandMadeLines) {
  const std::vector<PatternPeak> lines = {{100.004, 0.2}, {100.0, 0.6}, {101.0, 0.1}, {102.0, 0.0001}};
  auto peaks = MergePeaks(lines, 10000);  // 10 mDa at m/z 100
  ASSERT_EQ(peaks.size(), 2u);            // 102 is 0.0125 % of the top: left out
  EXPECT_NEAR(peaks[0].mz, (100.0 * 0.6 + 100.004 * 0.2) / 0.8, 1e-9);
  EXPECT_DOUBLE_EQ(peaks[0].abundance, 100);
  EXPECT_NEAR(peaks[1].abundance, 12.5, 1e-9);
  peaks = MergePeaks(lines, 1e6, 0.01);
  ASSERT_EQ(peaks.size(), 4u);
  EXPECT_DOUBLE_EQ(peaks[0].mz, 100.0);
  EXPECT_DOUBLE_EQ(peaks[1].mz, 100.004);
  EXPECT_DOUBLE_EQ(peaks[0].abundance, 100);
  EXPECT_NEAR(peaks[1].abundance, 100.0 / 3, 1e-9);
  EXPECT_NEAR(peaks[3].abundance, 0.01 / 0.6, 1e-9);
  // Three lines 0.9 widths apart: the third is 1.35 widths from the first two's mean and starts a peak of its own.
  peaks = MergePeaks({{100.0, 1}, {100.009, 1}, {100.018, 1}}, 10000);
  ASSERT_EQ(peaks.size(), 2u);
  EXPECT_NEAR(peaks[0].mz, 100.0045, 1e-9);
  EXPECT_DOUBLE_EQ(peaks[1].mz, 100.018);
  EXPECT_TRUE(MergePeaks({}, 1000).empty());
}

TEST(IsotopePattern, WhatCannotBeComputedIsEmpty) {
  EXPECT_TRUE(IsotopePattern(Composition(), 1, Table()).empty());
  EXPECT_TRUE(IsotopePattern(Composition({{"Xx", 0, 2}}), 1, Table()).empty());
  ASSERT_EQ(Table().FindIsotope(14, "C"), nullptr);
  EXPECT_TRUE(IsotopePattern(Composition({{"C", 14, 1}, {"H", 0, 4}}), 1, Table()).empty());
  // One isotope in nature: a single peak.
  const auto fluorine = IsotopePattern(F("F2"), 0, Table());
  ASSERT_EQ(fluorine.size(), 1u);
  EXPECT_NEAR(fluorine[0].mz, MonoMass("F2"), 1e-9);
}

}  // namespace
}  // namespace zelm::chem
