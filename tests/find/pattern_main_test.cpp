// zelm-find --pattern run in-process: the table of a formula's isotope pattern and its errors.
#include <gtest/gtest.h>

#include <cstdlib>
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

Outcome Find(std::vector<std::string> args) {
  args.insert(args.begin(), "zelm-find");
  std::istringstream in;
  std::ostringstream out, err;
  const int status = FindMain(args, in, out, err);
  return {status, out.str(), err.str()};
}

struct Row {
  double mz, abundance;
};

std::vector<Row> Rows(const std::string& tsv) {
  std::vector<Row> rows;
  std::istringstream s(tsv);
  std::string line;
  std::getline(s, line);
  EXPECT_EQ(line, "mz\tabundance");
  while (std::getline(s, line)) {
    const auto tab = line.find('\t');
    EXPECT_NE(tab, std::string::npos) << line;
    rows.push_back({std::strtod(line.c_str(), nullptr), std::strtod(line.c_str() + tab + 1, nullptr)});
  }
  return rows;
}

constexpr double kH = 1.00782503223, kBr79 = 78.9183376, kBr81 = 80.9162897, kElectron = 0.000548579909;

TEST(Pattern, DibromomethaneAsATable) {
  const Outcome o = Find({"--pattern", "CH2Br2", "--ion", "M", "--resolution", "1000"});
  ASSERT_EQ(o.status, 0) << o.err;
  const auto rows = Rows(o.out);
  // 79Br2, 79Br81Br, 81Br2 and a 13C peak above each.
  ASSERT_EQ(rows.size(), 6u);
  EXPECT_NEAR(rows[0].mz, 12 + 2 * kH + 2 * kBr79, 1e-6);
  EXPECT_NEAR(rows[2].mz, 12 + 2 * kH + kBr79 + kBr81, 2e-5);
  EXPECT_NEAR(rows[4].mz, 12 + 2 * kH + 2 * kBr81, 1e-6);
  EXPECT_NEAR(rows[0].abundance, 51.4, 1);
  EXPECT_EQ(rows[2].abundance, 100);
  EXPECT_NEAR(rows[4].abundance, 48.6, 1);
  EXPECT_NEAR(rows[1].abundance, 0.56, 0.05);  // 1.08 % of 51.4
}

TEST(Pattern, TheIonsMassesAndTheResolution) {
  // [M+H]+ by default: the protonated ion less an electron.
  Outcome o = Find({"--pattern", "CH2Br2"});
  ASSERT_EQ(o.status, 0) << o.err;
  auto rows = Rows(o.out);
  ASSERT_FALSE(rows.empty());
  EXPECT_NEAR(rows[0].mz, 12 + 3 * kH + 2 * kBr79 - kElectron, 1e-6);
  // Two charges: half the spacing.
  o = Find({"--pattern", "C20H30O2", "--ion", "[M+2H]2+", "--resolution", "20000"});
  ASSERT_EQ(o.status, 0) << o.err;
  rows = Rows(o.out);
  ASSERT_GE(rows.size(), 3u);
  EXPECT_NEAR(rows[1].mz - rows[0].mz, 1.00335 / 2, 0.001);
  // A nitrogen compound's M+1 splits into 13C and 15N at a high resolving power only.
  const auto low = Rows(Find({"--pattern", "C5H5N5", "--resolution", "10000"}).out);
  const auto high = Rows(Find({"--pattern", "C5H5N5", "--resolution", "1000000"}).out);
  EXPECT_GT(high.size(), low.size());
}

TEST(Pattern, OtherFormatsAndAFile) {
  Outcome o = Find({"--pattern", "CH4", "--ion", "M", "--format", "json"});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_EQ(o.out.rfind("[\n  {\"mz\": 16.0313, \"abundance\": 100},\n", 0), 0u) << o.out;
  TempDir dir;
  o = Find({"--pattern", "CH4", "--ion", "M", "--format", "csv", "-o", dir.File("p.csv")});
  ASSERT_EQ(o.status, 0) << o.err;
  EXPECT_TRUE(o.out.empty());
  EXPECT_EQ(dir.Read("p.csv").rfind("mz,abundance\n16.0313,100\n", 0), 0u);
}

TEST(Pattern, ErrorsExitWithTwo) {
  Outcome o = Find({"--pattern", "C6H12Xx"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "zelm-find: the formula \"C6H12Xx\" cannot be used: unknown element Xx at position 6\n");
  EXPECT_TRUE(o.out.empty());
  o = Find({"--pattern", "C6H12O6", "--ion", "[M+Q]+"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err.rfind("zelm-find: the ion type \"[M+Q]+\" cannot be used: ", 0), 0u) << o.err;
  o = Find({"--pattern", "C6H12O6", "--ion", "[M-NH3+H]+"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "zelm-find: the ion [M-NH3+H]+ cannot be made of C6H12O6: H3N cannot be taken from C6H13O6\n");
  o = Find({"--pattern", "C6H12O6", "--ion", "[M+H]+,[M+Na]+"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "zelm-find: --pattern takes one ion type, not \"[M+H]+,[M+Na]+\"\n");
  o = Find({"--pattern", "C6H12O6", "--resolution", "0"});
  EXPECT_EQ(o.status, 2);
  EXPECT_EQ(o.err, "zelm-find: the resolving power --resolution must be above 0\n");
  // A mass beside a pattern is a usage error.
  EXPECT_EQ(Find({"--pattern", "C6H12O6", "181.07"}).status, 1);
}

}  // namespace
}  // namespace zelm
