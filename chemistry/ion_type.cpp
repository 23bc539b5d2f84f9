// Ion types: their formulas, their notation and the neutral mass <-> m/z arithmetic.
#include "chemistry/ion_type.h"

#include <cstdlib>

#include "chemistry/element_table.h"
#include "chemistry/formula_notation.h"
#include "text/text.h"

namespace zelm::chem {

double IonMassRule::MzOf(double neutralMass) const {
  if (charge == 0) return neutralMass;
  return (multimer * neutralMass + shift - charge * kElectronMass) / std::abs(charge);
}

double IonMassRule::NeutralOf(double mz) const {
  if (charge == 0) return mz;
  return (mz * std::abs(charge) - shift + charge * kElectronMass) / multimer;
}

Composition IonType::Adducts() const {
  Composition c;
  for (const IonGroup& g : groups_)
    if (!g.loss) c += g.formula.Times(g.count);
  return c;
}

Composition IonType::Losses() const {
  Composition c;
  for (const IonGroup& g : groups_)
    if (g.loss) c += g.formula.Times(g.count);
  return c;
}

std::string IonType::Notation() const {
  if (charge_ == 0) return "M";
  std::string out = "[";
  if (multimer_ != 1) out += CountText(multimer_);
  out += "M";
  for (const IonGroup& g : groups_) {
    out += g.loss ? "-" : "+";
    if (g.count != 1) out += CountText(g.count);
    out += g.name;
  }
  out += "]";
  if (std::abs(charge_) != 1) out += CountText(std::abs(charge_));
  out += charge_ > 0 ? "+" : "-";
  return out;
}

std::optional<Composition> IonType::IonFormula(const Composition& neutral, std::string* why) const {
  Composition gained = neutral.Times(multimer_) + Adducts();
  Composition lost = Losses();
  std::optional<Composition> ion = gained.Minus(lost);
  if (!ion && why) *why = ToAscii(lost) + " cannot be taken from " + ToAscii(gained);
  return ion;
}

std::optional<IonMassRule> IonType::MassRule(const ElementTable& table) const {
  std::optional<double> added = Adducts().MonoisotopicMass(table);
  std::optional<double> lost = Losses().MonoisotopicMass(table);
  if (!added || !lost) return std::nullopt;
  return IonMassRule{charge_, multimer_, *added - *lost};
}

std::optional<double> IonType::MzOf(double neutralMass, const ElementTable& table) const {
  std::optional<IonMassRule> rule = MassRule(table);
  if (!rule) return std::nullopt;
  return rule->MzOf(neutralMass);
}

std::optional<double> IonType::NeutralOf(double mz, const ElementTable& table) const {
  std::optional<IonMassRule> rule = MassRule(table);
  if (!rule) return std::nullopt;
  return rule->NeutralOf(mz);
}

}  // namespace zelm::chem
