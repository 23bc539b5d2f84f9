// zelm-find's input formats: the first byte picks plain text, CSV, TSV or MGF, the rest is the file. What reads must
// be usable queries; the whole program then runs over the same bytes from standard input.
#include <sstream>

#include "find/find_main.h"
#include "find/peak_input.h"
#include "fuzz_support.h"

using namespace zelm;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (size == 0) return 0;
  static const QueryFormat kFormats[] = {QueryFormat::Text, QueryFormat::Csv, QueryFormat::Tsv, QueryFormat::Mgf};
  static const char* const kNames[] = {"text", "csv", "tsv", "mgf"};
  const int pick = data[0] % 4;
  const std::string bytes = fuzz::Text(data + 1, size - 1);

  std::vector<Query> queries;
  InputError error;
  if (ReadQueries(bytes, kFormats[pick], "peaks", queries, &error)) {
    int lastLine = 0;
    for (const Query& q : queries) {
      FUZZ_CHECK(fuzz::Finite(q.mz) && q.mz > 0);
      FUZZ_CHECK(fuzz::Finite(q.intensity));
      FUZZ_CHECK(std::abs(q.charge) <= 3);
      FUZZ_CHECK(q.line > lastLine);
      for (const Peak& p : q.peaks) FUZZ_CHECK(fuzz::Finite(p.mz) && fuzz::Finite(p.intensity));
      lastLine = q.line;
    }
  } else {
    FUZZ_CHECK(error.file == "peaks" && error.line > 0 && !error.reason.empty());
  }

  // Tab-separated fields join back into their line.
  const std::string line = bytes.substr(0, bytes.find_first_of("\r\n"));
  const auto tabbed = SplitDelimited(line, '\t');
  std::string joined;
  for (size_t i = 0; i < tabbed.size(); ++i) joined += (i ? "\t" : "") + tabbed[i];
  FUZZ_CHECK(joined == line);
  FUZZ_CHECK(!SplitDelimited(line, ',').empty());

  // The program over the same input, with few elements so that each query is searched quickly.
  if (queries.size() <= 20) {
    std::istringstream in(bytes);
    std::ostringstream out, err;
    const int status = FindMain({"zelm-find", "-i", "-", "--input-format", kNames[pick], "-e", "C0-6 H0-12 N0-2 O0-3",
                                 "-j", "1", "-q"},
                                in, out, err);
    FUZZ_CHECK(status == 0 || status == 2);
    FUZZ_CHECK((status == 0) == err.str().empty());
  }
  return 0;
}
