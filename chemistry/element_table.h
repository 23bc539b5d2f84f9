// The elements and their isotopes as the program's isotopes.txt lists them: one line per isotope,
// "mass number,symbol,exact mass,abundance", the abundance relative to the element's most abundant isotope (= 100).
// Lines that cannot be used are left out and reported; reading never throws.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zelm::chem {

struct Isotope {
  int massNumber = 0;
  std::string symbol;
  double mass = 0;       // exact mass in u
  double abundance = 0;  // fraction of the element's atoms; the fractions of an element sum to 1
};

struct Element {
  std::string symbol;
  std::vector<Isotope> isotopes;  // in file order
  size_t mostAbundant = 0;        // index into isotopes

  // The most abundant isotope (the first of equals in file order) and its mass.
  const Isotope& Monoisotopic() const { return isotopes[mostAbundant]; }
  double MonoisotopicMass() const { return Monoisotopic().mass; }
  // nullptr when the element has no isotope of that mass number.
  const Isotope* FindIsotope(int massNumber) const;
};

// A line of the file that was not used: the file as named to the reader, the 1-based line, and why.
// Line 0 stands for the file as a whole (it could not be read).
struct TableProblem {
  std::string file;
  int line = 0;
  std::string reason;
};

class ElementTable {
 public:
  // nullptr when the table has no such element / isotope.
  const Element* Find(std::string_view symbol) const;
  const Isotope* FindIsotope(int massNumber, std::string_view symbol) const;
  const std::vector<Element>& Elements() const { return elements_; }  // in order of first appearance
  bool Empty() const { return elements_.empty(); }

 private:
  friend struct ElementTableBuilder;
  std::vector<Element> elements_;
};

struct LoadedTable {
  ElementTable table;
  std::vector<TableProblem> problems;
};

// From the file's bytes (fileName only names the file in problems) or from a file on disk.
LoadedTable ReadElementTable(std::string_view bytes, const std::string& fileName);
LoadedTable LoadElementTable(const std::string& path);

// True for a symbol as the table writes them: a capital letter and up to two small letters.
bool IsElementSymbol(std::string_view text);

}  // namespace zelm::chem
