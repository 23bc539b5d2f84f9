// What the fuzz targets share: the input as text, a scratch folder for the readers that take a file, a fresh window
// session record in it, the built-in element table, and the check that turns a broken promise into a crash the fuzzer
// reports.
#pragma once

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <string_view>

#include "chemistry/element_table.h"
#include "text/defaults.h"

// A promise of the code under test: when it does not hold, the input is a finding.
#define FUZZ_CHECK(condition)                                                                  \
  do {                                                                                         \
    if (!(condition)) {                                                                        \
      std::fprintf(stderr, "%s:%d: broken: %s\n", __FILE__, __LINE__, #condition);            \
      std::abort();                                                                            \
    }                                                                                          \
  } while (0)

namespace zelm::fuzz {

inline std::string Text(const uint8_t* data, size_t size) {
  return std::string(reinterpret_cast<const char*>(data), size);
}

// One folder per fuzzing process, removed when the process ends normally.
class ScratchDir {
 public:
  ScratchDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "zelm-fuzz-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) std::abort();
    path_ = pattern;
  }
  ~ScratchDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }
  // Writes bytes to the file of that name and returns its path.
  std::string Write(const std::string& name, std::string_view bytes) const {
    std::ofstream out(File(name), std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return File(name);
  }
  // Every default data file written again as built in.
  void WriteDefaults() const {
    for (const DefaultFile& file : DefaultFiles()) Write(file.Name, file.Bytes);
  }

 private:
  std::string path_;
};

inline ScratchDir& Scratch() {
  static ScratchDir dir;
  return dir;
}

// The element table of the built-in isotopes.txt.
inline const chem::ElementTable& BuiltInTable() {
  static const chem::LoadedTable loaded = chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt");
  return loaded.table;
}

inline bool Finite(double v) { return std::isfinite(v); }

// A line without the white space around it.
inline std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace zelm::fuzz
