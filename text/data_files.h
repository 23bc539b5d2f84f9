// The program's data files read into values: the library files, the isotope table, the mass adjustments and the
// confidence ratings. Each reader returns what it could read and, for every line it could not use, a problem naming
// the file, the line and the reason; how a problem is told to the user is the caller's business. Nothing here knows
// the window's tables or their limits.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zelm {

struct FileProblem {
  std::string file;  // the file's name, without its folder
  int line = 0;      // 1-based; 0 for the file as a whole
  std::string reason;
};

// Why a library file line (with its fields) is not an entry ("it has no comma"), or an empty text when it is one.
std::string LibraryLineFault(const std::vector<std::string>& fields, std::string_view line);

struct LibraryEntry {
  std::string label;
  double mass = 0;
  int line = 0;
  size_t start = 0, end = 0;  // the line's bytes in the file, its line end included
};
struct LibraryData {
  bool read = false;          // false: the file could not be read (problems say why)
  std::string bytes;          // the whole file as it is on disk
  std::vector<LibraryEntry> entries;
  std::vector<FileProblem> problems;
};
LibraryData ReadLibrary(const std::string& path);

// Isotope records: mass number, symbol, mass and abundance, as the file has them.
struct IsotopeRecord {
  std::array<std::string, 4> fields;
  int line = 0;
};
struct IsotopeData {
  bool read = false;
  std::vector<IsotopeRecord> records;
  std::vector<FileProblem> problems;
};
IsotopeData ReadIsotopes(const std::string& path);

struct AdjustmentRow {
  std::string name;
  double mass = 0;
  int line = 0;
};
struct AdjustmentData {
  bool read = false;
  std::vector<AdjustmentRow> rows;
  std::vector<FileProblem> problems;
};
AdjustmentData ReadAdjustments(const std::string& path);

// Confidence ratings: the percent before "%" and the key (at most 40 characters) after it. A missing file reads as
// empty, with no problem.
struct RatingEntry {
  std::string percent;
  std::string key;
  int line = 0;
};
struct RatingData {
  bool read = false;
  std::vector<RatingEntry> ratings;
  std::vector<FileProblem> problems;
};
RatingData ReadRatings(const std::string& path);

}  // namespace zelm
