// Writes scans as a run's file (mzML or mzXML) with ProteoWizard's own writer, for tests of the readers.
#pragma once

#include <boost/make_shared.hpp>
#include <pwiz/data/msdata/MSDataFile.hpp>
#include <string>
#include <utility>
#include <vector>

#include "spectra/spectrum.h"

namespace zelm::test {

// A scan for WriteRun.
inline Spectrum RunScan(int level, double rt, double precursorMz, int charge, std::string energy, IonMode mode,
                        std::vector<Peak> peaks) {
  Spectrum s;
  s.msLevel = level;
  s.retentionTime = rt;
  s.precursorMz = precursorMz;
  s.charge = charge;
  s.collisionEnergy = std::move(energy);
  s.mode = mode;
  s.peaks = std::move(peaks);
  return s;
}

// Each scan's level, peaks, retention time (seconds), precursor m/z and charge (MS2), collision energy (in eV, MS2)
// and polarity (IonMode::Negative for a negative scan, else positive); its id is "scan=N", N from 1.
inline void WriteRun(const std::string& path, const std::vector<Spectrum>& scans, bool mzXML = false) {
  namespace msd = pwiz::msdata;
  using namespace pwiz::cv;
  auto list = boost::make_shared<msd::SpectrumListSimple>();
  for (size_t i = 0; i < scans.size(); ++i) {
    const Spectrum& in = scans[i];
    auto s = boost::make_shared<msd::Spectrum>();
    s->index = i;
    s->id = "scan=" + std::to_string(i + 1);
    s->set(MS_ms_level, in.msLevel);
    s->set(in.msLevel == 1 ? MS_MS1_spectrum : MS_MSn_spectrum);
    s->set(MS_centroid_spectrum);
    s->set(in.mode == IonMode::Negative ? MS_negative_scan : MS_positive_scan);
    msd::Scan scan;
    if (in.retentionTime) scan.set(MS_scan_start_time, *in.retentionTime / 60, UO_minute);
    s->scanList.scans.push_back(scan);
    if (in.msLevel >= 2) {
      msd::SelectedIon ion;
      ion.set(MS_selected_ion_m_z, in.precursorMz, MS_m_z);
      if (in.charge) ion.set(MS_charge_state, std::abs(in.charge));
      msd::Precursor precursor;
      precursor.selectedIons.push_back(ion);
      precursor.activation.set(MS_CID);
      if (!in.collisionEnergy.empty()) precursor.activation.set(MS_collision_energy, in.collisionEnergy, UO_electronvolt);
      s->precursors.push_back(precursor);
    }
    std::vector<double> mz, intensity;
    for (const Peak& p : in.peaks) {
      mz.push_back(p.mz);
      intensity.push_back(p.intensity);
    }
    s->setMZIntensityArrays(mz, intensity, MS_number_of_detector_counts);
    list->spectra.push_back(s);
  }
  msd::MSData run;
  run.id = run.run.id = "test";
  run.run.spectrumListPtr = list;
  msd::MSDataFile::write(run, path,
                         msd::MSDataFile::WriteConfig(mzXML ? msd::MSDataFile::Format_mzXML : msd::MSDataFile::Format_mzML));
}

}  // namespace zelm::test
