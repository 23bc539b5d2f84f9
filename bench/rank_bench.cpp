// Times Ranker::Rank per feature of a feature file, on one thread, with zelm-find's defaults at 10 ppm (further
// zelm-find arguments after --): prints the time per feature (median, 95th percentile, mean, most) and the slowest
// features with their candidates per ion type and how many MS1 isotope and MS/MS peaks they carry, so that the
// costly ones can be found and profiled alone (--only). Times are processor seconds of the thread, steadier than the
// clock on a shared machine; beside each feature's ranking, the time of counting its candidates alone (the search
// and the hard rules, Ranker::Count), so that the rest is what judging and ordering them costs.
//
//   rank_bench FILE [--slowest N] [--limit N] [--only ID,ID,...] [-- zelm-find arguments]
#include <algorithm>
#include <cstdio>
#include <iostream>
#include <numeric>
#include <set>
#include <string>
#include <vector>

#include "bench/bench_timing.h"
#include "find/find_options.h"
#include "rank/ranker.h"
#include "ranking_setup.h"
#include "spectra/feature_input.h"

using namespace zelm;

namespace {

struct Args {
  std::string features;
  size_t slowest = 20, limit = 0;
  std::set<std::string> only;
  std::vector<std::string> find = {"--ppm", "10"};
};

bool ReadArgs(int argc, char** argv, Args& a) {
  for (int i = 1; i < argc; ++i) {
    const std::string s = argv[i];
    const bool more = i + 1 < argc;
    if (s == "--slowest" && more) a.slowest = std::stoul(argv[++i]);
    else if (s == "--limit" && more) a.limit = std::stoul(argv[++i]);
    else if (s == "--only" && more) {
      const std::string list = argv[++i];
      for (size_t start = 0; start <= list.size();) {
        const size_t comma = std::min(list.find(',', start), list.size());
        if (comma > start) a.only.insert(list.substr(start, comma - start));
        start = comma + 1;
      }
    } else if (s == "--")
      for (++i; i < argc; ++i) a.find.push_back(argv[i]);
    else if (a.features.empty() && s[0] != '-') a.features = s;
    else return false;
  }
  return !a.features.empty();
}

double Quantile(std::vector<double> v, double q) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  return v[std::min(v.size() - 1, static_cast<size_t>(q * static_cast<double>(v.size())))];
}

struct Timed {
  double ms, countMs;
  std::string id, found;
  size_t isotopes, msms;
};

}  // namespace

int main(int argc, char** argv) {
  Args a;
  if (!ReadArgs(argc, argv, a)) {
    std::cerr << "usage: rank_bench FILE [--slowest N] [--limit N] [--only ID,ID,...] [-- zelm-find arguments]\n";
    return 1;
  }
  const auto made = MakeRankerOrSay(a.find);
  if (!made) return 2;
  const Ranker& ranker = *made;
  const auto read = ReadFeaturesOrSay(a.features, ranker);
  if (!read) return 2;
  const FeatureList& list = *read;
  std::vector<Timed> timed;
  for (const Feature& f : list.features) {
    if (!a.only.empty() && !a.only.count(f.id)) continue;
    if (a.limit && timed.size() >= a.limit) break;
    const double start = CpuSeconds();
    const RankResult r = ranker.Rank(f);
    const double ranked = CpuSeconds();
    ranker.Count(f);
    const double ms = 1000 * (ranked - start), countMs = 1000 * (CpuSeconds() - ranked);
    std::string found;
    for (long long n : r.found) found += (found.empty() ? "" : "+") + std::to_string(n);
    timed.push_back({ms, countMs, f.id, found, r.isotopePeaks.size(), r.msmsPeaks.size()});
  }
  std::vector<double> times;
  double counting = 0;
  for (const Timed& t : timed) {
    times.push_back(t.ms);
    counting += t.countMs;
  }
  const double total = std::accumulate(times.begin(), times.end(), 0.0);
  std::printf("features %zu\ttime per feature\tmedian %.2f ms\t95th percentile %.2f ms\tmean %.2f ms\tmost %.0f ms\tcounting alone %.2f ms\n",
              timed.size(), Quantile(times, 0.5), Quantile(times, 0.95), timed.empty() ? 0 : total / timed.size(),
              Quantile(times, 1.0), timed.empty() ? 0 : counting / timed.size());
  std::sort(timed.begin(), timed.end(), [](const Timed& x, const Timed& y) { return x.ms > y.ms; });
  std::printf("ms\tcounting ms\tshare %%\tcandidates\tisotope peaks\tMS/MS peaks\tid\n");
  for (size_t i = 0; i < std::min(a.slowest, timed.size()); ++i)
    std::printf("%.1f\t%.1f\t%.1f\t%s\t%zu\t%zu\t%s\n", timed[i].ms, timed[i].countMs, total > 0 ? 100 * timed[i].ms / total : 0,
                timed[i].found.c_str(), timed[i].isotopes, timed[i].msms, timed[i].id.c_str());
  return 0;
}
