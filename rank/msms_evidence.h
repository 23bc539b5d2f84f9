// MS/MS evidence for a candidate: which of the query's fragment peaks a sub-formula of the candidate's ion explains.
// A fragment is any formula with at most the ion's count of each entry, singly charged with the ion's sign, whose
// m/z lies within the tolerance of a peak and whose RDBE is at least -0.5 (so that it can be a real ion, even- or
// odd-electron). Peaks at or above the precursor, and peaks of no intensity, are no fragments and are left out.
#pragma once

#include <optional>
#include <vector>

#include "spectra/spectrum.h"
#include "spectra/tolerance.h"

namespace zelm {

struct PeakExplanation {
  size_t peak = 0;                // index into the query's peaks
  std::vector<long long> counts;  // the fragment, per entry
  double mzTheoretical = 0;
};

struct MsmsEvidence {
  size_t peaks = 0;               // fragment peaks considered
  size_t explainedPeaks = 0;
  double explainedIntensity = 0;  // the fraction (0 to 1) of their intensity that is explained
  // How likely a peak at a random m/z below the precursor is explained by some fragment of the ion: the share of
  // that range the fragments' tolerance windows cover (at most 0.99). A formula of many elements explains much by
  // chance, so its explanations say less.
  double chance = 0;
  // Per peak considered: its intensity relative to the most intense, and how well it is explained: 0 not at all,
  // up to 1 for a fragment at the peak's very m/z, falling off as a normal curve whose standard deviation is a third
  // of the tolerance.
  std::vector<std::pair<double, double>> weights;
  std::vector<PeakExplanation> explanations;  // with formulas wanted: the closest fragment of each explained peak
};

class FragmentExplainer {
 public:
  // The entries' monoisotopic masses and valences (0: none known, then RDBE is not judged), the ion's charge (its
  // sign is the fragments'), the query's MS/MS peaks, the precursor m/z and the tolerance for fragments.
  FragmentExplainer(std::vector<double> entryMasses, std::vector<int> valences, int charge,
                    const std::vector<Peak>& peaks, double precursorMz, Tolerance tolerance);

  size_t Peaks() const { return peaks_.size(); }
  // The evidence for an ion of these counts (one per entry); with formulas, the closest fragment of each peak too.
  MsmsEvidence Explain(const long long* ionCounts, bool formulas) const;

 private:
  struct Window {
    double lo, hi, mz, intensity;
    size_t index;
  };
  std::vector<double> mass_;
  std::vector<int> valence_;
  double electron_ = 0;  // what the charge takes from a fragment's mass
  std::vector<Window> peaks_;  // by m/z
  double total_ = 0, widest_ = 0, highest_ = 0, middleHalf_ = 0;
};

// The mean over the peaks (weighed from 0.5 to 1 by intensity) of the log-likelihood ratio of the peak's explanation
// against chance: a peak of the true formula is explained nine times in ten, one at random with the candidate's
// chance.
double MsmsScore(const MsmsEvidence& msms);

}  // namespace zelm
