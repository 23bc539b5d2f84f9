#include <gtest/gtest.h>

#include "spectra/mzml_input.h"
#include "support/run_writer.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

namespace msd = pwiz::msdata;

Spectrum Scan(int level, double rt, double precursorMz, int charge, std::string energy, bool negative, size_t i) {
  const double n = static_cast<double>(i);
  return test::RunScan(level, rt, precursorMz, charge, std::move(energy), negative ? IonMode::Negative : IonMode::Positive,
                       {{100.5 + n, 1000}, {250.25, 20.5 * (n + 1)}});
}

// Writes a run with a survey scan, two MS/MS scans of 300.125 close in time and one much later, and one negative scan
// of 450.25. Peaks and masses are exact in single precision, which mzXML may use.
void WriteSmallRun(const std::string& path, msd::MSDataFile::Format format) {
  test::WriteRun(path,
                 {Scan(1, 60, 0, 0, "", false, 0), Scan(2, 61, 300.125, 1, "20", false, 1),
                  Scan(2, 62, 450.25, 1, "", true, 2), Scan(2, 65, 300.125, 0, "40", false, 3),
                  Scan(2, 200, 300.125, 1, "20", false, 4)},
                 format == msd::MSDataFile::Format_mzXML);
}

TEST(RunInput, ScansWrittenAsMzMLAndMzXMLReadBackAsFeatures) {
  TempDir dir;
  for (const auto format : {msd::MSDataFile::Format_mzML, msd::MSDataFile::Format_mzXML}) {
    const std::string name = format == msd::MSDataFile::Format_mzML ? "run.mzML" : "run.mzXML";
    SCOPED_TRACE(name);
    WriteSmallRun(dir.File(name), format);
    const FeatureList list = ReadRunFile(dir.File(name), name, ReadOptions{{5, 0}, 10});
    EXPECT_TRUE(list.problems.empty());
    ASSERT_EQ(list.features.size(), 3u);
    const Feature &first = list.features[0], &negative = list.features[1], &late = list.features[2];
    EXPECT_EQ(first.id, "scan=2");
    EXPECT_EQ(first.mz, 300.125);
    EXPECT_EQ(first.charge, 1);
    EXPECT_EQ(first.mode, IonMode::Positive);
    ASSERT_EQ(first.ms2.size(), 2u);
    EXPECT_EQ(first.ms2[1].collisionEnergy, "40");
    EXPECT_NEAR(*first.ms2[1].retentionTime, 65, 1e-6);  // written in minutes
    ASSERT_EQ(first.ms2[1].peaks.size(), 2u);
    EXPECT_EQ(first.ms2[1].peaks[0].mz, 103.5);
    EXPECT_EQ(first.ms2[1].peaks[1].intensity, 82);
    ASSERT_EQ(first.ms1.size(), 1u);
    EXPECT_EQ(first.ms1[0].peaks[1].intensity, 20.5);
    // The negative scan's charge takes its sign; the survey scan is positive, so it has none.
    EXPECT_EQ(negative.charge, -1);
    EXPECT_EQ(negative.mode, IonMode::Negative);
    EXPECT_TRUE(negative.ms1.empty());
    EXPECT_EQ(late.id, "scan=5");
    EXPECT_EQ(late.ms2[0].collisionEnergy, "20");
    EXPECT_EQ(late.ms1.size(), 1u);
  }
}

TEST(RunInput, AMissingOrTruncatedFileIsAProblemNamingIt) {
  TempDir dir;
  WriteSmallRun(dir.File("whole.mzML"), msd::MSDataFile::Format_mzML);
  const std::string whole = dir.Read("whole.mzML");
  dir.Write("cut.mzML", whole.substr(0, whole.size() / 2));
  dir.Write("empty.mzXML", "");
  for (const std::string name : {"cut.mzML", "empty.mzXML", "none.mzML"}) {
    const FeatureList list = ReadRunFile(dir.File(name), name, ReadOptions{});
    EXPECT_TRUE(list.features.empty()) << name;
    ASSERT_EQ(list.problems.size(), 1u) << name;
    EXPECT_EQ(list.problems[0].file, name);
    EXPECT_EQ(list.problems[0].line, 0);
    EXPECT_NE(list.problems[0].reason.find(name == "none.mzML" ? "does not exist" : "cannot be read"),
              std::string::npos)
        << list.problems[0].Text();
  }
}

}  // namespace
}  // namespace zelm
