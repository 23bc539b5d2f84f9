#include <gtest/gtest.h>

#include "spectra/mzml_input.h"

namespace zelm {
namespace {

Spectrum Survey(double rt, IonMode mode = IonMode::Positive) {
  Spectrum s;
  s.msLevel = 1;
  s.retentionTime = rt;
  s.mode = mode;
  return s;
}

Spectrum Ms2(double mz, double rt, IonMode mode = IonMode::Positive, int charge = 0) {
  Spectrum s;
  s.precursorMz = mz;
  s.retentionTime = rt;
  s.mode = mode;
  s.charge = charge;
  return s;
}

// Each scan's native id its place in the run, so that the features show which scans they took.
std::vector<Spectrum> Numbered(std::vector<Spectrum> scans) {
  for (size_t i = 0; i < scans.size(); ++i) scans[i].id = "scan=" + std::to_string(i);
  return scans;
}

std::vector<std::string> IdsOf(const std::vector<Spectrum>& spectra) {
  std::vector<std::string> ids;
  for (const Spectrum& s : spectra) ids.push_back(s.id);
  return ids;
}

const ReadOptions kOptions{{5, 0}, 10};  // 5 ppm: 2.5 mDa at m/z 500

TEST(RunFeatures, ScansJoinTheFirstScanOfAFeatureWithinTheToleranceAndTheTimeWindow) {
  const auto scans = Numbered({Survey(0), Ms2(500, 1), Ms2(500.0024, 11), Ms2(500.0026, 2), Ms2(500, 11.5),
                               Ms2(499.9976, 1), Ms2(500.0049, 3), Ms2(500.0017, 2)});
  const FeatureList list = FeaturesOfScans(scans, "run.mzML", kOptions);
  ASSERT_EQ(list.features.size(), 3u);
  EXPECT_TRUE(list.problems.empty());
  // 500.0049 lies within the tolerance of 500.0026 only, 499.9976 of 500 only; 500.0017 of all three, nearest to
  // 500.0026.
  EXPECT_EQ(IdsOf(list.features[0].ms2), (std::vector<std::string>{"scan=1", "scan=2", "scan=5"}));
  EXPECT_EQ(IdsOf(list.features[1].ms2), (std::vector<std::string>{"scan=3", "scan=6", "scan=7"}));
  EXPECT_EQ(IdsOf(list.features[2].ms2), (std::vector<std::string>{"scan=4"}));
  EXPECT_EQ(list.features[0].id, "scan=1");
  EXPECT_EQ(list.features[1].mz, 500.0026);
  for (const Feature& f : list.features) EXPECT_EQ(f.file, "run.mzML");
}

TEST(RunFeatures, TheSurveyIsTheLastOneOfTheFeaturesPolarityBeforeItsFirstScan) {
  const auto scans = Numbered({Ms2(300, 1), Survey(2), Survey(3, IonMode::Negative), Survey(4),
                               Ms2(400, 5, IonMode::Negative, 2), Ms2(300, 15), Ms2(400, 6, IonMode::Unknown),
                               Ms2(400, 6, IonMode::Positive, 1), Ms2(500, 7, IonMode::Unknown)});
  const FeatureList list = FeaturesOfScans(scans, "run", kOptions);
  ASSERT_EQ(list.features.size(), 5u);
  const Feature &early = list.features[0], &negative = list.features[1], &late = list.features[2],
                &positive = list.features[3], &unknown = list.features[4];
  EXPECT_TRUE(early.ms1.empty());  // no survey before it
  EXPECT_EQ(IdsOf(negative.ms1), (std::vector<std::string>{"scan=2"}));
  EXPECT_EQ(IdsOf(late.ms1), (std::vector<std::string>{"scan=3"}));
  EXPECT_EQ(IdsOf(unknown.ms1), (std::vector<std::string>{"scan=3"}));
  // A scan of no polarity joins a negative feature; a positive one starts its own.
  EXPECT_EQ(IdsOf(negative.ms2), (std::vector<std::string>{"scan=4", "scan=6"}));
  EXPECT_EQ(negative.mode, IonMode::Negative);
  EXPECT_EQ(negative.charge, -2);
  EXPECT_EQ(positive.mode, IonMode::Positive);
  EXPECT_EQ(positive.charge, 1);
  EXPECT_EQ(unknown.mode, IonMode::Unknown);
  EXPECT_EQ(unknown.charge, 0);
}

TEST(RunFeatures, ScansWithoutAPrecursorOrATimeAreHandledApart) {
  std::vector<Spectrum> scans{Ms2(0, 1), Ms2(200, 1), Ms2(200, 2), Ms2(-1, 2), Ms2(200, 2), Survey(3)};
  scans[0].id = "controllerType=0 controllerNumber=1 scan=42";
  scans[1].retentionTime.reset();
  scans[2].retentionTime.reset();
  scans[2].id = "controllerType=0 controllerNumber=1 scan=43";
  scans[5].msLevel = 3;  // neither survey nor MS2
  const FeatureList list = FeaturesOfScans(scans, "run.mzXML", kOptions);
  ASSERT_EQ(list.features.size(), 2u);
  // Scans without a time group with each other only; with no id the scan's place names the feature.
  EXPECT_EQ(list.features[0].id, "index=1");
  EXPECT_EQ(list.features[0].ms2.size(), 2u);
  EXPECT_EQ(list.features[1].id, "index=4");
  ASSERT_EQ(list.problems.size(), 1u);
  EXPECT_EQ(list.problems[0].Text(), "run.mzXML: 2 MS2 scans without a precursor m/z left out (the first: scan=42)");
}

}  // namespace
}  // namespace zelm
