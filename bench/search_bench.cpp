// Times the combination search on named cases. Each case builds the search index from a library file (LoadFile and
// Sort, as a search run does), then runs Search twice: once counting the combinations inside the window without
// formatting them, and once listing them through the candidate check. Columns: combinations visited (positions
// entered) and combinations inside the window, both from the counting run; lines listed by the listing run; seconds
// per search of each run (short cases are repeated for at least half a second).
//
// Usage: search_bench [case name part ...]   (no argument: every case)
#include <algorithm>
#include <chrono>
#include <ctime>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "core/form1.h"
#include "core/host.h"
#include "core/text.h"
#include "core/textfile.h"

using namespace zelm;

namespace {

// A desktop that answers nothing and yields at once.
class BenchHost : public Host {
 public:
  explicit BenchHost(std::string dir) : dir_(std::move(dir)) {}
  int MessageBox(const std::string&, const std::string&, Buttons, bool) override { return kAnswerOk; }
  std::string ClipboardText() override { return {}; }
  void SetClipboardText(const std::string&) override {}
  void SetPrinterFont(const std::string&, double) override {}
  std::string PrintText(const std::string&) override { return {}; }
  void Yield() override {}
  float Timer() override { return 0; }
  std::string CurrentDirectory() override { return dir_; }
  void SendKey(char) override {}
  void End() override {}
  void RepaintNow(Control&) override {}

 private:
  std::string dir_;
};

struct Case {
  std::string name;
  std::string library;  // file in the working folder
  double mass;
  std::string ppm;
  int maxBit;
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

// Seconds of processor time used by this thread (steadier than the clock on a shared machine).
double CpuSeconds() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_nsec) * 1e-9;
}

bool gWalk = getenv("WALK");
// Runs Search in batches of at least 0.1 s until min seconds have passed; returns seconds per search of the best batch.
double TimeSearch(Form1& form, double mass, double minSeconds) {
  double best = 1e300, spent = 0;
  do {
    int runs = 0;
    const double start = CpuSeconds();
    double elapsed = 0;
    do {
      double m = mass;
      if (gWalk) form.SearchWalk(m); else form.Search(m);
      ++runs;
      elapsed = CpuSeconds() - start;
    } while (elapsed < 0.1);
    best = std::min(best, elapsed / runs);
    spent += elapsed;
  } while (spent < minSeconds);
  return best;
}

}  // namespace

int main(int argc, char** argv) {
  std::string pattern = (std::filesystem::temp_directory_path() / "zelm-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string dir = pattern;
  BenchHost host(dir);
  Form1 form(host);
  form.FormLoad();  // writes the built-in data files into the working folder
  form.FormActivate();
  const std::string ten = TenElementLibrary(dir);

  const std::vector<Case> cases = {
      {"quick-120", "EMassQuick.txt", 120, "1", 3},   {"quick-500", "EMassQuick.txt", 500, "1", 3},
      {"quick-1000", "EMassQuick.txt", 1000, "1", 3}, {"quick-500-5ppm-b4", "EMassQuick.txt", 500, "5", 4},
      {"ten-1000-5ppm-b4", ten, 1000, "5", 4},
  };

  std::printf("%-19s %-15s %6s %4s %6s %3s %14s %9s %8s %11s %11s\n", "case", "library", "mass", "ppm", "MaxBit",
              "N", "visited", "inside", "listed", "s counting", "s listing");
  for (const Case& c : cases) {
    bool wanted = argc < 2;
    for (int i = 1; i < argc; ++i) wanted = wanted || c.name.find(argv[i]) != std::string::npos;
    if (!wanted) continue;

    form.MaxBit = static_cast<int16_t>(c.maxBit);
    form.LoadFile(c.library);
    form.Sort();
    if (!form.LoadProblem.empty()) std::fprintf(stderr, "%s\n", form.LoadProblem.c_str());
    form.Range.SetText(c.ppm);

    form.SearchCountOnly = true;
    double counting = TimeSearch(form, c.mass, 0.5);
    long long visited = form.SearchVisits, hits = form.SearchHits;
    form.SearchCountOnly = false;
    double listing = TimeSearch(form, c.mass, 0.5);
    int listed = form.Results.Count();
    // A search that reaches the line limit ends there: its listing run is shorter than the counting run.
    const char* note = listed < hits && listed == Form1::kSearchLineLimit ? "  (listing ended at the line limit)" : "";

    std::printf("%-19s %-15s %6g %4s %6d %3d %14lld %9lld %8d %11.6f %11.6f%s\n", c.name.c_str(), c.library.c_str(),
                c.mass, c.ppm.c_str(), c.maxBit, static_cast<int>(form.IndexCount), visited, hits, listed, counting,
                listing, note);
    std::fflush(stdout);
  }
  std::filesystem::remove_all(dir);
  return 0;
}
