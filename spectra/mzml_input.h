// Runs of an instrument (mzML, mzXML) read through ProteoWizard's reader, their scans mapped onto features.
#pragma once

#include <string>
#include <vector>

#include "spectra/feature_input.h"

namespace zelm {

// The features of a run's scans (in the run's order): every MS2 scan with a precursor belongs to a feature; MS2
// scans whose precursor m/z agree within options.tolerance and whose retention times lie within options.rtWindow
// seconds are one feature; its MS1 spectrum is the last survey scan before its first MS2 scan.
FeatureList FeaturesOfScans(const std::vector<Spectrum>& scans, const std::string& file, const ReadOptions& options);

// Reads a run's file through ProteoWizard and maps its scans with FeaturesOfScans; a file that cannot be read is a
// problem naming it.
FeatureList ReadRunFile(const std::string& path, const std::string& file, const ReadOptions& options);

}  // namespace zelm
