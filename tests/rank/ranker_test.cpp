// The ranking on features built by hand: its configuration's checks, the ion types it chooses, and the candidates it
// returns, asserted on their values.
#include "rank/ranker.h"

#include <gtest/gtest.h>

#include <cmath>
#include <set>

#include "chemistry/formula_notation.h"
#include "rank/msms_evidence.h"

namespace zelm {
namespace {

Ranker Make(RankOptions options) {
  MadeConfig made = MakeConfig(options);
  EXPECT_TRUE(made.config) << made.problem->message;
  return Ranker(std::move(*made.config));
}

Spectrum Of(int level, std::vector<Peak> peaks) {
  Spectrum s;
  s.msLevel = level;
  s.peaks = std::move(peaks);
  return s;
}

Feature At(double mz, std::vector<Peak> msms = {}, std::string ion = "") {
  Feature f;
  f.id = "f";
  f.mz = mz;
  f.ion = std::move(ion);
  if (!msms.empty()) f.ms2.push_back(Of(2, std::move(msms)));
  return f;
}

std::string Text(const chem::Composition& c) { return chem::ToAscii(c); }

const RankedCandidate* Of(const RankResult& r, const std::string& formula) {
  for (const RankedCandidate& c : r.candidates)
    if (Text(c.neutral) == formula) return &c;
  return nullptr;
}

TEST(RankConfig, EachOptionIsCheckedOnceAndAProblemNamesIt) {
  const MadeConfig plain = MakeConfig({});
  ASSERT_TRUE(plain.config);
  EXPECT_EQ(plain.config->tolerance.ppm, 5);
  EXPECT_EQ(plain.config->fragments.mda, 2);
  EXPECT_EQ(plain.config->ions.front().Notation(), "[M+H]+");
  EXPECT_FALSE(plain.config->ionsGiven);
  auto problem = [](auto change) {
    RankOptions o;
    change(o);
    const MadeConfig m = MakeConfig(o);
    EXPECT_FALSE(m.config);
    return m.problem ? m.problem->option + ": " + m.problem->message : std::string("none");
  };
  EXPECT_EQ(problem([](RankOptions& o) { o.resolution = 0; }),
            "resolution: the resolving power --resolution must be above 0");
  EXPECT_EQ(problem([](RankOptions& o) { o.ppm = 0; }), "ppm: the tolerance --ppm must be above 0");
  EXPECT_EQ(problem([](RankOptions& o) { o.ions = " , "; }), "ion: --ion names no ion type");
  EXPECT_EQ(problem([](RankOptions& o) { o.elements = "C0-5 Xx"; }).substr(0, 20), "elements: --elements");
  EXPECT_EQ(problem([](RankOptions& o) { o.msmsMda = -1; }), "msms_ppm: the MS/MS tolerances must not be below 0");
}

TEST(Ranker, IonTypesFromTheFeatureItsChargeItsModeOrTheConfiguration) {
  // (The mode alone gave [M-H]- before unknown ion types were searched as every common ion.)
  const Ranker plain = Make({});
  auto ions = [](const Ranker& r, Feature f) {
    std::string why;
    const auto list = r.IonsFor(f, &why);
    if (!list) return why;
    std::string names;
    for (const auto& i : *list) names += i.Notation() + " ";
    return names;
  };
  Feature f = At(200);
  EXPECT_EQ(ions(plain, f), "[M+H]+ ");
  // Only the ion mode: every common ion of it (an unknown ion type is searched as each).
  f.mode = IonMode::Negative;
  EXPECT_EQ(ions(plain, f), "[M-H]- [M+Cl]- [M+FA-H]- [M+CH3COOH-H]- [M-H2O-H]- [M]- ");
  f.charge = -2;
  EXPECT_EQ(ions(plain, f), "[M-2H]2- ");
  f.ion = "[M+Na]+";
  EXPECT_EQ(ions(plain, f), "[M+Na]+ ");
  f.ion = "[M+Qq]+";
  f.file = "run.mgf";
  f.line = 7;
  EXPECT_EQ(ions(plain, f).rfind("run.mgf line 7: the ion type \"[M+Qq]+\" cannot be used: ", 0), 0u);
  EXPECT_FALSE(plain.Rank(f).problem.empty());
  RankOptions given;
  given.ions = "[M+H]+,[M+Na]+";
  f.ion.clear();
  EXPECT_EQ(ions(Make(given), f), "[M+H]+ [M+Na]+ ");
}

TEST(Ranker, CaffeineFirstWithItsFiguresAndScoreParts) {
  RankOptions o;
  o.elements = "C0-10 H0-20 N0-5 O0-5";
  o.ppm = 2;
  const RankResult r = Make(o).Rank(At(195.087652));
  ASSERT_FALSE(r.candidates.empty());
  const RankedCandidate& c = r.candidates.front();
  EXPECT_EQ(Text(c.neutral), "C8H10N4O2");
  EXPECT_EQ(Text(c.ionFormula), "C8H11N4O2");
  EXPECT_EQ(c.rank, 1);
  EXPECT_NEAR(c.mzTheoretical, 195.087652, 1e-6);
  EXPECT_LT(std::fabs(c.errorPpm), 0.01);
  EXPECT_EQ(c.rdbe, 6);
  EXPECT_FALSE(c.isotopeScore || c.msmsExplained);
  EXPECT_NEAR(c.score, c.parts.mass + c.parts.rules + c.parts.prior + c.parts.isotopes + c.parts.msms, 1e-9);
  EXPECT_EQ(r.found.size(), 1u);
  EXPECT_EQ(static_cast<size_t>(r.found[0]), r.candidates.size());
  for (size_t k = 1; k < r.candidates.size(); ++k) EXPECT_GE(r.candidates[k - 1].score, r.candidates[k].score);
}

TEST(Ranker, PeaksWrittenToThousandthsMarkTheMassErrorAsCoarse) {
  RankOptions o;
  o.elements = "C0-12 H0-30 N0-6 O0-4";
  const Ranker ranker = Make(o);
  std::vector<double> priors;
  for (const auto& [msms, coarse] : {std::pair{std::vector<Peak>{{138.066, 100}, {110.071, 40}}, true},
                                     std::pair{std::vector<Peak>{{138.0662, 100}, {110.071, 40}}, false}}) {
    const RankResult r = ranker.Rank(At(195.0871, msms));
    const RankedCandidate* c = Of(r, "C8H10N4O2");
    ASSERT_TRUE(c);
    EXPECT_GT(c->evidence[Index(Term::MassShare)], 0);
    EXPECT_EQ(c->evidence[Index(Term::CoarseMassShare)], coarse ? c->evidence[Index(Term::MassShare)] : 0);
    EXPECT_EQ(c->evidence[Index(Term::CoarseMassShare2)], coarse ? c->evidence[Index(Term::MassShare2)] : 0);
    priors.push_back(c->parts.prior);
  }
  // The coarse terms are part of the mass error's share of the score, not of the formula's prior.
  EXPECT_DOUBLE_EQ(priors[0], priors[1]);
}

TEST(Ranker, MsmsPeaksLiftTheFormulaTheyComeFromAndNameTheirFragments) {
  // Between caffeine's [M+H]+ (2.8 ppm off) and C8H18OS2's (0.4 ppm off) the mass alone picks the sulfur compound;
  // caffeine's fragments pick caffeine.
  RankOptions o;
  o.elements = "C0-12 H0-30 N0-6 O0-4 S0-2";
  o.explain = true;
  const Ranker ranker = Make(o);
  EXPECT_EQ(Text(ranker.Rank(At(195.0871)).candidates.front().neutral), "C8H18OS2");
  const RankResult r = ranker.Rank(At(195.0871, {{138.06619, 100}, {110.07127, 40}}));
  ASSERT_LE(r.candidates.size(), 3u);  // explain keeps the best three
  const RankedCandidate& c = r.candidates.front();
  EXPECT_EQ(Text(c.neutral), "C8H10N4O2");
  EXPECT_GT(c.parts.msms, 0);
  EXPECT_EQ(c.msmsExplained, 1);
  ASSERT_EQ(c.fragments.size(), 2u);
  EXPECT_EQ(c.fragments[0].peak, 1u);  // by m/z
  EXPECT_EQ(Text(c.fragments[0].fragment), "C5H8N3");
  EXPECT_EQ(Text(c.fragments[1].fragment), "C6H8N3O");
  EXPECT_LT(std::fabs(c.fragments[1].errorPpm), 5);
  // Without the MS/MS judgement the mass decides again.
  o.msms = false;
  EXPECT_EQ(Text(Make(o).Rank(At(195.0871, {{138.06619, 100}})).candidates.front().neutral), "C8H18OS2");
}

TEST(Ranker, MeasuredIsotopesLiftTheFormulaWithTheirPattern) {
  // C6H4Cl2's radical cation against candidates of nearly its mass: its six carbons show at M+1, its two chlorines at
  // M+2 and M+4.
  RankOptions o;
  o.elements = "C0-10 H0-20 N0-4 O0-4 P0-2 Cl0-2";
  o.ppm = 10;
  const Ranker ranker = Make(o);
  Feature f = At(145.96845, {}, "[M]+");
  const RankResult without = ranker.Rank(f);
  f.isotopePeaks = {{145.96845, 100}, {146.97180, 6.5}, {147.96550, 63.9}, {149.96255, 10.2}};
  const RankResult with = ranker.Rank(f);
  EXPECT_EQ(Text(with.candidates.front().neutral), "C6H4Cl2");
  const RankedCandidate *fits = Of(with, "C6H4Cl2"), *not_ = Of(with, "C4H4O2P2"), *before = Of(without, "C4H4O2P2");
  ASSERT_TRUE(fits && not_ && before);
  EXPECT_GT(*fits->isotopeScore, 0.9);
  EXPECT_LT(*not_->isotopeScore, 0.1);
  EXPECT_FALSE(Of(without, "C6H4Cl2")->isotopeScore);
  EXPECT_FALSE(before->isotopeScore);
  EXPECT_GT(fits->parts.isotopes, not_->parts.isotopes + 5);
}

TEST(Ranker, AnIsotopePeakAsFarOffAsACoarseInstrumentPutsItStillFits) {
  // Caffeine's M+1 written 3 mDa below 13C, as an instrument that does not resolve 13C from 15N centroids it: beyond
  // the precursor's 10 ppm (2 mDa) but one peak of the pattern all the same.
  RankOptions o;
  o.elements = "C0-20 H0-40 N0-6 O0-6";
  o.ppm = 10;
  Feature f = At(195.0877, {}, "[M+H]+");
  f.isotopePeaks = {{195.0877, 100}, {196.0881, 10.2}};
  const RankResult r = Make(o).Rank(f);
  const RankedCandidate* caffeine = Of(r, "C8H10N4O2");
  ASSERT_TRUE(caffeine && caffeine->isotopeScore);
  EXPECT_GT(*caffeine->isotopeScore, 0.9);
}

TEST(Ranker, SpectraGiveTheEvidence) {
  // The isotope envelope cut from a survey spectrum (with another ion's peak beside it), and two MS/MS spectra merged.
  RankOptions o;
  o.elements = "C0-12 H0-30 N0-6 O0-4 P0-2 S0-2 Cl0-2";
  o.ppm = 10;
  const Ranker ranker = Make(o);
  Feature f = At(145.96845, {}, "[M]+");
  f.ms1.push_back(Of(1, {{120.1, 30}, {145.96845, 100}, {146.97180, 6.6}, {147.96550, 63.9}, {148.96886, 4.1},
                         {149.96255, 10.2}, {161.2, 50}}));
  const RankResult r = ranker.Rank(f);
  EXPECT_EQ(r.isotopePeaks.size(), 5u);
  EXPECT_EQ(Text(r.candidates.front().neutral), "C6H4Cl2");
  EXPECT_GT(*r.candidates.front().isotopeScore, 0.9);

  Feature g = At(195.0874, {{138.06619, 100}, {110.07127, 40}});
  g.ms2.push_back(Of(2, {{138.06620, 50}, {83.0600, 10}}));
  const RankResult merged = ranker.Rank(g);
  ASSERT_EQ(merged.msmsPeaks.size(), 3u);
  EXPECT_NEAR(merged.msmsPeaks[2].intensity, 2, 1e-9);  // each spectrum's base peak is 1
  EXPECT_EQ(Text(merged.candidates.front().neutral), "C8H10N4O2");
}

TEST(Ranker, TwoModelsRankSideBySide) {
  // The score model is the configuration's own: a ranking that weighs MS/MS heavily and one that ignores it, at once.
  RankOptions o;
  o.elements = "C0-12 H0-30 N0-6 O0-4 S0-2";
  RankOptions deaf = o;
  deaf.model = ScoreModel::BuiltIn();
  for (Evidence& w : deaf.model->weights)
    for (Term t : {Term::MsmsLlr, Term::MsmsIntensity, Term::MsmsPeaks, Term::MsmsChance, Term::MsmsConsistent,
                   Term::MsmsCommonLosses, Term::MsmsPlausible, Term::MsmsError})
      w[Index(t)] = 0;
  const Ranker hearing = Make(o), ignoring = Make(deaf);
  const Feature f = At(195.0871, {{138.06619, 100}, {110.07127, 40}});
  EXPECT_EQ(Text(hearing.Rank(f).candidates.front().neutral), "C8H10N4O2");
  EXPECT_EQ(Text(ignoring.Rank(f).candidates.front().neutral), "C8H18OS2");
}

TEST(ScoreModel, TheHandModelOrdersEachPartTheWayItShouldAndItsTableReadsBack) {
  const ScoreModel m = ScoreModel::Hand();
  auto score = [&](std::initializer_list<std::pair<Term, double>> terms) {
    Evidence x{};
    for (const auto& [t, v] : terms) x[Index(t)] = v;
    return m.Score(EvidenceKind::Both, x);
  };
  EXPECT_GT(score({{Term::MassShare2, 0.01}}), score({{Term::MassShare2, 0.25}}));
  EXPECT_GT(score({{Term::SoftRules, 0}}), score({{Term::SoftRules, 1}}));
  EXPECT_GT(m.ElementPrior(ClassOf("N")), m.ElementPrior(ClassOf("Br")));
  EXPECT_EQ(ClassOf("Cl"), ElementClass::Chlorine);
  EXPECT_EQ(ClassOf("Na"), ElementClass::Other);
  EXPECT_GT(score({{Term::IsotopeFit, std::log(0.9)}}), score({{Term::IsotopeFit, std::log(0.2)}}));
  // MS/MS: explained peaks count for a candidate, the more the less it explains by chance.
  MsmsEvidence good, poor, lucky;
  good.peaks = poor.peaks = lucky.peaks = 2;
  good.chance = poor.chance = 0.1;
  lucky.chance = 0.9;
  good.weights = {{1, 1}, {0.5, 1}};
  poor.weights = {{1, 1}, {0.5, 0}};
  lucky.weights = good.weights;
  EXPECT_GT(MsmsScore(good), MsmsScore(poor));
  EXPECT_GT(MsmsScore(good), MsmsScore(lucky));
  EXPECT_EQ(MsmsScore(MsmsEvidence()), 0);
  // Every term has a name of its own, and the table as written reads back; a bad line is named.
  std::set<std::string_view> names;
  for (size_t t = 0; t < kTerms; ++t) EXPECT_TRUE(names.insert(TermName(static_cast<Term>(t))).second) << t;
  EXPECT_EQ(names.count(""), 0u);
  std::string why;
  const auto again = ReadScoreModel(WriteScoreModel(m, "# hand\n"), &why);
  ASSERT_TRUE(again) << why;
  EXPECT_EQ(again->weights, m.weights);
  EXPECT_FALSE(ReadScoreModel("temperature 1\nboth mass_share2 x\n", &why));
  EXPECT_EQ(why, "line 2: the weight is no number");
  EXPECT_FALSE(ReadScoreModel("msms_only msms_llr above 0.5\n", &why));
  EXPECT_EQ(why, "line 1: the bend's weight is no number");
}

TEST(Ranker, ABendAddsItsWeightAboveItsKnotAndReadsBack) {
  ScoreModel m;
  m.weights[0][Index(Term::MassShare)] = -2;
  m.bends[0] = {{Term::MassShare, 0.5, -10}, {Term::MsmsLlr, 1, 3}};
  Evidence x{};
  x[Index(Term::MassShare)] = 0.25;
  EXPECT_DOUBLE_EQ(m.Score(EvidenceKind::MsmsOnly, x), -0.5);
  x[Index(Term::MassShare)] = 0.75;
  x[Index(Term::MsmsLlr)] = 2;
  EXPECT_DOUBLE_EQ(m.Score(EvidenceKind::MsmsOnly, x), -1.5 - 2.5 + 3);
  EXPECT_DOUBLE_EQ(m.Score(EvidenceKind::MsmsOnly, x, true), -1.5 - 2.5);  // MS/MS is no cheap term
  EXPECT_DOUBLE_EQ(m.TermScores(EvidenceKind::MsmsOnly, x)[Index(Term::MassShare)], -4);
  EXPECT_DOUBLE_EQ(m.Score(EvidenceKind::Ms1Only, x), 0);  // bends are the kind's own
  std::string why;
  const auto again = ReadScoreModel(WriteScoreModel(m, ""), &why);
  ASSERT_TRUE(again) << why;
  EXPECT_DOUBLE_EQ(again->Score(EvidenceKind::MsmsOnly, x), m.Score(EvidenceKind::MsmsOnly, x));
  EXPECT_EQ(again->bends[0].size(), 2u);
}

TEST(Ranker, ProbabilitiesOfAFeatureAddUpToAtMostOneAndFollowTheScore) {
  RankOptions o;
  o.ppm = 10;
  const RankResult all = Make(o).Rank(At(195.0874, {{138.06619, 100}, {110.07127, 40}}));
  o.top = 2;
  const RankResult two = Make(o).Rank(At(195.0874, {{138.06619, 100}, {110.07127, 40}}));
  ASSERT_GT(all.candidates.size(), 2u);
  double sum = 0;
  for (size_t k = 0; k < all.candidates.size(); ++k) {
    sum += all.candidates[k].probability;
    if (k > 0) {
      EXPECT_LE(all.candidates[k].probability, all.candidates[k - 1].probability);
    }
  }
  EXPECT_NEAR(sum, 1, 1e-9);
  // Shares of all the candidates, not only of those given.
  ASSERT_EQ(two.candidates.size(), 2u);
  EXPECT_DOUBLE_EQ(two.candidates[0].probability, all.candidates[0].probability);
  EXPECT_LT(two.candidates[0].probability + two.candidates[1].probability, 1);
}

}  // namespace
}  // namespace zelm

