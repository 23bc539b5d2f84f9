#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "find/peak_input.h"

namespace zelm {
namespace {

std::vector<Query> Read(const std::string& bytes, QueryFormat format, std::string* problem = nullptr) {
  std::vector<Query> queries;
  InputError error;
  const bool ok = ReadQueries(bytes, format, "peaks", queries, &error);
  if (problem) *problem = ok ? "" : error.Text();
  if (!ok && !problem) ADD_FAILURE() << error.Text();
  return queries;
}

TEST(PeakInput, PlainTextLinesCommentsAndIntensities) {
  const auto q = Read("# a run\n195.0877\n\n138.0662  1200 # the fragment\r\n 60,5\r\n", QueryFormat::Text);
  ASSERT_EQ(q.size(), 3u);
  EXPECT_EQ(q[0].id, "195.0877");
  EXPECT_DOUBLE_EQ(q[0].mz, 195.0877);
  EXPECT_DOUBLE_EQ(q[1].intensity, 1200);
  EXPECT_EQ(q[1].line, 4);
  EXPECT_DOUBLE_EQ(q[2].mz, 60);
  std::string problem;
  Read("195\nabc\n", QueryFormat::Text, &problem);
  EXPECT_EQ(problem, "peaks line 2: the m/z \"abc\" is not a number above 0");
  Read("195 1 2\n", QueryFormat::Text, &problem);
  EXPECT_EQ(problem, "peaks line 1: more than an m/z and an intensity");
  Read("-5\n", QueryFormat::Text, &problem);
  EXPECT_NE(problem, "");
  Read("nan\n", QueryFormat::Text, &problem);
  EXPECT_NE(problem, "");
}

TEST(PeakInput, TablesFindTheirColumnsByNameAndKeepQuotedFields) {
  const auto q = Read("ID,Intensity,precursor_mz,adduct\r\n\"caf, 1\",5,195.0877,[M+H]+\r\nx2,,217.069,\"[M+Na]+\"\r\n",
                      QueryFormat::Csv);
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].id, "caf, 1");
  EXPECT_DOUBLE_EQ(q[0].mz, 195.0877);
  EXPECT_EQ(q[0].ion, "[M+H]+");
  EXPECT_EQ(q[1].ion, "[M+Na]+");
  EXPECT_EQ(q[1].intensity, 0);
  const auto t = Read("m/z\tion\tcharge\n195.0877\t[M+2H]2+\t2+\n97.5\t\t\n", QueryFormat::Tsv);
  ASSERT_EQ(t.size(), 2u);
  EXPECT_EQ(t[0].charge, 2);
  EXPECT_EQ(t[1].id, "97.5");  // no id column: the mass text
  std::string problem;
  Read("mass,id\n1,a\n", QueryFormat::Csv, &problem);
  EXPECT_EQ(problem, "peaks line 1: the header names no m/z column (mz, m/z or precursor_mz)");
  Read("mz\n195\n\nx\n", QueryFormat::Csv, &problem);
  EXPECT_EQ(problem, "peaks line 4: the m/z \"x\" is not a number above 0");
  EXPECT_TRUE(Read("", QueryFormat::Csv).empty());
}

TEST(PeakInput, SplitDelimitedQuotes) {
  EXPECT_EQ(SplitDelimited("a,\"b,\"\"c\"\"\",,d", ','), (std::vector<std::string>{"a", "b,\"c\"", "", "d"}));
  EXPECT_EQ(SplitDelimited("a\t\"b\"\t", '\t'), (std::vector<std::string>{"a", "\"b\"", ""}));
}

TEST(PeakInput, MgfBlocksWithTheirPeaks) {
  const std::string mgf =
      "COM=global\nBEGIN IONS\nTITLE=rec 1\nPEPMASS=195.0877 3000\nCHARGE=1+\nADDUCT=[M+H]+\n138.0662 100\n"
      "110.07\t20\nEND IONS\n\nBEGIN IONS\nPEPMASS=193.07\nCHARGE=1-\nION=[M-H]-\nEND IONS\n";
  const auto q = Read(mgf, QueryFormat::Mgf);
  ASSERT_EQ(q.size(), 2u);
  EXPECT_EQ(q[0].id, "rec 1");
  EXPECT_DOUBLE_EQ(q[0].intensity, 3000);
  EXPECT_EQ(q[0].charge, 1);
  ASSERT_EQ(q[0].peaks.size(), 2u);
  EXPECT_DOUBLE_EQ(q[0].peaks[1].mz, 110.07);
  EXPECT_EQ(q[1].id, "193.07");
  EXPECT_EQ(q[1].charge, -1);
  EXPECT_EQ(q[1].ion, "[M-H]-");
  std::string problem;
  Read("BEGIN IONS\nTITLE=a\nEND IONS\n", QueryFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 1: the block has no PEPMASS");
  Read("BEGIN IONS\nPEPMASS=100\n12 x\nEND IONS\n", QueryFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 3: the peak line \"12 x\" is not an m/z and an intensity");
  Read("BEGIN IONS\nPEPMASS=100\n", QueryFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 1: the block has no END IONS");
  Read("END IONS\n", QueryFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 1: END IONS without BEGIN IONS");
  Read("BEGIN IONS\nPEPMASS=100\nCHARGE=5+\nEND IONS\n", QueryFormat::Mgf, &problem);
  EXPECT_EQ(problem, "peaks line 3: CHARGE \"5+\" is not one of 1 to 3, + or -");
}

TEST(PeakInput, FormatFromTheFileNameOrItsName) {
  EXPECT_EQ(QueryFormatOfFile("run.MGF"), QueryFormat::Mgf);
  EXPECT_EQ(QueryFormatOfFile("a/b.csv"), QueryFormat::Csv);
  EXPECT_EQ(QueryFormatOfFile("x.tsv"), QueryFormat::Tsv);
  EXPECT_EQ(QueryFormatOfFile("-"), QueryFormat::Text);
  EXPECT_EQ(QueryFormatNamed("json"), std::nullopt);
}

}  // namespace
}  // namespace zelm
