// Times the formula enumeration against the window's Search on the same problems: element sets with counts 0..2^(b+1)-1
// each, which the window's search covers with a library of the elements' masses at MaxBit b. The enumeration's blocks
// take the same masses (the first record of each symbol in isotopes.txt); it is built once per element set (its build
// time is shown once per set) and then searches each window.
//
// Columns: the number of vectors the enumeration finds; the partial vectors it entered; its seconds per search when
// counting and when handing every vector to a sink (which adds up the counts), and the nanoseconds per vector so; the
// window's Search seconds when counting, and its time over the enumeration's counting and listing; and whether both counted the same (the
// window's walk forms its sums in another order, and has a rule of its own for wide windows, so they may differ at the
// edges). Seconds are processor seconds of this thread, the best of several batches of at least 0.1 s.
//
// Usage: find_bench [case name part ...]   (no argument: every case)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "bench/quiet_host.h"
#include "core/form1.h"
#include "core/host.h"
#include "engine/formula_enumeration.h"
#include "text/text.h"
#include "text/textfile.h"

#include "bench/bench_timing.h"

using namespace zelm;

namespace {


struct ElementSet {
  std::string name;
  std::vector<std::string> symbols;
  int maxBit;
};

struct Case {
  std::string name;
  int set;  // index into the sets
  double mass;
  std::string ppm;
};

// The first record of each symbol in isotopes.txt: its label line for a library file, and its mass.
std::map<std::string, std::pair<std::string, double>> Isotopes(const std::string& dir) {
  std::map<std::string, std::pair<std::string, double>> first;
  TextReader isotopes(dir + "/isotopes.txt");
  while (isotopes.Ok() && !isotopes.AtEnd()) {
    auto f = SplitFields(isotopes.ReadLine());
    if (f.size() >= 3 && !first.count(f[1]))
      first[f[1]] = {ToSuperscript(f[0]) + f[1] + "," + f[2], std::strtod(f[2].c_str(), nullptr)};
  }
  return first;
}

struct SumSink : FormulaSink {
  long long total = 0;
  bool Hit(const int* count, int k, double) override {
    for (int i = 0; i < k; ++i) total += count[i];
    return false;
  }
  bool Pause(const EnumerationStats&) override { return false; }
  double Clock() override {
    return std::chrono::duration<double>(std::chrono::steady_clock::now().time_since_epoch()).count();
  }
};

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = BenchFolder();
  QuietHost host(dir);
  Form1 form(host);
  form.FormLoad();  // writes the built-in data files into the working folder
  form.FormActivate();
  const auto isotopes = Isotopes(dir);

  const std::vector<ElementSet> sets = {
      {"ten", {"H", "C", "N", "O", "Na", "Mg", "P", "S", "Cl", "K"}, 4},
      {"chnops", {"C", "H", "N", "O", "P", "S"}, 5},
      {"chno", {"C", "H", "N", "O"}, 6},
  };
  const std::vector<Case> cases = {
      {"ten-120-20ppm", 0, 120, "20"},   {"ten-300-10ppm", 0, 300, "10"},  {"ten-500-1ppm", 0, 500, "1"},
      {"ten-500-5ppm", 0, 500, "5"},     {"ten-800-2ppm", 0, 800, "2"},    {"ten-1000-1ppm", 0, 1000, "1"},
      {"ten-1000-5ppm", 0, 1000, "5"},   {"chnops-500-20ppm", 1, 500, "20"}, {"chnops-1000-5ppm", 1, 1000, "5"},
      {"chnops-2000-1ppm", 1, 2000, "1"}, {"chnops-3000-2ppm", 1, 3000, "2"}, {"chno-1500-10ppm", 2, 1500, "10"},
      {"chno-3000-1ppm", 2, 3000, "1"},
  };

  std::printf("%-17s %9s %10s %10s %10s %7s %10s %7s %7s %5s\n", "case", "vectors", "visits", "enum s", "enum s",
              "ns/vec", "window s", "ratio", "ratio", "same");
  std::printf("%-17s %9s %10s %10s %10s %7s %10s %7s %7s %5s\n", "", "", "", "(count)", "(list)", "(list)", "(count)",
              "(count)", "(list)", "");
  int builtSet = -1;
  std::unique_ptr<FormulaEnumerator> enumerator;
  for (const Case& c : cases) {
    bool wanted = argc < 2;
    for (int i = 1; i < argc; ++i) wanted = wanted || c.name.find(argv[i]) != std::string::npos;
    if (!wanted) continue;
    const ElementSet& set = sets[static_cast<size_t>(c.set)];
    if (builtSet != c.set) {
      // The library for the window, and the enumerator.
      std::vector<std::string> lines;
      std::vector<BlockRange> blocks;
      const int most = (1 << (set.maxBit + 1)) - 1;
      for (const std::string& s : set.symbols) {
        auto it = isotopes.find(s);
        if (it == isotopes.end()) {
          std::fprintf(stderr, "isotopes.txt has no %s\n", s.c_str());
          return 1;
        }
        lines.push_back(it->second.first);
        blocks.push_back({it->second.second, 0, most});
      }
      const std::string name = "EMass-" + set.name + ".txt";
      const std::string problem = WriteLinesAtomic(dir + "/" + name, lines);
      if (!problem.empty()) {
        std::fprintf(stderr, "%s\n", problem.c_str());
        return 1;
      }
      form.MaxBit = static_cast<int16_t>(set.maxBit);
      form.LoadFile(name);
      form.Sort();
      if (!form.LoadProblem.empty()) std::fprintf(stderr, "%s\n", form.LoadProblem.c_str());
      const double start = CpuSeconds();
      enumerator = std::make_unique<FormulaEnumerator>(blocks);
      std::printf("# %s: %zu elements, counts 0..%d; enumerator built in %.4f s, bins %.3g u to %.3g u, %zu words, "
                  "%d dense rows, the %d lightest solved by a list of %zu\n",
                  set.name.c_str(), blocks.size(), most, CpuSeconds() - start, enumerator->BinWidth(static_cast<int>(blocks.size()) - 1), enumerator->BinWidth(0),
                  enumerator->TableWords(), enumerator->DenseRows(), enumerator->TailBlocks(),
                  enumerator->TailVectors());
      builtSet = c.set;
    }
    form.Range.SetText(c.ppm);
    const auto window = form.WindowOf(c.mass);

    SumSink sink;
    EnumerationOptions counting;
    counting.countOnly = true;
    EnumerationStats stats;
    const double enumCount = Best([&] { stats = enumerator->Enumerate(window.lower, window.upper, sink, counting); });
    EnumerationStats listed;
    const double enumList =
        Best([&] { listed = enumerator->Enumerate(window.lower, window.upper, sink, EnumerationOptions{}); });
    form.SearchSettings.countOnly = true;
    const double windowCount = Best([&] {
      double m = c.mass;
      form.Search(m);
    });
    const long long windowHits = form.SearchStatistics.hits;
    std::printf("%-17s %9lld %10lld %10.6f %10.6f %7.1f %10.6f %7.2f %7.2f %5s\n", c.name.c_str(), stats.hits, stats.visits,
                enumCount, enumList, listed.hits > 0 ? enumList / static_cast<double>(listed.hits) * 1e9 : 0.0,
                windowCount, windowCount / enumCount, windowCount / enumList,
                windowHits == stats.hits && listed.hits == stats.hits ? "yes" : "NO");
    if (windowHits != stats.hits) std::printf("#   the window's Search counted %lld\n", windowHits);
    std::fflush(stdout);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
