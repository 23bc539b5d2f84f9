// Fitting the score model on features with known formulas: a conditional logit (a softmax over each feature's
// candidates) of the evidence terms, with weights for each kind of evidence, found by Newton's method with a small
// ridge penalty; and its cross-validation, folds split by formula so that no formula is scored by a model fitted on
// it.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "rank/candidate.h"
#include "rank/score_model.h"

namespace zelm {

// One feature's judged candidates and which of them is right.
struct TrainingFeature {
  EvidenceKind kind = EvidenceKind::Neither;
  std::vector<Evidence> candidates;
  int right = -1;          // index into candidates; -1 when the right formula is not among them
  std::string formula;     // the right formula, for the folds
};

// The training feature of a ranked feature: its candidates judged by every costly part, `right` the one whose
// neutral formula reads as `formula` in Hill order (ASCII) and, with `ion` given, whose ion type has that IonTerm
// (a feature searched as every common ion: the true ion among them).
TrainingFeature TrainingOf(const RankResult& result, const std::string& formula, std::optional<Term> ion = {});

struct FitOptions {
  double ridge = 1;              // the penalty on the squared weights (of terms scaled to a unit spread)
  size_t minimumFeatures = 100;  // a kind with fewer features gets the weights fitted on all features
};

// The model fitted on the features, the element priors of `base` kept.
ScoreModel FitModel(const std::vector<TrainingFeature>& features, const ScoreModel& base, const FitOptions& options);

// The fold of a formula (0 to folds - 1), from a hash of its text.
size_t FoldOf(const std::string& formula, size_t folds);

// How a model ranks held-out features: the rank of the right formula among each feature's candidates (0 when it is
// not among them) and the probability of the candidate ranked first and whether it is right.
struct HeldOut {
  EvidenceKind kind = EvidenceKind::Neither;
  size_t rank = 0;
  double firstProbability = 0;
};
HeldOut Score(const ScoreModel& model, const TrainingFeature& feature);

// Each feature scored by a model fitted on the folds it is not in.
std::vector<HeldOut> CrossValidate(const std::vector<TrainingFeature>& features, size_t folds, const ScoreModel& base,
                                   const FitOptions& options);

}  // namespace zelm
