#include "rank/feature_evidence.h"

#include "spectra/evidence.h"

namespace zelm {

FeatureEvidence EvidenceOf(const Feature& feature, const RankConfig& config, int charge) {
  FeatureEvidence e;
  if (config.msms && !feature.ms2.empty()) e.msms = MergeSpectra(feature.ms2, config.fragments);
  e.isotopes = feature.isotopePeaks;
  for (size_t i = 0; e.isotopes.empty() && i < feature.ms1.size(); ++i)
    e.isotopes = CutIsotopeEnvelope(feature.ms1[i], feature.mz, charge, config.tolerance);
  return e;
}

}  // namespace zelm
