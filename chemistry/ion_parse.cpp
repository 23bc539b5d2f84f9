// Reading an ion type from its notation, [nM±group...]z± or M.
#include "chemistry/ion_type.h"

#include <utility>

#include "chemistry/element_table.h"
#include "chemistry/formula_notation.h"
#include "text/text.h"

namespace zelm::chem {

namespace {

// Names of common adducts and losses that are not formulas.
const std::pair<const char*, const char*> kGroupNames[] = {
    {"FA", "CH2O2"}, {"HAc", "C2H4O2"}, {"Hac", "C2H4O2"}, {"ACN", "C2H3N"},
    {"MeOH", "CH4O"}, {"TFA", "C2HF3O2"}, {"DMSO", "C2H6OS"},
};

ParseError At(size_t at, const std::string& what) {
  return {at, what, what + " at position " + CountText(static_cast<long long>(at) + 1)};
}

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Plain digits at t[*pos] as a number (at most max; larger numbers give max + 1); -1 when there are none.
long long ReadNumber(std::string_view t, size_t* pos, long long max) {
  if (*pos >= t.size() || !IsDigit(t[*pos])) return -1;
  long long n = 0;
  for (; *pos < t.size() && IsDigit(t[*pos]); ++*pos)
    if (n <= max) n = n * 10 + (t[*pos] - '0');
  return n > max ? max + 1 : n;
}

}  // namespace

Parsed<IonType> IonType::Parse(std::string_view text, const ElementTable* table) {
  size_t offset = 0;
  while (offset < text.size() && (text[offset] == ' ' || text[offset] == '\t')) ++offset;
  std::string_view t = text.substr(0, offset + Trim(text.substr(offset)).size());
  IonType ion;
  if (t.substr(offset) == "M") return ion;
  size_t pos = offset;
  if (pos >= t.size()) return At(pos, "no ion type");
  if (t[pos] != '[') return At(pos, "unknown ion type (write M or [M+H]+, [M-H]-, [2M+Na]+ and the like)");
  ++pos;
  size_t at = pos;
  long long n = ReadNumber(t, &pos, 99);
  if (n == 0 || n > 99) return At(at, "the number of molecules must be 1 to 99");
  ion.multimer_ = n < 0 ? 1 : static_cast<int>(n);
  if (pos >= t.size() || t[pos] != 'M') return At(pos, "'M' expected");
  ++pos;
  while (pos < t.size() && t[pos] != ']') {
    IonGroup g;
    if (t[pos] != '+' && t[pos] != '-') return At(pos, "'+', '-' or ']' expected");
    g.loss = t[pos] == '-';
    ++pos;
    at = pos;
    long long count = ReadNumber(t, &pos, 999);
    if (count == 0 || count > 999) return At(at, "a group's count must be 1 to 999");
    g.count = count < 0 ? 1 : count;
    size_t start = pos;
    while (pos < t.size() && t[pos] != '+' && t[pos] != '-' && t[pos] != ']') ++pos;
    g.name = std::string(t.substr(start, pos - start));
    if (g.name.empty()) return At(start, "group missing");
    std::string_view formula = g.name;
    for (const auto& [name, stands] : kGroupNames)
      if (g.name == name) formula = stands;
    Parsed<Composition> c = ParseFormula(formula, table);
    if (!c) {
      // A named group is always a good formula, so only a table that lacks its elements fails it.
      size_t where = formula == std::string_view(g.name) ? start + c.Error().position : start;
      return At(where, c.Error().reason + " in group " + g.name);
    }
    g.formula = *c;
    ion.groups_.push_back(std::move(g));
  }
  if (pos >= t.size()) return At(offset, "'[' not closed");
  ++pos;
  at = pos;
  long long z = ReadNumber(t, &pos, 3);
  if (z == 0 || z > 3) return At(at, "the charge must be 1 to 3");
  if (pos >= t.size() || (t[pos] != '+' && t[pos] != '-')) return At(pos, "charge sign ('+' or '-') expected");
  ion.charge_ = static_cast<int>(z < 0 ? 1 : z) * (t[pos] == '+' ? 1 : -1);
  ++pos;
  if (pos < t.size()) return At(pos, "unexpected text after the charge");
  return ion;
}

}  // namespace zelm::chem
