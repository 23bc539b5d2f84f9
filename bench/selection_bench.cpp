// Speed of selecting results and drawing the plot: every stored line of a full search selected in turn (as a search
// run does at its end), one selection compared with testing each pair through FragmentCheck afresh, the plot at
// its narrowest and widest, and the fragment test on long runs of one atom.
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "analysis/fragment_check.h"
#include "core/result_line.h"
#include "bench/quiet_host.h"
#include "core/form1.h"
#include "text/text.h"

namespace {

using Clock = std::chrono::steady_clock;
double Seconds(Clock::time_point since) { return std::chrono::duration<double>(Clock::now() - since).count(); }

using zelm::QuietHost;

std::string Group(const char* mass, const char* symbol, int count) {
  std::string g;
  for (const char* p = mass; *p; ++p) g += zelm::SuperDigit(*p - '0');
  g += symbol;
  for (char c : zelm::CountText(count)) g += zelm::SubDigit(c - '0');
  return g;
}

// A stored line of a five-group formula, different for every i.
std::string StoredLine(int i) {
  std::string formula = Group("1", "H", 1 + i % 15) + Group("12", "C", 1 + i / 15 % 15) + Group("14", "N", 1 + i % 4) +
                        Group("16", "O", 1 + i % 6) + Group("24", "Mg", 1 + i % 3);
  std::string mass = zelm::NumberText(100 + i * 0.37);
  if (formula.size() > 30) return formula + mass;
  return formula + std::string(30 - formula.size(), ' ') + mass.substr(0, 12);
}

}  // namespace

int main() {
  QuietHost host;
  zelm::Form1 form(host);
  form.XAxisStart = 0;
  form.XAxisEnd = 200;
  form.YAxisTop = "100";
  form.IsotopeTable[0][0] = " 2";
  form.IsotopeTable[1] = {"12", "C", "12", "100"};
  form.IsotopeTable[2] = {"13", "C", "13.00335483507", "1.08157"};
  const int n = zelm::kStoredLimit;
  form.StoredResults[0] = zelm::CountText(n);
  for (int i = 1; i <= n; ++i) {
    form.StoredResults[i] = StoredLine(i);
    form.Results.AddItem(form.StoredResults[i]);
  }

  // 1. Every listed line selected in turn.
  auto t = Clock::now();
  long fragments = 0;
  for (int i = 0; i < form.Results.Count(); ++i) {
    form.Results.SetListIndex(i);
    form.Results_MouseUp(0, 0, 0, 0);
    fragments += form.MatchScore;
  }
  double all = Seconds(t);
  std::printf("select each of %d stored lines: %.3f s in all, %.3f ms per selection, %ld fragments found\n", n, all,
              all / n * 1e3, fragments);

  // 2. One selection's fragment test: whole formula written out once, against FragmentCheck for every pair.
  const std::string whole = zelm::ResultFormula(form.StoredResults[n]);
  t = Clock::now();
  int once = 0;
  for (int rep = 0; rep < 20; ++rep) {
    zelm::FragmentMatcher matcher(whole);
    for (int j = 1; j <= n; ++j) once += matcher.IsFragment(zelm::ResultFormula(form.StoredResults[j]));
  }
  double matcherTime = Seconds(t) / 20;
  t = Clock::now();
  int pairs = 0;
  for (int rep = 0; rep < 20; ++rep)
    for (int j = 1; j <= n; ++j) pairs += !form.FragmentCheck(whole, zelm::ResultFormula(form.StoredResults[j])).empty();
  double pairTime = Seconds(t) / 20;
  std::printf("fragment test of one selection against %d lines: written out once %.3f ms, FragmentCheck per pair "
              "%.3f ms (ratio %.2f), same answers: %s\n",
              n, matcherTime * 1e3, pairTime * 1e3, pairTime / matcherTime, once == pairs ? "yes" : "NO");

  // 3. DrawGraph at the default width and at 3000.
  for (int end : {200, 3000}) {
    form.XAxisEnd = static_cast<int16_t>(end);
    t = Clock::now();
    const int draws = 2000;
    for (int k = 0; k < draws; ++k) form.DrawGraph();
    double each = Seconds(t) / draws;
    std::printf("DrawGraph 0..%d: %.1f us per drawing, %zu items\n", end, each * 1e6, form.Graph.Items.size());
  }

  // 4. Long runs: 65535 carbons against half of them, and against one more than there are.
  const std::string big = Group("12", "C", 65535);
  t = Clock::now();
  std::string yes = form.FragmentCheck(big, Group("12", "C", 32768));
  std::string no = form.FragmentCheck(big, Group("12", "C", 65536));
  std::printf("12C65535 against 12C32768 and 12C65536: %.2f ms for both (answers \"%s\", \"%s\")\n",
              Seconds(t) * 1e3, yes.c_str(), no.c_str());

  // 5. A label ending in subscript digits ("X" and 99999 in subscript) makes counts in the hundreds of thousands: a
  // search run's lines with such counts, each selected in turn, against the same lines with the label "X".
  for (const char* digits : {"", "99999"}) {
    std::vector<std::string> lines;
    for (int a = 1; a <= 15; ++a)
      for (int b = 1; b <= 10; ++b) {
        std::string label = "X";
        for (const char* p = digits; *p; ++p) label += zelm::SubDigit(*p - '0');
        std::string formula = Group("1", "H", b) + label;
        for (char c : zelm::CountText(a)) formula += zelm::SubDigit(c - '0');
        lines.push_back(formula + std::string(formula.size() < 30 ? 30 - formula.size() : 0, ' ') +
                        zelm::NumberText(a * 1.0 + b * 1.007825));
      }
    form.StoredResults[0] = zelm::CountText(static_cast<long long>(lines.size()));
    form.Results.Clear();
    for (size_t i = 0; i < lines.size(); ++i) {
      form.StoredResults[i + 1] = lines[i];
      form.Results.AddItem(lines[i]);
    }
    t = Clock::now();
    long found = 0;
    for (int i = 0; i < form.Results.Count(); ++i) {
      form.Results.SetListIndex(i);
      form.Results_MouseUp(0, 0, 0, 0);
      found += form.MatchScore;
    }
    const double run = Seconds(t);
    std::printf("label X%s: %zu lines each selected in turn: %.3f s in all (%ld fragments found)\n",
                *digits ? " with subscript 99999" : "", lines.size(), run, found);
  }
  return 0;
}
