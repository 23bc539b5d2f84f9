// How well zelm-find ranks real measurements: MS/MS records with known formulas (an MGF file and a table of the true
// formulas, such as the MassBank development set), searched with zelm-find's defaults at 10 ppm (further zelm-find
// arguments after --). Prints the share of records whose true formula is found, is ranked first and is among the
// first five, the candidates per record, the time per record, and the commonest causes of the misses.
//
//   massbank_eval --mgf dev.mgf --truth dev_truth.tsv [--misses N] [--limit N] [-- zelm-find arguments]
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <map>
#include <string>
#include <vector>

#include "chemistry/formula_notation.h"
#include "chemistry/formula_rules.h"
#include "chemistry/ion_type.h"
#include "find/building_blocks.h"
#include "find/find_main.h"
#include "find/peak_input.h"
#include "text/defaults.h"
#include "text/textfile.h"

using namespace zelm;

namespace {

struct Truth {
  std::string formula, adduct, name;
};

double Percent(size_t part, size_t whole) { return whole ? 100.0 * static_cast<double>(part) / whole : 0; }

template <class T>
T Quantile(std::vector<T> v, double q) {
  if (v.empty()) return T();
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

// Why a true formula is not among the candidates: outside the element ranges, or a hard rule.
std::string WhyNotFound(const chem::Composition& truth, const std::vector<Block>& blocks) {
  for (const auto& e : truth.Entries()) {
    auto b = std::find_if(blocks.begin(), blocks.end(), [&](const Block& x) { return x.name == e.symbol; });
    if (b == blocks.end()) return "element " + e.symbol + " not searched";
    if (e.count > b->max) return "more " + e.symbol + " than its range";
  }
  std::vector<std::string> symbols;
  std::vector<long long> counts;
  for (const auto& e : truth.Entries()) {
    symbols.push_back(e.symbol);
    counts.push_back(e.count);
  }
  chem::RuleSettings only;
  only.senior = false;
  only.ratios = chem::RatioPreset::Off;
  if (!chem::FormulaRules(only, symbols).Judge(counts.data()).pass) return "RDBE rule";
  only.rdbe = false;
  only.senior = true;
  if (!chem::FormulaRules(only, symbols).Judge(counts.data()).pass) return "SENIOR rule";
  return "element ratio rule or other";
}

}  // namespace

int main(int argc, char** argv) {
  std::string mgf, truthPath;
  size_t misses = 0, limit = 0;
  std::vector<std::string> args = {"--ppm", "10"};
  for (int i = 1; i < argc; ++i) {
    const std::string a = argv[i];
    if (a == "--mgf" && i + 1 < argc) mgf = argv[++i];
    else if (a == "--truth" && i + 1 < argc) truthPath = argv[++i];
    else if (a == "--misses" && i + 1 < argc) misses = std::stoul(argv[++i]);
    else if (a == "--limit" && i + 1 < argc) limit = std::stoul(argv[++i]);
    else if (a == "--msms-weight" && i + 1 < argc) kMsmsWeight = std::stod(argv[++i]);
    else if (a == "--mass-weight" && i + 1 < argc) kMassWeight = std::stod(argv[++i]);
    else if (a == "--soft-weight" && i + 1 < argc) kSoftWeight = std::stod(argv[++i]);
    else if (a == "--further" && i + 1 < argc) kRatioPrior.furtherElements = std::stod(argv[++i]);
    else if (a == "--extra-sp" && i + 1 < argc) kRatioPrior.extraSulfurPhosphorus = std::stod(argv[++i]);
    else if (a == "--element-weight" && i + 1 < argc) kElementWeight = std::stod(argv[++i]);
    else if (a == "--prior" && i + 5 < argc) {
      kRatioPrior.nitrogenScale = std::stod(argv[++i]);
      kRatioPrior.oxygenScale = std::stod(argv[++i]);
      kRatioPrior.hydrogenMean = std::stod(argv[++i]);
      kRatioPrior.hydrogenWidth = std::stod(argv[++i]);
      kRatioPrior.noCarbon = std::stod(argv[++i]);
    }
    else if (a == "--") {
      for (++i; i < argc; ++i) args.push_back(argv[i]);
    } else {
      std::cerr << "usage: massbank_eval --mgf FILE --truth FILE [--misses N] [--limit N] [-- zelm-find arguments]\n";
      return 1;
    }
  }
  if (mgf.empty() || truthPath.empty()) {
    std::cerr << "usage: massbank_eval --mgf FILE --truth FILE [--misses N] [--limit N] [-- zelm-find arguments]\n";
    return 1;
  }
  std::string why;
  auto mgfBytes = ReadWholeFile(mgf, &why);
  auto truthBytes = mgfBytes ? ReadWholeFile(truthPath, &why) : std::nullopt;
  if (!mgfBytes || !truthBytes) {
    std::cerr << why << "\n";
    return 2;
  }
  std::vector<Query> queries;
  InputError error;
  if (!ReadQueries(*mgfBytes, QueryFormat::Mgf, BaseName(mgf), queries, &error)) {
    std::cerr << error.Text() << "\n";
    return 2;
  }
  std::map<std::string, Truth> truth;
  {
    size_t start = 0;
    bool header = true;
    while (start < truthBytes->size()) {
      size_t end = truthBytes->find('\n', start);
      if (end == std::string::npos) end = truthBytes->size();
      const auto f = SplitDelimited(std::string_view(*truthBytes).substr(start, end - start), '\t');
      start = end + 1;
      if (header) {
        header = false;
        continue;
      }
      if (f.size() >= 4) truth[f[0]] = {f[2], f[3], f[1]};
    }
  }
  auto session = FindSession::Make(args, &why);
  if (!session) {
    std::cerr << "zelm-find arguments: " << why << "\n";
    return 2;
  }
  const chem::LoadedTable table = chem::ReadElementTable(DefaultFileBytes("isotopes.txt"), "isotopes.txt");
  std::vector<Block> blocks;
  ParseElements(kDefaultElements, table.table, blocks, &why);

  size_t records = 0, found = 0, top1 = 0, top5 = 0;
  std::vector<size_t> candidates;
  std::vector<double> times;
  std::map<std::string, size_t> causes;
  std::vector<std::string> missLines;
  for (const Query& q : queries) {
    const auto t = truth.find(q.id);
    if (t == truth.end()) continue;
    if (limit && records >= limit) break;
    ++records;
    const auto parsed = chem::ParseFormula(t->second.formula);
    const std::string want = parsed.Ok() ? chem::ToAscii(*parsed) : t->second.formula;
    const auto start = std::chrono::steady_clock::now();
    std::vector<Candidate> ranked;
    std::string failure;
    try {
      ranked = session->Rank(q);
    } catch (...) {
      failure = "ion type cannot be used";
    }
    times.push_back(std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count());
    if (times.back() > 1000)
      std::fprintf(stderr, "slow: %s %s %.0f ms, %zu candidates, %zu peaks\n", q.id.c_str(), want.c_str(), times.back(),
                   ranked.size(), q.peaks.size());
    candidates.push_back(ranked.size());
    size_t rank = 0;
    for (const Candidate& c : ranked)
      if (c.formula == want) {
        rank = static_cast<size_t>(c.rank);
        break;
      }
    if (rank == 0) {
      const std::string cause = !failure.empty() ? failure
                                : parsed.Ok()    ? "not found: " + WhyNotFound(*parsed, blocks)
                                                 : "truth unreadable";
      ++causes[cause];
      missLines.push_back(q.id + "\t" + want + "\t" + q.ion + "\t" + cause);
      continue;
    }
    ++found;
    if (rank == 1) ++top1;
    if (rank <= 5) ++top5;
    if (rank > 1) {
      const Candidate& best = ranked.front();
      const Candidate& right = ranked[rank - 1];
      std::string cause;
      if (!right.rules.empty()) cause = "ranked below: the right one breaks soft rules";
      else if (q.peaks.empty() || !right.msmsExplained) cause = "ranked below: no MS/MS peaks to judge by";
      else if (best.msmsExplained && *best.msmsExplained > *right.msmsExplained + 1e-9)
        cause = std::abs(best.errorPpm) < std::abs(right.errorPpm) ? "ranked below: closer and explains more"
                                                                     : "ranked below: explains more MS/MS intensity";
      else cause = "ranked below: closer mass, MS/MS no better";
      ++causes[cause];
      char line[512];
      std::snprintf(line, sizeof line, "%s\t%s (rank %zu, %.2f ppm, msms %.2f)\tbest %s (%.2f ppm, msms %.2f)\t%s",
                    q.id.c_str(), want.c_str(), rank, right.errorPpm, right.msmsExplained.value_or(-1),
                    best.formula.c_str(), best.errorPpm, best.msmsExplained.value_or(-1), cause.c_str());
      missLines.push_back(line);
    }
  }
  std::printf("records\t%zu\n", records);
  std::printf("found\t%.1f %%\n", Percent(found, records));
  std::printf("top-1\t%.1f %%\n", Percent(top1, records));
  std::printf("top-5\t%.1f %%\n", Percent(top5, records));
  std::printf("median candidates\t%zu\n", Quantile(candidates, 0.5));
  std::printf("time per record\tmedian %.2f ms\t95th percentile %.2f ms\tmost %.0f ms\n", Quantile(times, 0.5),
              Quantile(times, 0.95), times.empty() ? 0.0 : *std::max_element(times.begin(), times.end()));
  std::vector<std::pair<size_t, std::string>> byCount;
  for (const auto& [cause, n] : causes) byCount.push_back({n, cause});
  std::sort(byCount.rbegin(), byCount.rend());
  std::printf("misses by cause (not first)\n");
  for (const auto& [n, cause] : byCount) std::printf("\t%zu\t%s\n", n, cause.c_str());
  for (size_t i = 0; i < std::min(misses, missLines.size()); ++i) std::printf("%s\n", missLines[i].c_str());
  return 0;
}
