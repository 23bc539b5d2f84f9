// A bench's cache of training features (the terms of each feature's judged candidates), so that fits can be tried
// again without ranking every feature anew. A plain binary file for this machine only; a file written with another
// set of terms is not read.
#pragma once

#include <cstdint>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "rank/model_fit.h"

namespace zelm {

struct CachedFeature {
  TrainingFeature feature;
  bool ionGiven = true;  // ranked with the ion type its file gives (else searched as every common ion)
};

inline void WriteTrainingCache(const std::string& path, const std::vector<CachedFeature>& features) {
  std::ofstream out(path, std::ios::binary);
  auto put = [&](const auto& v) { out.write(reinterpret_cast<const char*>(&v), sizeof v); };
  put(static_cast<uint64_t>(kTerms));
  put(static_cast<uint64_t>(features.size()));
  for (const CachedFeature& c : features) {
    const TrainingFeature& f = c.feature;
    put(static_cast<uint64_t>(f.kind));
    put(static_cast<int64_t>(f.right));
    put(static_cast<uint8_t>(c.ionGiven));
    put(static_cast<uint64_t>(f.formula.size()));
    out.write(f.formula.data(), static_cast<std::streamsize>(f.formula.size()));
    put(static_cast<uint64_t>(f.candidates.size()));
    for (const Evidence& x : f.candidates) put(x);
  }
}

inline std::optional<std::vector<CachedFeature>> ReadTrainingCache(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  auto get = [&](auto& v) { return static_cast<bool>(in.read(reinterpret_cast<char*>(&v), sizeof v)); };
  uint64_t terms = 0, count = 0;
  if (!get(terms) || terms != kTerms || !get(count)) return std::nullopt;
  std::vector<CachedFeature> out(count);
  for (CachedFeature& c : out) {
    uint64_t kind = 0, size = 0, n = 0;
    int64_t right = 0;
    uint8_t given = 0;
    if (!get(kind) || !get(right) || !get(given) || !get(size) || kind >= kEvidenceKinds || size > 4096) return std::nullopt;
    c.feature.kind = static_cast<EvidenceKind>(kind);
    c.feature.right = static_cast<int>(right);
    c.ionGiven = given != 0;
    c.feature.formula.resize(size);
    if (!in.read(c.feature.formula.data(), static_cast<std::streamsize>(size)) || !get(n) || n > 10000000)
      return std::nullopt;
    c.feature.candidates.resize(n);
    for (Evidence& x : c.feature.candidates)
      if (!get(x)) return std::nullopt;
  }
  return out;
}

}  // namespace zelm
