// How finely a file writes a feature's peaks: an instrument (or export) that writes its masses to thousandths of a
// dalton is one whose masses are good to a few mDa, and its precursor's error spreads as wide.
#pragma once

#include "spectra/spectrum.h"

namespace zelm {

// The fewest decimals that write every m/z of the feature's spectra as read (0 to 6; 6 for six or more), or -1 when
// the feature has no peaks.
int WrittenDecimals(const Feature& feature);

// Peaks written to at most this many decimals mark a coarse instrument.
constexpr int kCoarseDecimals = 3;

}  // namespace zelm
