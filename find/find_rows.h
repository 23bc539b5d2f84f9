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

// The feature's rows into table: one per candidate, or one per MS/MS peak of each candidate. Formulas in Hill
// order, plain ASCII or with Unicode digits.
void CandidateRows(const Feature& feature, const RankResult& result, bool unicode, TableWriter& table);
void ExplainRows(const Feature& feature, const RankResult& result, bool unicode, TableWriter& table);

}  // namespace zelm
