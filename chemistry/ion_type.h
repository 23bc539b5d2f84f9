// Ion types: how a neutral molecule M becomes the ion a spectrum shows, and the conversions between a neutral mass
// and the ion's m/z. Notation: "M" for the neutral mass as it is, else [nM±group±group...]z± with an optional count
// before each group: [M+H]+, [M-H2O+H]+, [2M+Na]+, [M+2H]2+, [M+FA-H]-, [M]+ (an electron taken away), [M]-.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "chemistry/composition.h"
#include "chemistry/parse_result.h"

namespace zelm::chem {

class ElementTable;

constexpr double kElectronMass = 0.000548579909;  // u

// One group of an ion type: count times a formula, added (an adduct) or taken away (a loss). name is the group as
// written in the notation ("Na", "H2O", "FA"), formula what it stands for.
struct IonGroup {
  bool loss = false;
  long long count = 1;
  std::string name;
  Composition formula;
};

// The mass arithmetic of an ion type with the masses of its groups filled in, for converting many masses.
struct IonMassRule {
  int charge = 0;
  int multimer = 1;
  double shift = 0;  // mass of the adducts minus that of the losses

  // m/z = (n*M + shift - z*electron) / |z|, the electrons taken away (z > 0) or added (z < 0); M itself when z = 0.
  double MzOf(double neutralMass) const;
  // The inverse: M = (m/z * |z| - shift + z*electron) / n.
  double NeutralOf(double mz) const;
};

class IonType {
 public:
  IonType() = default;  // "M"

  // Groups are formulas in the usual notation or one of the names FA (formic acid, CH2O2), HAc or Hac (acetic acid,
  // C2H4O2), ACN (acetonitrile, C2H3N), MeOH (methanol, CH4O), TFA (trifluoroacetic acid, C2HF3O2), DMSO (C2H6OS).
  // With a table, the elements of the groups must be in it. The charge is 1 to 3 of either sign, n is 1 to 99,
  // a group's count 1 to 999.
  static Parsed<IonType> Parse(std::string_view text, const ElementTable* table = nullptr);

  int Charge() const { return charge_; }  // 0 only for "M"
  bool IsNeutral() const { return charge_ == 0; }
  int Multimer() const { return multimer_; }
  const std::vector<IonGroup>& Groups() const { return groups_; }
  // All added groups together, all groups taken away together.
  Composition Adducts() const;
  Composition Losses() const;
  // The notation again, groups as they were written: "[M+FA-H]-", "[2M+H]+", "M".
  std::string Notation() const;

  // The ion's composition, n*M + adducts - losses; nullopt (with the reason in *why) when a loss is more than what
  // n*M and the adducts hold.
  std::optional<Composition> IonFormula(const Composition& neutral, std::string* why = nullptr) const;

  // nullopt when the table lacks an element of a group.
  std::optional<IonMassRule> MassRule(const ElementTable& table) const;
  std::optional<double> MzOf(double neutralMass, const ElementTable& table) const;
  std::optional<double> NeutralOf(double mz, const ElementTable& table) const;

  // Same charge, n, adducts and losses (FA and CH2O2 are the same group).
  friend bool operator==(const IonType& a, const IonType& b) {
    return a.charge_ == b.charge_ && a.multimer_ == b.multimer_ && a.Adducts() == b.Adducts() &&
           a.Losses() == b.Losses();
  }

 private:
  int charge_ = 0;
  int multimer_ = 1;
  std::vector<IonGroup> groups_;
};

}  // namespace zelm::chem
