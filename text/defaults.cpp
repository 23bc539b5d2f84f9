#include "text/defaults.h"

#include "text/textfile.h"

namespace zelm {

std::string_view DefaultFileBytes(std::string_view name) {
  for (const auto& f : DefaultFiles())
    if (name == f.Name) return f.Bytes;
  return {};
}

std::string_view ModelFileBytes(std::string_view name) {
  for (const auto& f : ModelFiles())
    if (name == f.Name) return f.Bytes;
  return {};
}

std::vector<std::string> WriteMissingDefaults(const std::string& dir, std::string* problems) {
  std::vector<std::string> created;
  for (const auto& f : DefaultFiles()) {
    std::string path = dir.empty() ? std::string(f.Name) : dir + "/" + f.Name;
    if (FileExists(path)) continue;
    std::string error;
    if (WriteNewFile(path, f.Bytes, &error)) created.emplace_back(f.Name);
    else if (problems && !error.empty()) *problems += (problems->empty() ? "" : " ") + error;
  }
  return created;
}

}  // namespace zelm
