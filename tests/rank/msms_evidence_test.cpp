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

}  // namespace
}  // namespace zelm
