// The candidate check: one combination of index entries becomes one formula line of the Results list.
#include <algorithm>
#include <cmath>
#include <iterator>
#include <string_view>
#include <vector>

#include "core/form1.h"
#include "core/result_line.h"
#include "text/text.h"

namespace zelm {

namespace {

// The power written in the two characters before an index label's "(" (" 3" or "12").
double PowerBefore(const std::string& s, size_t open) {
  size_t from = open >= 2 ? open - 2 : 0;
  const std::string_view two = std::string_view(s).substr(from, open - from);
  // The usual two characters, a blank or a digit and then a digit, read at once.
  auto digit = [](char c) { return c >= '0' && c <= '9'; };
  if (two.size() == 2 && (two[0] == ' ' || digit(two[0])) && digit(two[1]))
    return std::ldexp(1.0, (two[0] == ' ' ? 0 : (two[0] - '0') * 10) + (two[1] - '0'));
  return std::ldexp(1.0, static_cast<int>(LeadingNumber(two)));
}

// Step 1, as written: every library label once, with its count (the sum of 2^n over its index entries): the labels
// that occur once first, then the labels that occur more than once, each part in the order of first appearance.
// This form serves any text; CountedText below reads the usual ones faster.
std::string CountedTextAsWritten(const std::string& s) {
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

// Step 1. When no label holds a "(" (as in every index label), the text is a row of entries "(label)", each label's
// occurrences are exactly the entries with that label, and the counts are summed entry by entry.
std::string CountedText(const std::string& s) {
  struct Entry {
    size_t open, close;
    double count;
    bool merged;
  };
  Entry entries[64];
  size_t n = 0;
  for (size_t p = 0;;) {
    const size_t open = s.find('(', p);
    if (open == std::string::npos) break;
    const size_t close = s.find(')', open);
    if (close == std::string::npos) break;
    if (n == std::size(entries) || s.find('(', open + 1) < close) return CountedTextAsWritten(s);
    entries[n++] = {open, close, PowerBefore(s, open), false};
    p = close;
  }
  auto label = [&](const Entry& e) { return std::string_view(s).substr(e.open, e.close - e.open + 1); };
  std::string single, merged;
  for (size_t i = 0; i < n; ++i) {
    if (entries[i].merged) continue;
    double total = entries[i].count;
    bool again = false;
    for (size_t j = i + 1; j < n; ++j) {
      if (!entries[j].merged && label(entries[j]) == label(entries[i])) {
        total += entries[j].count;
        entries[j].merged = again = true;
      }
    }
    std::string& part = again ? merged : single;
    part += NumberText(total);
    part += label(entries[i]);
  }
  return single + merged;
}

// Step 2: each label followed by its count in subscript digits (a count of 1 written too).
std::string WithSubscripts(const std::string& counted) {
  std::string out, count;
  out.reserve(counted.size());
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

// Step 3: split after every run of subscript digits and order the groups as the exchange sort of coded texts orders
// them (equal groups are alike, so any sort gives the same formula). Every group is kept, however many there are.
std::string OrderedFormula(const std::string& written) {
  std::vector<std::string_view> groups;
  size_t start = 0;
  bool afterSubscript = false;
  for (size_t i = 0; i < written.size(); ++i) {
    const char c = written[i];
    if (!IsSubscript(c) && afterSubscript) {
      groups.push_back(std::string_view(written).substr(start, i - start));
      start = i;
    }
    afterSubscript = IsSubscript(c);
  }
  if (start < written.size()) groups.push_back(std::string_view(written).substr(start));
  std::sort(groups.begin(), groups.end(), [](std::string_view a, std::string_view b) { return CodedLess(a, b); });
  std::string formula;
  formula.reserve(written.size());
  for (std::string_view g : groups) formula += g;
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

  // Step 5: the line, carrying its error on the measured scale: the mass searched for minus the reported mass.
  std::string line = ResultLine(formula, Wmass);
  s = line;
  Results.AddItem(std::move(line), ListingMass - reported);
}

}  // namespace zelm
