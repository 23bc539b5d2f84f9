// Reading features: plain text (one m/z a line, an optional intensity, "#" comments), CSV or TSV with a header
// (columns found by name), MGF (blocks grouped into features), SIRIUS-style .ms files (one compound each, or a folder
// of them), mzML and mzXML (through ProteoWizard's reader). A reader goes on past what it cannot read and reports
// each problem with its file and line; nothing is guessed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spectra/spectrum.h"
#include "spectra/tolerance.h"

namespace zelm {

enum class InputFormat { Text, Csv, Tsv, Mgf, Ms, MzML, MzXML };

// The format a file's name implies (".txt" and anything unknown: plain text; ".csv", ".tsv", ".mgf", ".ms",
// ".mzML", ".mzXML", in any case), or the one a name such as "csv" stands for; nullopt for a name that is no format.
InputFormat FormatOfFile(std::string_view path);
std::optional<InputFormat> FormatNamed(std::string_view name);

// How scans of a run become features (mzML, mzXML): MS2 scans whose precursor m/z agree within `tolerance` and whose
// retention times lie within `rtWindow` seconds are one feature.
struct ReadOptions {
  Tolerance tolerance{5, 0};
  double rtWindow = 10;
};

// The features of a text file's bytes (Text, Csv, Tsv, Mgf, Ms); `file` names it in problems.
FeatureList ReadFeatures(std::string_view bytes, InputFormat format, const std::string& file);
// The features of a file or, for .ms, a folder of .ms files (by name); the format from the name unless given.
// Problems name the file by its base name.
FeatureList ReadFeatureFile(const std::string& path, std::optional<InputFormat> format, const ReadOptions& options);

// Measured isotope peaks as "m:i;m:i;...": each an m/z above 0, a colon and an intensity above 0, separated by
// semicolons, blanks around each number allowed, an empty item (a semicolon at the end) skipped. False with *why on
// the first item that cannot be read (peaks unchanged then); else peaks becomes the peaks in the order written.
bool ParseIsotopePeaks(std::string_view text, std::vector<Peak>& peaks, std::string* why = nullptr);

// The fields of one CSV line (RFC 4180 quoting: a field in double quotes may hold commas, and "" for a quote), or of
// one TSV line (split at tabs).
std::vector<std::string> SplitDelimited(std::string_view line, char delimiter);

}  // namespace zelm
