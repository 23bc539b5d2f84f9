#include <string>

#include "spectra/feature_input.h"
#include "spectra/text_fields.h"

namespace zelm {

using fields::Number;
using fields::Shown;
using fields::Strip;

bool ParseIsotopePeaks(std::string_view text, std::vector<Peak>& peaks, std::string* why) {
  std::vector<Peak> read;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(';', start);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view item = Strip(text.substr(start, end - start));
    start = end + 1;
    if (item.empty()) continue;
    const auto colon = item.find(':');
    Peak p;
    if (colon == std::string_view::npos) {
      if (why) *why = "the peak " + Shown(item) + " is not m/z:intensity";
      return false;
    }
    if (!Number(item.substr(0, colon), p.mz) || !(p.mz > 0)) {
      if (why) *why = "the m/z " + Shown(item.substr(0, colon)) + " is not a number above 0";
      return false;
    }
    if (!Number(item.substr(colon + 1), p.intensity) || !(p.intensity > 0)) {
      if (why) *why = "the intensity " + Shown(item.substr(colon + 1)) + " is not a number above 0";
      return false;
    }
    read.push_back(p);
  }
  peaks = std::move(read);
  return true;
}

std::vector<std::string> SplitDelimited(std::string_view line, char delimiter) {
  std::vector<std::string> fields;
  std::string field;
  bool quoted = false, wasQuoted = false;
  for (size_t i = 0; i <= line.size(); ++i) {
    if (i == line.size()) {
      fields.push_back(std::move(field));
      break;
    }
    const char c = line[i];
    if (delimiter == ',' && quoted) {
      if (c == '"') {
        if (i + 1 < line.size() && line[i + 1] == '"') {
          field += '"';
          ++i;
        } else {
          quoted = false;
        }
      } else {
        field += c;
      }
    } else if (c == delimiter) {
      fields.push_back(std::move(field));
      field.clear();
      wasQuoted = false;
    } else if (delimiter == ',' && c == '"' && !wasQuoted && Strip(field).empty()) {
      field.clear();
      quoted = wasQuoted = true;
    } else {
      field += c;
    }
  }
  return fields;
}

}  // namespace zelm
