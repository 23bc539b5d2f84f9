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
  std::vector<PeakExplanation> explanations;  // with formulas wanted: the chosen fragment of each explained peak

  // A peak's chosen fragment is the closest even-electron one within its tolerance, else the closest odd-electron
  // one (the weights above keep the closest of either kind). The numbers below describe the chosen fragments of the
  // explained peaks and are 0 when no peak is explained; "weighted" means by the peaks' intensities.
  double explainedPeakShare = 0;  // explained peaks / peaks considered
  // The weighted mean of |peak m/z - fragment m/z| / the tolerance's half-width at the peak (0 to 1).
  double meanErrorShare = 0;
  // The weighted median of the signed errors in ppm, (peak - fragment) / fragment; a systematic calibration offset
  // that the precursor's error may be corrected by. 0 when fewer than two peaks are explained.
  double systematicPpm = 0;
  // How well the fragments fit one tree: the share of the chosen fragments (each counted once, whatever its
  // intensity) that a heavier chosen fragment holds atom by atom and loses a plausible neutral to: one of whole RDBE
  // of 0 or more (closed-shell), or a common loss below. The heaviest fragment has none above it.
  double consistentLosses = 0;
  // The weighted share of fragments that lie a common neutral loss, or the sum of two, below the precursor ion or
  // below another chosen fragment. The common losses: H2O, CO, CO2, NH3, HCl, HF, HBr, HI, CH2O2, C2H4, CH4O, SO3,
  // SO2, H2S, HPO3, H3PO4, CH2O, C2H2O, C2H4O2, HCN, CH4 and the radical CH3.
  double commonLosses = 0;
  // The weighted mean credit of the fragments as ions: 1 for an even-electron ion (its formula's RDBE ends in .5),
  // 0.5 for an odd-electron one (one hydrogen shift away from an even-electron ion; shifts of two hydrogens keep the
  // kind), 1 when an entry of unknown valence leaves it unjudged.
  double plausibleFragments = 0;
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
  struct Scratch;
  void Walk(Scratch& s, const long long* ionCounts, size_t depth, double mass, long long valenceSum, bool unknown,
            bool empty, bool match) const;
  bool LeafRange(const Scratch& s, long long most, long long valenceSum, bool unknown, bool empty, long long& lo,
                 long long& hi) const;
  void Offer(Scratch& s, size_t k, double x, long long h, long long valenceSum, bool unknown) const;
  void AtLeaf(Scratch& s, const long long* ionCounts, double mass, long long valenceSum, bool unknown, bool empty,
              bool match, size_t& from) const;
  void Describe(Scratch& s, const long long* ionCounts, MsmsEvidence& evidence) const;
  std::vector<double> mass_;
  std::vector<int> valence_;
  std::vector<double> losses_;  // the common losses' masses and sums of two, ascending, of the entries' elements
  double electron_ = 0;  // what the charge takes from a fragment's mass
  std::vector<Window> peaks_;  // by m/z
  double total_ = 0, widest_ = 0, highest_ = 0, middleHalf_ = 0;
};

// The mean over the peaks (weighed from 0.5 to 1 by intensity) of the log-likelihood ratio of the peak's explanation
// against chance: a peak of the true formula is explained nine times in ten, one at random with the candidate's
// chance.
double MsmsScore(const MsmsEvidence& msms);

}  // namespace zelm
