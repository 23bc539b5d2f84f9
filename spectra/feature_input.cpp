// Which reader reads a file: by its format, a folder of .ms files, or a run through ProteoWizard.
#include "spectra/feature_input.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "spectra/format_readers.h"
#include "spectra/mzml_input.h"
#include "text/textfile.h"

namespace zelm {

namespace fs = std::filesystem;

namespace {

// The name a path shows in problems, a folder's too ("runs/" is "runs").
std::string ShownName(std::string path) {
  while (path.size() > 1 && (path.back() == '/' || path.back() == '\\')) path.pop_back();
  return BaseName(path);
}

FeatureList ReadOneFile(const std::string& path, InputFormat format) {
  const std::string name = ShownName(path);
  std::string error;
  const auto bytes = ReadWholeFile(path, &error);
  if (!bytes) {
    // ReadWholeFile's reason names the file already ("x.csv could not be found."); the problem names it once.
    std::string reason = error.rfind(name + " ", 0) == 0 ? error.substr(name.size() + 1) : error;
    if (!reason.empty() && reason.back() == '.') reason.pop_back();
    return {{}, {{name, 0, reason}}};
  }
  return ReadFeatures(*bytes, format, name);
}

// Every .ms file of a folder (any case of the ending), by name.
FeatureList ReadMsFolder(const std::string& path) {
  std::vector<std::string> files;
  std::error_code ec;
  for (const auto& entry : fs::directory_iterator(path, ec)) {
    std::error_code typeError;
    const std::string name = entry.path().filename().string();
    if (entry.is_regular_file(typeError) && FormatOfFile(name) == InputFormat::Ms) files.push_back(name);
  }
  if (ec) return {{}, {{ShownName(path), 0, "the folder could not be read: " + ec.message()}}};
  if (files.empty()) return {{}, {{ShownName(path), 0, "the folder holds no .ms file"}}};
  std::sort(files.begin(), files.end());
  FeatureList all;
  for (const std::string& name : files) {
    FeatureList one = ReadOneFile((fs::path(path) / name).string(), InputFormat::Ms);
    std::move(one.features.begin(), one.features.end(), std::back_inserter(all.features));
    std::move(one.problems.begin(), one.problems.end(), std::back_inserter(all.problems));
  }
  return all;
}

}  // namespace

FeatureList ReadFeatures(std::string_view bytes, InputFormat format, const std::string& file) {
  switch (format) {
    case InputFormat::Text: return ReadTextFeatures(bytes, file);
    case InputFormat::Csv: return ReadTableFeatures(bytes, ',', file);
    case InputFormat::Tsv: return ReadTableFeatures(bytes, '\t', file);
    case InputFormat::Mgf: return ReadMgfFeatures(bytes, file);
    case InputFormat::Ms: return ReadMsFeatures(bytes, file);
    case InputFormat::MzML:
    case InputFormat::MzXML: break;
  }
  return {{}, {{file, 0, "runs (mzML, mzXML) are read from their file, not from text"}}};
}

FeatureList ReadFeatureFile(const std::string& path, std::optional<InputFormat> format, const ReadOptions& options) {
  const InputFormat chosen = format ? *format : FormatOfFile(path);
  std::error_code ec;
  if ((!format || chosen == InputFormat::Ms) && fs::is_directory(path, ec)) return ReadMsFolder(path);
  if (chosen == InputFormat::MzML || chosen == InputFormat::MzXML) return ReadRunFile(path, ShownName(path), options);
  return ReadOneFile(path, chosen);
}

}  // namespace zelm
