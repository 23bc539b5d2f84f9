#include "chemistry/valence.h"

#include <cctype>

namespace zelm::chem {

Valences::Valences()
    : valence_{{"C", 4},  {"Si", 4}, {"H", 1}, {"F", 1}, {"Cl", 1}, {"Br", 1}, {"I", 1},
               {"Li", 1}, {"Na", 1}, {"K", 1}, {"N", 3}, {"P", 3},  {"B", 3},  {"As", 3},
               {"O", 2},  {"S", 2},  {"Se", 2}, {"Mg", 2}, {"Ca", 2}} {}

std::optional<int> Valences::Of(std::string_view symbol) const {
  const auto it = valence_.find(symbol);
  if (it == valence_.end()) return std::nullopt;
  return it->second;
}

void Valences::Set(std::string_view symbol, int valence) { valence_[std::string(symbol)] = valence; }

bool Valences::Parse(std::string_view text, std::string* why) {
  Valences changed = *this;
  size_t i = 0;
  auto separator = [](char c) { return c == ',' || c == ' ' || c == '\t'; };
  while (i < text.size()) {
    if (separator(text[i])) {
      ++i;
      continue;
    }
    const size_t start = i;
    while (i < text.size() && !separator(text[i])) ++i;
    const std::string_view item = text.substr(start, i - start);
    size_t s = 0;
    if (s < item.size() && std::isupper(static_cast<unsigned char>(item[s]))) {
      ++s;
      while (s < item.size() && std::islower(static_cast<unsigned char>(item[s]))) ++s;
    }
    const std::string_view symbol = item.substr(0, s);
    std::string_view number = item.substr(s);
    if (!number.empty() && number.front() == '=') number.remove_prefix(1);
    const bool digit = number.size() == 1 && number[0] >= '1' && number[0] <= '8';
    if (symbol.empty() || !digit) {
      if (why) *why = "the valence \"" + std::string(item) + "\" is not an element with a valence from 1 to 8";
      return false;
    }
    changed.Set(symbol, number[0] - '0');
  }
  *this = std::move(changed);
  return true;
}

std::optional<double> Rdbe(const Composition& composition, const Valences& valences) {
  double sum = 0;
  for (const CompositionEntry& e : composition.Entries()) {
    const auto v = valences.Of(e.symbol);
    if (!v) return std::nullopt;
    sum += static_cast<double>(e.count) * (*v - 2);
  }
  return 1 + sum / 2;
}

}  // namespace zelm::chem
