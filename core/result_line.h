// The result line, written and read in this one place: the formula padded with blanks to 30 characters, then the
// first 12 characters of the mass text. A formula longer than 30 characters is followed directly by its whole mass
// text, which begins with a blank (or a minus); such a line is read as the whole formula and the number after it,
// never cut at column 30.
#pragma once

#include <string>
#include <string_view>

namespace zelm {

constexpr size_t kFormulaColumn = 30;
// How much of the mass text follows a formula that fits its column.
constexpr size_t kShortMassText = 12;

// The line of a formula and its mass text (the number text of the mass, with its leading blank).
std::string ResultLine(std::string_view formula, std::string_view massText);

// The two parts of a line: the formula without the blanks around it, and the mass text as written (its leading blank
// included; empty when the line has none).
struct ResultLineParts {
  std::string_view formula;
  std::string_view massText;
};
ResultLineParts SplitResultLine(std::string_view line);

// Where the mass text of a result line begins (the line's length when there is none).
size_t MassTextStart(std::string_view line);
// The formula of a result line, without surrounding blanks.
std::string ResultFormula(std::string_view line);
std::string_view ResultFormulaView(std::string_view line);
// The mass of a result line: the leading number of its mass text, 0 when there is none.
double ResultMass(std::string_view line);

}  // namespace zelm
