// How the evidence of a candidate adds up to its score: a linear model over the evidence terms (rank/evidence_terms.h)
// with weights for each kind of evidence a feature brings (MS/MS only, MS1 only, both, neither), fitted on features
// with known formulas as a conditional logit: a candidate's probability is its share exp(score) among all of its
// feature's candidates. A model is a value held by each configuration (two rankings may weigh differently side by
// side). The built-in one is read from the fitted table data/score_model.txt; without it the hand-set weights hold.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "rank/evidence_terms.h"

namespace zelm {

// The elements the priors know apart; every other symbol is Other.
enum class ElementClass : unsigned char { Carbon, Hydrogen, Nitrogen, Oxygen, Sulfur, Phosphorus, Fluorine, Chlorine,
                                          Bromine, Iodine, Other };
constexpr size_t kElementClasses = 11;
ElementClass ClassOf(std::string_view symbol);

// The shape of the space of known organic molecules, as a prior on a formula's ratios to carbon (the element_prior
// term): each N per C costs 1 / nitrogenScale, each O per C 1 / oxygenScale, hydrogen and halogens per C a normal
// curve around hydrogenMean; a formula without carbon costs noCarbon; each S and P atom beyond two together
// extraSulfurPhosphorus.
struct RatioPrior {
  double nitrogenScale = 0.2, oxygenScale = 0.5, hydrogenMean = 1.4, hydrogenWidth = 0.6, noCarbon = 5;
  double extraSulfurPhosphorus = 0.7;
  double furtherElements = 0.5;  // the share of its cost each rare element beyond the rarest costs
};

// A bend in a term's weight: above `knot` the term weighs `weight` more, so that the score gains
// weight * Above(x). Two bends let a term count differently over its range (a mass error within a tenth of the
// tolerance against one beyond it) at two numbers each.
struct Bend {
  Term term = Term::Count;
  double knot = 0, weight = 0;
  // How far the term lies above the knot: max(0, x - knot).
  double Above(const Evidence& x) const { return std::max(0.0, x[Index(term)] - knot); }
};

struct ScoreModel {
  RatioPrior ratio;
  // Roughly the natural logarithm of how much rarer known small molecules with the element are than those of C, H,
  // N and O alone, per ElementClass.
  std::array<double, kElementClasses> elementCost{0, 0, 0, 0, 2, 3, 3, 3, 4, 5, 0};
  std::array<Evidence, kEvidenceKinds> weights{};
  std::array<std::vector<Bend>, kEvidenceKinds> bends{};
  double temperature = 1;  // probabilities are softmax(score / temperature)

  // The hand-set weights: the mass error as a normal error whose standard deviation is a tenth of the tolerance,
  // half a point a soft rule, the element prior, twice the log of the isotope fit, the MS/MS log-likelihood ratio.
  static ScoreModel Hand();
  // The fitted table built into the program, else Hand(): the one fitted with a list of known formulas, or the one
  // fitted without (a model fitted with the list leans on it, and ranks worse than this one when it is missing).
  static const ScoreModel& BuiltIn(bool knownFormulas = true);

  double ElementPrior(ElementClass c) const { return -elementCost[static_cast<size_t>(c)]; }
  const Evidence& Weights(EvidenceKind k) const { return weights[static_cast<size_t>(k)]; }
  const std::vector<Bend>& Bends(EvidenceKind k) const { return bends[static_cast<size_t>(k)]; }
  // The score of a candidate's terms; with cheapOnly the terms every candidate gets.
  double Score(EvidenceKind k, const Evidence& x, bool cheapOnly = false) const;
  // What each term adds to the score, its bends included.
  Evidence TermScores(EvidenceKind k, const Evidence& x) const;
};

// A model's table: "#" comment lines, "temperature T", lines "KIND TERM WEIGHT" (kinds msms_only, ms1_only, both,
// neither; terms as TermName; terms not named weigh 0) and bends "KIND TERM above KNOT WEIGHT". Nullopt with *why
// naming the line that cannot be read.
std::optional<ScoreModel> ReadScoreModel(std::string_view text, std::string* why);
std::string WriteScoreModel(const ScoreModel& model, std::string_view header);

// The candidates judged by each costly part: the isotope fit for the best kIsotopesJudged by the cheap terms, the
// MS/MS evidence for the best kMsmsJudged; the rest get the lowest costly part of a judged candidate, so that they
// cannot overtake one that was judged.
constexpr size_t kMsmsJudged = 50;
constexpr size_t kIsotopesJudged = 300;

}  // namespace zelm
