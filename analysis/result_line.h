// Reading a result line back: the formula column (30 characters, padded with blanks) and the mass text after it.
// A formula longer than 30 characters is followed directly by its mass text, which begins with a blank; such a line
// is read as the whole formula and the number after it, never cut at column 30.
#pragma once

#include <string>
#include <string_view>

namespace zelm {

constexpr size_t kFormulaColumn = 30;

// Where the mass text of a result line begins (the line's length when there is none).
size_t MassTextStart(std::string_view line);
// The formula of a result line, without surrounding blanks.
std::string ResultFormula(std::string_view line);
std::string_view ResultFormulaView(std::string_view line);
// The mass of a result line: the leading number of its mass text, 0 when there is none.
double ResultMass(std::string_view line);

}  // namespace zelm
