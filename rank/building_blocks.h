// What zelm-find combines: the building blocks of a search with their count ranges, from an element list
// ("C0-100 H0-200 N0-15 [13C]0-2 Cl") or from one of the window's library files (each entry 0 to a count).
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chemistry/composition.h"
#include "chemistry/element_table.h"

namespace zelm {

struct Block {
  std::string name;            // as written: "C", "[13C]", or a library label in UTF-8
  chem::Composition formula;   // what one of it adds to a formula
  double mass = 0;
  int min = 0, max = 0;
};

// The default element list, for organic small molecules.
constexpr std::string_view kDefaultElements = "C0-100 H0-200 N0-15 O0-30 P0-4 S0-5 Cl0-6 Br0-4 F0-30 I0-3";
// The count a bare symbol goes up to.
int DefaultMaximum(std::string_view symbol);

// Reads an element list: entries separated by blanks or commas, each an element symbol or an isotope in brackets
// ("[13C]"), then "min-max" or nothing (0 to its default maximum). False with *why on the first entry that cannot be
// used (an unknown element or isotope, a bad range, an entry given twice).
bool ParseElements(std::string_view text, const chem::ElementTable& table, std::vector<Block>& blocks,
                   std::string* why);

// Reads one of the window's library files (8-bit, label coding): every entry from 0 to maxCount. A label that reads
// as a formula ("¹²C", "OH", "H₂O") adds that formula (its most abundant isotopes written as the plain elements); any
// other label stands for itself. False with *why when the file cannot be read or an entry has a mass zelm-find cannot
// search (0 or below).
bool LoadLibraryBlocks(const std::string& path, int maxCount, const chem::ElementTable& table,
                       std::vector<Block>& blocks, std::string* why);

}  // namespace zelm
