// Reading a composition from any of the three formula notations.
#include "chemistry/formula_notation.h"

#include "chemistry/element_table.h"
#include "text/text.h"

namespace zelm::chem {

namespace {

// The largest count written, and the most atoms of one element however they are written (its isotopes, counts of
// parentheses and a symbol written again included), so that every formula that reads writes back with counts that
// read, also in the window's form, which names an element and its most abundant isotope alike.
constexpr long long kMaxCount = 999999;

constexpr char kTooMany[] = "bad count (too many atoms)";

enum class DigitKind { Plain, Sub, Super };

// The digit at text[i] of the given kind and its length in bytes (0 when there is none).
int DigitAt(std::string_view t, size_t i, DigitKind kind, size_t* len) {
  *len = 0;
  if (i >= t.size()) return -1;
  auto u = [&](size_t k) { return k < t.size() ? static_cast<unsigned char>(t[k]) : 0u; };
  unsigned c = u(i);
  switch (kind) {
    case DigitKind::Plain:
      if (c >= '0' && c <= '9') return *len = 1, static_cast<int>(c - '0');
      return -1;
    case DigitKind::Sub:
      if (c >= kSubZero && c <= kSubZero + 9u) return *len = 1, static_cast<int>(c - kSubZero);
      if (c == 0xE2 && u(i + 1) == 0x82 && u(i + 2) >= 0x80 && u(i + 2) <= 0x89)  // U+2080..2089
        return *len = 3, static_cast<int>(u(i + 2) - 0x80);
      return -1;
    case DigitKind::Super:
      if (c >= kSuperZero && c <= kSuperZero + 9u) return *len = 1, static_cast<int>(c - kSuperZero);
      if (c == 0xC2 && (u(i + 1) == 0xB2 || u(i + 1) == 0xB3)) return *len = 2, static_cast<int>(u(i + 1) - 0xB0);
      if (c == 0xC2 && u(i + 1) == 0xB9) return *len = 2, 1;
      if (c == 0xE2 && u(i + 1) == 0x81 && (u(i + 2) == 0xB0 || (u(i + 2) >= 0xB4 && u(i + 2) <= 0xB9)))
        return *len = 3, static_cast<int>(u(i + 2) - 0xB0);  // U+2070, U+2074..2079
      return -1;
  }
  return -1;
}

class Reader {
 public:
  Reader(std::string_view text, const ElementTable* table) : t_(text), table_(table) {}

  Parsed<Composition> Run() {
    while (pos_ < t_.size() && (t_[pos_] == ' ' || t_[pos_] == '\t')) ++pos_;
    size_t end = t_.size();
    while (end > pos_ && (t_[end - 1] == ' ' || t_[end - 1] == '\t')) --end;
    t_ = t_.substr(0, end);
    if (pos_ >= t_.size()) return Fail(pos_, "no formula");
    // Open parentheses: the composition inside each and where it opened.
    std::vector<std::pair<Composition, size_t>> open;
    Composition current;
    while (pos_ < t_.size()) {
      char c = t_[pos_];
      if (c == '(') {
        open.push_back({std::move(current), pos_});
        current = Composition();
        ++pos_;
      } else if (c == ')') {
        if (open.empty()) return Fail(pos_, "')' without '('");
        size_t at = open.back().second;
        ++pos_;
        if (current.Empty()) return Fail(at, "empty parentheses");
        long long n = 1;
        if (!ReadCount(&n)) return Error();
        for (const CompositionEntry& e : current.Entries())
          if (e.count > kMaxCount / n) return Fail(at, kTooMany);
        Composition inner = current.Times(n);
        current = std::move(open.back().first);
        current += inner;
        open.pop_back();
        for (const CompositionEntry& e : inner.Entries())
          if (current.AtomsOf(e.symbol) > kMaxCount) return Fail(at, kTooMany);
      } else if (!ReadAtom(&current)) {
        return Error();
      }
    }
    if (!open.empty()) return Fail(open.back().second, "'(' not closed");
    return current;
  }

