// Formulas for tests, written readably: "^12C_10" is superscript 1, 2, "C", subscript 1, 0. Digits after "^" become
// superscript digits and digits after "_" subscript digits, up to the next other character.
#pragma once

#include <string>
#include <string_view>

#include "text/text.h"

namespace zelm {

inline std::string Coded(std::string_view readable) {
  std::string out;
  int mode = 0;  // 0 plain, 1 superscript, 2 subscript
  for (char c : readable) {
    if (c == '^') {
      mode = 1;
    } else if (c == '_') {
      mode = 2;
    } else if (c >= '0' && c <= '9' && mode != 0) {
      out += mode == 1 ? SuperDigit(c - '0') : SubDigit(c - '0');
    } else {
      mode = 0;
      out += c;
    }
  }
  return out;
}

// A result line as the candidate check lays it out: a formula of at most 30 characters padded with blanks to 30 and
// followed by the first 12 characters of the mass text; a longer formula followed by the whole mass text.
inline std::string ResultLineOf(const std::string& formula, double mass) {
  std::string massText = NumberText(mass);
  if (formula.size() > 30) return formula + massText;
  return formula + std::string(30 - formula.size(), ' ') + massText.substr(0, 12);
}

}  // namespace zelm
