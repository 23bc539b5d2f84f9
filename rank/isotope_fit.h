// How well a candidate's isotope pattern fits the isotope peaks measured for its query: a score from 0 (no fit) to 1
// (the measured peaks are the pattern).
//
// The form: theoretical and measured peaks closer than the m/z tolerance are linked, and each group of linked peaks is
// compared as one (so a measured peak that holds two theoretical ones, or the other way round, compares their sums);
// both sides are scaled so that their largest group is 100, and the theoretical side is then scaled by the factor that
// fits the linked groups best (least squares). Compared are the linked groups, the measured peaks no theoretical one
// explains, and the theoretical peaks no measured one matches that are at least as intense as the faintest measured
// peak (those the measurement would have shown). Each compared group's difference d = |measured - theoretical| is
// taken in units of its expected error, relativeError of the larger of the two plus absoluteError; the score is
// exp(-mean(d^2) / 2), the geometric mean of each group's Gaussian similarity. Without a linked group it is 0.
#pragma once

#include <optional>
#include <vector>

#include "chemistry/composition.h"
#include "chemistry/element_table.h"
#include "chemistry/isotope_pattern.h"
#include "spectra/spectrum.h"

namespace zelm {

struct IsotopeFitOptions {
  double relativeError = 0.1;  // the share of a relative intensity a measurement may be off by
  double absoluteError = 1.0;  // and in percent of the most intense peak, for faint peaks
};

// theoretical: a pattern (any scale); measured: the peaks of the query (any intensity scale, intensities above 0);
// mzTolerance: in u, the largest m/z difference at which a measured peak and a theoretical one are the same peak.
// 0 when either side is empty.
double IsotopeScore(const std::vector<chem::PatternPeak>& theoretical, const std::vector<Peak>& measured,
                    double mzTolerance, const IsotopeFitOptions& options = {});

// A candidate ion (its composition and charge) against a query's measured isotope peaks, its pattern at
// `resolution`: the score, and how the measured M+1 and M+2 differ from the pattern's, each as
// ln((measured + 0.005) / (pattern + 0.005)) of the position's summed intensity relative to the monoisotopic
// position's (positions 1.00336 / |charge| apart, counted from the pattern's first peak; a position with no peak sums
// to 0). Nullopt when there are no measured peaks or the ion has no pattern.
struct IsotopeFit {
  double score = 0;
  double m1 = 0, m2 = 0;
  // How far the measured M+1 and M+2 lie from the pattern's, each above its monoisotopic peak, in mDa times |charge|
  // (intensity-weighted m/z of the position); 0 when either side has nothing there.
  double shift1 = 0, shift2 = 0;
};
std::optional<IsotopeFit> CandidateIsotopeFit(const chem::Composition& ion, int charge, const chem::ElementTable& table,
                                              double resolution, const std::vector<Peak>& measured,
                                              double mzTolerance, const IsotopeFitOptions& options = {});

}  // namespace zelm
