// Times the combination search against the walk it must match, on the same named cases in one run. Each case builds
// the search index from a library file (LoadFile and Sort, as a search run does) and runs both SearchWalk and Search
// twice: once counting the combinations inside the window without forming their lines, and once listing them through
// the candidate check, as the program does.
//
// Columns: index entries; lines listed; combinations entered by the walk and by the search (counting runs); seconds per
// search of the walk and of the search when counting, and the walk's time over the search's; the same when listing;
// the longest time between two yields (or between the start or the end and a yield) of either when listing, in ms:
// how long a click can wait; and whether both listed the same lines. Cases timed for the search alone show "-" for the
// walk, and "stop" where the search was stopped after a while (its figures are then those of the part searched). Seconds are processor seconds of the best of
// several batches, steadier than the clock on a shared machine.
//
// Usage: search_bench [case name part ...]   (no argument: every case)
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "bench/quiet_host.h"
#include "core/form1.h"
#include "core/host.h"
#include "text/text.h"
#include "text/textfile.h"

#include "bench/bench_timing.h"

using namespace zelm;

namespace {

using Clock = std::chrono::steady_clock;

using BenchHost = QuietHost;

struct Case {
  std::string name;
  std::string library;  // file in the working folder
  double mass;
  std::string ppm;
  int maxBit;
  // Cases the walk would take hours over are timed for the search alone, once, counting and listing; a search still
  // running after `stopAfter` seconds is stopped at its next yield.
  bool searchOnly = false;
  double stopAfter = 0;
};

// The ten-element library: the named isotope (the first record of its element) of each symbol in isotopes.txt.
std::string TenElementLibrary(const std::string& dir) {
  const std::vector<std::string> symbols = {"H", "C", "N", "O", "Na", "Mg", "P", "S", "Cl", "K"};
  std::map<std::string, std::string> line;
  TextReader isotopes(dir + "/isotopes.txt");
  while (isotopes.Ok() && !isotopes.AtEnd()) {
    auto f = SplitFields(isotopes.ReadLine());
    if (f.size() >= 3 && !line.count(f[1])) line[f[1]] = ToSuperscript(f[0]) + f[1] + "," + f[2];
  }
  std::vector<std::string> lines;
  for (const std::string& s : symbols) {
    if (!line.count(s)) {
      std::fprintf(stderr, "isotopes.txt has no %s\n", s.c_str());
      std::exit(1);
    }
    lines.push_back(line[s]);
  }
  const std::string name = "EMassTen.txt";
  std::string problem = WriteLinesAtomic(dir + "/" + name, lines);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::exit(1);
  }
  return name;
}

// The basic library with a neutral loss of water: a negative mass.
std::string LossLibrary(const std::string& dir, const std::string& basic) {
  std::vector<std::string> lines;
  TextReader reader(dir + "/" + basic);
  while (reader.Ok() && !reader.AtEnd()) lines.push_back(reader.ReadLine());
  lines.push_back("Loss, -18.010565");
  const std::string name = "EMassLoss.txt";
  std::string problem = WriteLinesAtomic(dir + "/" + name, lines);
  if (!problem.empty()) {
    std::fprintf(stderr, "%s\n", problem.c_str());
    std::exit(1);
  }
  return name;
}

struct Timing {
  double seconds = 1e300;  // per search, best batch
  double longestGap = 0;   // longest time between yields, over all runs
};

// Runs the walk or the search in a batch of at least 0.1 s (one run at least); keeps the best time per search and the
// longest time between yields.
void TimeBatch(Form1& form, BenchHost& host, bool walk, double mass, Timing& timing, double& spent) {
  int runs = 0;
  host.longest = 0;
  const double start = CpuSeconds();
  double elapsed = 0;
  do {
    double m = mass;
    host.Start();
    if (walk) form.SearchWalk(m);
    else form.Search(m);
    host.Mark();
    ++runs;
    elapsed = CpuSeconds() - start;
  } while (elapsed < 0.1);
  timing.seconds = std::min(timing.seconds, elapsed / runs);
  timing.longestGap = std::max(timing.longestGap, host.longest);
  spent += elapsed;
}

// Batches of the walk and of the search in turn, until `minSeconds` have passed, so that both meet the same state of
// the machine.
void TimeBoth(Form1& form, BenchHost& host, double mass, double minSeconds, Timing& walk, long long& walkVisits,
              std::vector<std::string>* walkLines, Timing& search, long long& searchVisits,
              std::vector<std::string>* searchLines);

std::vector<std::string> SortedLines(const Form1& form) {
  std::vector<std::string> lines = form.Results.Items();
  std::sort(lines.begin(), lines.end());
  return lines;
}

void TimeBoth(Form1& form, BenchHost& host, double mass, double minSeconds, Timing& walk, long long& walkVisits,
              std::vector<std::string>* walkLines, Timing& search, long long& searchVisits,
              std::vector<std::string>* searchLines) {
  double walkSpent = 0, searchSpent = 0;
  do {
    TimeBatch(form, host, true, mass, walk, walkSpent);
    walkVisits = form.SearchStatistics.visits;
    if (walkLines) *walkLines = SortedLines(form);
    TimeBatch(form, host, false, mass, search, searchSpent);
    searchVisits = form.SearchStatistics.visits;
    if (searchLines) *searchLines = SortedLines(form);
  } while (walkSpent + searchSpent < minSeconds);
}

}  // namespace

