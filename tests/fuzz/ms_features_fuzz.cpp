// SIRIUS-style .ms compounds: whatever the bytes, every feature has a usable m/z, spectra of the right levels with its
// precursor, and every compound is either a feature or exactly one problem with a line and a reason.
#include <cctype>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "spectra/feature_input.h"

using namespace zelm;

namespace {

bool StartsCompound(std::string_view line) {
  if (line.empty() || line.front() != '>') return false;
  std::string name(line.substr(1, line.find_first_of(" \t") - 1));
  for (char& c : name) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return name == "compound";
}

// The compounds the text holds: one a >compound line, and one more when anything comes before the first.
size_t Compounds(std::string_view bytes) {
  size_t count = 0;
  bool any = false;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    const std::string_view line = fuzz::Trimmed(bytes.substr(start, end - start));
    start = end + 1;
    if (line.empty() || line.front() == '#') continue;
    if (StartsCompound(line)) ++count;
    else if (!any) ++count;
    any = true;
  }
  return count;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::Text(data, size);
  const FeatureList list = ReadFeatures(bytes, InputFormat::Ms, "c.ms");

  int lastLine = 0;
  for (const ReadProblem& p : list.problems) {
    FUZZ_CHECK(p.file == "c.ms" && p.line > 0 && !p.reason.empty());
    FUZZ_CHECK(p.line >= lastLine);
    lastLine = p.line;
  }
  lastLine = 0;
  for (const Feature& f : list.features) {
    FUZZ_CHECK(fuzz::Finite(f.mz) && f.mz > 0 && std::abs(f.charge) <= 3);
    FUZZ_CHECK(f.charge == 0 || f.Polarity() == (f.mode == IonMode::Positive ? 1 : -1));
    FUZZ_CHECK(f.file == "c.ms" && f.line > lastLine && !f.id.empty());
    lastLine = f.line;
    for (const Spectrum& s : f.ms1) FUZZ_CHECK(s.msLevel == 1 && s.line >= f.line && s.charge == f.charge);
    for (const Spectrum& s : f.ms2) FUZZ_CHECK(s.msLevel == 2 && s.line >= f.line && s.precursorMz == f.mz);
    for (const auto* group : {&f.ms1, &f.ms2})
      for (const Spectrum& s : *group)
        for (const Peak& p : s.peaks) FUZZ_CHECK(fuzz::Finite(p.mz) && p.mz > 0 && fuzz::Finite(p.intensity));
    for (const auto& note : f.notes) FUZZ_CHECK(note.first != "compound" && note.first != "parentmass");
  }
  FUZZ_CHECK(Compounds(bytes) == list.features.size() + list.problems.size());
  return 0;
}