 private:
  Parsed<Composition> Fail(size_t at, const std::string& what) {
    error_ = {at, what, what + " at position " + CountText(static_cast<long long>(at) + 1)};
    return error_;
  }
  Parsed<Composition> Error() const { return error_; }
  bool Failed(size_t at, const std::string& what) {
    Fail(at, what);
    return false;
  }

  // A whole number of one digit kind; false with no digits.
  bool ReadNumber(DigitKind kind, long long* n, size_t* digits) {
    *n = 0;
    *digits = 0;
    size_t len = 0;
    for (int d; (d = DigitAt(t_, pos_, kind, &len)) >= 0; pos_ += len, ++*digits)
      if (*n <= kMaxCount) *n = *n * 10 + d;
    return *digits > 0;
  }

  // An optional count, plain or subscript digits; 1 when none is written.
  bool ReadCount(long long* n) {
    size_t start = pos_, digits = 0;
    *n = 1;
    if (!ReadNumber(DigitKind::Plain, n, &digits) && !ReadNumber(DigitKind::Sub, n, &digits)) {
      *n = 1;
      return true;
    }
    if (*n == 0) return Failed(start, "bad count 0");
    if (*n > kMaxCount) return Failed(start, "bad count (above " + CountText(kMaxCount) + ")");
    return true;
  }

  bool ReadSymbol(std::string* symbol) {
    size_t start = pos_;
    if (pos_ >= t_.size() || t_[pos_] < 'A' || t_[pos_] > 'Z') {
      if (pos_ >= t_.size()) return Failed(start, "element symbol missing");
      return Failed(start, "stray character '" + Shown(t_[pos_]) + "'");
    }
    ++pos_;
    while (pos_ < t_.size() && pos_ - start < 3 && t_[pos_] >= 'a' && t_[pos_] <= 'z') ++pos_;
    *symbol = std::string(t_.substr(start, pos_ - start));
    return true;
  }

  bool Known(const std::string& symbol, long long massNumber, size_t at) {
    if (!table_) return true;
    const Element* el = table_->Find(symbol);
    if (!el) return Failed(at, "unknown element " + symbol);
    if (massNumber != 0 && !el->FindIsotope(static_cast<int>(massNumber)))
      return Failed(at, "unknown isotope " + CountText(massNumber) + symbol);
    return true;
  }

  // [13C]n, ¹³Cn or Cn.
  bool ReadAtom(Composition* into) {
    size_t start = pos_, digits = 0;
    long long massNumber = 0;
    std::string symbol;
    if (t_[pos_] == '[') {
      ++pos_;
      if (!ReadNumber(DigitKind::Plain, &massNumber, &digits)) return Failed(pos_, "mass number missing after '['");
      if (massNumber < 1 || massNumber > 9999) return Failed(start + 1, "bad mass number");
      if (!ReadSymbol(&symbol)) return false;
      if (pos_ >= t_.size() || t_[pos_] != ']') {
        if (pos_ >= t_.size()) return Failed(start, "'[' not closed");
        return Failed(pos_, "']' expected");
      }
      ++pos_;
    } else {
      if (ReadNumber(DigitKind::Super, &massNumber, &digits) && (massNumber < 1 || massNumber > 9999))
        return Failed(start, "bad mass number");
      if (!ReadSymbol(&symbol)) return false;
    }
    if (!Known(symbol, massNumber, start)) return false;
    long long n = 1;
    if (!ReadCount(&n)) return false;
    into->Add(symbol, static_cast<int>(massNumber), n);
    if (into->AtomsOf(symbol) > kMaxCount) return Failed(start, kTooMany);
    return true;
  }

  static std::string Shown(char c) {
    auto u = static_cast<unsigned char>(c);
    if (u >= 32 && u < 127) return std::string(1, c);
    return "\\x" + std::string(1, "0123456789abcdef"[u >> 4]) + "0123456789abcdef"[u & 15];
  }

  std::string_view t_;
  const ElementTable* table_;
  size_t pos_ = 0;
  ParseError error_;
};

}  // namespace

Parsed<Composition> ParseFormula(std::string_view text, const ElementTable* table) {
  return Reader(text, table).Run();
}

}  // namespace zelm::chem
