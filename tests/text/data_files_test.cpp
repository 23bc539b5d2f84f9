#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/temp_dir.h"
#include "text/data_files.h"

namespace zelm {
namespace {

std::vector<std::string> Reasons(const std::vector<FileProblem>& problems) {
  std::vector<std::string> out;
  for (const auto& p : problems) out.push_back(p.file + ":" + std::to_string(p.line) + ":" + p.reason);
  return out;
}

TEST(DataFiles, LibraryEntriesWithTheirLinesAndBytesAndEveryLineThatIsNone) {
  TempDir dir;
  const std::string bytes = "C,12\r\nbroken\r\n\r\n\"Na,Cl\", 57.958622\nX(1),5\r\nY,z\r\nA,1,2\r\n,3\r\nH,1.5";
  dir.Write("EMassQuick.txt", bytes);
  const LibraryData data = ReadLibrary(dir.File("EMassQuick.txt"));
  ASSERT_TRUE(data.read);
  EXPECT_EQ(data.bytes, bytes);
  ASSERT_EQ(data.entries.size(), 3u);
  EXPECT_EQ(data.entries[1].label, "Na,Cl");
  EXPECT_DOUBLE_EQ(data.entries[1].mass, 57.958622);
  EXPECT_EQ(data.entries[1].line, 4);
  EXPECT_EQ(bytes.substr(data.entries[1].start, data.entries[1].end - data.entries[1].start),
            "\"Na,Cl\", 57.958622\n");
  EXPECT_EQ(bytes.substr(data.entries[2].start), "H,1.5");
  EXPECT_EQ(data.entries[2].end, bytes.size());
  EXPECT_EQ(Reasons(data.problems),
            (std::vector<std::string>{"EMassQuick.txt:2:it has no comma", "EMassQuick.txt:3:it is blank",
                                      "EMassQuick.txt:5:its label holds a parenthesis",
                                      "EMassQuick.txt:6:its mass is not a number",
                                      "EMassQuick.txt:7:it has more than one comma",
                                      "EMassQuick.txt:8:its label is empty"}));
}

TEST(DataFiles, AFileThatCannotBeReadIsOneProblemOfTheWholeFile) {
  TempDir dir;
  const LibraryData data = ReadLibrary(dir.File("EMassBasic.txt"));
  EXPECT_FALSE(data.read);
  EXPECT_EQ(Reasons(data.problems), (std::vector<std::string>{"EMassBasic.txt:0:EMassBasic.txt could not be found."}));
  EXPECT_FALSE(ReadIsotopes(dir.Path()).read);  // a folder
  // A missing rating file is an empty one.
  const RatingData ratings = ReadRatings(dir.File("ConfFile.txt"));
  EXPECT_TRUE(ratings.read);
  EXPECT_TRUE(ratings.ratings.empty() && ratings.problems.empty());
}

TEST(DataFiles, IsotopesAdjustmentsAndRatings) {
  TempDir dir;
  dir.Write("isotopes.txt", "1,H,1.00782503223,100\r\n2,H\r\n\r\n12,C,twelve,100\r\n13,C,13.003354835,1.08\r\n");
  const IsotopeData isotopes = ReadIsotopes(dir.File("isotopes.txt"));
  ASSERT_EQ(isotopes.records.size(), 2u);
  EXPECT_EQ(isotopes.records[1].fields[2], "13.003354835");
  EXPECT_EQ(isotopes.records[1].line, 5);
  EXPECT_EQ(Reasons(isotopes.problems),
            (std::vector<std::string>{"isotopes.txt:2:fewer than four fields",
                                      "isotopes.txt:4:a mass or abundance that is not a number"}));

  dir.Write("M-Adjstr.txt", "\"No Mass Adjustment\",0\r\nH,-1.007825\r\nbad\r\nOH,x\r\n");
  const AdjustmentData adjust = ReadAdjustments(dir.File("M-Adjstr.txt"));
  ASSERT_EQ(adjust.rows.size(), 2u);
  EXPECT_EQ(adjust.rows[0].name, "No Mass Adjustment");
  EXPECT_DOUBLE_EQ(adjust.rows[1].mass, -1.007825);
  EXPECT_EQ(Reasons(adjust.problems), (std::vector<std::string>{"M-Adjstr.txt:3:no comma",
                                                                 "M-Adjstr.txt:4:a mass that is not a number"}));

  dir.Write("ConfFile.txt", "90%C10H8," + std::string(45, 'K') + "%x,none\r\n");
  const RatingData ratings = ReadRatings(dir.File("ConfFile.txt"));
  ASSERT_EQ(ratings.ratings.size(), 2u);
  EXPECT_EQ(ratings.ratings[0].percent, "90");
  EXPECT_EQ(ratings.ratings[0].key, "C10H8");
  EXPECT_EQ(ratings.ratings[1].percent, std::string(45, 'K'));
  EXPECT_EQ(ratings.ratings[1].key, "x");
  EXPECT_EQ(Reasons(ratings.problems), (std::vector<std::string>{"ConfFile.txt:1:no \"%\""}));
}

}  // namespace
}  // namespace zelm
