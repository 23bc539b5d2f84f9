// MGF blocks grouped into features: whatever the bytes, every feature has a usable m/z and spectra of the right
// levels, features grouped by a key are one per key and named by it, and every block is either a spectrum of a feature
// or accounted for by a problem with a line and a reason.
#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "fuzz_support.h"
#include "spectra/feature_input.h"

using namespace zelm;

namespace {

std::string Upper(std::string_view s) {
  std::string out(s);
  for (char& c : out) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return out;
}

// The trimmed lines (CR LF, LF or CR end a line).
std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  while (start < bytes.size()) {
    size_t end = bytes.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = bytes.size();
    lines.push_back(fuzz::Trimmed(bytes.substr(start, end - start)));
    start = end + (bytes.substr(end, 2) == "\r\n" ? 2 : 1);
  }
  return lines;
}

// The grouping key of the block that begins at a line (1-based): its kind (1 FEATURE_ID, 2 SCANS, 3 TITLE; 0 none)
// and value, each key's last value counting.
std::pair<int, std::string> KeyOfBlock(const std::vector<std::string_view>& lines, int begin) {
  std::string values[4];
  for (size_t i = static_cast<size_t>(begin); i < lines.size(); ++i) {
    const std::string_view line = lines[i];
    const std::string upper = Upper(line);
    if (upper == "END IONS" || upper == "BEGIN IONS") break;
    if (line.empty() || line.front() == '#' || line.front() == ';' || line.front() == '!') continue;
    const auto eq = line.find('=');
    if (eq == std::string_view::npos || std::isdigit(static_cast<unsigned char>(line.front()))) continue;
    const std::string key = Upper(fuzz::Trimmed(line.substr(0, eq)));
    const int kind = key == "FEATURE_ID" ? 1 : key == "SCANS" ? 2 : key == "TITLE" ? 3 : 0;
    if (kind) values[kind] = std::string(fuzz::Trimmed(line.substr(eq + 1)));
  }
  for (int kind = 1; kind <= 3; ++kind)
    if (!values[kind].empty()) return {kind, values[kind]};
  return {0, ""};
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes = fuzz::Text(data, size);
  const FeatureList list = ReadFeatures(bytes, InputFormat::Mgf, "f.mgf");
  const auto lines = SplitLines(bytes);

  size_t blockProblems = 0, massless = 0;
  int lastLine = 0;
  for (const ReadProblem& p : list.problems) {
    FUZZ_CHECK(p.file == "f.mgf" && p.line > 0 && !p.reason.empty());
    FUZZ_CHECK(p.line >= lastLine);  // in the file's order
    lastLine = p.line;
    if (p.reason != "END IONS without BEGIN IONS") ++blockProblems;
    if (p.reason == "the block has no PEPMASS") ++massless;
  }

  size_t spectra = 0;
  std::set<std::pair<int, std::string>> keys;
  for (const Feature& f : list.features) {
    FUZZ_CHECK(fuzz::Finite(f.mz) && f.mz > 0);
    FUZZ_CHECK(fuzz::Finite(f.intensity) && std::abs(f.charge) <= 3);
    FUZZ_CHECK(f.charge == 0 || f.Polarity() == (f.mode == IonMode::Positive ? 1 : -1));
    FUZZ_CHECK(f.file == "f.mgf" && f.line > 0 && static_cast<size_t>(f.line) <= lines.size());
    FUZZ_CHECK(!f.ms1.empty() || !f.ms2.empty());
    for (const auto* group : {&f.ms1, &f.ms2}) {
      for (const Spectrum& s : *group) {
        FUZZ_CHECK((s.msLevel == 1) == (group == &f.ms1) && s.msLevel >= 1);
        FUZZ_CHECK(s.line >= f.line && fuzz::Finite(s.precursorMz));
        for (const Peak& p : s.peaks) FUZZ_CHECK(fuzz::Finite(p.mz) && fuzz::Finite(p.intensity));
      }
      spectra += group->size();
    }
    const auto key = KeyOfBlock(lines, f.line);
    if (key.first != 0) {
      FUZZ_CHECK(f.id == key.second);
      FUZZ_CHECK(keys.insert(key).second);  // one feature a key
    }
  }

  size_t blocks = 0;
  for (std::string_view line : lines) blocks += Upper(line) == "BEGIN IONS";
  // A feature without an m/z is one problem for all its blocks.
  if (massless == 0) FUZZ_CHECK(blocks == spectra + blockProblems);
  else FUZZ_CHECK(blocks >= spectra + blockProblems);
  return 0;
}
