// The chemistry rules a neutral formula is judged by before it is offered as a molecule:
// - RDBE: the ring and double-bond equivalents from the valences, within a range and whole (a neutral molecule with
//   every electron paired);
// - SENIOR: the sum of the valences is even, at least twice the largest valence, and at least twice the number of
//   atoms less one (Senior, 1951), so that the atoms can form one connected molecule;
// - the element ratios of the Seven Golden Rules (Kind and Fiehn, 2007): H, N, O, P, S, F, Cl, Br and Si against C,
//   in the ranges of the "common" preset (99.7 % of known compounds) or the "extended" one (99.99 %), and their
//   limits on formulas rich in several of N, O, P and S at once ("HNOPS").
// Rules are hard (a formula that breaks them is no candidate) or soft (it stays, its breaks are named): with the
// extended ratios in force, a ratio outside its common range and the HNOPS limits are soft.
#pragma once

#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chemistry/valence.h"

namespace zelm::chem {

struct RatioRange {
  std::string element;  // the ratio element/C
  double min = 0, max = 0;
};

enum class RatioPreset { Extended, Common, Off };
std::optional<RatioPreset> RatioPresetNamed(std::string_view name);  // "extended", "common", "off"
// The ranges of a preset (none for Off).
std::vector<RatioRange> RatioRanges(RatioPreset preset);

struct RuleSettings {
  Valences valences;
  bool rdbe = true;  // the RDBE range and wholeness
  double rdbeMin = 0, rdbeMax = std::numeric_limits<double>::infinity();
  bool rdbeWhole = true;
  bool senior = true;
  RatioPreset ratios = RatioPreset::Extended;
  std::vector<RatioRange> ratioOverrides;  // each replaces its element's range in the preset (or adds it)

  // Reads "MIN-MAX", "MIN-" or "-MAX" (either may be negative: "-0.5-40"), or "off". False with *why.
  bool ParseRdbe(std::string_view text, std::string* why);
  // Reads overrides such as "H/C=0.1-6, F/C=0-1.5". False with *why.
  bool ParseRatios(std::string_view text, std::string* why);
};

// The soft rules a formula breaks, one bit each.
using SoftBreaks = std::uint32_t;
// Their names, comma-separated in a fixed order ("O/C,HNOPS"); empty for none.
std::string SoftBreakNames(SoftBreaks breaks);

// The rules made ready for formulas given as counts of fixed entries (one symbol each; several entries may be forms
// of one element, such as C and [13C]; a symbol that is no element, such as a library label, takes part in no rule).
class FormulaRules {
 public:
  FormulaRules(const RuleSettings& settings, const std::vector<std::string>& symbols);

  struct Verdict {
    bool pass = true;            // no hard rule broken
    SoftBreaks soft = 0;         // the soft rules broken
    std::optional<double> rdbe;  // nullopt when an entry has no valence
  };
  Verdict Judge(const long long* counts) const;
  // Judge(counts).pass, found sooner: the hard rules alone, stopping at the first one broken. A search that meets
  // many formulas breaking them asks this first and judges in full only those that pass.
  bool Passes(const long long* counts) const;

 private:
  // Room for the counts per element: on the stack for the usual few elements.
  class ElementCountBuffer {
   public:
    explicit ElementCountBuffer(size_t n) {
      if (n > kSmall) large_.resize(n);
    }
    long long* data() { return large_.empty() ? small_ : large_.data(); }

   private:
    static constexpr size_t kSmall = 32;
    long long small_[kSmall];
    std::vector<long long> large_;
  };
  void ElementCounts(const long long* counts, long long* n) const;
  // The valence rules (RDBE, SENIOR); rdbe set when every element present has a valence.
  bool ValenceRules(const long long* n, std::optional<double>& rdbe) const;
  // Whether no hard ratio is broken (ratios are judged only when carbon is present).
  bool HardRatios(const long long* n) const;
  struct Ratio {
    int element = -1;  // index into the element counts
    double min = 0, max = 0;
    bool hard = true;
    SoftBreaks bit = 0;
  };
  RuleSettings settings_;
  std::vector<int> elementOf_;  // per entry: the index of its element among elements_, -1 for none
  std::vector<std::string> elements_;
  std::vector<int> valence_;    // per element, 0 for none
  int carbon_ = -1, nitrogen_ = -1, oxygen_ = -1, phosphorus_ = -1, sulfur_ = -1;
  std::vector<Ratio> ratios_;
  bool hnops_ = false;
};

}  // namespace zelm::chem
