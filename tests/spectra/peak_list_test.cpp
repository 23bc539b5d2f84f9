// Peak lists as zelm-find has always read them: plain text, tables, MGF, and measured isotope peaks.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "spectra/feature_input.h"

namespace zelm {
namespace {

// The features of bytes; the first problem into *problem, or a failure when none was expected.
std::vector<Feature> Read(const std::string& bytes, InputFormat format, std::string* problem = nullptr) {
  FeatureList list = ReadFeatures(bytes, format, "peaks");
  const std::string first = list.problems.empty() ? "" : list.problems.front().Text();
  if (problem) *problem = first;
  else if (!first.empty()) ADD_FAILURE() << first;
  return list.features;
}

TEST(FeatureInput, PlainTextLinesCommentsAndIntensities) {
  const auto q = Read("# a run\n195.0877\n\n138.0662  1200 # the fragment\r\n 60,5\r\n", InputFormat::Text);
  ASSERT_EQ(q.size(), 3u);
  EXPECT_EQ(q[0].id, "195.0877");
  EXPECT_DOUBLE_EQ(q[0].mz, 195.0877);
  EXPECT_DOUBLE_EQ(q[1].intensity, 1200);
  EXPECT_EQ(q[1].line, 4);
  EXPECT_DOUBLE_EQ(q[2].mz, 60);
  std::string problem;
  Read("195\nabc\n", InputFormat::Text, &problem);
  EXPECT_EQ(problem, "peaks line 2: the m/z \"abc\" is not a number above 0");
  Read("195 1 2\n", InputFormat::Text, &problem);
  EXPECT_EQ(problem, "peaks line 1: more than an m/z and an intensity");
  Read("-5\n", InputFormat::Text, &problem);
  EXPECT_NE(problem, "");
  Read("nan\n", InputFormat::Text, &problem);
  EXPECT_NE(problem, "");
}

TEST(FeatureInput, TablesFindTheirColumnsByNameAndKeepQuotedFields) {
  const auto q = Read("ID,Intensity,precursor_mz,adduct\r\n\"caf, 1\",5,195.0877,[M+H]+\r\nx2,,217.069,\"[M+Na]+\"\r\n",
                      InputFormat::Csv);
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].id, "caf, 1");
  EXPECT_DOUBLE_EQ(q[0].mz, 195.0877);
  EXPECT_EQ(q[0].ion, "[M+H]+");
  EXPECT_EQ(q[1].ion, "[M+Na]+");
  EXPECT_EQ(q[1].intensity, 0);
  const auto t = Read("m/z\tion\tcharge\n195.0877\t[M+2H]2+\t2+\n97.5\t\t\n", InputFormat::Tsv);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].charge, 2);
  EXPECT_EQ(t[1].id, "97.5");  // no id column: the mass text
  std::string problem;
  Read("mass,id\n1,a\n", InputFormat::Csv, &problem);
  EXPECT_EQ(problem, "peaks line 1: the header names no m/z column (mz, m/z or precursor_mz)");
  Read("mz\n195\n\nx\n", InputFormat::Csv, &problem);
  EXPECT_EQ(problem, "peaks line 4: the m/z \"x\" is not a number above 0");
  EXPECT_TRUE(Read("", InputFormat::Csv).empty());
}

TEST(FeatureInput, SplitDelimitedQuotes) {
  EXPECT_EQ(SplitDelimited("a,\"b,\"\"c\"\"\",,d", ','), (std::vector<std::string>{"a", "b,\"c\"", "", "d"}));
  EXPECT_EQ(SplitDelimited("a\t\"b\"\t", '\t'), (std::vector<std::string>{"a", "\"b\"", ""}));
}

