// How the evidence of a candidate adds up to its score: the weights and priors, a value held by each configuration
// (two rankings may weigh differently side by side).
//
// The score of a candidate is the sum of its parts, higher is better (a log-likelihood up to a constant):
// - the mass error as its share e of the tolerance (0 to 1): -massWeight e^2, a normal error whose standard deviation
//   is a tenth of the tolerance;
// - each soft rule broken: -softWeight;
// - the element prior: the rarest element present beyond C, H, N and O costs its elementCost, each further one
//   furtherElements of its own; and the ratio prior below;
// - the fit s (0 to 1) to measured isotope peaks: 2 ln(max(s, 0.01));
// - the MS/MS evidence: msmsWeight times the mean over the peaks (weighed from 0.5 to 1 by intensity) of the
//   log-likelihood ratio of the peak's explanation: a peak of the true formula is explained nine times in ten, one
//   at random with the candidate's chance.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace zelm {

// The elements the priors know apart; every other symbol is Other.
enum class ElementClass : unsigned char { Carbon, Hydrogen, Nitrogen, Oxygen, Sulfur, Phosphorus, Fluorine, Chlorine,
                                          Bromine, Iodine, Other };
constexpr size_t kElementClasses = 11;
ElementClass ClassOf(std::string_view symbol);

// The shape of the space of known organic molecules, as a prior on a formula's ratios to carbon: each N per C costs
// 1 / nitrogenScale, each O per C 1 / oxygenScale, hydrogen and halogens per C a normal curve around hydrogenMean;
// a formula without carbon costs noCarbon; each S and P atom beyond two together extraSulfurPhosphorus.
struct RatioPrior {
  double nitrogenScale = 0.2, oxygenScale = 0.5, hydrogenMean = 1.4, hydrogenWidth = 0.6, noCarbon = 5;
  double extraSulfurPhosphorus = 0.7;
  double furtherElements = 0.5;  // the share of its cost each rare element beyond the rarest costs
};

// The weights, as measured on records with known formulas (bench/massbank_eval may set others to try them).
struct ScoreModel {
  double massWeight = 50;
  double softWeight = 0.5;
  double msmsWeight = 1;
  double elementWeight = 1;  // times each element's cost
  RatioPrior ratio;
  // Roughly the natural logarithm of how much rarer known small molecules with the element are than those of C, H,
  // N and O alone, per ElementClass.
  std::array<double, kElementClasses> elementCost{0, 0, 0, 0, 2, 3, 3, 3, 4, 5, 0};

  // The prior of one element present (0 or below).
  double ElementPrior(ElementClass c) const { return -elementCost[static_cast<size_t>(c)] * elementWeight; }
  // The mass error, soft-rule and prior parts together.
  double Prior(double errorShare, int softBreaks, double elementPrior) const {
    return -massWeight * errorShare * errorShare - softWeight * softBreaks + elementPrior;
  }
};

// The isotope part of a fit s (0 to 1).
double IsotopePart(double fit);

// The candidates judged by each costly part: the isotope fit for the best kIsotopesJudged by the parts before it, the
// MS/MS evidence for the best kMsmsJudged by the parts before it; the rest are counted as fitting and explaining
// nothing, so that they cannot overtake a candidate that was judged.
constexpr size_t kMsmsJudged = 200;
constexpr size_t kIsotopesJudged = 2000;

}  // namespace zelm
