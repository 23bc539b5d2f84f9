// What the chemistry tests share: the program's own isotope table, and a formula read from the usual notation.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <string_view>

#include "chemistry/composition.h"
#include "chemistry/element_table.h"
#include "chemistry/formula_notation.h"

namespace zelm::chem {

inline const ElementTable& Table() {
  static const LoadedTable t = LoadElementTable(std::string(ZELM_DATA_DIR) + "/isotopes.txt");
  return t.table;
}

// The formula of a text the test expects to read.
inline Composition F(std::string_view text) {
  Parsed<Composition> c = ParseFormula(text);
  EXPECT_TRUE(c.Ok()) << text << ": " << c.Error().message;
  return c.Ok() ? *c : Composition();
}

}  // namespace zelm::chem
