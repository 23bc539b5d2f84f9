// Formulas written straight from counts: the entries a search can produce (those of its building blocks and of an
// ion's groups), laid out once in Hill order, so that a candidate's formula is written from its counts without
// building a composition. The text is the one chem::ToAscii (or ToUnicode) writes for the same composition.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "chemistry/composition.h"

namespace zelm {

class FormulaLayout {
 public:
  // Entries are added once each; the index of an entry stays as it was first added.
  size_t Index(const chem::CompositionEntry& key);
  size_t Size() const { return keys_.size(); }
  // Call after the last Index: lays out the Hill orders.
  void Finish();
  // The formula of counts[0..Size()), as ToAscii or ToUnicode writes it.
  void Write(const long long* counts, bool unicode, std::string& out) const;

 private:
  std::vector<chem::CompositionEntry> keys_;  // count unused
  std::vector<std::string> ascii_, unicode_;  // each entry's symbol part as written
  std::vector<size_t> withCarbon_, withoutCarbon_;
  std::vector<size_t> carbon_;                // the entries of carbon, natural or isotopes
};

}  // namespace zelm
