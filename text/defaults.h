// The built-in default data files, embedded byte for byte from data/ at build time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelm {

struct DefaultFile {
  const char* Name;
  std::string_view Bytes;
};

const std::vector<DefaultFile>& DefaultFiles();
// The built-in bytes of one file by name; empty when there is none.
std::string_view DefaultFileBytes(std::string_view name);

// The fitted models' parameter tables built into the program (data/score_model.txt), by name; empty when there is
// none. They are not data files of the window and are never written out.
const std::vector<DefaultFile>& ModelFiles();
std::string_view ModelFileBytes(std::string_view name);

// Writes every default file that is missing from dir (never over an existing one). Returns the names it created;
// problems (a folder that cannot be written) are added to *problems.
std::vector<std::string> WriteMissingDefaults(const std::string& dir, std::string* problems = nullptr);

}  // namespace zelm
