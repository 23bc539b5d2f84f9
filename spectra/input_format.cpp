#include <cctype>
#include <string>

#include "spectra/feature_input.h"

namespace zelm {

InputFormat FormatOfFile(std::string_view path) {
  const auto dot = path.rfind('.');
  const auto slash = path.find_last_of("/\\");
  if (dot != std::string_view::npos && (slash == std::string_view::npos || dot > slash)) {
    if (auto f = FormatNamed(path.substr(dot + 1))) return *f;
  }
  return InputFormat::Text;
}

std::optional<InputFormat> FormatNamed(std::string_view name) {
  std::string n(name);
  for (char& c : n) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  if (n == "txt" || n == "text") return InputFormat::Text;
  if (n == "csv") return InputFormat::Csv;
  if (n == "tsv" || n == "tab") return InputFormat::Tsv;
  if (n == "mgf") return InputFormat::Mgf;
  if (n == "ms") return InputFormat::Ms;
  if (n == "mzml") return InputFormat::MzML;
  if (n == "mzxml") return InputFormat::MzXML;
  return std::nullopt;
}

}  // namespace zelm
