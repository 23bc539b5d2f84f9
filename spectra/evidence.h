// What a feature's spectra say about its ion: the isotope envelope cut from a survey spectrum, and its MS/MS spectra
// merged into one peak list.
#pragma once

#include <vector>

#include "spectra/spectrum.h"
#include "spectra/tolerance.h"

namespace zelm {

// The spectrum's noise level: the intensity at or below which a peak is taken for noise. In a survey spectrum of
// hundreds of peaks most are noise, so the level is 1.5 times the median intensity; it is never above 0.3 % of the
// base peak, so that in a short list of picked peaks little or nothing is noise. Peaks with an intensity that is not
// a finite number above 0 are not counted; 0 when no peak is left.
double NoiseLevel(const Spectrum& spectrum);

// How far an isotope peak may lie from where its monoisotopic peak puts it, in m/z tolerances: some time-of-flight
// instruments, which do not resolve 13C from 15N and 2H, write an isotope peak several mDa from its place. The
// envelope is cut and the isotope fit links its peaks within this reach.
constexpr double kIsotopeReach = 2;

// The ion's isotope envelope in a survey spectrum: the monoisotopic peak (the most intense within
// tolerance.HalfWidth(mz) of mz), then for k = 1, 2, ... up to 10 every peak above NoiseLevel(ms1) in the window of
// position k, up to the first position whose window holds none. With P the monoisotopic peak's measured m/z plus
// k * 1.00336 / |z| (|z| = 1 when the charge is 0) and t = kIsotopeReach * tolerance.HalfWidth(P), the window runs
// from P - d - t to P + 2.9 mDa / |z| + t (2H), where d is 6.3 mDa / |z| at M+1 (15N) and floor(k / 2) * 10.9 mDa / |z| from M+2 on
// (each pair of neutrons as low as 34S, which keeps 37Cl and 81Br too, so the M+4 of Cl2 and Br2). Within its window
// a peak is kept however intense it is: the M+2 of ions with several Cl or Br outgrows the monoisotopic peak. Empty
// when no peak lies within the tolerance of mz; otherwise peaks by rising m/z with intensities as measured (peaks
// whose m/z or intensity is not finite, or whose intensity is not above 0, are passed over).
std::vector<Peak> CutIsotopeEnvelope(const Spectrum& ms1, double mz, int charge, const Tolerance& tolerance);

// A feature's MS/MS spectra as one peak list. One spectrum is given back as it is (the same peaks in the same order);
// none gives an empty list. From two on, peaks whose m/z or intensity is not finite or whose intensity is not above 0
// are dropped, each spectrum is scaled so that its base peak is 1, and the pooled peaks are joined: the most intense
// peak not yet joined gathers every peak not yet joined within tolerance.HalfWidth of its m/z (so a chain of close
// peaks is cut where the reach of its strongest peaks ends), into one peak with the summed intensity and the
// intensity-weighted m/z. Peaks by rising m/z; the intensities are not scaled again (a peak in every one of n spectra
// can reach n). Takes n log n time in the number of peaks.
std::vector<Peak> MergeSpectra(const std::vector<Spectrum>& spectra, const Tolerance& tolerance);

}  // namespace zelm
