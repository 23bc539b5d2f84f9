// What a feature's spectra say about its ion: the isotope envelope cut from a survey spectrum, and its MS/MS spectra
// merged into one peak list.
#pragma once

#include <vector>

#include "spectra/spectrum.h"
#include "spectra/tolerance.h"

namespace zelm {

// The spectrum's noise level: the intensity below which a peak is taken for noise.
double NoiseLevel(const Spectrum& spectrum);

// The ion's isotope envelope in a survey spectrum: the monoisotopic peak (the most intense within `tolerance` of mz),
// then the peaks around each nominal isotope position mz + k * 1.00336 / |charge|, in a window wide enough to keep
// the M+2 of Cl, Br and S (which lie about 10 mDa below two neutrons), up to the first position that holds nothing
// above the noise. Empty when no peak lies within the tolerance of mz. Peaks by rising m/z.
std::vector<Peak> CutIsotopeEnvelope(const Spectrum& ms1, double mz, int charge, const Tolerance& tolerance);

// A feature's MS/MS spectra as one peak list: each spectrum scaled so that its base peak is 1, then peaks closer than
// `tolerance` joined (intensities added, m/z weighed by intensity). One spectrum is given back as it is. Peaks by
// rising m/z.
std::vector<Peak> MergeSpectra(const std::vector<Spectrum>& spectra, const Tolerance& tolerance);

}  // namespace zelm
