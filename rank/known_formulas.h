// Formulas of known compounds, such as the HMDB's that OpenMS ships with its data: most compounds measured are ones
// someone has described before, so whether a candidate's formula is among them is evidence the score model weighs.
#pragma once

#include <array>
#include <cstddef>
#include <memory>
#include <string>
#include <unordered_set>

#include "chemistry/composition.h"
#include "rank/score_model.h"

namespace zelm {

// Where the known formulas are read from when no file is named: OpenMS's HMDB formulas (Debian: openms-common).
std::string DefaultKnownFormulasPath();

class KnownFormulas {
 public:
  using Counts = std::array<double, kElementClasses>;  // atoms per element class, as IonLayout::ClassCounts gives

  // Reads a file with a formula on each line: alone, or in the second tab-separated field after a mass, as OpenMS's
  // HMDBMappingFile.tsv writes them. Lines whose formula cannot be read (headers, comments) are passed over, and
  // so are formulas with elements beyond C, H, N, O, P, S, F, Cl, Br and I. Nullptr with *why when the file cannot
  // be read or holds no formula.
  static std::shared_ptr<const KnownFormulas> Read(const std::string& path, std::string* why);

  // A formula with the given atoms is known. Isotopes count as their element, so a 13C-labelled formula is known
  // when its natural one is; a formula with an element of another class never is.
  bool Contains(const Counts& n) const;
  // A composition's atoms per element class.
  static Counts CountsOf(const chem::Composition& formula);
  size_t Size() const { return keys_.size(); }

 private:
  // The counts of the ten classes packed into two words, twelve bits each.
  struct Key {
    unsigned long long low = 0, high = 0;
    bool operator==(const Key&) const = default;
  };
  struct KeyHash {
    size_t operator()(const Key& k) const {
      return std::hash<unsigned long long>()(k.low * 0x9E3779B97F4A7C15ULL ^ k.high);
    }
  };
  static bool KeyOf(const Counts& n, Key& key);
  std::unordered_set<Key, KeyHash> keys_;
};

}  // namespace zelm
