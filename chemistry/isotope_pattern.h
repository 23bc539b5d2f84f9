// The isotope pattern of an ion as a mass spectrometer of a given resolving power shows it: the fine structure (every
// isotopic composition of the ion with its probability, computed by IsoSpec++ from the element table's isotope masses
// and abundances, so that the pattern's masses agree with the table's), merged into the peaks the instrument cannot
// tell apart, the most intense peak 100.
#pragma once

#include <vector>

#include "chemistry/composition.h"

namespace zelm::chem {

class ElementTable;

// The resolving power m/Δm (Δm the full width of a peak at half its height) taken when none is given: between a
// time-of-flight instrument's 30 000 to 40 000 and an Orbitrap's 60 000 to 240 000 at m/z 200.
constexpr double kDefaultResolution = 60000;
// The share of the whole distribution the fine structure covers: what is left out is at most this close to 1 of the
// total probability, so no merged peak is off by more than 0.01 % of the ion's abundance.
constexpr double kDefaultCoverage = 0.9999;
// Peaks below this, in percent of the most intense, are left out of a pattern.
constexpr double kPatternFloor = 0.1;

struct PatternPeak {
  double mz = 0;
  double abundance = 0;
};

// The fine structure of an ion of `charge` (0: the neutral molecule, masses as they are) with composition `ion`: one
// line per isotopic composition, m/z = (mass - charge * electron mass) / |charge|, abundance its probability (the lines
// together hold at least `coverage` of it), ordered by m/z. An isotope entry ([13C]) is that isotope every time; a
// natural element takes each of its isotopes at the table's abundance. Empty when the composition is empty, holds an
// element or isotope the table lacks, or is too large to compute.
std::vector<PatternPeak> FineStructure(const Composition& ion, int charge, const ElementTable& table,
                                       double coverage = kDefaultCoverage);

// Lines (in any order) merged into the peaks an instrument of resolving power `resolution` shows: taken by rising m/z,
// a line joins the peak before it when it lies closer to that peak's m/z than the peak width m/resolution there; a
// peak's m/z is the abundance-weighted mean of its lines, its abundance their sum. The result is scaled so that the
// most intense peak is 100, and peaks below `floor` (percent) are left out. Ordered by m/z.
std::vector<PatternPeak> MergePeaks(std::vector<PatternPeak> lines, double resolution, double floor = kPatternFloor);

// The pattern an instrument of resolving power `resolution` shows of the ion: FineStructure merged by MergePeaks.
std::vector<PatternPeak> IsotopePattern(const Composition& ion, int charge, const ElementTable& table,
                                        double resolution = kDefaultResolution);

}  // namespace zelm::chem
