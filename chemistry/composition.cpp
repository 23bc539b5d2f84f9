// Arithmetic, comparison and mass of compositions.
#include "chemistry/composition.h"

#include <algorithm>

#include "chemistry/element_table.h"

namespace zelm::chem {

namespace {

bool KeyLess(const CompositionEntry& e, std::string_view symbol, int massNumber) {
  return e.symbol != symbol ? std::string_view(e.symbol) < symbol : e.massNumber < massNumber;
}

}  // namespace

Composition::Composition(const std::vector<CompositionEntry>& entries) {
  for (const CompositionEntry& e : entries)
    if (e.count > 0) Add(e.symbol, e.massNumber, e.count);
}

bool Composition::Add(std::string_view symbol, int massNumber, long long count) {
  auto it = std::lower_bound(entries_.begin(), entries_.end(), 0, [&](const CompositionEntry& e, int) {
    return KeyLess(e, symbol, massNumber);
  });
  bool found = it != entries_.end() && it->symbol == symbol && it->massNumber == massNumber;
  long long total = (found ? it->count : 0) + count;
  if (total < 0) return false;
  if (found) {
    if (total == 0)
      entries_.erase(it);
    else
      it->count = total;
  } else if (total > 0) {
    entries_.insert(it, CompositionEntry{std::string(symbol), massNumber, total});
  }
  return true;
}

long long Composition::Count(std::string_view symbol, int massNumber) const {
  for (const CompositionEntry& e : entries_)
    if (e.symbol == symbol && e.massNumber == massNumber) return e.count;
  return 0;
}

long long Composition::AtomsOf(std::string_view symbol) const {
  long long n = 0;
  for (const CompositionEntry& e : entries_)
    if (e.symbol == symbol) n += e.count;
  return n;
}

Composition& Composition::operator+=(const Composition& other) {
  for (const CompositionEntry& e : other.entries_) Add(e.symbol, e.massNumber, e.count);
  return *this;
}

Composition Composition::Times(long long factor) const {
  Composition out;
  if (factor <= 0) return out;
  out.entries_ = entries_;
  for (CompositionEntry& e : out.entries_) e.count *= factor;
  return out;
}

bool Composition::Contains(const Composition& part) const {
  for (const CompositionEntry& e : part.entries_)
    if (Count(e.symbol, e.massNumber) < e.count) return false;
  return true;
}

std::optional<Composition> Composition::Minus(const Composition& part) const {
  if (!Contains(part)) return std::nullopt;
  Composition out = *this;
  for (const CompositionEntry& e : part.entries_) out.Add(e.symbol, e.massNumber, -e.count);
  return out;
}

std::optional<double> Composition::MonoisotopicMass(const ElementTable& table) const {
  double mass = 0;
  for (const CompositionEntry& e : entries_) {
    const Element* el = table.Find(e.symbol);
    if (!el) return std::nullopt;
    const Isotope* iso = e.massNumber == 0 ? &el->Monoisotopic() : el->FindIsotope(e.massNumber);
    if (!iso) return std::nullopt;
    mass += iso->mass * static_cast<double>(e.count);
  }
  return mass;
}

Composition Composition::NaturalWhereMonoisotopic(const ElementTable& table) const {
  Composition out;
  for (const CompositionEntry& e : entries_) {
    const Element* el = table.Find(e.symbol);
    bool mono = el && e.massNumber != 0 && el->Monoisotopic().massNumber == e.massNumber;
    out.Add(e.symbol, mono ? 0 : e.massNumber, e.count);
  }
  return out;
}

}  // namespace zelm::chem
