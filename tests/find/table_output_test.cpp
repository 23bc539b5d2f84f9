#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "find/table_output.h"

namespace zelm {
namespace {

std::string Number(double value, int decimals) {
  char buf[32];
  return std::string(FormatNumber(value, decimals, buf));
}

std::string Write(TableFormat format) {
  TableWriter w(format, {"query", "formula", "error_ppm"});
  char a[32], b[32];
  w.Row({{"a,\"b\""}, {"C8H10N4O2"}, {FormatNumber(-0.04999, 3, a), true}});
  w.Row({{"tab\there"}, {"H2O"}, {FormatNumber(NAN, 3, b), true}});
  w.End();
  return w.Take();
}

TEST(TableOutput, EachFormatAsItsReadersExpect) {
  EXPECT_EQ(Write(TableFormat::Tsv), "query\tformula\terror_ppm\na,\"b\"\tC8H10N4O2\t-0.05\ntab here\tH2O\t\n");
  EXPECT_EQ(Write(TableFormat::Csv), "query,formula,error_ppm\n\"a,\"\"b\"\"\",C8H10N4O2,-0.05\ntab\there,H2O,\n");
  EXPECT_EQ(Write(TableFormat::Json),
            "[\n  {\"query\": \"a,\\\"b\\\"\", \"formula\": \"C8H10N4O2\", \"error_ppm\": -0.05},\n"
            "  {\"query\": \"tab\\there\", \"formula\": \"H2O\", \"error_ppm\": null}\n]\n");
  TableWriter empty(TableFormat::Json, {"a"});
  empty.End();
  EXPECT_EQ(empty.Take(), "[\n]\n");
}

TEST(TableOutput, NumberCells) {
  EXPECT_EQ(Number(195.08765234, 6), "195.087652");
  EXPECT_EQ(Number(2.5, 4), "2.5");
  EXPECT_EQ(Number(-0.0000001, 4), "0");
  EXPECT_EQ(Number(12, 4), "12");
  EXPECT_EQ(Number(0.037, 3), "0.037");
  EXPECT_EQ(Number(-1.5, 1), "-1.5");
  EXPECT_EQ(Number(1e20, 2), "1e+20");
  EXPECT_EQ(Number(-2.5e-7, 6), "0");  // no minus before a figure that rounds to 0
  // Any figure reads back within half its last decimal.
  for (double v = -1234.56789; v < 3000; v += 17.3330071) {
    for (int d : {0, 1, 3, 6}) {
      const std::string t = Number(v, d);
      EXPECT_NEAR(std::stod(t), v, 0.5000001 * std::pow(10.0, -d)) << v << " " << d;
    }
  }
}

}  // namespace
}  // namespace zelm
