// zelm-find's input: the queries of a peak list, read from plain text (one m/z a line, an optional intensity, "#"
// comments), CSV or TSV with a header (columns found by name), or MGF (BEGIN IONS ... END IONS blocks with their
// MS/MS peaks). A line that cannot be read is an error naming the file and the line; nothing is guessed.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "spectra/feature_input.h"
#include "spectra/spectrum.h"

namespace zelm {


struct Query {
  std::string id;             // TITLE, the id column, or the mass text
  double mz = 0;              // the measured m/z
  double intensity = 0;       // of the precursor, 0 when not given
  std::string ion;            // the ion notation the input gives ("[M+H]+"), empty when none
  int charge = 0;             // the charge the input gives (signed), 0 when none
  std::vector<Peak> peaks;    // MS/MS peaks
  std::string isotopes;       // measured isotope peaks as the input writes them ("m:i;m:i"), empty when none
  std::vector<Peak> isotopePeaks;  // the same, read
  int line = 0;               // where the query starts in its file
};

enum class QueryFormat { Text, Csv, Tsv, Mgf };

// The format a file's name implies (".txt" and anything unknown: plain text; ".csv", ".tsv", ".mgf"), or the one a
// name such as "csv" stands for; nullopt for a name that is no format.
QueryFormat QueryFormatOfFile(std::string_view path);
std::optional<QueryFormat> QueryFormatNamed(std::string_view name);

struct InputError {
  std::string file;
  int line = 0;  // 0: the file as a whole
  std::string reason;
  std::string Text() const;  // "peaks.csv line 4: the m/z "abc" is not a number"
};

// Reads every query of `bytes` (the whole file); false with *error on the first line that cannot be read.
bool ReadQueries(std::string_view bytes, QueryFormat format, const std::string& file, std::vector<Query>& queries,
                 InputError* error);

}  // namespace zelm
