// What the MS/MS spectrum says about a feature's ion type. An adduct ion often shows its adduct in its fragments: an
// [M+CH3COOH-H]- ion loses acetic acid (or methyl acetate, as phosphatidylcholines do) and gives the acetate anion, an
// [M+FA-H]- ion formic acid and formate, [M+Cl]- HCl and Cl-, [M+NH4]+ ammonia. An [M-H]- of the formula M + C2H4O2
// is the same ion as the [M+CH3COOH-H]- of M, with the same isotopes and fragments: these marks are what tells them
// apart.
#pragma once

#include <vector>

#include "chemistry/ion_type.h"
#include "spectra/spectrum.h"
#include "spectra/tolerance.h"

namespace zelm {

// The intensity, relative to the most intense peak, of the most intense MS/MS peak at one of the marks of the ion
// type searched as (within the tolerance); 0 for an ion type without marks or without peaks.
double AdductMarkSeen(const chem::IonType& ion, const std::vector<Peak>& msms, double precursorMz,
                      const Tolerance& tolerance);

}  // namespace zelm
