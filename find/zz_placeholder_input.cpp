#include "find/peak_input.h"
#include "spectra/feature_input.h"
#include "text/textfile.h"
namespace zelm {
FeatureList ReadFeatures(std::string_view bytes, InputFormat format, const std::string& file) {
  std::vector<Query> qs; InputError e; FeatureList out;
  QueryFormat f = format == InputFormat::Csv ? QueryFormat::Csv : format == InputFormat::Tsv ? QueryFormat::Tsv : format == InputFormat::Mgf ? QueryFormat::Mgf : QueryFormat::Text;
  if (!ReadQueries(bytes, f, file, qs, &e)) { out.problems.push_back({e.file, e.line, e.reason}); return out; }
  for (auto& q : qs) { Feature x; x.id = q.id; x.mz = q.mz; x.intensity = q.intensity; x.ion = q.ion; x.charge = q.charge;
    if (!q.peaks.empty()) { Spectrum s; s.peaks = q.peaks; x.ms2.push_back(s);} x.isotopePeaks = q.isotopePeaks; x.line = q.line; x.file = file; out.features.push_back(x);}
  return out;
}
FeatureList ReadFeatureFile(const std::string& path, std::optional<InputFormat> format, const ReadOptions&) {
  std::string error; auto read = ReadWholeFile(path, &error);
  if (!read) { FeatureList l; l.problems.push_back({BaseName(path), 0, error}); return l; }
  return ReadFeatures(*read, format.value_or(FormatOfFile(path)), BaseName(path));
}
}  // namespace zelm
