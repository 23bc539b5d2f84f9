// Writing compositions in Hill order as plain ASCII, Unicode and the window's coded form.
#include "chemistry/formula_notation.h"

#include <algorithm>

#include "chemistry/element_table.h"
#include "text/text.h"

namespace zelm::chem {

namespace {

// UTF-8 superscript and subscript digits 0..9.
const char* const kUnicodeSuper[10] = {"\u2070", "\u00b9", "\u00b2", "\u00b3", "\u2074",
                                       "\u2075", "\u2076", "\u2077", "\u2078", "\u2079"};
const char* const kUnicodeSub[10] = {"\u2080", "\u2081", "\u2082", "\u2083", "\u2084",
                                     "\u2085", "\u2086", "\u2087", "\u2088", "\u2089"};

enum class Style { Ascii, Unicode, Coded };

std::string Digits(long long n, Style style, bool super) {
  std::string plain = CountText(n);
  if (style == Style::Ascii) return plain;
  if (style == Style::Coded) return super ? ToSuperscript(plain) : ToSubscript(plain);
  std::string out;
  for (char d : plain) out += (super ? kUnicodeSuper : kUnicodeSub)[d - '0'];
  return out;
}

std::string Write(const Composition& c, Style style, const ElementTable* table) {
  std::string out;
  for (const CompositionEntry& e : HillOrder(c)) {
    int massNumber = e.massNumber;
    if (massNumber == 0 && table && style == Style::Coded)
      if (const Element* el = table->Find(e.symbol)) massNumber = el->Monoisotopic().massNumber;
    if (massNumber != 0 && style == Style::Ascii)
      out += '[' + CountText(massNumber) + e.symbol + "]";
    else if (massNumber != 0)
      out += Digits(massNumber, style, true) + e.symbol;
    else
      out += e.symbol;
    if (e.count != 1) out += Digits(e.count, style, false);
  }
  return out;
}

}  // namespace

std::vector<CompositionEntry> HillOrder(const Composition& c) {
  std::vector<CompositionEntry> out = c.Entries();
  bool carbon = c.AtomsOf("C") > 0;
  auto rank = [carbon](const CompositionEntry& e) { return !carbon ? 2 : e.symbol == "C" ? 0 : e.symbol == "H" ? 1 : 2; };
  // The entries are already by symbol and then mass number; only C and H move forward.
  std::stable_sort(out.begin(), out.end(),
                   [&](const CompositionEntry& a, const CompositionEntry& b) { return rank(a) < rank(b); });
  return out;
}

std::string ToAscii(const Composition& c) { return Write(c, Style::Ascii, nullptr); }
std::string ToUnicode(const Composition& c) { return Write(c, Style::Unicode, nullptr); }
std::string ToCoded(const Composition& c, const ElementTable* table) { return Write(c, Style::Coded, table); }

}  // namespace zelm::chem
