#include "rank/score_model.h"

#include <algorithm>
#include <cmath>

namespace zelm {

ElementClass ClassOf(std::string_view symbol) {
  static const std::pair<std::string_view, ElementClass> kClasses[] = {
      {"C", ElementClass::Carbon},     {"H", ElementClass::Hydrogen},   {"N", ElementClass::Nitrogen},
      {"O", ElementClass::Oxygen},     {"S", ElementClass::Sulfur},     {"P", ElementClass::Phosphorus},
      {"F", ElementClass::Fluorine},   {"Cl", ElementClass::Chlorine},  {"Br", ElementClass::Bromine},
      {"I", ElementClass::Iodine}};
  for (const auto& [s, c] : kClasses)
    if (s == symbol) return c;
  return ElementClass::Other;
}

double IsotopePart(double fit) { return 2 * std::log(std::max(fit, 0.01)); }

}  // namespace zelm
