// The element table read from the program's isotopes.txt and from broken files.
#include <gtest/gtest.h>

#include "chemistry/element_table.h"
#include "support/temp_dir.h"

namespace zelm::chem {
namespace {

const std::string kIsotopes = std::string(ZELM_DATA_DIR) + "/isotopes.txt";

TEST(ElementTable, ProgramFileLoadsWithoutProblems) {
  LoadedTable t = LoadElementTable(kIsotopes);
  EXPECT_TRUE(t.problems.empty());
  ASSERT_NE(t.table.Find("C"), nullptr);
  EXPECT_EQ(t.table.Find("U")->Monoisotopic().massNumber, 238);
  EXPECT_EQ(t.table.Find("Xx"), nullptr);
  EXPECT_EQ(t.table.Find("c"), nullptr);
}

TEST(ElementTable, IsotopesWithFractionsOfTheElement) {
  LoadedTable t = LoadElementTable(kIsotopes);
  const Element* o = t.table.Find("O");
  ASSERT_NE(o, nullptr);
  ASSERT_EQ(o->isotopes.size(), 3u);
  double sum = 0;
  for (const Isotope& iso : o->isotopes) sum += iso.abundance;
  EXPECT_NEAR(sum, 1.0, 1e-12);
  // File: 12C at 100, 13C at 1.08157.
  const Isotope* c13 = t.table.FindIsotope(13, "C");
  ASSERT_NE(c13, nullptr);
  EXPECT_DOUBLE_EQ(c13->mass, 13.00335483507);
  EXPECT_NEAR(c13->abundance, 1.08157 / 101.08157, 1e-12);
  EXPECT_EQ(t.table.FindIsotope(14, "C"), nullptr);
  EXPECT_EQ(t.table.FindIsotope(13, "Xx"), nullptr);
}

TEST(ElementTable, MonoisotopicIsTheMostAbundant) {
  LoadedTable t = LoadElementTable(kIsotopes);
  EXPECT_DOUBLE_EQ(t.table.Find("H")->MonoisotopicMass(), 1.00782503223);
  EXPECT_EQ(t.table.Find("Cl")->Monoisotopic().massNumber, 35);
  EXPECT_DOUBLE_EQ(t.table.Find("Na")->MonoisotopicMass(), 22.989769282);
  // A file that lists a rarer isotope first still gets the most abundant one.
  LoadedTable r = ReadElementTable("13,C,13.00335483507,1.1\n12,C,12,100\n", "x.txt");
  EXPECT_EQ(r.table.Find("C")->Monoisotopic().massNumber, 12);
  EXPECT_DOUBLE_EQ(r.table.Find("C")->MonoisotopicMass(), 12.0);
}

TEST(ElementTable, BrokenLinesAreReportedAndLeftOut) {
  LoadedTable t = ReadElementTable(
      "1,H,1.00782503223,100\r\n"  // 1 good
      "2,H,2.014\r\n"              // 2 three fields
      "x,He,4.0026,100\n"          // 3 mass number not a number
      "4,he,4.0026,100\n"          // 4 not a symbol
      "\n"                         // 5 blank: not a problem
      "16,O,abc,100\r"             // 6 mass not a number
      "17,O,18.9984,1\n"           // 7 mass does not fit 17
      "18,O,17.9992,-1\n"          // 8 negative abundance
      "1,H,1.0078,100\n"           // 9 listed twice
      "16,O,15.99491461957,100",   // 10 good, no line end
      "iso.txt");
  std::vector<int> lines;
  for (const TableProblem& p : t.problems) {
    lines.push_back(p.line);
    EXPECT_EQ(p.file, "iso.txt");
    EXPECT_FALSE(p.reason.empty());
  }
  EXPECT_EQ(lines, (std::vector<int>{2, 3, 4, 6, 7, 8, 9}));
  EXPECT_NE(t.problems[0].reason.find("4 fields"), std::string::npos);
  EXPECT_NE(t.problems[6].reason.find("twice"), std::string::npos);
  ASSERT_EQ(t.table.Elements().size(), 2u);
  EXPECT_EQ(t.table.Find("H")->isotopes.size(), 1u);
  EXPECT_DOUBLE_EQ(t.table.Find("O")->MonoisotopicMass(), 15.99491461957);
  EXPECT_EQ(t.table.Find("He"), nullptr);
}

TEST(ElementTable, ElementWithoutAbundanceIsLeftOut) {
  LoadedTable t = ReadElementTable("12,C,12,100\n99,Tc,98.906,0\n", "f");
  ASSERT_EQ(t.problems.size(), 1u);
  EXPECT_EQ(t.problems[0].line, 2);
  EXPECT_EQ(t.table.Find("Tc"), nullptr);
  EXPECT_NE(t.table.Find("C"), nullptr);
}

TEST(ElementTable, ScatteredRecordsOfAnElementComeTogether) {
  LoadedTable t = ReadElementTable("35,Cl,34.968852682,100\n1,H,1.00782503223,100\n37,Cl,36.965902602,32\n", "f");
  EXPECT_TRUE(t.problems.empty());
  ASSERT_EQ(t.table.Find("Cl")->isotopes.size(), 2u);
  EXPECT_NEAR(t.table.FindIsotope(37, "Cl")->abundance, 32.0 / 132.0, 1e-12);
}

TEST(ElementTable, MissingFileIsOneProblemAndAnEmptyTable) {
  TempDir dir;
  LoadedTable t = LoadElementTable(dir.File("none.txt"));
  ASSERT_EQ(t.problems.size(), 1u);
  EXPECT_EQ(t.problems[0].line, 0);
  EXPECT_NE(t.problems[0].reason.find("none.txt"), std::string::npos);
  EXPECT_TRUE(t.table.Empty());
  // Bytes that are no table at all give problems, never a crash.
  LoadedTable junk = ReadElementTable(std::string("\x81\xff,\"\0,,\n,,,,,\n", 14), "j");
  EXPECT_EQ(junk.problems.size(), 2u);
  EXPECT_TRUE(junk.table.Empty());
}

}  // namespace
}  // namespace zelm::chem
