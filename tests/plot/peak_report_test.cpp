#include <gtest/gtest.h>

#include "core/form1.h"
#include "text/text.h"
#include "support/fake_host.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

const char kDone[] = "Report has been copied to the clipboard. Click Close Graph to close box.";

// 12C with a subscript count, as the candidate check writes it.
std::string Carbon(const std::string& count) { return ToSuperscript("12") + "C" + ToSubscript(count); }
// A result line: the formula padded to 30 characters, then the first 12 characters of the mass text.
std::string ResultLine(const std::string& formula, double mass) {
  std::string line = formula;
  line.resize(30, ' ');
  return line + NumberText(mass).substr(0, 12);
}

struct Report : ::testing::Test {
  TempDir dir;
  FakeHost host{dir.Path()};
  Form1 form{host};

  void Select(const std::string& line) { form.SelectedResult = line; }
  void Isotopes(std::initializer_list<std::array<double, 2>> lines) {
    form.IsotopeLines[0][0] = static_cast<double>(lines.size());
    int i = 1;
    for (const auto& l : lines) form.IsotopeLines[i++] = l;
  }
  void Store(std::initializer_list<std::string> lines) {
    int i = 1;
    for (const auto& l : lines) form.StoredResults[i++] = l;
    form.StoredResults[0] = CountText(lines.size());
  }
  std::string Joined() const {
    std::string t;
    for (const auto& l : form.ReportBox.Items()) t += l + "\r";
    return t;
  }
};

TEST_F(Report, ResultWithoutIsotopesOrFragmentsIsOneLine) {
  form.ReportBox.AddItem("left from before");
  host.clipboard = "old";
  Select(ResultLine(Carbon("10"), 120));
  form.Report_Click();

  ASSERT_EQ(form.ReportBox.Count(), 1);
  EXPECT_EQ(form.ReportBox.Item(0), form.SelectedResult);
  EXPECT_TRUE(form.ReportBox.Visible);
  EXPECT_EQ(host.clipboard, form.SelectedResult + "\r");
  EXPECT_EQ(form.HelpLine.Caption, kDone);
}

TEST_F(Report, IsotopeAndFragmentAsInTheWorkedExample) {
  const std::string compound = ResultLine(Carbon("10"), 120), half = ResultLine(Carbon("5"), 60);
  Store({compound, half});
  Select(compound);
  Isotopes({{121.003355, 11}});
  form.FragmentList = "   2";
  form.Report_Click();

  const std::vector<std::string> expected = {compound, "  Isotope line: 121.003355 at  11%", "     " + half,
                                             "          Remaining Fragment: 60"};
  EXPECT_EQ(form.ReportBox.Items(), expected);
  EXPECT_EQ(host.clipboard, compound + "\r" + expected[1] + "\r" + expected[2] + "\r" + expected[3] + "\r");
  EXPECT_EQ(host.clipboard, Joined());
  EXPECT_EQ(host.clipboard.find('\n'), std::string::npos);
}

TEST_F(Report, MassesAreRoundedAndHeightsCut) {
  Select(ResultLine(Carbon("10"), 120));
  Isotopes({{121.0033555, 10.999}, {121.0000004, 0.29}, {122.5, 0.5}, {119.9999996, 100}});
  form.Report_Click();

  ASSERT_EQ(form.ReportBox.Count(), 5);
  EXPECT_EQ(form.ReportBox.Item(1), "  Isotope line: 121.003356 at  10.99%");
  // 100 x 0.29 is just below 29 in double precision, so the cut gives .28; below 1 there is no 0 before the point.
  EXPECT_EQ(form.ReportBox.Item(2), "  Isotope line: 121 at  .28%");
  EXPECT_EQ(form.ReportBox.Item(3), "  Isotope line: 122.5 at  .5%");
  EXPECT_EQ(form.ReportBox.Item(4), "  Isotope line: 120 at  100%");
}

TEST_F(Report, TwoFragmentsEachFollowedByItsRemainder) {
  const std::string compound = ResultLine(Carbon("10"), 120.1234567);
  const std::string first = ResultLine(ToSuperscript("16") + "O" + ToSubscript("3"), 50);
  const std::string second = ResultLine(Carbon("5"), 60);
  Store({first, compound, second});
  Select(compound);
  Isotopes({{121.1268117, 10.8}});
  form.FragmentList = "   1   3";
  form.Report_Click();

  // The remainder keeps every digit of the compound mass, not rounded to 6 places like the isotope masses.
  ASSERT_EQ(compound.substr(30), " 120.1234567");
  const std::vector<std::string> expected = {compound,
                                             "  Isotope line: 121.126812 at  10.8%",
                                             "     " + first,
                                             "          Remaining Fragment: 70.1234567",
                                             "     " + second,
                                             "          Remaining Fragment: 60.1234567"};
  EXPECT_EQ(form.ReportBox.Items(), expected);
  EXPECT_EQ(host.clipboard, Joined());
}

TEST_F(Report, RemainderOfCloseMassesShowsAllItsDigits) {
  const std::string compound = ResultLine(Carbon("10"), 120.00006), half = ResultLine(Carbon("5"), 60.00003);
  Store({half, compound});
  Select(compound);
  form.FragmentList = "   1";
  form.Report_Click();
  ASSERT_EQ(form.ReportBox.Count(), 3);
  EXPECT_EQ(form.ReportBox.Item(2), "          Remaining Fragment: 60.00003");
}

TEST_F(Report, WithoutAResultLineNothingIsReported) {
  host.clipboard = "kept";
  for (const std::string& selected : {std::string(), ResultLine(Carbon("10"), 120).substr(0, 30)}) {
    Select(selected);
    form.Report_Click();
    EXPECT_FALSE(form.ReportBox.Visible);
    EXPECT_EQ(form.ReportBox.Count(), 0);
    EXPECT_EQ(host.clipboard, "kept");
    EXPECT_EQ(form.HelpLine.Caption,
              "No result is selected: click a result in the results list, then Copy Results again.");
  }
}

TEST_F(Report, PositionsOutsideTheTablesAreSkipped) {
  const std::string compound = ResultLine(Carbon("10"), 120);
  Store({compound});
  Select(compound);
  form.IsotopeLines[0][0] = 80;  // more than the 50 rows the table holds
  form.FragmentList = "   09999";
  form.Report_Click();
  EXPECT_EQ(form.ReportBox.Count(), 1 + kIsotopeLineLimit);
  EXPECT_EQ(host.clipboard, Joined());
}

}  // namespace
}  // namespace zelm

namespace zelm {
namespace {

TEST_F(Report, LongFormulaTakesItsMassFromTheTextAfterIt) {
  // A formula of more than 30 characters is followed directly by its whole mass text.
  std::string formula;
  for (const char* group : {"1H", "12C", "14N", "16O", "23Na", "24Mg", "31P", "32S"})
    formula += ToSuperscript(group) + ToSubscript("12");
  ASSERT_GT(formula.size(), 30u);
  Store({ResultLine(Carbon("5"), 60)});
  Select(formula + " 500.125");
  form.FragmentList = "   1";
  form.Report_Click();
  ASSERT_EQ(form.ReportBox.Count(), 3);
  EXPECT_EQ(form.ReportBox.Item(2), "          Remaining Fragment: 440.125");
}

}  // namespace
}  // namespace zelm
