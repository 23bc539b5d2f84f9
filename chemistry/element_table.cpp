// Reading isotopes.txt into the element table, line by line, with a problem noted for each line that is left out.
#include "chemistry/element_table.h"

#include <charconv>
#include <cmath>
#include <map>

#include "text/text.h"
#include "text/textfile.h"

namespace zelm::chem {

const Isotope* Element::FindIsotope(int massNumber) const {
  for (const Isotope& iso : isotopes)
    if (iso.massNumber == massNumber) return &iso;
  return nullptr;
}

const Element* ElementTable::Find(std::string_view symbol) const {
  for (const Element& e : elements_)
    if (e.symbol == symbol) return &e;
  return nullptr;
}

const Isotope* ElementTable::FindIsotope(int massNumber, std::string_view symbol) const {
  const Element* e = Find(symbol);
  return e ? e->FindIsotope(massNumber) : nullptr;
}

bool IsElementSymbol(std::string_view text) {
  if (text.empty() || text.size() > 3 || text[0] < 'A' || text[0] > 'Z') return false;
  for (size_t i = 1; i < text.size(); ++i)
    if (text[i] < 'a' || text[i] > 'z') return false;
  return true;
}

namespace {

// Lines of the bytes, without their ends (CR LF, LF or CR).
std::vector<std::string_view> SplitLines(std::string_view bytes) {
  std::vector<std::string_view> lines;
  size_t start = 0;
  for (size_t i = 0; i < bytes.size(); ++i) {
    if (bytes[i] != '\r' && bytes[i] != '\n') continue;
    lines.push_back(bytes.substr(start, i - start));
    if (bytes[i] == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < bytes.size()) lines.push_back(bytes.substr(start));
  return lines;
}

bool ReadWhole(std::string_view text, int* out) {
  if (text.empty() || text.size() > 4) return false;
  for (char c : text)
    if (c < '0' || c > '9') return false;
  std::from_chars(text.data(), text.data() + text.size(), *out);
  return true;
}

bool ReadReal(std::string_view text, double* out) {
  if (!IsNumberText(text)) return false;
  text = Trim(text);
  if (!text.empty() && text[0] == '+') text.remove_prefix(1);
  auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), *out);
  return ec == std::errc() && end == text.data() + text.size() && std::isfinite(*out);
}

// The reason a line's fields cannot be used, or empty when they make an isotope (abundance still relative).
std::string ReadIsotope(const std::vector<std::string>& fields, Isotope* iso) {
  if (fields.size() != 4)
    return "expected 4 fields (mass number, symbol, exact mass, abundance), found " + CountText(fields.size());
  if (!ReadWhole(fields[0], &iso->massNumber) || iso->massNumber < 1)
    return "mass number \"" + fields[0] + "\" is not a whole number from 1 to 9999";
  if (!IsElementSymbol(fields[1])) return "\"" + fields[1] + "\" is not an element symbol";
  iso->symbol = fields[1];
  if (!ReadReal(fields[2], &iso->mass) || iso->mass <= 0)
    return "exact mass \"" + fields[2] + "\" is not a positive number";
  // Every nuclide's mass lies within a fraction of a unit of its mass number; anything further is a slip in the line.
  if (std::fabs(iso->mass - iso->massNumber) > 0.5)
    return "exact mass " + fields[2] + " does not fit mass number " + fields[0];
  if (!ReadReal(fields[3], &iso->abundance) || iso->abundance < 0)
    return "abundance \"" + fields[3] + "\" is not a number of 0 or more";
  return "";
}

}  // namespace

struct ElementTableBuilder {
  static LoadedTable Build(std::string_view bytes, const std::string& fileName) {
    LoadedTable out;
    std::vector<Element>& elements = out.table.elements_;
    std::map<std::string, size_t, std::less<>> index;
    std::vector<int> firstLine;  // of each element
    std::vector<std::string_view> lines = SplitLines(bytes);
    for (size_t n = 0; n < lines.size(); ++n) {
      if (Trim(lines[n]).empty()) continue;
      Isotope iso;
      std::string reason = ReadIsotope(SplitFields(lines[n]), &iso);
      auto it = index.find(iso.symbol);
      if (reason.empty() && it != index.end() && elements[it->second].FindIsotope(iso.massNumber))
        reason = "isotope " + CountText(iso.massNumber) + iso.symbol + " is listed twice";
      if (!reason.empty()) {
        out.problems.push_back({fileName, static_cast<int>(n + 1), reason});
        continue;
      }
      if (it == index.end()) {
        it = index.emplace(iso.symbol, elements.size()).first;
        elements.push_back(Element{iso.symbol, {}, 0});
        firstLine.push_back(static_cast<int>(n + 1));
      }
      elements[it->second].isotopes.push_back(std::move(iso));
    }
    // Relative abundances become fractions of the element; an element whose abundances are all zero cannot say
    // which isotope is found in nature, so it is left out.
    for (size_t e = 0; e < elements.size();) {
      Element& el = elements[e];
      double sum = 0;
      for (size_t i = 0; i < el.isotopes.size(); ++i) {
        sum += el.isotopes[i].abundance;
        if (el.isotopes[i].abundance > el.isotopes[el.mostAbundant].abundance) el.mostAbundant = i;
      }
      if (sum <= 0) {
        out.problems.push_back(
            {fileName, firstLine[e], "element " + el.symbol + " has no isotope of an abundance above 0"});
        elements.erase(elements.begin() + static_cast<std::ptrdiff_t>(e));
        firstLine.erase(firstLine.begin() + static_cast<std::ptrdiff_t>(e));
        continue;
      }
      for (Isotope& iso : el.isotopes) iso.abundance /= sum;
      ++e;
    }
    return out;
  }
};

LoadedTable ReadElementTable(std::string_view bytes, const std::string& fileName) {
  return ElementTableBuilder::Build(bytes, fileName);
}

LoadedTable LoadElementTable(const std::string& path) {
  std::string error;
  std::optional<std::string> bytes = ReadWholeFile(path, &error);
  if (!bytes) {
    LoadedTable out;
    out.problems.push_back({path, 0, error.empty() ? "the file could not be read" : error});
    return out;
  }
  return ReadElementTable(*bytes, path);
}

}  // namespace zelm::chem
