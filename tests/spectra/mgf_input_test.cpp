#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spectra/feature_input.h"

namespace zelm {
namespace {

FeatureList Mgf(const std::string& bytes) { return ReadFeatures(bytes, InputFormat::Mgf, "f.mgf"); }

std::string Block(const std::string& fields, const std::string& peaks = "100 1\n") {
  return "BEGIN IONS\n" + fields + peaks + "END IONS\n";
}

std::vector<std::string> Texts(const FeatureList& list) {
  std::vector<std::string> texts;
  for (const ReadProblem& p : list.problems) texts.push_back(p.Text());
  return texts;
}

TEST(MgfInput, BlocksGroupByFeatureIdElseScansElseTitleElseAlone) {
  const auto list = Mgf(Block("FEATURE_ID=7\nSCANS=1\nPEPMASS=300\n") + Block("SCANS=1\nTITLE=x\nPEPMASS=200\n") +
                        Block("feature_id=7\nTITLE=y\n") + Block("TITLE=x\nPEPMASS=250\n") + Block("TITLE=x\n") + Block("PEPMASS=150.50\n") +
                        Block("PEPMASS=150.50\n") + Block("TITLE=7\nPEPMASS=70\n"));
  ASSERT_EQ(list.problems.size(), 0u);
  ASSERT_EQ(list.features.size(), 6u);
  EXPECT_EQ(list.features[0].id, "7");
  EXPECT_EQ(list.features[0].ms2.size(), 2u);  // FEATURE_ID before SCANS: the second block is not with it
  EXPECT_EQ(list.features[0].ms2[1].id, "y");
  EXPECT_EQ(list.features[1].id, "1");
  EXPECT_EQ(list.features[2].id, "x");  // a block without PEPMASS takes its feature's m/z
  EXPECT_DOUBLE_EQ(list.features[2].mz, 250);
  EXPECT_EQ(list.features[2].ms2.size(), 2u);
  EXPECT_EQ(list.features[3].id, "150.50");
  EXPECT_EQ(list.features[4].id, "150.50");  // alone: not grouped by the mass
  EXPECT_EQ(list.features[5].id, "7");       // a TITLE is not a FEATURE_ID
  EXPECT_DOUBLE_EQ(list.features[5].mz, 70);
}

TEST(MgfInput, LevelsAndSpectrumFields) {
  const auto list = Mgf("BEGIN IONS\nFEATURE_ID=1\nMSLEVEL=1\nPEPMASS=195.0877 3000\nCHARGE=1+\n195.0877 100\n"
                        "196.09 11\nEND IONS\n" +
                        Block("FEATURE_ID=1\nMSLEVEL=2\nPEPMASS=195.09\nCOLLISION_ENERGY=20 eV\nRTINSECONDS=61.5\n"
                              "TITLE=t\n",
                              "138.0662 100\n110.07\t20\n") +
                        Block("FEATURE_ID=1\nMSLEVEL=3\nPEPMASS=195.09\n"));
  ASSERT_EQ(list.features.size(), 1u);
  const Feature& f = list.features[0];
  EXPECT_DOUBLE_EQ(f.mz, 195.0877);  // the first block that gives it
  EXPECT_DOUBLE_EQ(f.intensity, 3000);
  EXPECT_EQ(f.line, 1);
  ASSERT_EQ(f.ms1.size(), 1u);
  ASSERT_EQ(f.ms2.size(), 2u);
  EXPECT_EQ(f.ms1[0].msLevel, 1);
  EXPECT_EQ(f.ms1[0].peaks.size(), 2u);
  const Spectrum& s = f.ms2[0];
  EXPECT_EQ(s.collisionEnergy, "20 eV");
  ASSERT_TRUE(s.retentionTime.has_value());
  EXPECT_DOUBLE_EQ(*s.retentionTime, 61.5);
  EXPECT_DOUBLE_EQ(s.precursorMz, 195.09);
  EXPECT_EQ(s.id, "t");
  EXPECT_EQ(s.line, 9);
  EXPECT_DOUBLE_EQ(s.peaks[1].mz, 110.07);
  EXPECT_EQ(f.ms2[1].msLevel, 3);
}

TEST(MgfInput, KeyAliasesCaseChargeAndIonMode) {
  const auto list = Mgf("begin ions\nTitle=a\nPrecursor_MZ=300\nIon_Type=[M-H]-\nPolarity=NEG\nend ions\n" +
                        Block("TITLE=b\nPEPMASS=310\nPRECURSOR_MZ=999\nCHARGE=0\nIONMODE=positive\n") +
                        Block("TITLE=c\nPEPMASS=320\nCHARGE=1\n") + Block("TITLE=c\nIONMODE=negative\n") +
                        Block("TITLE=d\nPEPMASS=330\nISOTOPES=330:100;331:20\nPRECURSOR_TYPE=[M+Na]+\n"));
  ASSERT_EQ(list.features.size(), 4u);
  EXPECT_DOUBLE_EQ(list.features[0].mz, 300);
  EXPECT_EQ(list.features[0].ion, "[M-H]-");
  EXPECT_EQ(list.features[0].mode, IonMode::Negative);
  EXPECT_EQ(list.features[0].charge, 0);
  EXPECT_DOUBLE_EQ(list.features[1].mz, 310);  // PEPMASS before PRECURSOR_MZ
  EXPECT_EQ(list.features[1].charge, 0);
  EXPECT_EQ(list.features[1].mode, IonMode::Positive);
  EXPECT_EQ(list.features[2].charge, -1);  // no sign written: the feature's ion mode gives it
  EXPECT_EQ(list.features[2].ms2[0].charge, -1);
  EXPECT_EQ(list.features[3].isotopePeaks.size(), 2u);
  EXPECT_EQ(list.features[3].ion, "[M+Na]+");
  EXPECT_EQ(list.features[3].mode, IonMode::Unknown);
}

TEST(MgfInput, ABlockWithAFaultIsReportedAtItsLineAndDropped) {
  const std::string mgf = "END IONS\n" +                                     // 1
                          Block("TITLE=a\nPEPMASS=100\nCHARGE=5+\n") +        // 2-7
                          Block("TITLE=b\nPEPMASS=100\n", "12 x\n") +        // 8-12
                          "BEGIN IONS\nTITLE=c\nPEPMASS=abc\n" +             // 13-15 (no END IONS before BEGIN)
                          Block("TITLE=d\nPEPMASS=100\n") +                  // 16-20
                          Block("TITLE=e\n") +                               // 21-24
                          Block("TITLE=f\nCHARGE=1+\nIONMODE=negative\nPEPMASS=1\n") +  // 25-31
                          "BEGIN IONS\nTITLE=g\nPEPMASS=100\n";              // 32-
  EXPECT_EQ(Texts(Mgf(mgf)),
            (std::vector<std::string>{"f.mgf line 1: END IONS without BEGIN IONS",
                                      "f.mgf line 5: CHARGE \"5+\" is not one of 1 to 3, + or -",
                                      "f.mgf line 11: the peak line \"12 x\" is not an m/z and an intensity",
                                      "f.mgf line 15: PEPMASS \"abc\" is not an m/z above 0",
                                      "f.mgf line 21: the block has no PEPMASS",
                                      "f.mgf line 27: CHARGE \"1+\" disagrees with IONMODE \"negative\"",
                                      "f.mgf line 32: the block has no END IONS"}));
  const auto list = Mgf(mgf);
  ASSERT_EQ(list.features.size(), 1u);
  EXPECT_EQ(list.features[0].id, "d");
  EXPECT_EQ(Texts(Mgf(Block("TITLE=a\nPEPMASS=1\n", "BEGIN IONS\n"))),
            (std::vector<std::string>{"f.mgf line 4: BEGIN IONS inside a block that has not ended",
                                      "f.mgf line 4: the block has no PEPMASS"}));
}

}  // namespace
}  // namespace zelm
