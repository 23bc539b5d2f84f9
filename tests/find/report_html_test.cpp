// The report's writer on hand-built ranked features: input text escaped, features without spectra, fragment labels
// with Unicode subscripts, and labels that find no room listed beside the picture.
#include "find/report_html.h"

#include <gtest/gtest.h>

#include <string>

#include "chemistry/element_table.h"
#include "chemistry/formula_notation.h"
#include "find/html_text.h"
#include "find/report_figures.h"
#include "text/defaults.h"

namespace zelm {
namespace {

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

chem::Composition Formula(const char* text) { return *chem::ParseFormula(text); }

// Caffeine's [M+H]+ ranked first, with its measured isotope peaks and two MS/MS peaks, one explained.
RankResult Caffeine() {
  RankResult r;
  r.ions.push_back(*chem::IonType::Parse("[M+H]+"));
  r.found = {9};
  r.isotopePeaks = {{195.0877, 1000}, {196.0910, 105}};
  r.msmsPeaks = {{110.0713, 50}, {138.0662, 1000}};
  for (const char* f : {"C8H10N4O2", "C7H14O6"}) {
    RankedCandidate c;
    c.neutral = Formula(f);
    c.ionFormula = c.neutral + Formula("H");
    c.rank = static_cast<int>(r.candidates.size()) + 1;
    c.probability = c.rank == 1 ? 0.9 : 0.1;
    r.candidates.push_back(c);
  }
  r.candidates[0].fragments.push_back({1, Formula("C6H8N3O"), 138.0662, 0.4, 0.05});
  return r;
}

TEST(ReportHtml, EscapesInputTextAndReplacesWhatIsNotUtf8) {
  EXPECT_EQ(Escaped("a<b>&\"c'"), "a&lt;b&gt;&amp;&quot;c&#39;");
  EXPECT_EQ(Escaped("C\xE2\x82\x86 \xFF\x01z"), "C\xE2\x82\x86 \xEF\xBF\xBD\xEF\xBF\xBDz");
  EXPECT_EQ(Escaped("\xE2\x82"), "\xEF\xBF\xBD\xEF\xBF\xBD");  // a sequence cut short

  Feature f;
  f.id = "<script>alert(1)</script>";
  f.ion = "[M+H]+<img src=x>";
  const ReportPart part = ReportFeature(f, Caffeine(), 0, ReportSettings{});
  for (const std::string& text : {part.row, part.section}) {
    EXPECT_EQ(text.find("<script"), std::string::npos) << text;
    EXPECT_EQ(text.find("<img"), std::string::npos) << text;
  }
  EXPECT_NE(part.row.find("&lt;script&gt;alert(1)&lt;/script&gt;"), std::string::npos);
}

TEST(ReportHtml, AFeatureWithoutSpectraSaysSoInsteadOfDrawing) {
  Feature f;
  f.id = "bare";
  RankResult r = Caffeine();
  r.isotopePeaks.clear();
  r.msmsPeaks.clear();
  const std::string section = ReportFeature(f, r, 3, ReportSettings{}).section;
  EXPECT_NE(section.find("<section id=\"f3\">"), std::string::npos);
  EXPECT_EQ(Count(section, "<svg"), 0u);
  EXPECT_NE(section.find("No MS1 spectrum"), std::string::npos);
  EXPECT_NE(section.find("No MS/MS spectrum"), std::string::npos);
}

TEST(ReportHtml, DrawsBothSpectraAndLabelsExplainedPeaksWithSubscripts) {
  const chem::LoadedTable table = chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt");
  ReportSettings settings;
  settings.table = &table.table;
  Feature f;
  f.id = "caffeine";
  f.mz = 195.0877;
  f.ms1.resize(1);
  f.ms2.resize(1);
  const ReportPart part = ReportFeature(f, Caffeine(), 0, settings);
  EXPECT_EQ(Count(part.section, "<svg"), 2u);
  EXPECT_NE(part.section.find(">C\xE2\x82\x86H\xE2\x82\x88N\xE2\x82\x83O\xE2\x81\xBA 0.4</text>"), std::string::npos)
      << "C₆H₈N₃O⁺ 0.4";
  EXPECT_NE(part.section.find("class=\"pt\""), std::string::npos) << "the pattern of #1 beside the measured peaks";
  // The summary row: best formula and runner-up with their probabilities, the candidates found.
  EXPECT_NE(part.row.find("<td>C\xE2\x82\x88H\xE2\x82\x81\xE2\x82\x80N\xE2\x82\x84O\xE2\x82\x82<td>0.9<td>"
                          "C\xE2\x82\x87H\xE2\x82\x81\xE2\x82\x84O\xE2\x82\x86<td>0.1<td>9\n"),
            std::string::npos)
      << part.row;

  ReportWriter writer(settings);
  writer.Add(part);
  writer.Add(ReportFeature(f, Caffeine(), 1, settings));
  const std::string page = writer.Finish();
  EXPECT_EQ(Count(page, "<section id="), 2u);
  EXPECT_EQ(Count(page, "<a href=\"#f1\">"), 1u);
  EXPECT_EQ(page.find("://"), std::string::npos) << "nothing to fetch";
}

TEST(ReportHtml, LabelsWithoutRoomAreGivenBackForTheCaption) {
  // Three explained peaks 0.1 apart: the most intense is labelled, the two beside it find no room.
  const std::vector<Peak> peaks = {{100.0, 10}, {100.1, 50}, {100.2, 20}, {300, 5}};
  const std::vector<PeakLabel> labels = {{0, "a"}, {1, "b"}, {2, "c<"}};
  std::string svg;
  const std::vector<size_t> left = MsmsFigure(svg, peaks, labels, 310, "test");
  EXPECT_EQ(left, (std::vector<size_t>{0, 2}));
  EXPECT_NE(svg.find(">b</text>"), std::string::npos);
  EXPECT_EQ(svg.find("c&lt;"), std::string::npos);
  EXPECT_EQ(Count(svg, "<path"), 4u) << "axes, precursor, unexplained, explained: " << svg;
}

}  // namespace
}  // namespace zelm
