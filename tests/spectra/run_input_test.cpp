#include <gtest/gtest.h>

#include <boost/make_shared.hpp>
#include <pwiz/data/msdata/MSDataFile.hpp>

#include "spectra/mzml_input.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

namespace msd = pwiz::msdata;
using namespace pwiz::cv;

struct Scan {
  int level;
  double rt;  // seconds
  double precursorMz;
  int charge;
  const char* energy;
  bool negative;
};

// Writes a run with a survey scan, two MS/MS scans of 300.125 close in time and one much later, and one negative scan
// of 450.25. Peaks and masses are exact in single precision, which mzXML may use.
void WriteSmallRun(const std::string& path, msd::MSDataFile::Format format) {
  const std::vector<Scan> scans{{1, 60, 0, 0, "", false},     {2, 61, 300.125, 1, "20", false},
                                {2, 62, 450.25, 1, "", true},  {2, 65, 300.125, 0, "40", false},
                                {2, 200, 300.125, 1, "20", false}};
  auto list = boost::make_shared<msd::SpectrumListSimple>();
  for (size_t i = 0; i < scans.size(); ++i) {
    const Scan& in = scans[i];
    auto s = boost::make_shared<msd::Spectrum>();
    s->index = i;
    s->id = "scan=" + std::to_string(i + 1);
    s->set(MS_ms_level, in.level);
    s->set(in.level == 1 ? MS_MS1_spectrum : MS_MSn_spectrum);
    s->set(MS_centroid_spectrum);
    s->set(in.negative ? MS_negative_scan : MS_positive_scan);
    msd::Scan scan;
    scan.set(MS_scan_start_time, in.rt / 60, UO_minute);
    s->scanList.scans.push_back(scan);
    if (in.level == 2) {
      msd::SelectedIon ion;
      ion.set(MS_selected_ion_m_z, in.precursorMz, MS_m_z);
      if (in.charge) ion.set(MS_charge_state, in.charge);
      msd::Precursor precursor;
      precursor.selectedIons.push_back(ion);
      precursor.activation.set(MS_CID);
      if (*in.energy) precursor.activation.set(MS_collision_energy, in.energy, UO_electronvolt);
      s->precursors.push_back(precursor);
    }
    s->setMZIntensityArrays(std::vector<double>{100.5 + i, 250.25}, std::vector<double>{1000, 20.5 * (i + 1)},
                           MS_number_of_detector_counts);
    list->spectra.push_back(s);
  }
  msd::MSData run;
  run.id = run.run.id = "small";
  run.run.spectrumListPtr = list;
  msd::MSDataFile::write(run, path, msd::MSDataFile::WriteConfig(format));
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
