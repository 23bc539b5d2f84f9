// MS/MS evidence on spectra made of known fragments, and the order the score puts candidates in.
#include "rank/msms_evidence.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "chemistry/ion_type.h"

namespace zelm {
namespace {

// Entries C, H, N, O, S with their monoisotopic masses and valences.
const std::vector<double> kMasses = {12.0, 1.00782503207, 14.0030740048, 15.99491461956, 31.97207069};
const std::vector<int> kValences = {4, 1, 3, 2, 2};

double CationMz(std::vector<long long> counts) {
  double m = -chem::kElectronMass;
  for (size_t e = 0; e < counts.size(); ++e) m += static_cast<double>(counts[e]) * kMasses[e];
  return m;
}

TEST(MsmsEvidence, FragmentsOfTheIonAreExplainedAndOthersAreNot) {
  // Caffeine's [M+H]+ C8H11N4O2 and two of its fragments, C6H8N3O+ and C5H8N3+; a peak with sulfur, one above
  // the precursor and one of no intensity.
  const std::vector<long long> ion = {8, 11, 4, 2, 0};
  const double precursor = CationMz(ion);
  const std::vector<Peak> peaks = {{CationMz({6, 8, 3, 1, 0}), 100},
                                   {CationMz({5, 8, 3, 0, 0}) + 0.0004, 50},
                                   {CationMz({2, 3, 0, 0, 1}), 25},
                                   {precursor + 1.003, 10},
                                   {CationMz({4, 4, 1, 0, 0}), 0}};
  const FragmentExplainer explainer(kMasses, kValences, 1, peaks, precursor, {5, 0});
  EXPECT_EQ(explainer.Peaks(), 3u);
  const MsmsEvidence e = explainer.Explain(ion.data(), true);
  EXPECT_EQ(e.peaks, 3u);
  EXPECT_EQ(e.explainedPeaks, 2u);
  EXPECT_NEAR(e.explainedIntensity, 150.0 / 175.0, 1e-12);
  ASSERT_EQ(e.explanations.size(), 2u);
  // By m/z: C5H8N3+ first.
  EXPECT_EQ(e.explanations[0].peak, 1u);
  EXPECT_EQ(e.explanations[0].counts, (std::vector<long long>{5, 8, 3, 0, 0}));
  EXPECT_EQ(e.explanations[1].counts, (std::vector<long long>{6, 8, 3, 1, 0}));
  EXPECT_NEAR(e.explanations[1].mzTheoretical, peaks[0].mz, 1e-9);
  // The exact fragment gets full credit, the one 0.4 mDa off (3.6 ppm of 5) less.
  // (weights by m/z: the sulfur peak, C5H8N3+, C6H8N3O+).
  ASSERT_EQ(e.weights.size(), 3u);
  EXPECT_EQ(e.weights[0].second, 0);
  EXPECT_LT(e.weights[1].second, 0.2);
  EXPECT_GT(e.weights[2].second, 0.99);
  EXPECT_EQ(e.weights[2].first, 1);
  // With sulfur in the ion, the third peak is explained too.
  const std::vector<long long> withSulfur = {8, 11, 4, 2, 1};
  EXPECT_EQ(explainer.Explain(withSulfur.data(), false).explainedPeaks, 3u);
}

TEST(MsmsEvidence, FragmentsNeedASensibleRdbeAndTheChanceGrowsWithTheElements) {
  // H3+ has RDBE -0.5 and is an ion; H5+ (RDBE -1.5) is not.
  const std::vector<long long> ion = {2, 8, 0, 1, 0};
  const std::vector<Peak> peaks = {{CationMz({0, 3, 0, 0, 0}), 10}, {CationMz({0, 5, 0, 0, 0}), 10}};
  const FragmentExplainer explainer(kMasses, kValences, 1, peaks, CationMz(ion), {5, 0});
  const MsmsEvidence e = explainer.Explain(ion.data(), true);
  ASSERT_EQ(e.explainedPeaks, 1u);
  EXPECT_EQ(e.explanations[0].counts[1], 3);
  // A formula of more elements and atoms explains more by chance.
  const std::vector<Peak> one = {{100.0, 1}};
  const FragmentExplainer wide(kMasses, kValences, 1, one, 400, {10, 0});
  const std::vector<long long> small = {10, 12, 0, 2, 0}, rich = {10, 12, 4, 4, 2};
  EXPECT_LT(wide.Explain(small.data(), false).chance, wide.Explain(rich.data(), false).chance);
  // Negative ions: the fragment carries an extra electron.
  const std::vector<Peak> anion = {{CationMz({1, 1, 0, 2, 0}) + 2 * chem::kElectronMass, 5}};
  const std::vector<long long> acid = {2, 3, 0, 2, 0};
  const FragmentExplainer negative(kMasses, kValences, -1, anion, CationMz(acid) + 2 * chem::kElectronMass, {5, 0});
  EXPECT_EQ(negative.Explain(acid.data(), false).explainedPeaks, 1u);
}

// The fragments' numbers for an [M+H]+ C8H11N4O2 (caffeine's) whose peaks are these cations of equal intensity.
MsmsEvidence Described(const std::vector<std::vector<long long>>& fragments, Tolerance tolerance = {5, 0},
                       double ppmOffset = 0) {
  static const std::vector<long long> ion = {8, 11, 4, 2, 0};
  std::vector<Peak> peaks;
  for (const auto& f : fragments) peaks.push_back({CationMz(f) * (1 + ppmOffset * 1e-6), 100});
  return FragmentExplainer(kMasses, kValences, 1, peaks, CationMz(ion), tolerance).Explain(ion.data(), true);
}

TEST(MsmsEvidence, LossesBetweenFragmentsAreJudged) {
  // C6H8NO2+ loses CH2O to C5H6NO+; C4H7N2O+ holds more nitrogen than it, and C6H4NO2+ would come by a loss of
  // H4 (RDBE -1). The heaviest fragment has no fragment above it.
  const MsmsEvidence nested = Described({{6, 8, 1, 2, 0}, {5, 6, 1, 1, 0}});
  const MsmsEvidence crossed = Described({{6, 8, 1, 2, 0}, {4, 7, 2, 1, 0}});
  const MsmsEvidence stripped = Described({{6, 8, 1, 2, 0}, {6, 4, 1, 2, 0}});
  ASSERT_EQ(nested.explainedPeaks, 2u);
  ASSERT_EQ(crossed.explainedPeaks, 2u);
  ASSERT_EQ(stripped.explainedPeaks, 2u);
  EXPECT_EQ(nested.consistentLosses, 0.5);
  EXPECT_EQ(crossed.consistentLosses, 0);
  EXPECT_EQ(stripped.consistentLosses, 0);
  // CO off the ion, then HCN off that fragment: both common; C3H5N2+ is no common loss (nor two) below either.
  const MsmsEvidence losses = Described({{7, 11, 4, 1, 0}, {6, 10, 3, 1, 0}, {3, 5, 2, 0, 0}, {3, 5, 2, 0, 0}});
  ASSERT_EQ(losses.explainedPeaks, 4u);
  EXPECT_NEAR(losses.commonLosses, 0.5, 1e-12);
  EXPECT_NEAR(losses.explainedPeakShare, 1, 1e-12);
}

TEST(MsmsEvidence, ACalibrationOffsetShowsAsTheSystematicError) {
  const std::vector<std::vector<long long>> fragments = {{6, 8, 3, 1, 0}, {5, 8, 3, 0, 0}, {4, 6, 1, 1, 0}};
  const MsmsEvidence high = Described(fragments, {10, 0}, 3);
  ASSERT_EQ(high.explainedPeaks, 3u);
  EXPECT_NEAR(high.systematicPpm, 3, 1e-3);
  EXPECT_NEAR(high.meanErrorShare, 0.3, 1e-3);
  EXPECT_NEAR(Described(fragments, {10, 0}, -2).systematicPpm, -2, 1e-3);
  // One fragment gives no offset.
  EXPECT_EQ(Described({{6, 8, 3, 1, 0}}, {10, 0}, 3).systematicPpm, 0);
}

TEST(MsmsEvidence, EvenElectronFragmentsArePlausibleAndPreferred) {
  // C6H8N3O+ is an even-electron ion, the radical C5H7N3+ an odd-electron one.
  EXPECT_NEAR(Described({{6, 8, 3, 1, 0}, {5, 7, 3, 0, 0}}).plausibleFragments, 0.75, 1e-12);
  // With 20 mDa an even-electron fragment lies in the radical's window too (C6H9N2+, 12.6 mDa off): it is chosen,
  // while the peak's credit still comes from the closest fragment.
  const MsmsEvidence wide = Described({{5, 7, 3, 0, 0}}, {0, 20});
  ASSERT_EQ(wide.explanations.size(), 1u);
  EXPECT_NE(wide.explanations[0].counts, (std::vector<long long>{5, 7, 3, 0, 0}));
  EXPECT_EQ(wide.plausibleFragments, 1);
  EXPECT_GT(wide.weights[0].second, 0.99);
}

}  // namespace
}  // namespace zelm
