// Compositions to and from text, in three notations that all read back to the same composition:
//   plain ASCII   C8H10N4O2, [13C]C5H12O6 (an isotope in brackets with its mass number, the count after the bracket),
//                 CH3COOH (a symbol written again adds up), Ca(OH)2 (groups in parentheses, nested as deep as wanted);
//   Unicode       C₈H₁₀N₄O₂, ¹³CC₅H₁₂O₆ (UTF-8 subscript counts, superscript mass numbers before the symbol);
//   coded         the window's 8-bit labels: superscript digits (bytes 128..137) before a symbol are its mass number,
//                 subscript digits (bytes 144..153) after it its count.
// The reader takes any of them, mixed as well; a missing count means 1.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "chemistry/composition.h"
#include "chemistry/parse_result.h"

namespace zelm::chem {

class ElementTable;

// Blanks around the formula are ignored. With a table, every element and isotope must be in it; without one, any
// well-formed symbol (a capital and up to two small letters) is taken. Errors name the fault and its position:
// unknown element or isotope, stray character, bad count (0, or above 999999; nor may one element, its isotopes
// included, add up to more than 999999 atoms, with the counts of parentheses), unclosed or unopened bracket, a missing
// formula.
Parsed<Composition> ParseFormula(std::string_view text, const ElementTable* table = nullptr);

// Entries in Hill order: with carbon present (in any isotope), C, then H, then the other elements alphabetically;
// without carbon, all elements alphabetically. Each element's natural entry comes first and its isotopes follow it
// by rising mass number: C5[13C]H12O6.
std::vector<CompositionEntry> HillOrder(const Composition& c);

// Hill order in each notation; counts of 1 are not written.
std::string ToAscii(const Composition& c);    // C5[13C]H12O6
std::string ToUnicode(const Composition& c);  // C₅¹³CH₁₂O₆
// The window's coded form. Without a table a natural element is written without a mass number; with one it is
// written with the mass number of its most abundant isotope, as the window names every element (¹²C₈¹H₁₀...), and
// reads back as that isotope (see Composition::NaturalWhereMonoisotopic).
std::string ToCoded(const Composition& c, const ElementTable* table = nullptr);

}  // namespace zelm::chem
