// Scans of a run grouped into features: the first three bytes pick the tolerance (ppm, mDa) and the time window, then
// every five bytes are a scan (level, polarity and charge; precursor m/z in two bytes; retention time; peaks). Every
// MS2 scan with a precursor must land in exactly one feature that agrees with it, and no feature may be started by a
// scan that could have joined an earlier one.
#include <map>
#include <optional>
#include <vector>

#include "fuzz_support.h"
#include "spectra/mzml_input.h"

using namespace zelm;

namespace {

// A scan of five bytes; its id "scan=I" names its place in the run.
Spectrum Decode(const uint8_t* b, size_t index) {
  Spectrum s;
  static const int kLevels[] = {1, 2, 2, 3};
  s.msLevel = kLevels[b[0] & 3];
  s.mode = static_cast<IonMode>(((b[0] >> 2) & 3) % 3);
  s.charge = ((b[0] >> 4) & 7) - 3;
  // Masses 0.1 mDa apart around a few nominal values, so that the tolerance's edge is met often.
  s.precursorMz = b[1] == 0 ? 0 : b[1] == 255 ? std::nan("") : 100 + (b[1] % 16) + b[2] * 0.0001;
  if (b[3] != 255) s.retentionTime = b[3] * 0.5;
  for (int j = 0; j < b[4] % 4; ++j) s.peaks.push_back({50.0 + j, static_cast<double>(b[4])});
  s.id = "scan=" + std::to_string(index);
  return s;
}

int PolarityOf(const Spectrum& s) {
  if (s.mode != IonMode::Unknown) return s.mode == IonMode::Positive ? 1 : -1;
  return s.charge > 0 ? 1 : s.charge < 0 ? -1 : 0;
}

bool IsFeatureScan(const Spectrum& s) { return s.msLevel == 2 && std::isfinite(s.precursorMz) && s.precursorMz > 0; }

size_t IndexOf(const Spectrum& s) { return std::stoul(s.id.substr(5)); }

// The m/z and time rule between a feature's first scan and another.
bool NearIn(const Spectrum& anchor, const Spectrum& s, const ReadOptions& options) {
  if (!(std::abs(s.precursorMz - anchor.precursorMz) <= options.tolerance.HalfWidth(anchor.precursorMz))) return false;
  if (s.retentionTime.has_value() != anchor.retentionTime.has_value()) return false;
  return !s.retentionTime || std::abs(*s.retentionTime - *anchor.retentionTime) <= options.rtWindow;
}

void CheckFeature(const Feature& f, const std::vector<Spectrum>& scans, const ReadOptions& options) {
  FUZZ_CHECK(!f.ms2.empty());
  const Spectrum& anchor = f.ms2.front();
  const int polarity = f.mode == IonMode::Positive ? 1 : f.mode == IonMode::Negative ? -1 : 0;
  FUZZ_CHECK(f.id == anchor.id && f.mz == anchor.precursorMz && f.file == "run");
  FUZZ_CHECK(f.charge == 0 || (f.charge > 0 ? 1 : -1) == polarity);
  size_t last = 0;
  for (size_t k = 0; k < f.ms2.size(); ++k) {
    const Spectrum& s = f.ms2[k];
    FUZZ_CHECK(IsFeatureScan(s) && NearIn(anchor, s, options));
    FUZZ_CHECK(PolarityOf(s) == 0 || PolarityOf(s) == polarity);
    FUZZ_CHECK(k == 0 || IndexOf(s) > last);
    last = IndexOf(s);
  }
  // The survey: the last one of no other polarity before the first MS2 scan.
  FUZZ_CHECK(f.ms1.size() <= 1);
  const size_t first = IndexOf(anchor);
  const size_t from = f.ms1.empty() ? 0 : IndexOf(f.ms1[0]) + 1;
  FUZZ_CHECK(from <= first);
  if (!f.ms1.empty()) FUZZ_CHECK(f.ms1[0].msLevel == 1 && PolarityOf(f.ms1[0]) * polarity >= 0);
  for (size_t i = from; i < first; ++i) FUZZ_CHECK(scans[i].msLevel != 1 || PolarityOf(scans[i]) * polarity < 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size < 3) return 0;
  // 255: a tolerance wider than the m/z itself.
  const double ppm = data[0] == 255 ? 2e6 : data[0] % 51;
  const ReadOptions options{{ppm, static_cast<double>(data[1] % 8)}, data[2] * 0.25};
  std::vector<Spectrum> scans;
  for (size_t at = 3; at + 5 <= size; at += 5) scans.push_back(Decode(data + at, scans.size()));

  const FeatureList list = FeaturesOfScans(scans, "run", options);
  std::map<size_t, int> seen;  // scan index -> how many features hold it
  size_t lastFirst = 0;
  for (size_t n = 0; n < list.features.size(); ++n) {
    const Feature& f = list.features[n];
    CheckFeature(f, scans, options);
    for (const Spectrum& s : f.ms2) ++seen[IndexOf(s)];
    const size_t first = IndexOf(f.ms2.front());
    FUZZ_CHECK(n == 0 || first > lastFirst);
    lastFirst = first;
    // A scan that started a feature agrees with no earlier one, or their polarities differ.
    for (size_t m = 0; m < n; ++m) {
      const Feature& earlier = list.features[m];
      const int p = PolarityOf(f.ms2.front()), q = earlier.Polarity();
      FUZZ_CHECK(!NearIn(earlier.ms2.front(), f.ms2.front(), options) || (p != 0 && q != 0 && p != q));
    }
  }
  bool without = false;
  for (size_t i = 0; i < scans.size(); ++i) {
    FUZZ_CHECK(seen[i] == (IsFeatureScan(scans[i]) ? 1 : 0));
    without = without || (scans[i].msLevel == 2 && !IsFeatureScan(scans[i]));
  }
  FUZZ_CHECK(list.problems.size() == (without ? 1u : 0u));
  return 0;
}
