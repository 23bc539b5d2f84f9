// Times isotope patterns: IsoSpec++'s fine structure of ions from 180 u to 5000 u at several coverages, the merging
// into peaks at a resolving power, and the score of a pattern against measured peaks.
//
// Columns: the formula and its monoisotopic mass; the coverage; the fine-structure lines; microseconds for the fine
// structure; the peaks at R = 60 000 and at R = 1 000 000 and microseconds for the merging at each; microseconds for
// one whole pattern (fine structure and merging at 60 000). Then microseconds per score of a 5-peak measurement.
// Times are processor seconds of this thread, the best of three batches of at least 0.1 s.
//
// Usage: pattern_bench
#include <algorithm>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <vector>

#include "chemistry/formula_notation.h"
#include "chemistry/isotope_pattern.h"
#include "rank/isotope_fit.h"
#include "text/defaults.h"

#include "bench/bench_timing.h"

using namespace zelm;

namespace {


}  // namespace

int main() {
  const chem::LoadedTable loaded = chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt");
  const chem::ElementTable& table = loaded.table;
  const char* formulas[] = {"C6H13O6",          "C20H26N2O4SCl",      "C50H80N10O15S2",    "C45H60N8O10Cl4Br2",
                            "C100H160N28O30S4", "C250H400N70O75S6Fe", "C100H50Cl20Br10"};
  std::printf("%-22s %9s %8s %7s %9s %6s %9s %6s %9s %9s\n", "formula", "mass", "coverage", "lines", "fine_us",
              "p60k", "merge_us", "p1M", "merge_us", "whole_us");
  for (const char* text : formulas) {
    const chem::Composition ion = *chem::ParseFormula(text, &table);
    const double mass = *ion.MonoisotopicMass(table);
    for (double coverage : {0.999, 0.9999, 0.99999}) {
      std::vector<chem::PatternPeak> lines;
      const double fine = Best([&] { lines = chem::FineStructure(ion, 1, table, coverage); });
      size_t at60 = 0, at1m = 0;
      const double merge60 = Best([&] { at60 = chem::MergePeaks(lines, 60000).size(); });
      const double merge1m = Best([&] { at1m = chem::MergePeaks(lines, 1e6).size(); });
      const double whole = Best([&] { chem::MergePeaks(chem::FineStructure(ion, 1, table, coverage), 60000); });
      std::printf("%-22s %9.3f %8g %7zu %9.1f %6zu %9.1f %6zu %9.1f %9.1f\n", text, mass, coverage, lines.size(),
                  fine * 1e6, at60, merge60 * 1e6, at1m, merge1m * 1e6, whole * 1e6);
    }
  }
  const chem::Composition ion = *chem::ParseFormula("C50H80N10O15S2", &table);
  const auto pattern = chem::IsotopePattern(ion, 1, table);
  std::vector<Peak> measured;
  for (size_t i = 0; i < pattern.size() && i < 5; ++i) measured.push_back({pattern[i].mz, pattern[i].abundance});
  double sink = 0;
  const double score = Best([&] { sink += IsotopeScore(pattern, measured, 0.005); });
  std::printf("score of C50H80N10O15S2 (%zu peaks) against 5 measured peaks: %.2f us (%.3f)\n", pattern.size(),
              score * 1e6, sink > 0 ? 1.0 : 0.0);
  return 0;
}