int main(int argc, char** argv) {
  const std::string dir = BenchFolder();
  BenchHost host(dir);
  Form1 form(host);
  form.FormLoad();  // writes the built-in data files into the working folder
  form.FormActivate();
  const std::string quick = "EMassQuick.txt", basic = "EMassBasic.txt", ten = TenElementLibrary(dir);
  const std::string loss = LossLibrary(dir, basic);

  const std::vector<Case> cases = {
      {"quick-120", quick, 120, "1", 3},
      {"quick-500", quick, 500, "1", 3},
      {"quick-1000", quick, 1000, "1", 3},
      {"quick-1200-1ppm", quick, 1200.1, "1", 3},
      {"quick-500-5ppm-b4", quick, 500, "5", 4},
      {"quick-100-20ppm-b0", quick, 100, "20", 0},
      {"quick-300-1000ppm", quick, 300, "1000", 3},
      {"basic-150-1ppm-b4", basic, 150, "1", 4},
      {"basic-200-5ppm", basic, 200, "5", 3},
      {"ten-1000-1ppm", ten, 1000, "1", 3},
      {"ten-1000-5ppm-b4", ten, 1000, "5", 4},
      // A long top-level step; a library with a neutral loss (a negative mass); the same mass without it.
      {"basic-3000-0.001ppm", basic, 3000, "0.001", 3, true, 10},
      {"loss-500-0.001ppm", loss, 500, "0.001", 3, true, 120},
      {"basic-500-0.001ppm", basic, 500, "0.001", 3, true, 120},
  };

  std::printf("%-19s %4s %7s %12s %9s %10s %10s %8s %10s %10s %8s %9s %9s %5s\n", "case", "N", "lines",
              "walk visits", "visits", "walk s", "search s", "ratio", "walk s", "search s", "ratio", "walk gap",
              "gap ms", "same");
  std::printf("%-19s %4s %7s %12s %9s %10s %10s %8s %10s %10s %8s %9s %9s %5s\n", "", "", "", "", "", "(count)",
              "(count)", "", "(list)", "(list)", "", "ms", "", "");
  for (const Case& c : cases) {
    bool wanted = argc < 2;
    for (int i = 1; i < argc; ++i) wanted = wanted || c.name.find(argv[i]) != std::string::npos;
    if (!wanted) continue;

    form.MaxBit = static_cast<int16_t>(c.maxBit);
    form.LoadFile(c.library);
    form.Sort();
    if (!form.LoadProblem.empty()) std::fprintf(stderr, "%s\n", form.LoadProblem.c_str());
    form.Range.SetText(c.ppm);

    Timing walkCount, searchCount, walkList, searchList;
    long long walkVisits = 0, searchVisits = 0, listed = 0;
    std::vector<std::string> walkLines, searchLines;
    if (c.searchOnly) {
      double spent = 0;
      bool stopped = false;
      Clock::time_point start;
      host.onYield = [&] {
        if (c.stopAfter > 0 && std::chrono::duration<double>(Clock::now() - start).count() >= c.stopAfter) {
          form.Stop_Click();
          stopped = true;
        }
      };
      form.SearchSettings.countOnly = true;
      start = Clock::now();
      TimeBatch(form, host, false, c.mass, searchCount, spent);
      searchVisits = form.SearchStatistics.visits;
      form.SearchSettings.countOnly = false;
      start = Clock::now();
      TimeBatch(form, host, false, c.mass, searchList, spent);
      host.onYield = nullptr;
      searchLines = SortedLines(form);
      std::printf("%-19s %4d %7zu %12s %9lld %10s %10.6f %8s %10s %10.6f %8s %9s %9.2f %5s\n", c.name.c_str(),
                  static_cast<int>(form.IndexCount), searchLines.size(), "-", searchVisits, "-", searchCount.seconds,
                  "-", "-", searchList.seconds, "-", "-", searchList.longestGap * 1000, stopped ? "stop" : "-");
      std::fflush(stdout);
      continue;
    }
    form.SearchSettings.countOnly = true;
    TimeBoth(form, host, c.mass, 0.6, walkCount, walkVisits, nullptr, searchCount, searchVisits, nullptr);
    form.SearchSettings.countOnly = false;
    TimeBoth(form, host, c.mass, 0.6, walkList, listed, &walkLines, searchList, listed, &searchLines);

    std::printf("%-19s %4d %7zu %12lld %9lld %10.6f %10.6f %8.1f %10.6f %10.6f %8.1f %9.1f %9.2f %5s\n",
                c.name.c_str(), static_cast<int>(form.IndexCount), searchLines.size(), walkVisits, searchVisits,
                walkCount.seconds, searchCount.seconds, walkCount.seconds / searchCount.seconds, walkList.seconds,
                searchList.seconds, walkList.seconds / searchList.seconds, walkList.longestGap * 1000,
                searchList.longestGap * 1000, walkLines == searchLines ? "yes" : "NO");
    std::fflush(stdout);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
