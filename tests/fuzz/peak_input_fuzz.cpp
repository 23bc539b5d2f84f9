// zelm-find's text input formats: the first byte picks plain text, CSV, TSV, MGF or .ms, the rest is the file. What
// reads must be usable features, every problem must name its line; the whole program then runs over the same bytes
// from standard input.
#include <sstream>

#include "find/find_main.h"
#include "spectra/feature_input.h"
#include "fuzz_support.h"

using namespace zelm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const InputFormat kFormats[] = {InputFormat::Text, InputFormat::Csv, InputFormat::Tsv, InputFormat::Mgf,
                                         InputFormat::Ms};
  static const char* const kNames[] = {"text", "csv", "tsv", "mgf", "ms"};
  const int pick = data[0] % 5;
  const std::string bytes = fuzz::Text(data + 1, size - 1);

  const FeatureList read = ReadFeatures(bytes, kFormats[pick], "peaks");
  for (const Feature& f : read.features) {
    FUZZ_CHECK(fuzz::Finite(f.mz) && f.mz > 0);
    FUZZ_CHECK(fuzz::Finite(f.intensity));
    FUZZ_CHECK(std::abs(f.charge) <= 3);
    FUZZ_CHECK(f.line > 0);
    for (const auto* spectra : {&f.ms1, &f.ms2})
      for (const Spectrum& s : *spectra)
        for (const Peak& p : s.peaks) FUZZ_CHECK(fuzz::Finite(p.mz) && fuzz::Finite(p.intensity));
  }
  for (const ReadProblem& p : read.problems) FUZZ_CHECK(p.file == "peaks" && p.line > 0 && !p.reason.empty());

  // Tab-separated fields join back into their line.
  const std::string line = bytes.substr(0, bytes.find_first_of("\r\n"));
  const auto tabbed = SplitDelimited(line, '\t');
  std::string joined;
  for (size_t i = 0; i < tabbed.size(); ++i) joined += (i ? "\t" : "") + tabbed[i];
  FUZZ_CHECK(joined == line);
  FUZZ_CHECK(!SplitDelimited(line, ',').empty());

  // The program over the same input, with few elements so that each query is searched quickly.
  if (read.features.size() <= 20) {
    std::istringstream in(bytes);
    std::ostringstream out, err;
    const int status = FindMain({"zelm-find", "-i", "-", "--input-format", kNames[pick], "-e", "C0-6 H0-12 N0-2 O0-3",
                                 "-j", "1", "-q"},
                                in, out, err);
    FUZZ_CHECK(status == 0 || status == 2);
    FUZZ_CHECK((status == 0) == err.str().empty());
    if (!read.problems.empty()) FUZZ_CHECK(status == 2);
  }
  return 0;
}
