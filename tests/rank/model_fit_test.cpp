// Fitting the score model on synthetic features whose right candidate is told apart by known terms.
#include "rank/model_fit.h"

#include <gtest/gtest.h>

#include <random>

namespace zelm {
namespace {

// Features of five candidates each: the right one closer in mass (smaller mass_share2) and explaining more MS/MS
// intensity, on average; msms_chance is noise.
std::vector<TrainingFeature> Synthetic(size_t count, unsigned seed) {
  std::mt19937 random(seed);
  std::uniform_real_distribution<double> u(0, 1);
  std::vector<TrainingFeature> out;
  for (size_t i = 0; i < count; ++i) {
    TrainingFeature f;
    f.kind = EvidenceKind::MsmsOnly;
    f.formula = "C" + std::to_string(i + 1);
    f.right = static_cast<int>(i % 5);
    for (int k = 0; k < 5; ++k) {
      Evidence x{};
      const bool right = k == f.right;
      x[Index(Term::MassShare2)] = right ? 0.3 * u(random) : u(random);
      x[Index(Term::MsmsIntensity)] = right ? 0.5 + 0.5 * u(random) : 0.8 * u(random);
      x[Index(Term::MsmsChance)] = u(random);
      f.candidates.push_back(x);
    }
    out.push_back(f);
  }
  return out;
}

TEST(ModelFit, TheWeightsPointTheWayTheEvidenceDoesAndHeldOutFeaturesRankWell) {
  const std::vector<TrainingFeature> features = Synthetic(400, 7);
  const ScoreModel model = FitModel(features, ScoreModel::Hand(), FitOptions{});
  const Evidence& w = model.Weights(EvidenceKind::MsmsOnly);
  EXPECT_LT(w[Index(Term::MassShare2)], -1);
  EXPECT_GT(w[Index(Term::MsmsIntensity)], 1);
  EXPECT_LT(std::fabs(w[Index(Term::MsmsChance)]), std::fabs(w[Index(Term::MsmsIntensity)]) / 3);
  // Too few features of a kind: the weights fitted on all of them.
  EXPECT_EQ(model.Weights(EvidenceKind::Both), w);

  const std::vector<HeldOut> held = CrossValidate(features, 5, ScoreModel::Hand(), FitOptions{});
  size_t first = 0;
  double stated = 0;
  for (const HeldOut& h : held) {
    first += h.rank == 1;
    stated += h.firstProbability;
    EXPECT_GE(h.rank, 1u);
    EXPECT_LE(h.firstProbability, 1);
  }
  // Most are first, and the stated probabilities are about as often right as they say.
  EXPECT_GT(first, 300u);
  EXPECT_NEAR(stated / 400, static_cast<double>(first) / 400, 0.05);
}

// A mass error that costs nothing up to half the tolerance and rules a candidate out beyond it: the fit bends the
// term's weight, which a straight weight cannot follow.
TEST(ModelFit, AnEffectThatSetsInPartWayBendsTheWeight) {
  std::mt19937 random(3);
  std::uniform_real_distribution<double> u(0, 1);
  std::vector<TrainingFeature> features(300);
  for (size_t i = 0; i < features.size(); ++i) {
    TrainingFeature& f = features[i];
    f.kind = EvidenceKind::MsmsOnly;
    f.formula = "C" + std::to_string(i + 1);
    for (int k = 0; k < 6; ++k) {
      Evidence x{};
      x[Index(Term::MassShare)] = u(random);
      if (f.right < 0 && x[Index(Term::MassShare)] < 0.5 && k >= 2) f.right = k;
      f.candidates.push_back(x);
    }
    if (f.right < 0) f.right = 5, f.candidates[5][Index(Term::MassShare)] = 0.5 * u(random);
  }
  const ScoreModel model = FitModel(features, ScoreModel::Hand(), FitOptions{});
  EXPECT_FALSE(model.Bends(EvidenceKind::MsmsOnly).empty());
  auto at = [&](double share) {
    Evidence x{};
    x[Index(Term::MassShare)] = share;
    return model.Score(EvidenceKind::MsmsOnly, x);
  };
  // A straight weight would fall as much from 0.7 to 0.9 as from 0.1 to 0.3.
  EXPECT_LT(at(0.9) - at(0.7), at(0.3) - at(0.1) - 2);
}

TEST(ModelFit, FoldsFollowTheFormulaAndAFeatureWithoutItsRightCandidateIsNoRank) {
  EXPECT_EQ(FoldOf("C8H10N4O2", 5), FoldOf("C8H10N4O2", 5));
  EXPECT_LT(FoldOf("C9H8O4", 5), 5u);
  TrainingFeature lost;
  lost.kind = EvidenceKind::Ms1Only;
  lost.candidates.resize(3);
  const HeldOut h = Score(ScoreModel::Hand(), lost);
  EXPECT_EQ(h.rank, 0u);
  EXPECT_NEAR(h.firstProbability, 1.0 / 3, 1e-12);  // three candidates alike
}

}  // namespace
}  // namespace zelm
