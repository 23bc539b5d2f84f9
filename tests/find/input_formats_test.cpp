// The same features written as MGF, as .ms files and as an mzML run give zelm-find the same rows.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "find/find_main.h"
#include "support/run_writer.h"
#include "support/temp_dir.h"

namespace zelm {
namespace {

// Caffeine's [M+H]+ with a survey spectrum and two MS/MS spectra, and caffeic acid's [M-H]- with one; their ion types
// not given, so each is searched as every common ion of its polarity.
const std::vector<Peak> kSurvey = {{150.2, 30}, {195.0877, 1000}, {196.0907, 99}, {197.0918, 12}, {210.3, 40}};
const std::vector<Peak> kLow = {{110.0713, 40}, {138.0662, 100}}, kHigh = {{83.0604, 30}, {138.0663, 80}};
const std::vector<Peak> kAcid = {{134.0373, 20}, {135.0452, 100}};

std::string Peaks(const std::vector<Peak>& peaks) {
  std::ostringstream s;
  s.precision(10);
  for (const Peak& p : peaks) s << p.mz << " " << p.intensity << "\n";
  return s.str();
}

std::string Mgf() {
  auto block = [](const std::string& head, const std::vector<Peak>& peaks) {
    return "BEGIN IONS\n" + head + Peaks(peaks) + "END IONS\n";
  };
  const std::string caffeine = "FEATURE_ID=1\nPEPMASS=195.0877\nCHARGE=1+\nIONMODE=positive\n";
  return block(caffeine + "MSLEVEL=1\n", kSurvey) + block(caffeine + "MSLEVEL=2\nCOLLISION_ENERGY=20\n", kLow) +
         block(caffeine + "MSLEVEL=2\nCOLLISION_ENERGY=40\n", kHigh) +
         block("FEATURE_ID=2\nPEPMASS=179.035\nCHARGE=1-\nMSLEVEL=2\n", kAcid);
}

void WriteMs(TempDir& dir) {
  dir.Write("1.ms", ">compound 1\n>parentmass 195.0877\n>charge 1\n>formula C8H10N4O2\n>ms1\n" + Peaks(kSurvey) +
                        "\n>collision 20\n" + Peaks(kLow) + ">collision 40\n" + Peaks(kHigh));
  dir.Write("2.ms", "# caffeic acid\n>compound 2\n>parentmass 179.035\n>charge -1\n>ms2\n" + Peaks(kAcid));
}

void WriteMzml(const std::string& path) {
  auto scan = [](int level, double rt, double precursor, int charge, std::string energy, std::vector<Peak> peaks) {
    const IonMode mode = charge < 0 ? IonMode::Negative : IonMode::Positive;
    return test::RunScan(level, rt, precursor, charge, std::move(energy), mode, std::move(peaks));
  };
  test::WriteRun(path, {scan(1, 60, 0, 1, "", kSurvey), scan(2, 61, 195.0877, 1, "20", kLow),
                        scan(2, 62, 195.0877, 1, "40", kHigh), scan(2, 90, 179.035, -1, "", kAcid)});
}

// zelm-find's rows without the query column (each format names its features its own way).
std::vector<std::string> Rows(const std::string& input, const std::string& format = "") {
  std::vector<std::string> args = {"zelm-find", "-i", input, "--ppm", "10", "--top", "3", "-q"};
  if (!format.empty()) args.insert(args.end(), {"--input-format", format});
  std::istringstream in;
  std::ostringstream out, err;
  EXPECT_EQ(FindMain(args, in, out, err), 0) << err.str();
  std::vector<std::string> rows;
  std::istringstream lines(out.str());
  for (std::string line; std::getline(lines, line);) rows.push_back(line.substr(line.find('\t') + 1));
  return rows;
}

TEST(InputFormats, MgfFeaturesMsFilesAndAnMzmlRunGiveTheSameRows) {
  TempDir dir;
  dir.Write("features.mgf", Mgf());
  const std::vector<std::string> mgf = Rows(dir.File("features.mgf"));
  ASSERT_EQ(mgf.size(), 7u);  // the header and three candidates of each feature
  // The survey spectrum gives the isotope fit, the two MS/MS spectra the fragments.
  EXPECT_EQ(mgf[1].substr(0, mgf[1].find('\t', 20)), "195.0877\t[M+H]+\tC8H10N4O2");
  std::vector<std::string> cells;
  std::istringstream row(mgf[1]);
  for (std::string cell; std::getline(row, cell, '\t');) cells.push_back(cell);
  ASSERT_EQ(cells.size(), 14u);  // the rules empty, the probability last
  EXPECT_EQ(cells[8], "1");
  EXPECT_GT(std::stod(cells[10]), 0.5);  // isotope_score
  EXPECT_EQ(cells[11], "1");             // msms_explained: all of both spectra
  EXPECT_GT(std::stod(cells[13]), 0.5);  // probability
  EXPECT_EQ(mgf[4].substr(0, 32), "179.035\t[M-H]-\tC9H8O4\tC9H7O4\t179");

  TempDir folder;
  WriteMs(folder);
  EXPECT_EQ(Rows(folder.File("")), mgf);
  WriteMzml(dir.File("run.mzML"));
  EXPECT_EQ(Rows(dir.File("run.mzML")), mgf);
}

}  // namespace
}  // namespace zelm
