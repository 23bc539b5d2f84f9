// zelm-find run in-process as a user runs it: arguments, standard input and output, exit status.
#include <gtest/gtest.h>

#include <cmath>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "find/find_main.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

struct Outcome {
  int status;
  std::string out, err;
};

Outcome Find(std::vector<std::string> args, const std::string& input = "") {
  args.insert(args.begin(), "zelm-find");
  std::istringstream in(input);
  std::ostringstream out, err;
  const int status = FindMain(args, in, out, err);
  return {status, out.str(), err.str()};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream s(text);
  for (std::string line; std::getline(s, line);) lines.push_back(line);
  return lines;
}

TEST(FindMain, CaffeineIsFoundWithItsFigures) {
  const Outcome o = Find({"195.087652", "--elements", "C0-10 H0-20 N0-5 O0-5", "--ppm", "2"});
  ASSERT_EQ(o.status, 0) << o.err;
  const auto lines = Lines(o.out);
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0],
            "query\tmz\tion\tformula\tion_formula\tmz_theoretical\terror_ppm\terror_mda\trdbe\trank\tscore\t"
            "isotope_score\tmsms_explained\trules\tprobability");
  // Ranked first, with no isotope or MS/MS peaks to judge by and no soft rule broken.
  EXPECT_EQ(lines[1].substr(0, lines[1].find("\t1\t")),
            "195.087652\t195.087652\t[M+H]+\tC8H10N4O2\tC8H11N4O2\t195.087652\t0\t0\t6");
  // No isotope or MS/MS figures and no rule broken; the probability last (the only candidate: 1).
  EXPECT_EQ(lines[1].substr(lines[1].size() - 5), "\t\t\t\t1");
  // The neutral mass as it is, and the sodium adduct: the same formula at other masses.
  EXPECT_NE(Find({"194.080376", "--ion", "M", "-e", "C0-10 H0-20 N0-5 O0-5", "--ppm", "1"}).out.find("\tM\tC8H10N4O2\t"),
            std::string::npos);
  EXPECT_NE(Find({"217.069597", "--ion", "[M+Na]+", "-e", "C0-10 H0-20 N0-5 O0-5 Na0-1", "--ppm", "1"})
                .out.find("[M+Na]+\tC8H10N4O2\tC8H10N4NaO2\t"),
            std::string::npos);
}

TEST(FindMain, RowsInAStableOrderAndTheSameOnAnyNumberOfThreads) {
  std::string masses;
  for (double m : {180.0634, 195.0877, 151.0262, 301.1410, 120.0575, 256.2402}) masses += std::to_string(m) + "\n";
  const Outcome one = Find({"-i", "-", "-j", "1", "--ion", "[M+H]+,[M+Na]+"}, masses);
  const Outcome two = Find({"-i", "-", "-j", "2", "--ion", "[M+H]+,[M+Na]+"}, masses);
  ASSERT_EQ(one.status, 0) << one.err;
  EXPECT_EQ(one.out, two.out);
  EXPECT_GT(Lines(one.out).size(), 50u);
  // Within a query, across its ions, the ranks count up from 1 and the scores fall.
  int last = 0;
  double score = 0;
  std::string query;
  std::set<std::string> ions;
  for (const auto& line : Lines(one.out)) {
    std::vector<std::string> f;
    std::istringstream s(line);
    for (std::string x; std::getline(s, x, '\t');) f.push_back(x);
    if (f[0] == "query") continue;
    if (f[0] != query) last = 0, query = f[0];
    const int rank = std::stoi(f[9]);
    EXPECT_EQ(rank, last + 1) << line;
    if (rank > 1) {
      EXPECT_LE(std::stod(f[10]), score) << line;
    }
    last = rank;
    score = std::stod(f[10]);
    ions.insert(f[2]);
  }
  EXPECT_EQ(ions.size(), 2u);
}

TEST(FindMain, CountOnlyAndMaxCandidates) {
  const Outcome all = Find({"301.141", "--count-only", "--ratios", "off"});
  ASSERT_EQ(all.status, 0);
  const auto tab = all.out.find('\t');
  ASSERT_NE(tab, std::string::npos);
  const long count = std::stol(all.out.substr(tab + 1));
  EXPECT_GT(count, 5);
  EXPECT_EQ(Lines(all.out).size(), 1u);
  const Outcome some = Find({"301.141", "--max-candidates", "4", "--ratios", "off"});
  EXPECT_EQ(Lines(some.out).size(), 5u);
  EXPECT_NE(some.err.find("candidates, the 4 closest ranked"), std::string::npos);
  EXPECT_EQ(Lines(Find({"301.141", "--ratios", "off"}).out).size(), static_cast<size_t>(count) + 1);
  // The hard rules take candidates away; without any rule there are more still.
  const auto counted = [](const Outcome& o) { return std::stol(o.out.substr(o.out.find('\t') + 1)); };
  const long ruled = counted(Find({"301.141", "--count-only", "--ratios", "common"}));
  const long none = counted(Find({"301.141", "--count-only", "--ratios", "off", "--rdbe", "off", "--no-senior"}));
  EXPECT_LT(ruled, count);
  EXPECT_GT(none, count);
  // --top keeps the best of a query.
  const Outcome top = Find({"301.141", "--top", "2", "--ratios", "off"});
  EXPECT_EQ(Lines(top.out).size(), 3u);
  // The same best row as of the four closest, but for its probability: a share of every candidate ranked.
  const auto withoutLast = [](const std::string& line) { return line.substr(0, line.rfind('\t')); };
  EXPECT_EQ(withoutLast(Lines(top.out)[1]), withoutLast(Lines(some.out)[1]));
  EXPECT_LT(std::stod(Lines(top.out)[1].substr(Lines(top.out)[1].rfind('\t') + 1)),
            std::stod(Lines(some.out)[1].substr(Lines(some.out)[1].rfind('\t') + 1)));
}