namespace zelm {
namespace {

// The terms of how elements come together, read off a phosphate, a P short of oxygen, a thiophosphate, a sulfide
// and a chlorine compound of nearly one mass.
TEST(Ranker, ElementTermsCountWhatTheFormulaHolds) {
  RankOptions o;
  o.elements = "C0-10 H0-20 N0-2 O0-8 P0-2 S0-2 Cl0-3 F0-3";
  o.ppm = 1;
  o.ions = "M";
  const Ranker ranker = Make(o);
  auto term = [&](const char* formula, Term t) {
    const double mass = *chem::ParseFormula(formula)->MonoisotopicMass(ranker.Config().table.table);
    const RankResult r = ranker.Rank(At(mass));
    const RankedCandidate* c = Of(r, formula);
    EXPECT_TRUE(c) << formula;
    return c ? c->evidence[Index(t)] : -1;
  };
  EXPECT_EQ(term("C2H7O4P", Term::PShortOfO), 0);   // O4 for one P
  EXPECT_EQ(term("C4H6O2P2", Term::PShortOfO), 4);  // six wanted, two held
  EXPECT_EQ(term("C2H7O2PS", Term::PShortOfO), 0);  // the S stands for an O
  EXPECT_EQ(term("C2H7O2PS", Term::SShortOfO), 0);  // with P, the S is the phosphate's
  EXPECT_EQ(term("C6H12S2", Term::SShortOfO), 2);
  EXPECT_DOUBLE_EQ(term("C6H12S2", Term::RdbePerC), 1.0 / 6);
  EXPECT_DOUBLE_EQ(term("C4H2F3NO", Term::NPerC2), 1.0 / 16);
  EXPECT_EQ(term("C5H8Cl2", Term::ClCount), 2);
  EXPECT_EQ(term("C5H8Cl2", Term::NoNitrogen), 1);
  EXPECT_EQ(term("C4H2F3NO", Term::FCount), 3);
  EXPECT_EQ(term("C4H2F3NO", Term::NoNitrogen), 0);
  EXPECT_EQ(term("C4H4N2O", Term::NBeyondO), 1);
  EXPECT_EQ(term("C4H2F3NO", Term::NBeyondO), 0);
  const double mass = *chem::ParseFormula("C2H7O4P")->MonoisotopicMass(ranker.Config().table.table);
  EXPECT_NEAR(term("C2H7O4P", Term::PMass), mass / 1000, 1e-12);
  EXPECT_EQ(term("C5H8Cl2", Term::PMass), 0);
  EXPECT_NEAR(term("C4H4N2O", Term::NTimesMass), 2 * 96.032 / 1000, 1e-5);
}

}  // namespace
}  // namespace zelm
