// What a feature's spectra give the ranking: the MS/MS peaks to explain and the measured isotope peaks to fit.
#pragma once

#include <vector>

#include "rank/config.h"
#include "spectra/spectrum.h"

namespace zelm {

struct FeatureEvidence {
  std::vector<Peak> msms;      // one MS/MS spectrum as it is, several merged
  std::vector<Peak> isotopes;  // the peaks the file gives, else the envelope cut from the first MS1 spectrum with one
};

// `charge`: the ion's, for the spacing of the isotope peaks (0: unknown, taken as 1).
FeatureEvidence EvidenceOf(const Feature& feature, const RankConfig& config, int charge);

}  // namespace zelm
