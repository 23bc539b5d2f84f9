#include "rank/common_ions.h"

#include <cstdlib>

namespace zelm {

namespace {

// The protonated or deprotonated molecule first: a caller that needs one ion of a polarity takes the first.
constexpr const char* kPositive[] = {"[M+H]+", "[M+Na]+", "[M+K]+", "[M+NH4]+", "[M-H2O+H]+", "[M]+"};
constexpr const char* kNegative[] = {"[M-H]-", "[M+Cl]-", "[M+FA-H]-", "[M+CH3COOH-H]-", "[M-H2O-H]-", "[M]-"};

// [M+zH]z+ or [M-zH]z- of a signed charge.
std::vector<chem::IonType> ProtonIon(int charge, const chem::ElementTable& table) {
  const int z = std::abs(charge);
  const std::string count = z == 1 ? "" : std::to_string(z);
  const std::string notation = charge > 0 ? "[M+" + count + "H]" + count + "+" : "[M-" + count + "H]" + count + "-";
  const auto ion = chem::IonType::Parse(notation, &table);
  if (!ion) return {};
  return {*ion};
}

}  // namespace

std::vector<chem::IonType> CommonIons(int polarity, const chem::ElementTable& table) {
  std::vector<chem::IonType> ions;
  if (polarity == 0) return ions;
  for (const char* notation : polarity > 0 ? kPositive : kNegative)
    if (const auto ion = chem::IonType::Parse(notation, &table)) ions.push_back(*ion);
  return ions;
}

std::vector<chem::IonType> IonsOfFeature(const Feature& f, const RankConfig& config, std::string* why) {
  const chem::ElementTable& table = config.table.table;
  if (!f.ion.empty()) {
    const auto parsed = chem::IonType::Parse(f.ion, &table);
    if (parsed) return {*parsed};
    if (why)
      *why = ReadProblem{f.file, f.line, "the ion type \"" + f.ion + "\" cannot be used: " + parsed.Error().message}
                 .Text();
    return {};
  }
  const int polarity = f.Polarity();
  if (polarity == 0 || (config.ionsGiven && !config.autoIons)) return config.ions;
  std::vector<chem::IonType> ions = std::abs(f.charge) > 1 ? ProtonIon(f.charge, table) : CommonIons(polarity, table);
  return ions.empty() ? config.ions : ions;  // empty only for a table without hydrogen
}

}  // namespace zelm
