#include <gtest/gtest.h>

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include "spectra/feature_input.h"

namespace zelm {
namespace {

namespace fs = std::filesystem;

std::vector<std::string> Texts(const FeatureList& list) {
  std::vector<std::string> texts;
  for (const ReadProblem& p : list.problems) texts.push_back(p.Text());
  return texts;
}

TEST(MsInput, CompoundsFieldsSpectraAndNotes) {
  const auto list = ReadFeatures(
      ">compound caffeine\n>formula C8H10N4O2\n>parentmass 195.0877\n>ionization [M+H]+\n\n>ms1merged\n"
      "195.0877 100\n196.0904\t9.5\n# a comment\n>collision 20\n138.0662 100\n>ms2\n110.07 5\n"
      ">compound neg\n>parentmass 193.07\n>charge -1\n>ms2\n>instrument Orbitrap\n",
      InputFormat::Ms, "set.ms");
  ASSERT_EQ(list.problems.size(), 0u);
  ASSERT_EQ(list.features.size(), 2u);
  const Feature& f = list.features[0];
  EXPECT_EQ(f.id, "caffeine");
  EXPECT_DOUBLE_EQ(f.mz, 195.0877);
  EXPECT_EQ(f.ion, "[M+H]+");
  EXPECT_EQ(f.mode, IonMode::Positive);
  EXPECT_EQ(f.charge, 0);
  EXPECT_EQ(f.notes, (std::vector<std::pair<std::string, std::string>>{{"formula", "C8H10N4O2"}}));
  ASSERT_EQ(f.ms1.size(), 1u);
  EXPECT_EQ(f.ms1[0].peaks.size(), 2u);
  EXPECT_DOUBLE_EQ(f.ms1[0].peaks[1].intensity, 9.5);
  ASSERT_EQ(f.ms2.size(), 2u);
  EXPECT_EQ(f.ms2[0].collisionEnergy, "20");
  EXPECT_EQ(f.ms2[0].line, 10);
  EXPECT_DOUBLE_EQ(f.ms2[1].precursorMz, 195.0877);
  EXPECT_EQ(f.ms2[1].peaks.size(), 1u);
  const Feature& g = list.features[1];
  EXPECT_EQ(g.line, 14);
  EXPECT_EQ(g.charge, -1);
  EXPECT_EQ(g.mode, IonMode::Negative);
  EXPECT_TRUE(g.ms2[0].peaks.empty());
  EXPECT_EQ(g.notes.size(), 1u);
}

TEST(MsInput, ACompoundWithAFaultIsReportedAndTheNextReadOn) {
  const auto list = ReadFeatures(
      ">parentmass 100\n>ms2\n50 1\n"                         // 1-3: before any >compound, named after the file
      ">compound a\n>parentmass 100\n100 5\n>ms2\n1 2\n"      // 4-8: a peak line before a spectrum header
      ">compound b\n>parentmass x\n"                          // 9-10
      ">compound c\n>ms2\n100 1\n"                            // 11-13
      ">compound d\n>parentmass 100\n>ms2\n100 x\n"           // 14-17
      ">compound e\n>ion [M-H]-\n>charge 1+\n>parentmass 5\n"  // 18-21
      ">compound f\n>ion [M-H]-\n>charge 1\n>parentmass 5\n",
      InputFormat::Ms, "x.ms");
  EXPECT_EQ(Texts(list),
            (std::vector<std::string>{
                "x.ms line 6: the peak line \"100 5\" follows no spectrum header (>ms1, >ms2 or >collision)",
                "x.ms line 10: the parent mass \"x\" is not a number above 0",
                "x.ms line 11: the compound has no >parentmass",
                "x.ms line 17: the peak line \"100 x\" is not an m/z and an intensity",
                "x.ms line 20: the charge \"1+\" disagrees with the ion \"[M-H]-\""}));
  ASSERT_EQ(list.features.size(), 2u);
  EXPECT_EQ(list.features[0].id, "x");
  EXPECT_EQ(list.features[1].id, "f");
  EXPECT_EQ(list.features[1].charge, -1);
}

TEST(MsInput, AFolderIsItsMsFilesByName) {
  const fs::path dir = fs::temp_directory_path() / ("zelm-ms-" + std::to_string(::getpid()));
  fs::remove_all(dir);
  fs::create_directories(dir / "sub.ms");
  std::ofstream(dir / "b.MS") << ">compound second\n>parentmass 200\n";
  std::ofstream(dir / "a.ms") << ">compound first\n>parentmass 100\n>ms2\n1 x\n";
  std::ofstream(dir / "c.txt") << "300\n";
  const auto list = ReadFeatureFile(dir.string() + "/", std::nullopt, {});
  ASSERT_EQ(list.features.size(), 1u);
  EXPECT_EQ(list.features[0].id, "second");
  EXPECT_EQ(list.features[0].file, "b.MS");
  EXPECT_EQ(Texts(list), (std::vector<std::string>{"a.ms line 4: the peak line \"1 x\" is not an m/z and an intensity"}));
  fs::remove(dir / "a.ms");
  fs::remove(dir / "b.MS");
  EXPECT_EQ(Texts(ReadFeatureFile(dir.string(), InputFormat::Ms, {})),
            (std::vector<std::string>{dir.filename().string() + ": the folder holds no .ms file"}));
  EXPECT_EQ(Texts(ReadFeatureFile((dir / "none.csv").string(), std::nullopt, {})),
            (std::vector<std::string>{"none.csv: could not be found"}));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace zelm