TEST(FindMain, CsvAndJsonOutputs) {
  const Outcome csv = Find({"195.0877", "-f", "csv", "--max-candidates", "2", "-q"});
  EXPECT_EQ(Lines(csv.out)[0], "query,mz,ion,formula,ion_formula,mz_theoretical,error_ppm,error_mda,rdbe,rank,score,"
                                "isotope_score,msms_explained,rules,probability");
  const Outcome json = Find({"195.0877", "-f", "json", "--max-candidates", "2", "-q"});
  EXPECT_EQ(json.out.front(), '[');
  EXPECT_EQ(json.out.substr(json.out.size() - 4), "}\n]\n");
  EXPECT_NE(json.out.find("\"formula\": \""), std::string::npos);
  EXPECT_EQ(Find({"1.0", "-f", "json", "-q"}).out, "[\n]\n");  // nothing found: an empty array
}

TEST(FindMain, InputFormatsAndTheirIons) {
  TempDir dir;
  dir.Write("p.mgf", "BEGIN IONS\nTITLE=caf\nPEPMASS=195.087652\nCHARGE=1+\n138.0662 100\nEND IONS\n"
                     "BEGIN IONS\nTITLE=neg\nPEPMASS=193.073\nCHARGE=1-\nEND IONS\n");
  const Outcome mgf = Find({"-i", dir.File("p.mgf"), "-e", "C0-10 H0-20 N0-5 O0-5", "--ppm", "3"});
  ASSERT_EQ(mgf.status, 0) << mgf.err;
  EXPECT_NE(mgf.out.find("caf\t195.087652\t[M+H]+\tC8H10N4O2"), std::string::npos);
  EXPECT_NE(mgf.out.find("neg\t193.073\t[M-H]-\t"), std::string::npos);  // the charge alone gives [M-H]-
  dir.Write("p.csv", "id,mz,adduct\nx,217.069597,[M+Na]+\n");
  EXPECT_NE(Find({"-i", dir.File("p.csv"), "-e", "C0-10 H0-20 N0-5 O0-5 Na0-1", "--ppm", "1"}).out.find("x\t"),
            std::string::npos);
  dir.Write("p.dat", "mz\n195.0877\n");
  EXPECT_EQ(Find({"-i", dir.File("p.dat"), "--input-format", "csv", "--count-only"}).status, 0);
}

TEST(FindMain, ErrorsSayWhatAndExitWithTwoAndWriteNoFile) {
  TempDir dir;
  dir.Write("bad.csv", "mz\n195.0877\nabc\n");
  const std::string out = dir.File("out.tsv");
  Outcome o = Find({"-i", dir.File("bad.csv"), "-o", out});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "zelm-find: bad.csv line 3: the m/z \"abc\" is not a number above 0\n");
  EXPECT_FALSE(dir.Exists("out.tsv"));
  // A file that cannot be read is a problem of the file as a whole, worded as every reader's problems are.
  EXPECT_EQ(Find({"-i", dir.File("missing.mgf")}).err, "zelm-find: missing.mgf: could not be found\n");
  EXPECT_EQ(Find({"-i", "-", "--input-format", "mzml"}).status, 2);
  EXPECT_EQ(Find({"195", "--resolution", "0"}).err, "zelm-find: the resolving power --resolution must be above 0\n");
  EXPECT_EQ(Find({"195", "-e", "C0-9 Qq"}).status, 2);
  EXPECT_EQ(Find({"195", "-e", "[14C]0-2"}).status, 2);
  EXPECT_EQ(Find({"195", "--ion", "[M+Xyz]+"}).status, 2);
  EXPECT_EQ(Find({"195", "--ppm", "0"}).err, "zelm-find: the tolerance --ppm must be above 0\n");
  EXPECT_EQ(Find({"195", "--mda", "-1"}).status, 2);
  EXPECT_EQ(Find({"abc"}).status, 2);
  EXPECT_EQ(Find({}).status, 2);
  dir.Write("in.mgf", "BEGIN IONS\nPEPMASS=195\nADDUCT=[M+Zz]+\nEND IONS\n");
  o = Find({"-i", dir.File("in.mgf")});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err.rfind("zelm-find: in.mgf line 1: the ion type \"[M+Zz]+\" cannot be used", 0), 0u) << o.err;
}

TEST(FindMain, UsageErrorsExitWithOneAndTheUsageLine) {
  for (std::vector<std::string> args : {std::vector<std::string>{"--bogus"}, {"195", "--format", "xml"},
                                        {"195", "--threads", "0"}, {"195", "--ppm"},
                                        {"195", "-l", "x.txt", "-e", "C"}}) {
    const Outcome o = Find(args);
    EXPECT_EQ(o.status, 1) << args[0];
    EXPECT_NE(o.err.find("Usage: zelm-find"), std::string::npos) << o.err;
  }
  EXPECT_EQ(Find({"--help"}).status, 0);
  EXPECT_NE(Find({"--help"}).out.find("--elements"), std::string::npos);
  EXPECT_EQ(Find({"--version"}).out.rfind("zelm-find ", 0), 0u);
}

TEST(FindMain, TheOutputFileIsWrittenWhole) {
  TempDir dir;
  const Outcome o = Find({"195.0877", "-o", dir.File("c.tsv"), "--max-candidates", "3", "-q"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out, "");
  EXPECT_EQ(Lines(dir.Read("c.tsv")).size(), 4u);
  EXPECT_FALSE(dir.Exists("c.tsv.zelm-tmp"));
}

}  // namespace
}  // namespace zelm
