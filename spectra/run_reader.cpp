// A run's scans read through ProteoWizard (mzML, mzXML); nothing it throws gets past this file.
#include <algorithm>
#include <cstdlib>
#include <exception>
#include <filesystem>

#include <pwiz/data/msdata/MSDataFile.hpp>

#include "spectra/mzml_input.h"

namespace zelm {

namespace {

namespace msd = pwiz::msdata;

// ProteoWizard's message without the "[Class::method()] " it starts with.
std::string Plain(const char* what) {
  std::string text = what;
  if (!text.empty() && text.front() == '[') {
    const auto end = text.find("] ");
    if (end != std::string::npos) text.erase(0, end + 2);
  }
  return text;
}

IonMode ModeOf(const msd::Spectrum& s) {
  if (s.hasCVParam(pwiz::cv::MS_positive_scan)) return IonMode::Positive;
  if (s.hasCVParam(pwiz::cv::MS_negative_scan)) return IonMode::Negative;
  return IonMode::Unknown;
}

std::vector<Peak> PeaksOf(const msd::Spectrum& s) {
  std::vector<Peak> peaks;
  const msd::BinaryDataArrayPtr mz = s.getMZArray(), intensity = s.getIntensityArray();
  if (!mz || !intensity) return peaks;
  const size_t n = std::min(mz->data.size(), intensity->data.size());
  peaks.reserve(n);
  for (size_t i = 0; i < n; ++i) peaks.push_back({mz->data[i], intensity->data[i]});
  return peaks;
}

// The first precursor's selected ion, the charge signed by the scan's polarity, and its collision energy.
void ReadPrecursor(const msd::Spectrum& s, Spectrum& scan) {
  if (s.precursors.empty()) return;
  const msd::Precursor& precursor = s.precursors.front();
  scan.collisionEnergy = precursor.activation.cvParam(pwiz::cv::MS_collision_energy).value;
  if (precursor.selectedIons.empty()) return;
  const msd::SelectedIon& ion = precursor.selectedIons.front();
  scan.precursorMz = ion.cvParamValueOrDefault(pwiz::cv::MS_selected_ion_m_z, 0.0);
  const int charge = std::abs(ion.cvParamValueOrDefault(pwiz::cv::MS_charge_state, 0));
  scan.charge = scan.mode == IonMode::Negative ? -charge : charge;
}

Spectrum ScanOf(const msd::Spectrum& s) {
  Spectrum scan;
  scan.id = s.id;
  scan.msLevel = s.cvParamValueOrDefault(pwiz::cv::MS_ms_level, 0);
  if (scan.msLevel == 0) {  // not written: the spectrum's type tells
    scan.msLevel = s.hasCVParam(pwiz::cv::MS_MS1_spectrum) ? 1 : s.precursors.empty() ? 0 : 2;
  }
  scan.mode = ModeOf(s);
  scan.peaks = PeaksOf(s);
  if (!s.scanList.scans.empty()) {
    const msd::CVParam start = s.scanList.scans.front().cvParam(pwiz::cv::MS_scan_start_time);
    if (!start.empty()) scan.retentionTime = start.timeInSeconds();
  }
  ReadPrecursor(s, scan);
  return scan;
}

// Every scan that reads; each one that does not is a problem.
std::vector<Spectrum> ScansOf(const msd::SpectrumList& list, const std::string& file,
                              std::vector<ReadProblem>& problems) {
  std::vector<Spectrum> scans(list.size());
  for (size_t i = 0; i < list.size(); ++i) {
    scans[i].msLevel = 0;  // a scan that cannot be read keeps its place, so that indices stay the run's
    try {
      scans[i] = ScanOf(*list.spectrum(i, true));
    } catch (const std::exception& e) {
      problems.push_back({file, 0, "the scan at index " + std::to_string(i) + " cannot be read: " + Plain(e.what())});
    } catch (...) {
      problems.push_back({file, 0, "the scan at index " + std::to_string(i) + " cannot be read"});
    }
  }
  return scans;
}

}  // namespace

FeatureList ReadRunFile(const std::string& path, const std::string& file, const ReadOptions& options) {
  std::error_code ec;
  if (!std::filesystem::exists(path, ec)) return {{}, {{file, 0, "the file does not exist"}}};
  if (std::filesystem::is_directory(path, ec)) return {{}, {{file, 0, "this is a folder, not a run's file"}}};
  std::vector<Spectrum> scans;
  std::vector<ReadProblem> problems;
  try {
    const msd::MSDataFile data(path);
    if (data.run.spectrumListPtr) scans = ScansOf(*data.run.spectrumListPtr, file, problems);
  } catch (const std::exception& e) {
    return {{}, {{file, 0, "the file cannot be read as mzML or mzXML: " + Plain(e.what())}}};
  } catch (...) {
    return {{}, {{file, 0, "the file cannot be read as mzML or mzXML"}}};
  }
  FeatureList list = FeaturesOfScans(scans, file, options);
  list.problems.insert(list.problems.begin(), problems.begin(), problems.end());
  return list;
}

}  // namespace zelm
