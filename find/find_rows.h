// zelm-find's rows of a ranked feature: one per candidate, or with --explain one per MS/MS peak of each candidate.
#pragma once

#include <string>
#include <vector>

#include "find/table_output.h"
#include "rank/candidate.h"
#include "spectra/spectrum.h"

namespace zelm {

const std::vector<std::string>& CandidateColumns();
const std::vector<std::string>& ExplainColumns();

// Appends the feature's rows to out in `format`, each after TableBetween when *anyRow; sets *anyRow once one is
// written. Formulas in Hill order, plain ASCII or with Unicode digits.
void AppendCandidateRows(TableFormat format, const Feature& feature, const RankResult& result, bool unicode,
                         std::string& out, bool* anyRow);
void AppendExplainRows(TableFormat format, const Feature& feature, const RankResult& result, bool unicode,
                       std::string& out, bool* anyRow);

}  // namespace zelm
