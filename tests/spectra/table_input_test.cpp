#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spectra/feature_input.h"

namespace zelm {
namespace {

std::vector<std::string> Texts(const FeatureList& list) {
  std::vector<std::string> texts;
  for (const ReadProblem& p : list.problems) texts.push_back(p.Text());
  return texts;
}

TEST(TableInput, PlainTextSkipsTheLinesItCannotReadAndGoesOn) {
  const auto list = ReadFeatures("# run\n195.0877\nabc\n138.0662  1200 # frag\r\n195 1 2\n60,5\n", InputFormat::Text,
                                 "peaks.txt");
  ASSERT_EQ(list.features.size(), 3u);
  EXPECT_EQ(list.features[0].id, "195.0877");
  EXPECT_EQ(list.features[1].line, 4);
  EXPECT_DOUBLE_EQ(list.features[1].intensity, 1200);
  EXPECT_EQ(list.features[2].file, "peaks.txt");
  EXPECT_TRUE(list.features[2].ms2.empty());
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"peaks.txt line 3: the m/z \"abc\" is not a number above 0",
                                                    "peaks.txt line 5: more than an m/z and an intensity"}));
}

TEST(TableInput, ChargeZeroIsUnknownAndTheIonModeColumnGivesTheSign) {
  const auto list = ReadFeatures(
      "ID,m/z,charge,Polarity,adduct\n"
      "a,195.0877,0,Positive,[M+H]+\n"
      "b,193.07,1,NEG,\n"
      "c,200,2+,,\n"
      "d,201,1+,-,\n"
      "e,202,,sideways,\n"
      "f,203,,,\n",
      InputFormat::Csv, "t.csv");
  ASSERT_EQ(list.features.size(), 4u);
  EXPECT_EQ(list.features[0].charge, 0);
  EXPECT_EQ(list.features[0].mode, IonMode::Positive);
  EXPECT_EQ(list.features[0].ion, "[M+H]+");
  EXPECT_EQ(list.features[1].charge, -1);  // written without a sign: the mode's
  EXPECT_EQ(list.features[1].mode, IonMode::Negative);
  EXPECT_EQ(list.features[2].mode, IonMode::Positive);  // from the charge
  EXPECT_EQ(list.features[3].id, "f");
  EXPECT_EQ(list.features[3].mode, IonMode::Unknown);
  EXPECT_EQ(Texts(list),
            (std::vector<std::string>{"t.csv line 5: the charge \"1+\" disagrees with the ion mode \"-\"",
                                      "t.csv line 6: the ion mode \"sideways\" is not positive or negative"}));
}

TEST(TableInput, TsvIsotopesAndAHeaderWithoutMz) {
  const auto list = ReadFeatures("mz\tionmode\tisotopes\n195.0877\tneg\t195.09:100;196.09:11\n", InputFormat::Tsv, "t");
  ASSERT_EQ(list.features.size(), 1u);
  ASSERT_EQ(list.features[0].isotopePeaks.size(), 2u);
  EXPECT_DOUBLE_EQ(list.features[0].isotopePeaks[1].intensity, 11);
  EXPECT_EQ(list.features[0].line, 2);
  EXPECT_EQ(Texts(ReadFeatures("\nmass,id\n1,a\n", InputFormat::Csv, "t")),
            (std::vector<std::string>{"t line 2: the header names no m/z column (mz, m/z or precursor_mz)"}));
}

}  // namespace
}  // namespace zelm