TEST(FeatureInput, MgfBlocksWithTheirPeaks) {
  const std::string mgf =
      "COM=global\nBEGIN IONS\nTITLE=rec 1\nPEPMASS=195.0877 3000\nCHARGE=1+\nADDUCT=[M+H]+\n138.0662 100\n"
      "110.07\t20\nEND IONS\n\nBEGIN IONS\nPEPMASS=193.07\nCHARGE=1-\nION=[M-H]-\nEND IONS\n";
  const auto q = Read(mgf, InputFormat::Mgf);
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].id, "rec 1");
  EXPECT_DOUBLE_EQ(q[0].intensity, 3000);
  EXPECT_EQ(q[0].charge, 1);
  ASSERT_EQ(q[0].ms2.front().peaks.size(), 2u);
  EXPECT_DOUBLE_EQ(q[0].ms2.front().peaks[1].mz, 110.07);
  EXPECT_EQ(q[1].id, "193.07");
  EXPECT_EQ(q[1].charge, -1);
  EXPECT_EQ(q[1].ion, "[M-H]-");
  std::string problem;
  Read("BEGIN IONS\nTITLE=a\nEND IONS\n", InputFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 1: the block has no PEPMASS");
  Read("BEGIN IONS\nPEPMASS=100\n12 x\nEND IONS\n", InputFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 3: the peak line \"12 x\" is not an m/z and an intensity");
  Read("BEGIN IONS\nPEPMASS=100\n", InputFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 1: the block has no END IONS");
  Read("END IONS\n", InputFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 1: END IONS without BEGIN IONS");
  Read("BEGIN IONS\nPEPMASS=100\nCHARGE=5+\nEND IONS\n", InputFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 3: CHARGE \"5+\" is not one of 1 to 3, + or -");
}

TEST(FeatureInput, FormatFromTheFileNameOrItsName) {
  EXPECT_EQ(FormatOfFile("run.MGF"), InputFormat::Mgf);
  EXPECT_EQ(FormatOfFile("a/b.csv"), InputFormat::Csv);
  EXPECT_EQ(FormatOfFile("x.tsv"), InputFormat::Tsv);
  EXPECT_EQ(FormatOfFile("c.ms"), InputFormat::Ms);
  EXPECT_EQ(FormatOfFile("run.mzML"), InputFormat::MzML);
  EXPECT_EQ(FormatOfFile("run.mzxml"), InputFormat::MzXML);
  EXPECT_EQ(FormatOfFile("d.ms/x"), InputFormat::Text);
  EXPECT_EQ(FormatOfFile("-"), InputFormat::Text);
  EXPECT_EQ(FormatNamed("json"), std::nullopt);
}

TEST(IsotopePeaks, ReadFromMzColonIntensity) {
  std::vector<Peak> peaks;
  std::string why;
  ASSERT_TRUE(ParseIsotopePeaks(" 181.0707:100; 182.074 : 6.8;183.075:1.3e0;", peaks, &why)) << why;
  ASSERT_EQ(peaks.size(), 3u);
  EXPECT_DOUBLE_EQ(peaks[0].mz, 181.0707);
  EXPECT_DOUBLE_EQ(peaks[0].intensity, 100);
  EXPECT_DOUBLE_EQ(peaks[1].mz, 182.074);
  EXPECT_DOUBLE_EQ(peaks[1].intensity, 6.8);
  EXPECT_DOUBLE_EQ(peaks[2].intensity, 1.3);
  ASSERT_TRUE(ParseIsotopePeaks("", peaks, &why));
  EXPECT_TRUE(peaks.empty());

  peaks = {{1, 1}};
  EXPECT_FALSE(ParseIsotopePeaks("181.07:100;182.07", peaks, &why));
  EXPECT_EQ(why, "the peak \"182.07\" is not m/z:intensity");
  EXPECT_EQ(peaks.size(), 1u);  // unchanged
  EXPECT_FALSE(ParseIsotopePeaks("abc:100", peaks, &why));
  EXPECT_EQ(why, "the m/z \"abc\" is not a number above 0");
  EXPECT_FALSE(ParseIsotopePeaks("-5:100", peaks, &why));
  EXPECT_EQ(why, "the m/z \"-5\" is not a number above 0");
  EXPECT_FALSE(ParseIsotopePeaks("181:0", peaks, &why));
  EXPECT_EQ(why, "the intensity \"0\" is not a number above 0");
  EXPECT_FALSE(ParseIsotopePeaks("181:1:2", peaks, &why));
  EXPECT_EQ(why, "the intensity \"1:2\" is not a number above 0");
}

TEST(IsotopePeaks, TheInputsColumnAndFieldAreReadAndABadOneIsAProblem) {
  std::string problem;
  auto q = Read("id,mz,isotopes\na,181.0707,181.0707:100;182.074:6.8\nb,195.0877,\n", InputFormat::Csv);
  ASSERT_EQ(q.size(), 2u);
  ASSERT_EQ(q[0].isotopePeaks.size(), 2u);
  EXPECT_DOUBLE_EQ(q[0].isotopePeaks[1].mz, 182.074);
  EXPECT_TRUE(q[1].isotopePeaks.empty());
  Read("mz\tisotopes\n181.07\t181.07:100\n182\t182:x\n", InputFormat::Tsv, &problem);
  EXPECT_EQ(problem, "peaks line 3: the isotopes \"182:x\" cannot be read: the intensity \"x\" is not a number above 0");
  q = Read("BEGIN IONS\nPEPMASS=181.0707\nISOTOPES=181.0707:100;182.074:6.8\nEND IONS\n", InputFormat::Mgf);
  ASSERT_EQ(q.size(), 1u);
  EXPECT_EQ(q[0].isotopePeaks.size(), 2u);
  Read("BEGIN IONS\nPEPMASS=181.0707\nISOTOPES=181.0707;182\nEND IONS\n", InputFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 3: ISOTOPES \"181.0707;182\" cannot be read: the peak \"181.0707\" is not "
                     "m/z:intensity");
}

}  // namespace
}  // namespace zelm
