#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "find/table_output.h"

namespace zelm {
namespace {

std::string Write(TableFormat format) {
  TableWriter w(format, {"query", "formula", "error_ppm"});
  w.Row({TextCell("a,\"b\""), TextCell("C8H10N4O2"), NumberCell(-0.04999, 3)});
  w.Row({TextCell("tab\there"), TextCell("H2O"), NumberCell(NAN, 3)});
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
  EXPECT_EQ(NumberCell(195.08765234, 6).text, "195.087652");
  EXPECT_EQ(NumberCell(2.5, 4).text, "2.5");
  EXPECT_EQ(NumberCell(-0.0000001, 4).text, "0");
  EXPECT_EQ(NumberCell(12, 4).text, "12");
  EXPECT_EQ(NumberCell(0.037, 3).text, "0.037");
  EXPECT_EQ(NumberCell(-1.5, 1).text, "-1.5");
  EXPECT_EQ(NumberCell(1e20, 2).text, "1e+20");
  EXPECT_EQ(NumberCell(-2.5e-7, 6).text, "0");  // no minus before a figure that rounds to 0
  // Any figure reads back within half its last decimal.
  for (double v = -1234.56789; v < 3000; v += 17.3330071) {
    for (int d : {0, 1, 3, 6}) {
      const std::string t = NumberCell(v, d).text;
      EXPECT_NEAR(std::stod(t), v, 0.5000001 * std::pow(10.0, -d)) << v << " " << d;
    }
  }
}

}  // namespace
}  // namespace zelm
