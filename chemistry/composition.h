// A chemical composition: how many atoms of each element, or of a chosen isotope of it, a formula holds.
// Entries are kept in one canonical order with positive counts, so equal compositions compare equal however they
// were built. "C" and "[13C]" are different entries: an element as found in nature and one isotope of it.
#pragma once

#include <compare>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zelm::chem {

class ElementTable;

struct CompositionEntry {
  std::string symbol;
  int massNumber = 0;  // 0: the element as found in nature; else the one isotope of that mass number
  long long count = 0;

  friend bool operator==(const CompositionEntry&, const CompositionEntry&) = default;
  friend auto operator<=>(const CompositionEntry&, const CompositionEntry&) = default;
};

class Composition {
 public:
  Composition() = default;
  // Counts of the same (symbol, mass number) add up; entries of count 0 or below are left out.
  explicit Composition(const std::vector<CompositionEntry>& entries);

  // Adds count atoms of one entry (count may be negative as long as the entry's total stays at 0 or more; returns
  // false and changes nothing otherwise).
  bool Add(std::string_view symbol, int massNumber, long long count);

  // Sorted by symbol, then mass number (the natural element first).
  const std::vector<CompositionEntry>& Entries() const { return entries_; }
  bool Empty() const { return entries_.empty(); }
  // The count of exactly this entry; AtomsOf counts every form of the element, natural and isotopes together.
  long long Count(std::string_view symbol, int massNumber = 0) const;
  long long AtomsOf(std::string_view symbol) const;

  Composition& operator+=(const Composition& other);
  friend Composition operator+(Composition a, const Composition& b) { return a += b; }
  // Every count multiplied by factor (>= 0), as for n molecules.
  Composition Times(long long factor) const;
  // True when every entry of part has at most the count it has here.
  bool Contains(const Composition& part) const;
  // This minus part, or nullopt when some count would go below zero (when Contains(part) is false).
  std::optional<Composition> Minus(const Composition& part) const;

  friend bool operator==(const Composition&, const Composition&) = default;
  // A total order consistent with ==: entry by entry in canonical order.
  friend auto operator<=>(const Composition& a, const Composition& b) { return a.entries_ <=> b.entries_; }

  // Sum of the monoisotopic masses: an isotope entry weighs that isotope, a natural element its most abundant isotope.
  // nullopt when the table lacks an element or isotope of the composition.
  std::optional<double> MonoisotopicMass(const ElementTable& table) const;

  // Entries of an element's most abundant isotope written as the natural element ([12C] -> C, [1H] -> H), as the
  // window's formulas name every element by its isotope; other entries as they are.
  Composition NaturalWhereMonoisotopic(const ElementTable& table) const;

 private:
  std::vector<CompositionEntry> entries_;
};

}  // namespace zelm::chem
