#include "rank/evidence_terms.h"

#include <string>

namespace zelm {

std::string_view TermName(Term t) {
  static constexpr std::array<std::string_view, kTerms> kNames = {
      "mass_share",     "mass_share2",   "recalibrated_share2", "coarse_mass_share", "coarse_mass_share2",
      "soft_rules",   "element_prior", "has_s",
      "has_p",          "has_f",         "has_cl",              "has_br",       "has_i",         "rare_kinds",
      "extra_sp",       "n_per_c",       "o_per_c",             "halogen_per_c", "hydrogen_shape", "no_carbon",
      "rdbe",           "cl_count",      "f_count",             "p_short_of_o", "s_short_of_o",  "no_nitrogen",
      "n_per_c2",       "o_per_c2",      "rdbe_per_c",          "n_beyond_o", "n_times_mass", "p_mass", "known_formula",
      "isotope_fit",    "isotope_m1",    "isotope_m1_tail",     "isotope_m2",   "isotope_m2_tail",
      "isotope_shift1_tail", "isotope_shift2", "isotope_shift2_tail", "msms_llr",
      "msms_intensity", "msms_peaks",    "msms_chance",
      "msms_consistent", "msms_common_losses", "msms_plausible", "msms_error",   "ion_sodium",    "ion_potassium",
      "ion_ammonium",   "ion_water_loss", "ion_radical",        "ion_chloride", "ion_formate",   "ion_acetate",
      "ion_other",      "other_ions_seen", "adduct_mark"};
  return kNames[Index(t)];
}

std::string_view KindName(EvidenceKind k) {
  static constexpr std::array<std::string_view, kEvidenceKinds> kNames = {"msms_only", "ms1_only", "both", "neither"};
  return kNames[static_cast<size_t>(k)];
}

EvidenceKind KindOf(bool isotopes, bool msms) {
  if (isotopes && msms) return EvidenceKind::Both;
  if (isotopes) return EvidenceKind::Ms1Only;
  return msms ? EvidenceKind::MsmsOnly : EvidenceKind::Neither;
}

Term IonTerm(const chem::IonType& ion) {
  const std::string n = ion.Notation();
  if (n == "[M+H]+" || n == "[M-H]-" || n == "M") return Term::Count;
  if (n == "[M+Na]+") return Term::IonSodium;
  if (n == "[M+K]+") return Term::IonPotassium;
  if (n == "[M+NH4]+") return Term::IonAmmonium;
  if (n == "[M-H2O+H]+" || n == "[M-H2O-H]-" || n == "[M+H-H2O]+" || n == "[M-H-H2O]-") return Term::IonWaterLoss;
  if (n == "[M]+" || n == "[M]-") return Term::IonRadical;
  if (n == "[M+Cl]-") return Term::IonChloride;
  if (n == "[M+FA-H]-" || n == "[M+HCOOH-H]-" || n == "[M+CH2O2-H]-" || n == "[M+HCOO]-") return Term::IonFormate;
  if (n == "[M+CH3COOH-H]-" || n == "[M+HAc-H]-" || n == "[M+C2H4O2-H]-" || n == "[M+CH3COO]-")
    return Term::IonAcetate;
  return Term::IonOther;
}

}  // namespace zelm
