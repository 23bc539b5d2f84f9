// The tooltip of a result line: what the line's formula stands for and how well its mass meets the measured one.
//   C₈H₁₀N₄O₂                  the formula in Hill order (an element's most abundant isotope written as the element,
//                              other isotopes with their mass number: C₅¹³CH₁₂O₆)
//   error 0.25 ppm (0.05 mDa)  the measured mass minus the line's mass, relative to the line's mass and in mDa
//   RDBE 6                     the ring and double-bond equivalents of the formula
// The text is coded, as every text of the window, its lines ended by "\n".
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "chemistry/composition.h"
#include "chemistry/element_table.h"

namespace zelm {

// The composition a result formula stands for, read group by group as the candidate check writes it: each group is
// a library label followed by its count in subscript digits, and the label is read as a formula of the elements and
// isotopes of the table (superscript digits its mass numbers, plain digits counts within it: "OH", "H2O", "¹³C").
// nullopt when a label is not made of them, with *unread set to the first such label.
std::optional<chem::Composition> ResultComposition(std::string_view formula, const chem::ElementTable& table,
                                                   std::string* unread = nullptr);

// The tooltip of a result line. `error` is the measured mass the line was found for minus the line's mass, in u;
// ListBox::kNoData (NaN) when that mass is not known, which the tooltip says.
std::string ResultToolTip(std::string_view line, double error, const chem::ElementTable& table);

}  // namespace zelm
