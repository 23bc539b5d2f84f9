// Which ion types a feature is searched as. Files that give only a feature's charge or ion mode leave its ion open;
// electrospray makes a handful of ions of most molecules, so such a feature is searched as every common ion of its
// polarity and the candidates of all of them are ranked together.
#pragma once

#include <string>
#include <vector>

#include "chemistry/element_table.h"
#include "chemistry/ion_type.h"
#include "rank/config.h"
#include "spectra/spectrum.h"

namespace zelm {

// The common singly charged ions of a polarity, [M+H]+ or [M-H]- first: positive [M+H]+, [M+Na]+, [M+K]+,
// [M+NH4]+, [M-H2O+H]+, [M]+; negative [M-H]-, [M+Cl]-, [M+FA-H]-, [M+CH3COOH-H]-, [M-H2O-H]-, [M]-. An ion whose
// group has an element the table lacks is left out. Empty for polarity 0.
std::vector<chem::IonType> CommonIons(int polarity, const chem::ElementTable& table);

// The ion types a feature is searched as:
// - the one its file gives; when that cannot be used, none, with the reason in *why
//   ("peaks.mgf line 3: the ion type "[M+Qq]+" cannot be used: ...");
// - else, when its polarity is unknown or the configuration names ion types (other than auto), the configuration's;
// - else, for a charge of 2 or 3, [M+zH]z+ or [M-zH]z- (the common ions are singly charged);
// - else every common ion of its polarity (--ion auto, and the default).
std::vector<chem::IonType> IonsOfFeature(const Feature& feature, const RankConfig& config, std::string* why);

}  // namespace zelm
