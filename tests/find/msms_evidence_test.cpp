// MS/MS evidence on spectra made of known fragments, and the order the score puts candidates in.
#include "find/msms_evidence.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "chemistry/ion_type.h"
#include "find/find_main.h"
#include "find/find_run.h"

namespace zelm {
namespace {

// Entries C, H, N, O, S with their monoisotopic masses and valences.
const std::vector<double> kMasses = {12.0, 1.00782503207, 14.0030740048, 15.99491461956, 31.97207069};
const std::vector<int> kValences = {4, 1, 3, 2, 2};

double CationMz(std::vector<long long> counts) {
  double m = -chem::kElectronMass;
  for (size_t e = 0; e < counts.size(); ++e) m += static_cast<double>(counts[e]) * kMasses[e];
  return m;
}

TEST(MsmsEvidence, FragmentsOfTheIonAreExplainedAndOthersAreNot) {
  // Caffeine's [M+H]+ C8H11N4O2 and two of its fragments, C6H8N3O+ and C5H8N3+; a peak with sulfur, one above
  // the precursor and one of no intensity.
  const std::vector<long long> ion = {8, 11, 4, 2, 0};
  const double precursor = CationMz(ion);
  const std::vector<Peak> peaks = {{CationMz({6, 8, 3, 1, 0}), 100},
                                   {CationMz({5, 8, 3, 0, 0}) + 0.0004, 50},
                                   {CationMz({2, 3, 0, 0, 1}), 25},
                                   {precursor + 1.003, 10},
                                   {CationMz({4, 4, 1, 0, 0}), 0}};
  const FragmentExplainer explainer(kMasses, kValences, 1, peaks, precursor, {5, 0});
  EXPECT_EQ(explainer.Peaks(), 3u);
  const MsmsEvidence e = explainer.Explain(ion.data(), true);
  EXPECT_EQ(e.peaks, 3u);
  EXPECT_EQ(e.explainedPeaks, 2u);
  EXPECT_NEAR(e.explainedIntensity, 150.0 / 175.0, 1e-12);
  ASSERT_EQ(e.explanations.size(), 2u);
  // By m/z: C5H8N3+ first.
  EXPECT_EQ(e.explanations[0].peak, 1u);
  EXPECT_EQ(e.explanations[0].counts, (std::vector<long long>{5, 8, 3, 0, 0}));
  EXPECT_EQ(e.explanations[1].counts, (std::vector<long long>{6, 8, 3, 1, 0}));
  EXPECT_NEAR(e.explanations[1].mzTheoretical, peaks[0].mz, 1e-9);
  // The exact fragment gets full credit, the one 0.4 mDa off (3.6 ppm of 5) less.
  // (weights by m/z: the sulfur peak, C5H8N3+, C6H8N3O+).
  ASSERT_EQ(e.weights.size(), 3u);
  EXPECT_EQ(e.weights[0].second, 0);
  EXPECT_LT(e.weights[1].second, 0.2);
  EXPECT_GT(e.weights[2].second, 0.99);
  EXPECT_EQ(e.weights[2].first, 1);
  // With sulfur in the ion, the third peak is explained too.
  const std::vector<long long> withSulfur = {8, 11, 4, 2, 1};
  EXPECT_EQ(explainer.Explain(withSulfur.data(), false).explainedPeaks, 3u);
}

TEST(MsmsEvidence, FragmentsNeedASensibleRdbeAndTheChanceGrowsWithTheElements) {
  // H3+ has RDBE -0.5 and is an ion; H5+ (RDBE -1.5) is not.
  const std::vector<long long> ion = {2, 8, 0, 1, 0};
  const std::vector<Peak> peaks = {{CationMz({0, 3, 0, 0, 0}), 10}, {CationMz({0, 5, 0, 0, 0}), 10}};
  const FragmentExplainer explainer(kMasses, kValences, 1, peaks, CationMz(ion), {5, 0});
  const MsmsEvidence e = explainer.Explain(ion.data(), true);
  ASSERT_EQ(e.explainedPeaks, 1u);
  EXPECT_EQ(e.explanations[0].counts[1], 3);
  // A formula of more elements and atoms explains more by chance.
  const std::vector<Peak> one = {{100.0, 1}};
  const FragmentExplainer wide(kMasses, kValences, 1, one, 400, {10, 0});
  const std::vector<long long> small = {10, 12, 0, 2, 0}, rich = {10, 12, 4, 4, 2};
  EXPECT_LT(wide.Explain(small.data(), false).chance, wide.Explain(rich.data(), false).chance);
  // Negative ions: the fragment carries an extra electron.
  const std::vector<Peak> anion = {{CationMz({1, 1, 0, 2, 0}) + 2 * chem::kElectronMass, 5}};
  const std::vector<long long> acid = {2, 3, 0, 2, 0};
  const FragmentExplainer negative(kMasses, kValences, -1, anion, CationMz(acid) + 2 * chem::kElectronMass, {5, 0});
  EXPECT_EQ(negative.Explain(acid.data(), false).explainedPeaks, 1u);
}

TEST(Score, EachPartOrdersCandidatesTheWayItShould) {
  // Closer, fewer soft rules, commoner elements, better isotope fit: each a higher score.
  EXPECT_GT(PriorScore(0.1, 0, 0, std::nullopt), PriorScore(0.5, 0, 0, std::nullopt));
  EXPECT_GT(PriorScore(0.1, 0, 0, std::nullopt), PriorScore(0.1, 1, 0, std::nullopt));
  EXPECT_GT(PriorScore(0.1, 0, ElementPrior("N"), std::nullopt), PriorScore(0.1, 0, ElementPrior("Br"), std::nullopt));
  EXPECT_GT(PriorScore(0.1, 0, 0, 0.9), PriorScore(0.1, 0, 0, 0.2));
  // MS/MS: explained peaks count for a candidate, the more the less it explains by chance.
  MsmsEvidence good, poor, lucky;
  good.peaks = poor.peaks = lucky.peaks = 2;
  good.chance = poor.chance = 0.1;
  lucky.chance = 0.9;
  good.weights = {{1, 1}, {0.5, 1}};
  poor.weights = {{1, 1}, {0.5, 0}};
  lucky.weights = good.weights;
  EXPECT_GT(MsmsScore(good), MsmsScore(poor));
  EXPECT_GT(MsmsScore(good), MsmsScore(lucky));
  EXPECT_EQ(MsmsScore(MsmsEvidence()), 0);
}

std::string FindTable(std::vector<std::string> args, const std::string& input) {
  args.insert(args.begin(), "zelm-find");
  std::istringstream in(input);
  std::ostringstream out, err;
  EXPECT_EQ(FindMain(args, in, out, err), 0) << err.str();
  return out.str();
}

// The formula in the row of rank 1.
std::string First(const std::string& table) {
  std::istringstream s(table);
  std::string line;
  std::getline(s, line);
  std::getline(s, line);
  size_t start = 0;
  for (int tab = 0; tab < 3; ++tab) start = line.find('\t', start) + 1;
  return line.substr(start, line.find('\t', start) - start);
}

// A cell of the row of a formula.
std::string Cell(const std::string& table, const std::string& formula, int column) {
  std::istringstream s(table);
  for (std::string line; std::getline(s, line);) {
    std::vector<std::string> f;
    std::istringstream l(line);
    for (std::string x; std::getline(l, x, '\t');) f.push_back(x);
    if (f.size() > 3 && f[3] == formula) return static_cast<size_t>(column) < f.size() ? f[column] : "";
  }
  ADD_FAILURE() << formula << " not in\n" << table;
  return "0";
}

TEST(Score, MsmsPeaksLiftTheFormulaTheyComeFrom) {
  // Between caffeine's [M+H]+ (1.3 ppm off) and C8H18OS2's (1.1 ppm off) the mass alone picks the sulfur compound;
  // caffeine's fragments pick caffeine.
  const std::string bare = "BEGIN IONS\nTITLE=q\nPEPMASS=195.0874\nCHARGE=1+\nEND IONS\n";
  const std::string fragments = "BEGIN IONS\nTITLE=q\nPEPMASS=195.0874\nCHARGE=1+\n138.06619 100\n110.07127 40\nEND IONS\n";
  const std::vector<std::string> args = {"-i", "-", "--input-format", "mgf", "-e", "C0-12 H0-30 N0-6 O0-4 S0-2", "-q"};
  EXPECT_EQ(First(FindTable(args, bare)), "C8H18OS2");
  EXPECT_EQ(First(FindTable(args, fragments)), "C8H10N4O2");
  std::vector<std::string> off = args;
  off.push_back("--no-msms");
  EXPECT_EQ(First(FindTable(off, fragments)), "C8H18OS2");
  // --explain names each peak's fragment.
  std::vector<std::string> explain = args;
  explain.insert(explain.end(), {"--explain", "--top", "1"});
  const std::string x = FindTable(explain, fragments);
  EXPECT_NE(x.find("\tC8H10N4O2\t[M+H]+\t138.06619\t100\tC6H8N3O\t"), std::string::npos) << x;
  EXPECT_NE(x.find("\t110.07127\t40\tC5H8N3\t"), std::string::npos) << x;
}

TEST(Score, MeasuredIsotopesLiftTheFormulaWithTheirPattern) {
  // C6H4Cl2's radical cation against C9H... candidates of nearly its mass: its two chlorines show at M+2 and M+4.
  const std::string plain = "id,mz,adduct\nq,145.96845,[M]+\n";
  const std::string isotopes =
      "id,mz,adduct,isotopes\nq,145.96845,[M]+,145.96845:100;147.96550:63.9;149.96255:10.2\n";
  const std::vector<std::string> args = {"-i", "-", "--input-format", "csv", "-e", "C0-10 H0-20 N0-4 O0-4 P0-2 Cl0-2",
                                         "-q", "--ppm", "10"};
  const std::string with = FindTable(args, isotopes);
  EXPECT_EQ(First(with), "C6H4Cl2") << with;
  // The pattern's fit decides it: C6H4Cl2 fits, C4H4O2P2 (2.4 ppm off, no chlorine) does not and falls behind by
  // far more than without the measured isotopes, where no fit is given.
  const std::string without = FindTable(args, plain);
  EXPECT_GT(std::stod(Cell(with, "C6H4Cl2", 11)), 0.9);
  EXPECT_LT(std::stod(Cell(with, "C4H4O2P2", 11)), 0.1);
  EXPECT_EQ(Cell(without, "C6H4Cl2", 11), "");
  EXPECT_LT(std::stod(Cell(with, "C4H4O2P2", 10)), std::stod(Cell(without, "C4H4O2P2", 10)) - 5);
}

}  // namespace
}  // namespace zelm
