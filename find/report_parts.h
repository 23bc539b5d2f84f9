// The pieces of a feature's section in the report (see find/report_html.h), each written into out: its best
// candidates side by side, and its two spectra with their captions (or a line saying why there is no picture).
#pragma once

#include <string>
#include <string_view>

#include "chemistry/composition.h"
#include "find/report_html.h"

namespace zelm {

inline constexpr std::string_view kReportDash = "\xE2\x80\x94";  // what a figure that does not exist shows
inline constexpr std::string_view kReportDot = " \xC2\xB7 ";     // between the items of a line

// A charge as superscript (⁺, ²⁻; nothing for 0), and a formula in Unicode with it: C₆H₅⁺, C₁₀H₁₈N₂²⁺.
std::string ChargeText(int charge);
std::string IonFormulaText(const chem::Composition& formula, int charge);
// "no peak", "1 peak", "3 peaks".
void AppendPlural(std::string& out, size_t n, std::string_view one, std::string_view many);
// A probability to three decimals; one that would read 0 but is not reads "<0.001".
void AppendProbability(std::string& out, double p);
// The charge of the candidate's ion type (0 when it names none of the result's ion types).
int ChargeOf(const RankResult& result, const RankedCandidate& candidate);

// The first `shown` candidates of result (at least one), one column each, one row per figure.
void CandidateTable(std::string& out, const RankResult& result, size_t shown);
// The measured isotope peaks beside the pattern of the best candidate (none drawn when shown is 0).
void IsotopeBlock(std::string& out, const Feature& feature, const RankResult& result, size_t shown,
                  const ReportSettings& settings);
// The MS/MS spectrum with the peaks the best candidate's fragments explain (none when shown is 0).
void MsmsBlock(std::string& out, const Feature& feature, const RankResult& result, size_t shown);

}  // namespace zelm
