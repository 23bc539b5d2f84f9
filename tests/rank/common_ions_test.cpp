// The ion types a feature is searched as when its file leaves the ion open, and the survey spectrum's evidence of the
// same molecule's other ions.
#include "rank/common_ions.h"

#include <gtest/gtest.h>

#include "rank/adduct_evidence.h"

namespace zelm {
namespace {

const RankConfig& Plain() {
  static const RankConfig config = *MakeConfig({}).config;
  return config;
}

std::string Names(const std::vector<chem::IonType>& ions) {
  std::string names;
  for (const auto& i : ions) names += i.Notation() + " ";
  return names;
}

RankConfig WithIons(const std::string& list) {
  RankOptions o;
  o.ions = list;
  return *MakeConfig(o).config;
}

chem::IonType Ion(const char* notation) { return *chem::IonType::Parse(notation); }

TEST(CommonIons, EachPolarityHasItsSixSinglyChargedIons) {
  const auto& table = Plain().table.table;
  EXPECT_EQ(Names(CommonIons(1, table)), "[M+H]+ [M+Na]+ [M+K]+ [M+NH4]+ [M-H2O+H]+ [M]+ ");
  EXPECT_EQ(Names(CommonIons(-1, table)), "[M-H]- [M+Cl]- [M+FA-H]- [M+CH3COOH-H]- [M-H2O-H]- [M]- ");
  EXPECT_TRUE(CommonIons(0, table).empty());
  EXPECT_NEAR(*CommonIons(-1, table)[3].MzOf(100, table), 100 + 60.021129 - 1.007276, 1e-5);
}

TEST(CommonIons, AutoStandsAloneInTheIonList) {
  auto made = [](const std::string& list) {
    RankOptions o;
    o.ions = list;
    return MakeConfig(o);
  };
  const MadeConfig upper = made(" AUTO ");
  ASSERT_TRUE(upper.config);
  EXPECT_TRUE(upper.config->autoIons && upper.config->ionsGiven);
  EXPECT_EQ(Names(upper.config->ions), "[M+H]+ ");
  EXPECT_FALSE(made("[M+Na]+").config->autoIons);
  EXPECT_FALSE(MakeConfig({}).config->autoIons);
  for (const char* mixed : {"[M+H]+, auto", "Auto,[M-H]-"}) {
    const MadeConfig m = made(mixed);
    ASSERT_FALSE(m.config) << mixed;
    EXPECT_EQ(m.problem->option + ": " + m.problem->message,
              "ion: --ion auto stands alone: it cannot be listed with other ion types");
  }
  EXPECT_FALSE(made("autom").config);  // not auto: an ion type that cannot be read
}

TEST(CommonIons, IonsOfAFeatureFromItsFileItsPolarityOrTheConfiguration) {
  const RankConfig listed = WithIons("[M+H]+,[2M+Na]+"), chosen = WithIons("auto");
  auto ions = [](const Feature& f, const RankConfig& c) {
    std::string why;
    const auto list = IonsOfFeature(f, c, &why);
    return list.empty() ? why : Names(list);
  };
  Feature f;
  f.mz = 200;
  EXPECT_EQ(ions(f, Plain()), "[M+H]+ ");  // polarity unknown
  EXPECT_EQ(ions(f, listed), "[M+H]+ [2M+Na]+ ");
  f.mode = IonMode::Negative;
  EXPECT_EQ(ions(f, Plain()), Names(CommonIons(-1, Plain().table.table)));
  EXPECT_EQ(ions(f, chosen), ions(f, Plain()));
  EXPECT_EQ(ions(f, listed), "[M+H]+ [2M+Na]+ ");
  f.charge = 1;  // the charge's sign wins over the mode
  EXPECT_EQ(ions(f, chosen).substr(0, 14), "[M+H]+ [M+Na]+");
  f.charge = -3;
  EXPECT_EQ(ions(f, chosen), "[M-3H]3- ");
  f.ion = "[M+K]+";
  EXPECT_EQ(ions(f, listed), "[M+K]+ ");
  f.ion = "[M+Qq]+";
  f.file = "run.mgf";
  f.line = 7;
  EXPECT_EQ(ions(f, chosen).rfind("run.mgf line 7: the ion type \"[M+Qq]+\" cannot be used: ", 0), 0u);
}

TEST(AdductFamily, EachHypothesisLooksWhereItsOwnMoleculesIonsLie) {
  const auto& table = Plain().table.table;
  const auto family = CommonIons(1, table);
  const double m = 194.080376, h = *Ion("[M+H]+").MzOf(m, table), na = *Ion("[M+Na]+").MzOf(m, table),
               k = *Ion("[M+K]+").MzOf(m, table);
  Spectrum survey;
  survey.msLevel = 1;
  // Unsorted; the [M+K]+ peak is below the noise (0.3 % of the base peak).
  survey.peaks = {{na, 400}, {k, 2}, {h, 1000}, {300, 50}};
  const Tolerance ppm5{5, 0};

  const AdductFamily onH(survey, h, family, table, ppm5);
  const AdductEvidence asH = onH.Of(m, Ion("[M+H]+"));
  EXPECT_EQ(asH.seen, 1);
  EXPECT_NEAR(asH.relativeIntensity, 0.4, 1e-12);
  EXPECT_TRUE(asH.ownMostIntense);
  const AdductEvidence hAsNa = onH.Of(*Ion("[M+Na]+").NeutralOf(h, table), Ion("[M+Na]+"));
  EXPECT_EQ(hAsNa.seen, 0);
  EXPECT_EQ(hAsNa.relativeIntensity, 0);
  // An ion type outside the family: every member is looked for, but the own peak is never one of them.
  ASSERT_EQ(onH.Member(Ion("[2M+H]+")), AdductFamily::kNone);
  EXPECT_EQ(onH.Of(m, AdductFamily::kNone).seen, 1);

  const AdductFamily onNa(survey, na, family, table, ppm5);
  const AdductEvidence asNa = onNa.Of(m, Ion("[M+Na]+"));
  EXPECT_EQ(asNa.seen, 1);
  EXPECT_NEAR(asNa.relativeIntensity, 2.5, 1e-12);
  EXPECT_FALSE(asNa.ownMostIntense);
  EXPECT_EQ(onNa.Of(*Ion("[M+H]+").NeutralOf(na, table), Ion("[M+H]+")).seen, 0);
  // 10 ppm off the [M+Na]+ position: outside a 5 ppm window.
  EXPECT_EQ(onH.Of(m + na * 1e-5, Ion("[M+H]+")).seen, 0);

  const AdductFamily missing(survey, 250, family, table, ppm5);  // no peak of its own
  EXPECT_EQ(missing.OwnIntensity(), 0);
  EXPECT_EQ(missing.Of(m, Ion("[M+K]+")).seen, 2);
  EXPECT_EQ(missing.Of(m, Ion("[M+K]+")).relativeIntensity, 0);
}

}  // namespace
}  // namespace zelm
