#include "rank/building_blocks.h"

#include <charconv>
#include <map>

#include "chemistry/formula_notation.h"
#include "text/codec.h"
#include "text/data_files.h"
#include "text/textfile.h"

namespace zelm {

int DefaultMaximum(std::string_view symbol) {
  static const std::map<std::string, int, std::less<>> most = {
      {"C", 100}, {"H", 200}, {"N", 15}, {"O", 30}, {"P", 4}, {"S", 5}, {"Cl", 6}, {"Br", 4}, {"F", 30}, {"I", 3},
      {"Si", 5},  {"B", 3},   {"Na", 2}, {"K", 2},  {"Se", 2}};
  const auto it = most.find(symbol);
  return it == most.end() ? 5 : it->second;
}

namespace {

bool ReadInt(std::string_view text, int& value) {
  if (text.empty()) return false;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc() && end == text.data() + text.size() && value >= 0 && value <= 100000;
}

}  // namespace

bool ParseElements(std::string_view text, const chem::ElementTable& table, std::vector<Block>& blocks,
                   std::string* why) {
  blocks.clear();
  size_t i = 0;
  auto sep = [](char c) { return c == ' ' || c == '\t' || c == ','; };
  while (i < text.size()) {
    while (i < text.size() && sep(text[i])) ++i;
    if (i == text.size()) break;
    size_t j = i;
    while (j < text.size() && !sep(text[j])) ++j;
    const std::string_view entry = text.substr(i, j - i);
    i = j;
    // The element or isotope, then its range.
    size_t name = 0;
    int massNumber = 0;
    std::string symbol;
    if (entry.front() == '[') {
      const size_t close = entry.find(']');
      if (close == std::string_view::npos) {
        *why = "\"" + std::string(entry) + "\" has no closing bracket";
        return false;
      }
      const std::string_view inside = entry.substr(1, close - 1);
      size_t d = 0;
      while (d < inside.size() && inside[d] >= '0' && inside[d] <= '9') ++d;
      if (d == 0 || !ReadInt(inside.substr(0, d), massNumber) || !chem::IsElementSymbol(inside.substr(d))) {
        *why = "\"" + std::string(entry) + "\" is not an isotope such as [13C]";
        return false;
      }
      symbol = std::string(inside.substr(d));
      name = close + 1;
    } else {
      size_t s = 0;
      if (s < entry.size() && entry[s] >= 'A' && entry[s] <= 'Z') ++s;
      while (s < entry.size() && s < 3 && entry[s] >= 'a' && entry[s] <= 'z') ++s;
      symbol = std::string(entry.substr(0, s));
      name = s;
      if (symbol.empty() || !chem::IsElementSymbol(symbol)) {
        *why = "\"" + std::string(entry) + "\" does not begin with an element symbol";
        return false;
      }
    }
    Block b;
    b.name = std::string(entry.substr(0, name));
    const chem::Element* element = table.Find(symbol);
    if (!element) {
      *why = "unknown element " + symbol + " in \"" + std::string(entry) + "\"";
      return false;
    }
    if (massNumber > 0) {
      const chem::Isotope* isotope = element->FindIsotope(massNumber);
      if (!isotope) {
        *why = "unknown isotope " + b.name + " (the isotope table has no " + std::to_string(massNumber) + symbol + ")";
        return false;
      }
      b.mass = isotope->mass;
    } else {
      b.mass = element->MonoisotopicMass();
    }
    b.formula.Add(symbol, massNumber, 1);
    const std::string_view range = entry.substr(name);
    if (range.empty()) {
      b.min = 0;
      b.max = DefaultMaximum(symbol);
    } else {
      const size_t dash = range.find('-');
      if (dash == std::string_view::npos || !ReadInt(range.substr(0, dash), b.min) ||
          !ReadInt(range.substr(dash + 1), b.max) || b.min > b.max) {
        *why = '"' + std::string(entry) + "\": the counts must be written min-max, such as C0-100";
        return false;
      }
    }
    for (const Block& other : blocks)
      if (other.formula == b.formula) {
        *why = b.name + " is given twice";
        return false;
      }
    blocks.push_back(std::move(b));
  }
  if (blocks.empty()) {
    *why = "the element list is empty";
    return false;
  }
  return true;
}

bool LoadLibraryBlocks(const std::string& path, int maxCount, const chem::ElementTable& table,
                       std::vector<Block>& blocks, std::string* why) {
  blocks.clear();
  const LibraryData file = ReadLibrary(path);
  if (!file.read) {
    *why = file.problems.front().reason;
    return false;
  }
  for (const LibraryEntry& entry : file.entries) {
    Block b;
    b.name = BytesToUtf8(entry.label);
    b.mass = entry.mass;
    b.min = 0;
    b.max = maxCount;
    if (!(entry.mass > 0)) {
      *why = BaseName(path) + " line " + std::to_string(entry.line) + ": the entry " + b.name + " has the mass " +
             std::to_string(entry.mass) + "; zelm-find searches masses above 0 only";
      return false;
    }
    const auto parsed = chem::ParseFormula(entry.label);
    if (parsed) b.formula = parsed->NaturalWhereMonoisotopic(table);
    else b.formula.Add(b.name, 0, 1);  // not a formula: the label stands for itself
    blocks.push_back(std::move(b));
  }
  if (blocks.empty()) {
    *why = BaseName(path) + " holds no entry";
    return false;
  }
  return true;
}

}  // namespace zelm
