#include "find/find_input.h"

#include <istream>
#include <iterator>
#include <optional>

#include "spectra/feature_input.h"

namespace zelm {

namespace {

FindInput Problem(std::string why) { return {{}, std::move(why)}; }

}  // namespace

FeatureList ReadInputFile(const FindOptions& o, const std::string& path, const RankConfig& config) {
  const std::optional<InputFormat> given = o.inputFormat.empty() ? std::nullopt : FormatNamed(o.inputFormat);
  return ReadFeatureFile(path, given, ReadOptions{config.tolerance, config.rtWindow});
}

FindInput ReadFindInput(const FindOptions& o, const Ranker& ranker, std::istream& in) {
  FindInput input;
  for (const std::string& m : o.masses) {
    FeatureList one = ReadFeatures(m, InputFormat::Text, "the command line");
    if (!one.problems.empty() || one.features.size() != 1)
      return Problem("the mass \"" + m + "\" is not a number above 0");
    input.features.push_back(std::move(one.features.front()));
  }
  if (!o.input.empty()) {
    FeatureList list;
    if (o.input == "-") {
      const std::optional<InputFormat> given = o.inputFormat.empty() ? std::nullopt : FormatNamed(o.inputFormat);
      const InputFormat format = given.value_or(InputFormat::Text);
      if (format == InputFormat::MzML || format == InputFormat::MzXML)
        return Problem("mzML and mzXML are read from a file, not from standard input");
      list = ReadFeatures(std::string(std::istreambuf_iterator<char>(in), {}), format, "standard input");
    } else {
      list = ReadInputFile(o, o.input, ranker.Config());
    }
    if (!list.problems.empty()) return Problem(list.problems.front().Text());
    for (Feature& f : list.features) input.features.push_back(std::move(f));
  }
  if (input.features.empty()) return Problem("no mass to search: give masses or --input FILE");
  if (std::string why = IonProblem(ranker, input.features); !why.empty()) return Problem(std::move(why));
  return input;
}

std::string IonProblem(const Ranker& ranker, const std::vector<Feature>& features) {
  for (const Feature& f : features)
    if (std::string why; !ranker.IonsFor(f, &why)) return why;
  return {};
}

}  // namespace zelm
