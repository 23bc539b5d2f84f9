// Plain text and tables: one feature a line or row. A line or row that cannot be read is reported and skipped.
#include <string>
#include <vector>

#include "spectra/feature_input.h"
#include "spectra/format_readers.h"
#include "spectra/text_fields.h"

namespace zelm {

using namespace fields;

namespace {

// Where each column a table may name lies (-1: not there).
struct Columns {
  int mz = -1, id = -1, ion = -1, intensity = -1, isotopes = -1, charge = -1, mode = -1;
};

Columns FindColumns(const std::vector<std::string>& header) {
  Columns c;
  auto take = [](int& col, size_t at) {
    if (col < 0) col = static_cast<int>(at);
  };
  for (size_t at = 0; at < header.size(); ++at) {
    const std::string name = Lower(Strip(header[at]));
    if (name == "mz" || name == "m/z" || name == "precursor_mz") take(c.mz, at);
    else if (name == "id") take(c.id, at);
    else if (name == "adduct" || name == "ion") take(c.ion, at);
    else if (name == "intensity") take(c.intensity, at);
    else if (name == "isotopes") take(c.isotopes, at);
    else if (name == "charge") take(c.charge, at);
    else if (name == "ionmode" || name == "polarity") take(c.mode, at);
  }
  return c;
}

// One row into f; false with *why on its first field that cannot be read.
bool ReadRow(const std::vector<std::string>& fields, const Columns& c, Feature& f, std::string& why) {
  auto field = [&](int col) -> std::string_view {
    return col >= 0 && static_cast<size_t>(col) < fields.size() ? Strip(fields[static_cast<size_t>(col)]) : "";
  };
  if (!Number(field(c.mz), f.mz) || !(f.mz > 0)) {
    why = "the m/z " + Shown(field(c.mz)) + " is not a number above 0";
    return false;
  }
  if (!field(c.intensity).empty() && !Number(field(c.intensity), f.intensity)) {
    why = "the intensity " + Shown(field(c.intensity)) + " is not a number";
    return false;
  }
  WrittenCharge charge;
  if (!field(c.charge).empty() && !ReadCharge(field(c.charge), charge)) {
    why = "the charge " + Shown(field(c.charge)) + " is not one of 1 to 3, + or -";
    return false;
  }
  const auto mode = ReadIonMode(field(c.mode));
  if (!mode) {
    why = "the ion mode " + Shown(field(c.mode)) + " is not positive or negative";
    return false;
  }
  if (!SettleCharge(charge, *mode)) {
    why = "the charge " + Shown(field(c.charge)) + " disagrees with the ion mode " + Shown(field(c.mode));
    return false;
  }
  if (std::string bad; !ParseIsotopePeaks(field(c.isotopes), f.isotopePeaks, &bad)) {
    why = "the isotopes " + Shown(field(c.isotopes)) + " cannot be read: " + bad;
    return false;
  }
  f.charge = charge.value;
  f.mode = *mode != IonMode::Unknown ? *mode : ModeOfCharge(charge.value);
  f.id = std::string(field(c.id).empty() ? field(c.mz) : field(c.id));
  f.ion = std::string(field(c.ion));
  return true;
}

}  // namespace

FeatureList ReadTextFeatures(std::string_view bytes, const std::string& file) {
  FeatureList out;
  const auto lines = Lines(bytes);
  for (size_t i = 0; i < lines.size(); ++i) {
    const int number = static_cast<int>(i) + 1;
    std::string_view line = lines[i];
    if (const auto hash = line.find('#'); hash != std::string_view::npos) line = line.substr(0, hash);
    const auto words = Words(line);
    if (words.empty()) continue;
    Feature f;
    if (words.size() > 2) {
      out.problems.push_back({file, number, "more than an m/z and an intensity"});
    } else if (!Number(words[0], f.mz) || !(f.mz > 0)) {
      out.problems.push_back({file, number, "the m/z " + Shown(words[0]) + " is not a number above 0"});
    } else if (words.size() == 2 && !Number(words[1], f.intensity)) {
      out.problems.push_back({file, number, "the intensity " + Shown(words[1]) + " is not a number"});
    } else {
      f.id = std::string(words[0]);
      f.file = file;
      f.line = number;
      out.features.push_back(std::move(f));
    }
  }
  return out;
}

FeatureList ReadTableFeatures(std::string_view bytes, char delimiter, const std::string& file) {
  FeatureList out;
  const auto lines = Lines(bytes);
  size_t first = 0;
  while (first < lines.size() && Strip(lines[first]).empty()) ++first;
  if (first == lines.size()) return out;  // an empty table holds no feature
  const Columns columns = FindColumns(SplitDelimited(lines[first], delimiter));
  if (columns.mz < 0) {
    out.problems.push_back(
        {file, static_cast<int>(first) + 1, "the header names no m/z column (mz, m/z or precursor_mz)"});
    return out;
  }
  for (size_t i = first + 1; i < lines.size(); ++i) {
    if (Strip(lines[i]).empty()) continue;
    const int number = static_cast<int>(i) + 1;
    Feature f;
    if (std::string why; !ReadRow(SplitDelimited(lines[i], delimiter), columns, f, why)) {
      out.problems.push_back({file, number, why});
      continue;
    }
    f.file = file;
    f.line = number;
    out.features.push_back(std::move(f));
  }
  return out;
}

}  // namespace zelm
