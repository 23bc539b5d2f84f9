#include "rank/known_formulas.h"

#include <cmath>

#include "chemistry/formula_notation.h"
#include "text/textfile.h"

namespace zelm {

namespace {

constexpr int kBits = 12;
constexpr double kMostAtoms = (1 << kBits) - 1;

// The formula of a line: the line itself, or its second tab-separated field.
std::string_view FormulaField(std::string_view line) {
  const size_t tab = line.find('\t');
  if (tab == std::string_view::npos) return line;
  const size_t end = line.find('\t', tab + 1);
  return line.substr(tab + 1, end == std::string_view::npos ? std::string_view::npos : end - tab - 1);
}

}  // namespace

std::string DefaultKnownFormulasPath() { return "/usr/share/openms/CHEMISTRY/HMDBMappingFile.tsv"; }

bool KnownFormulas::KeyOf(const Counts& n, Key& key) {
  if (n[static_cast<size_t>(ElementClass::Other)] != 0) return false;
  key = {};
  // Other is the last class: the ten before it fill five slots of each word.
  for (size_t c = 0; c < static_cast<size_t>(ElementClass::Other); ++c) {
    if (!(n[c] >= 0 && n[c] <= kMostAtoms)) return false;
    const auto count = static_cast<unsigned long long>(std::llround(n[c]));
    (c < 5 ? key.low : key.high) |= count << (kBits * (c % 5));
  }
  return true;
}

std::shared_ptr<const KnownFormulas> KnownFormulas::Read(const std::string& path, std::string* why) {
  TextReader in(path);
  if (!in.Ok()) {
    *why = in.Error();
    return nullptr;
  }
  auto known = std::make_shared<KnownFormulas>();
  while (!in.AtEnd()) {
    const std::string line = in.ReadLine();
    const auto parsed = chem::ParseFormula(FormulaField(line));
    if (!parsed || parsed->Empty()) continue;
    Key key;
    if (KeyOf(CountsOf(*parsed), key)) known->keys_.insert(key);
  }
  if (known->keys_.empty()) {
    *why = path + " holds no formula of C, H, N, O, P, S, F, Cl, Br and I.";
    return nullptr;
  }
  return known;
}

KnownFormulas::Counts KnownFormulas::CountsOf(const chem::Composition& formula) {
  Counts n{};
  for (const chem::CompositionEntry& e : formula.Entries())
    n[static_cast<size_t>(ClassOf(e.symbol))] += static_cast<double>(e.count);
  return n;
}

bool KnownFormulas::Contains(const Counts& n) const {
  Key key;
  return KeyOf(n, key) && keys_.count(key) > 0;
}

}  // namespace zelm
