// The candidate check: one combination of index entries becomes one formula line of the Results list.
#include <cmath>
#include <vector>

#include "core/form1.h"
#include "core/text.h"

namespace zelm {

namespace {

// Width of the formula column of a result line, and how much of the mass text follows a short formula.
constexpr size_t kFormulaColumn = 30;
constexpr size_t kShortMassText = 12;

// The power written in the two characters before an index label's "(" (" 3" or "12").
double PowerBefore(const std::string& s, size_t open) {
  size_t from = open >= 2 ? open - 2 : 0;
  return std::ldexp(1.0, static_cast<int>(LeadingNumber(std::string_view(s).substr(from, open - from))));
}

// Step 1: every library label once, with its count (the sum of 2^n over its index entries): the labels that occur
// once first, then the labels that occur more than once, each part in the order of first appearance.
std::string CountedText(const std::string& s) {
  std::string single, merged;
  size_t p = 0;
  for (;;) {
    size_t open = s.find('(', p);
    if (open == std::string::npos) break;
    size_t close = s.find(')', open);
    if (close == std::string::npos) break;  // an unclosed label ends the combination text
    p = close;
    const std::string key = s.substr(open, close - open + 1);
    if (merged.find(key) != std::string::npos) continue;  // merged already
    if (s.find(key, close) == std::string::npos) {
      single += NumberText(PowerBefore(s, open)) + key;
    } else {
      double total = PowerBefore(s, open);
      for (size_t at = s.find(key, open + 1); at != std::string::npos; at = s.find(key, at + 1))
        total += PowerBefore(s, at);
      merged += NumberText(total) + key;
    }
  }
  return single + merged;
}

// Step 2: each label followed by its count in subscript digits (a count of 1 written too).
std::string WithSubscripts(const std::string& counted) {
  std::string out, count;
  bool inside = false;
  for (char c : counted) {
    if (c == '(') {
      inside = true;
    } else if (inside) {
      if (c == ')') {
        out += count;
        count.clear();
        inside = false;
      } else {
        out += c;
      }
    } else if (c >= '0' && c <= '9') {
      count += SubDigit(c - '0');
    }
  }
  return out;
}

// Step 3: split after every run of subscript digits and order the groups by the exchange sort of coded texts.
// Every group is kept, however many there are.
std::string OrderedFormula(const std::string& written) {
  std::vector<std::string> groups;
  bool afterSubscript = true;  // the first character starts the first group
  for (char c : written) {
    if (!IsSubscript(c) && afterSubscript) groups.emplace_back();
    if (groups.empty()) groups.emplace_back();
    groups.back() += c;
    afterSubscript = IsSubscript(c);
  }
  for (size_t a = 0; a + 1 < groups.size(); ++a)
    for (size_t b = a + 1; b < groups.size(); ++b)
      if (CodedLess(groups[b], groups[a])) std::swap(groups[a], groups[b]);
  std::string formula;
  for (const std::string& g : groups) formula += g;
  return formula;
}

}  // namespace

void Form1::CheckAdd(std::string& s, std::string& Wmass) {
  const std::string formula = OrderedFormula(WithSubscripts(CountedText(s)));

  // Step 4: back to the scale of the measured mass (the electron masses differ for the two charges on purpose).
  const double v = LeadingNumber(Wmass);
  double reported = v;
  if (OptionPlus.Value) reported = v - 0.00055;
  if (OptionMinus.Value) reported = v + 0.000549;
  if (AdjustIndex >= 0 && AdjustIndex < static_cast<int>(AdjustMass.size())) reported += AdjustMass[AdjustIndex];
  Wmass = NumberText(reported);

  // Step 5: the line. A formula wider than the column is followed by the whole mass text, whose leading blank
  // separates the two.
  std::string line = formula;
  if (formula.size() <= kFormulaColumn) {
    line.append(kFormulaColumn - formula.size(), ' ');
    line += Wmass.substr(0, kShortMassText);
  } else {
    line += Wmass;
  }
  s = line;
  Results.AddItem(std::move(line));
}

}  // namespace zelm
