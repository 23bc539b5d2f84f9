// Valences of the elements and the ring and double-bond equivalents (RDBE) they give a formula:
// RDBE = 1 + sum over atoms of (valence - 2) / 2. The usual valences are C, Si 4; H, F, Cl, Br, I, Li, Na, K 1;
// N, P, B, As 3; O, S, Se, Mg, Ca 2; any of them can be set otherwise ("S6" for a sulfone's view).
#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>

#include "chemistry/composition.h"

namespace zelm::chem {

class Valences {
 public:
  Valences();  // the usual valences
  // The valence of an element, nullopt when none is known.
  std::optional<int> Of(std::string_view symbol) const;
  void Set(std::string_view symbol, int valence);
  // Reads overrides such as "S6,P5" or "S=6 P=5" (symbols with a valence from 1 to 8, separated by commas or
  // blanks). False with *why, and nothing changed, on the first that cannot be used.
  bool Parse(std::string_view text, std::string* why);

 private:
  std::map<std::string, int, std::less<>> valence_;
};

// The RDBE of a composition, every form of an element with that element's valence; nullopt when an element present
// has no valence.
std::optional<double> Rdbe(const Composition& composition, const Valences& valences = Valences());

}  // namespace zelm::chem
