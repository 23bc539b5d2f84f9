#include "chemistry/formula_rules.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <cmath>

namespace zelm::chem {

namespace {

// The ratio elements in the order their soft breaks are named; HNOPS follows them.
constexpr std::array<std::string_view, 9> kRatioElements = {"H", "N", "O", "P", "S", "F", "Cl", "Br", "Si"};
constexpr SoftBreaks kHnopsBit = SoftBreaks{1} << kRatioElements.size();

struct PresetRange {
  double commonMin, commonMax, extendedMin, extendedMax;
};
// Kind and Fiehn's ranges. The extended H/C starts at 0 instead of 0.1, so that perhalogenated compounds (C6Cl6,
// C8F18) are not dropped.
constexpr std::array<PresetRange, 9> kRanges = {{{0.2, 3.1, 0, 6},
                                                 {0, 1.3, 0, 4},
                                                 {0, 1.2, 0, 3},
                                                 {0, 0.3, 0, 2},
                                                 {0, 0.8, 0, 3},
                                                 {0, 1.5, 0, 6},
                                                 {0, 0.8, 0, 2},
                                                 {0, 0.8, 0, 2},
                                                 {0, 0.5, 0, 1}}};

int RatioIndex(std::string_view element) {
  for (size_t i = 0; i < kRatioElements.size(); ++i)
    if (kRatioElements[i] == element) return static_cast<int>(i);
  return -1;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

bool ReadNumber(std::string_view s, double& value) {
  if (s.empty()) return false;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(value);
}

// "a-b", "a-", "-b" with a and b possibly negative: the dash that separates is the first one after a number's start.
bool ReadRange(std::string_view s, double& min, double& max) {
  s = Trim(s);
  for (size_t dash = 1; dash < s.size(); ++dash) {
    if (s[dash] != '-' || s[dash - 1] == 'e' || s[dash - 1] == 'E') continue;
    const std::string_view a = Trim(s.substr(0, dash)), b = Trim(s.substr(dash + 1));
    double lo = -std::numeric_limits<double>::infinity(), hi = std::numeric_limits<double>::infinity();
    if (!a.empty() && !ReadNumber(a, lo)) continue;
    if (!b.empty() && !ReadNumber(b, hi)) continue;
    if (a.empty() && b.empty()) return false;
    if (lo > hi) return false;
    min = lo;
    max = hi;
    return true;
  }
  // "-b" alone: a leading dash and a number.
  if (s.size() > 1 && s[0] == '-') {
    double hi;
    if (ReadNumber(s.substr(1), hi)) {
      min = -std::numeric_limits<double>::infinity();
      max = hi;
      return true;
    }
  }
  return false;
}

}  // namespace

std::optional<RatioPreset> RatioPresetNamed(std::string_view name) {
  if (name == "extended") return RatioPreset::Extended;
  if (name == "common") return RatioPreset::Common;
  if (name == "off") return RatioPreset::Off;
  return std::nullopt;
}

std::vector<RatioRange> RatioRanges(RatioPreset preset) {
  std::vector<RatioRange> ranges;
  if (preset == RatioPreset::Off) return ranges;
  for (size_t i = 0; i < kRatioElements.size(); ++i) {
    const PresetRange& r = kRanges[i];
    const bool common = preset == RatioPreset::Common;
    ranges.push_back({std::string(kRatioElements[i]), common ? r.commonMin : r.extendedMin,
                      common ? r.commonMax : r.extendedMax});
  }
  return ranges;
}

bool RuleSettings::ParseRdbe(std::string_view text, std::string* why) {
  if (Trim(text) == "off") {
    rdbe = false;
    return true;
  }
  double lo, hi;
  if (!ReadRange(text, lo, hi)) {
    if (why) *why = "the RDBE range \"" + std::string(text) + "\" is not MIN-MAX (or off)";
    return false;
  }
  rdbe = true;
  rdbeMin = lo;
  rdbeMax = hi;
  return true;
}

bool RuleSettings::ParseRatios(std::string_view text, std::string* why) {
  std::vector<RatioRange> read;
  while (!text.empty()) {
    const size_t comma = text.find(',');
    const std::string_view item = Trim(text.substr(0, comma));
    text = comma == std::string_view::npos ? std::string_view() : text.substr(comma + 1);
    if (item.empty()) continue;
    const size_t slash = item.find("/C="), eq = item.find('=');
    double lo, hi;
    const std::string_view element = item.substr(0, slash);
    if (slash == std::string_view::npos || RatioIndex(element) < 0 || !ReadRange(item.substr(eq + 1), lo, hi) ||
        lo < 0) {
      if (why)
        *why = "the ratio \"" + std::string(item) +
               "\" is not X/C=MIN-MAX with X one of H, N, O, P, S, F, Cl, Br, Si";
      return false;
    }
    read.push_back({std::string(element), lo, hi});
  }
  for (const RatioRange& r : read) {
    auto same = std::find_if(ratioOverrides.begin(), ratioOverrides.end(),
                             [&](const RatioRange& o) { return o.element == r.element; });
    if (same != ratioOverrides.end()) *same = r;
    else ratioOverrides.push_back(r);
  }
  return true;
}

std::string SoftBreakNames(SoftBreaks breaks) {
  std::string names;
  for (size_t i = 0; i <= kRatioElements.size(); ++i) {
    if (!(breaks & (SoftBreaks{1} << i))) continue;
    if (!names.empty()) names += ',';
    names += i < kRatioElements.size() ? std::string(kRatioElements[i]) + "/C" : std::string("HNOPS");
  }
  return names;
}

FormulaRules::FormulaRules(const RuleSettings& settings, const std::vector<std::string>& symbols)
    : settings_(settings) {
  for (const std::string& s : symbols) {
    auto it = std::find(elements_.begin(), elements_.end(), s);
    int index;
    if (it != elements_.end()) {
      index = static_cast<int>(it - elements_.begin());
    } else {
      index = static_cast<int>(elements_.size());
      elements_.push_back(s);
      valence_.push_back(settings.valences.Of(s).value_or(0));
    }
    elementOf_.push_back(index);
  }
  auto find = [&](std::string_view symbol) {
    auto it = std::find(elements_.begin(), elements_.end(), symbol);
    return it == elements_.end() ? -1 : static_cast<int>(it - elements_.begin());
  };
  carbon_ = find("C");
  nitrogen_ = find("N");
  oxygen_ = find("O");
  phosphorus_ = find("P");
  sulfur_ = find("S");
  if (settings.ratios == RatioPreset::Off && settings.ratioOverrides.empty()) return;
  // The hard ranges: the preset's, with the overrides in their place.
  std::vector<RatioRange> hard = RatioRanges(settings.ratios);
  for (const RatioRange& o : settings.ratioOverrides) {
    auto same = std::find_if(hard.begin(), hard.end(), [&](const RatioRange& r) { return r.element == o.element; });
    if (same != hard.end()) *same = o;
    else hard.push_back(o);
  }
  for (const RatioRange& r : hard) {
    const int e = find(r.element);
    if (e >= 0) ratios_.push_back({e, r.min, r.max, true, 0});
  }
  // With the extended preset, the common ranges as soft rules (where they are narrower than the hard one).
  if (settings.ratios == RatioPreset::Extended) {
    for (const RatioRange& r : RatioRanges(RatioPreset::Common)) {
      const int e = find(r.element);
      if (e < 0) continue;
      const SoftBreaks bit = SoftBreaks{1} << RatioIndex(r.element);
      ratios_.push_back({e, r.min, r.max, false, bit});
    }
  }
  hnops_ = settings.ratios != RatioPreset::Off;
}

void FormulaRules::ElementCounts(const long long* counts, long long* n) const {
  std::fill(n, n + elements_.size(), 0);
  for (size_t i = 0; i < elementOf_.size(); ++i) n[elementOf_[i]] += counts[i];
}

bool FormulaRules::ValenceRules(const long long* n, std::optional<double>& rdbe) const {
  // The valence sums, over the elements with a valence.
  long long valenceSum = 0, atoms = 0, oddAtoms = 0;
  int largest = 0;
  bool unknownPresent = false;
  for (size_t e = 0; e < elements_.size(); ++e) {
    if (n[e] <= 0) continue;
    if (valence_[e] == 0) {
      unknownPresent = true;
      continue;
    }
    valenceSum += n[e] * valence_[e];
    atoms += n[e];
    if (valence_[e] % 2) oddAtoms += n[e];
    largest = std::max(largest, valence_[e]);
  }
  rdbe.reset();
  if (!unknownPresent) rdbe = 1 + static_cast<double>(valenceSum - 2 * atoms) / 2;
  bool pass = true;
  if (settings_.rdbe && rdbe) {
    if (*rdbe < settings_.rdbeMin || *rdbe > settings_.rdbeMax) pass = false;
    if (settings_.rdbeWhole && oddAtoms % 2) pass = false;
  }
  if (settings_.senior && !unknownPresent && atoms > 0) {
    if (valenceSum % 2 || valenceSum < 2 * largest || valenceSum < 2 * (atoms - 1)) pass = false;
  }
  return pass;
}

bool FormulaRules::HardRatios(const long long* n) const {
  const long long c = carbon_ >= 0 ? n[carbon_] : 0;
  if (c <= 0) return true;
  for (const Ratio& r : ratios_) {
    if (!r.hard) continue;
    const double ratio = static_cast<double>(n[r.element]) / static_cast<double>(c);
    if (!(ratio >= r.min && ratio <= r.max)) return false;
  }
  return true;
}

bool FormulaRules::Passes(const long long* counts) const {
  ElementCountBuffer buffer(elements_.size());
  long long* n = buffer.data();
  ElementCounts(counts, n);
  std::optional<double> rdbe;
  return ValenceRules(n, rdbe) && HardRatios(n);
}

FormulaRules::Verdict FormulaRules::Judge(const long long* counts) const {
  Verdict v;
  ElementCountBuffer buffer(elements_.size());
  long long* n = buffer.data();
  ElementCounts(counts, n);
  v.pass = ValenceRules(n, v.rdbe) && HardRatios(n);
  const long long c = carbon_ >= 0 ? n[carbon_] : 0;
  if (c > 0) {
    for (const Ratio& r : ratios_) {
      if (r.hard) continue;
      const double ratio = static_cast<double>(n[r.element]) / static_cast<double>(c);
      if (!(ratio >= r.min && ratio <= r.max)) v.soft |= r.bit;
    }
  }
  if (hnops_) {
    auto count = [&](int e) { return e >= 0 ? n[e] : 0; };
    const long long N = count(nitrogen_), O = count(oxygen_), P = count(phosphorus_), S = count(sulfur_);
    bool fine = true;
    if (N > 1 && O > 1 && P > 1 && S > 1) fine &= N < 10 && O < 20 && P < 4 && S < 3;
    if (N > 3 && O > 3 && P > 3) fine &= N < 11 && O < 22 && P < 6;
    if (O > 1 && P > 1 && S > 1) fine &= O < 14 && P < 3 && S < 3;
    if (P > 1 && S > 1 && N > 1) fine &= P < 3 && S < 3 && N < 4;
    if (N > 6 && O > 6 && S > 6) fine &= N < 19 && O < 14 && S < 8;
    if (!fine) v.soft |= kHnopsBit;
  }
  return v;
}

}  // namespace zelm::chem
