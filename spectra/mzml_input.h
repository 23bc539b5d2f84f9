// Runs of an instrument (mzML, mzXML) read through ProteoWizard's reader, their scans mapped onto features.
#pragma once

#include <string>
#include <vector>

#include "spectra/feature_input.h"

namespace zelm {

// The features of a run's scans (in the run's order). Every MS2 scan with a precursor (an m/z above 0) belongs to
// exactly one feature. Scans are taken in run order; a scan joins the feature whose first scan it agrees with (the
// nearest in m/z of those it agrees with, the earlier on a tie), else it starts a new one. A scan agrees with a
// feature's first scan when its precursor m/z lies within options.tolerance.HalfWidth of the first scan's, its
// retention time within options.rtWindow seconds of the first scan's (or both have none), and its polarity does not
// contradict the feature's (a scan's polarity: its mode, else its charge's sign).
// A feature: its id the `scan=N` term of its first scan's native id, else that id, else "index=I" (the scan's
// position in the run, from 0); its m/z its first scan's precursor m/z; its mode the polarity of its scans; its charge
// the first known charge of its scans, signed by that polarity (0: unknown); its MS2 spectra its scans; its MS1
// spectrum the last survey scan of no other polarity before its first MS2 scan (none when there is none). Features
// come in the order of their first scans. MS2 scans without a precursor are left out and counted in one problem;
// scans of other levels than 1 and 2 are left out.
FeatureList FeaturesOfScans(const std::vector<Spectrum>& scans, const std::string& file, const ReadOptions& options);

// Reads a run's file through ProteoWizard and maps its scans with FeaturesOfScans: each scan's level, peaks (the m/z
// and intensity arrays as stored), start time in seconds, its first precursor's selected ion (m/z, charge signed by
// the scan's polarity), collision energy as written and native id. A file that cannot be opened is a problem naming
// it (line 0); a scan that cannot be read is a problem, and the others are read.
FeatureList ReadRunFile(const std::string& path, const std::string& file, const ReadOptions& options);

}  // namespace zelm
