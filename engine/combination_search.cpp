// The combination search: the walk of SearchWalk, step for step, except that it does not enter what cannot be listed.
// Below a combination whose last position is p only the positions 1 to p - 1 can be added; when no sum of them can
// bring the running sum inside the window (a table of the sums each run of positions 1 to p can form answers this),
// the rest of that level is left as the walk would leave it, and positions whose sum with the level's prefix is at
// least the upper bound are passed over at once. The lines, the top-level groups they are met in, the yields, the bar,
// a stop and the line limit are those of the walk; so is the order of the lines, since only empty parts are skipped.
// A pause that answers stop ends either.
#include "engine/combination_search.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "engine/reach_table.h"
#include "engine/walk_steps.h"

namespace zelm {
namespace {

// What the search may skip, decided from the masses it sees: nothing (masses out of order or not finite, a window
// without finite bounds, or one so wide that nearly every step lists a line), everything below the top level (a window
// nothing can fall into), or what the table rules out. Negative masses and zeros are searched as any other: they lie
// at the lightest positions, so the sums of the positions 1 to p reach below 0 by the sum of their negative masses. A search walks a little way as it is first, so that
// a small search costs no more than the walk.
class Skipping {
 public:
  // The walk goes `plainVisits` positions as it is before the table is built, first in about `tableWords` words; the table
  // takes the memory of `spare` (kept from an earlier search) when it holds one, and gives its own back at the end.
  Skipping(int n, const SearchWindow& window, long long plainVisits, size_t tableWords,
           std::shared_ptr<ReachTable>& spare)
      : n_(n), window_(window), plainVisits_(std::max(plainVisits, 0LL)), words_(std::max<size_t>(tableWords, 1)), spare_(spare) {}
  ~Skipping() {
    if (table_) spare_ = std::move(table_);
  }

  // Before the walk, and after every yield, where a handler may have reloaded the index: what was built on other
  // masses is dropped, and the walk goes as it is for a while again.
  void Look(const double* mass, long long visits) {
    const size_t bytes = sizeof(double) * static_cast<size_t>(n_);
    if (looked_ && (seen_.empty() || std::memcmp(mass + 1, seen_.data() + 1, bytes) == 0)) return;
    looked_ = true;
    seen_.clear();
    on_ = nothing_ = false;
    startAt_ = LLONG_MAX;
    const double lower = window_.lower, upper = window_.upper;
    if (!(lower < upper) || (!(upper > 0) && Seen(mass) && (n_ == 0 || !(seen_[1] < 0)))) {
      // No sum lies inside: the window is empty, or lies at or below 0 and no mass is negative.
      if (!Seen(mass)) return;
      nothing_ = on_ = true;
      ask_.assign(static_cast<size_t>(n_) + 1, kOn);
      return;
    }
    if (std::isfinite(upper) && std::isfinite(lower)) startAt_ = visits + plainVisits_;
  }

  bool On() const { return on_; }
  long long StartAt() const { return startAt_; }

  // Builds the table for the masses now in the index, or again in more words; skipping starts. Not where the walk so
  // far listed a line every few steps: there it cannot save much.
  void Start(const double* mass, long long visits, long long hits) {
    startAt_ = LLONG_MAX;
    if ((visits >= kSample && hits * kDense >= visits) || !Seen(mass)) return;
    const double lower = window_.lower, upper = window_.upper;
    jump_ = std::max(upper, window_.target);
    // For a quick answer to where a run of consecutive positions ends: the most that the masses at positions 2 to q
    // add on the way down from q, and the sum of their sizes. How far sums reach below 0.
    chain_.assign(static_cast<size_t>(n_) + 1, Chain{});
    double positive = 0;
    for (int q = 2; q <= n_; ++q) {
      positive += std::max(mass[q], 0.0);
      chain_[q] = {mass[q] > 0 ? positive : mass[q], chain_[q - 1].sizes + std::fabs(mass[q])};
    }
    double below = 0;
    for (int q = 1; q <= n_ && mass[q] < 0; ++q) below -= mass[q];
    // Room for rounding: the walk adds up to n masses one by one, each addition off by at most half a unit in the
    // last place of a partial sum, which stays below the target plus the heaviest mass and above the sum of the
    // negative masses; the table works with exact sums. This margin is far wider than that.
    margin_ = (static_cast<double>(n_) + 8) * 0x1p-50 *
              (std::fabs(lower) + std::fabs(upper) + 2 * below + std::fabs(mass[std::max(n_, 1)]));
    // What the positions below a combination may add to it. Where the combination sums to 0 or more (else they are
    // all negative), less than the upper bound. And the walk goes on to the negative masses, the lightest, only from
    // a sum below the target, so their part of a combination it lists lies above lower - target: the larger losses
    // are left out of the table, which keeps its bins fine.
    if (!table_) table_ = spare_ ? std::move(spare_) : std::make_shared<ReachTable>();
    table_->Build(seen_.data(), n_, upper + margin_, (lower - window_.target) - margin_, upper - lower, words_);
    // A long search builds the table again, four times larger each time, as the walk it saves grows.
    if (words_ < kMostWords) {
      startAt_ = visits + kGrowth * static_cast<long long>(words_);
      words_ = std::min(words_ * 4, kMostWords);
    }
    // Runs of one or two positions hold too little to be worth a question.
    ask_.assign(static_cast<size_t>(n_) + 1, kMeasuring);
    for (int p = 0; p <= std::min(n_, 2); ++p) ask_[static_cast<size_t>(p)] = kOff;
    asking_ = std::max(n_ - 2, 0);
    asked_.assign(static_cast<size_t>(n_) + 1, Asked{});
    allTimes_ = allSaved_ = 0;
    on_ = asking_ > 0;
  }

  // Whether the table is still asked about the runs of positions 1 to p (indexed by p): kOff, kOn or kMeasuring.
  const unsigned char* Asks() const { return ask_.data(); }

  // Whether the positions 1 to p, added to the running sum `before`, may still give a sum inside the window.
  bool MayList(int p, double before) {
    if (nothing_) return false;
    const bool may = table_->MayHold(p, (window_.lower - before) - margin_, (window_.upper - before) + margin_);
    if (ask_[static_cast<size_t>(p)] == kMeasuring) Measure(p, may);
    return may;
  }

  // A no saves walking at least the p positions left. Where the table says no too seldom for that to pay for the
  // question (a wide window), it is no longer asked about this run; when that holds over all runs, about none.
  void Measure(int p, bool may) {
    Asked& asked = asked_[static_cast<size_t>(p)];
    ++asked.times;
    asked.noes += !may;
    if (asked.times == kAskedEnough) {
      ask_[static_cast<size_t>(p)] = static_cast<long long>(asked.noes) * p < 2LL * asked.times ? kOff : kOn;
      if (ask_[static_cast<size_t>(p)] == kOff && --asking_ == 0) on_ = false;
    }
    if (allTimes_ < kAskedEnough * 8) {
      ++allTimes_;
      if (!may) allSaved_ += p;
      if (allTimes_ == kAskedEnough * 8 && allSaved_ < 2 * allTimes_) on_ = false;
    }
  }

  // A position whose sum with `before` is at least this is neither listed nor extended.
  double Jump() const { return jump_; }

  // The highest position below p whose mass added to `before` stays under Jump(); 0 when there is none. The sum at p
  // is known to reach it.
  int LastBelow(const double* mass, int p, double before) const {
    // Mostly a few steps down; further down by halves.
    int above = p;  // before + mass[above] >= jump_
    for (int step = 0; step < 4; ++step) {
      if (above == 1) return 0;
      if (before + mass[above - 1] < jump_) return above - 1;
      --above;
    }
    int below = 0;  // position 0 stands for "none"
    while (above - below > 1) {
      const int mid = below + (above - below) / 2;
      if (before + mass[mid] < jump_) below = mid;
      else above = mid;
    }
    return below;
  }

  // Whether the walk, having entered position p on top of `before`, would go down through p - 1, p - 2, ..., 1 one
  // after the other: whether each running sum it forms on the way, (before + m(p)) + m(p - 1) and so on up to
  // position 2, stays below the target. The highest of them adds the positive masses (or, with none, m(p) alone, the
  // least negative), as the masses fall from p down. The sums are formed as the walk forms them, unless the quick sum
  // is clearly on one side.
  bool RunsDown(const double* mass, double before, int p) const {
    if (p <= 1) return true;
    const double target = window_.target;
    const Chain& chain = chain_[p];
    const double quick = before + chain.most;
    const double error = (4.0 * p + 8) * 0x1p-53 * (std::fabs(before) + chain.sizes);
    if (quick + error < target) return true;
    if (quick - error >= target) return false;
    double running = before;
    for (int q = p; q >= 2; --q) {
      running = running + mass[q];
      if (!(running < target)) return false;
    }
    return true;
  }

 private:
  // Keeps the masses the decisions rest on, when they allow skipping: ascending and finite.
  bool Seen(const double* mass) {
    for (int p = 1; p <= n_; ++p)
      if (!std::isfinite(mass[p]) || (p > 1 && !(mass[p - 1] <= mass[p]))) return false;
    seen_.assign(mass, mass + n_ + 1);
    return true;
  }

  // A walk that lists a line every this many steps or more often, over at least kSample steps, is not skipped.
  static constexpr long long kDense = 32;
  static constexpr long long kSample = 1024;

  const int n_;
  const SearchWindow window_;
  const long long plainVisits_;
  size_t words_;  // for the next build
  // The table grows after the walk has gone this many positions per word of it, up to kMostWords words.
  static constexpr long long kGrowth = 16;
  static constexpr size_t kMostWords = size_t{1} << 22;
  std::shared_ptr<ReachTable>& spare_;
  std::vector<double> seen_;  // empty until a decision rests on the masses
  bool looked_ = false;
  bool on_ = false;
  bool nothing_ = false;
  long long startAt_ = LLONG_MAX;
  double jump_ = HUGE_VAL;
  double margin_ = 0;
  struct Chain {
    double most = 0, sizes = 0;
  };
  std::vector<Chain> chain_;
  std::shared_ptr<ReachTable> table_;
  // How often the table was asked about each run of positions and said no, while that is measured.
  struct Asked {
    int times = 0;
    int noes = 0;
  };
  static constexpr int kAskedEnough = 256;
  static constexpr unsigned char kOff = 0, kOn = 1, kMeasuring = 2;
  std::vector<Asked> asked_;
  std::vector<unsigned char> ask_;
  int asking_ = 0;  // runs still asked about
  long long allTimes_ = 0, allSaved_ = 0;
};

// The walk's state between steps: the position stack, the partial sums, the level and the counts.
struct WalkState {
  int* slot;
  double* sum;
  int k;
  long long visits;
  long long hits;
};

// Steps of the walk exactly as SearchWalk takes them, until the walk ends (slot k reaches 0), the top-level position
// reaches `mark`, about `until` positions have been entered, or the list reaches its limit (then returns true).
// Kept out of line, so that its few values stay in registers.
[[gnu::noinline]] bool PlainSteps(SearchSink& sink, bool countOnly, WalkState& walk, const double* mass, const SearchWindow& window,
                                  int mark, long long until) {
  int* const slot = walk.slot;
  double* const sum = walk.sum;
  const double target = window.target, lower = window.lower, upper = window.upper;
  for (;;) {
    // The steps between two combinations inside the window, with nothing called, so that all stays in registers.
    // The ends are looked for only after a step back: going deeper changes neither the top-level position nor leaves
    // a position at 0, and is bounded by the levels, so the bound on the positions may be passed by as many.
    int k = walk.k;
    long long visits = walk.visits;
    double running = 0;
    bool inside = false;
    if (slot[k] > 0 && slot[1] != mark && visits < until) {
      for (;;) {
        ++visits;
        running = sum[k - 1] + mass[slot[k]];
        sum[k] = running;
        if (lower < running && running < upper) {
          inside = true;
          break;
        }
        if (slot[k] > 1 && running < target) {
          ++k;
          slot[k] = slot[k - 1] - 1;
          continue;
        }
        --slot[k];
        Climb(slot, k, 0);
        if (slot[k] <= 0 || slot[1] == mark || visits >= until) break;
      }
    }
    walk.visits = visits;
    walk.k = k;
    if (!inside) return false;
    ++walk.hits;
    if (!countOnly && sink.Hit(slot, k, running)) return true;
    ExtendOrStep(slot, k, running, target);
    walk.k = k;
  }
}

// The same steps, skipping what cannot be listed, until the walk ends, the top-level position reaches `mark`, `left`
// positions have been entered (between two entered positions it skips at most once per level), skipping stops paying,
// or the list reaches its limit (then returns true). `left` is lowered by the positions entered.
[[gnu::noinline]] bool SkippingSteps(SearchSink& sink, bool countOnly, WalkState& walk, const double* mass,
                                     const SearchWindow& window, int mark, Skipping& skipping,
                                     long long& left) {
  int* const slot = walk.slot;
  double* const sum = walk.sum;
  int k = walk.k;
  long long visits = walk.visits, hits = walk.hits;
  const double target = window.target, lower = window.lower, upper = window.upper;
  const double jump = skipping.Jump();
  const unsigned char* const asks = skipping.Asks();
  bool cut = false;
  const long long until = visits + left;
  while (slot[k] > 0 && slot[1] != mark && visits < until) {
    if (k > 1 && asks[slot[k]]) {
      const int p = slot[k];
      const double before = sum[k - 1];
      if (!skipping.MayList(p, before)) {
        // Nothing more to list on this level. The walk leaves it and goes on with the next position of the level
        // above, unless this was the level's first position and the walk would have run down from it through
        // consecutive positions to 1: then the climb rule takes it out of the level above too.
        if (k > 2 && p == slot[k - 1] - 1 && skipping.RunsDown(mass, before, p)) {
          slot[k] = p - 1;
          Climb(slot, k, p - 1);
        } else {
          --k;
          --slot[k];
        }
        continue;
      }
      if (!skipping.On()) break;  // no longer worth asking: the walk goes on plainly from here
    }
    ++visits;
    const double running = sum[k - 1] + mass[slot[k]];
    sum[k] = running;
    if (!(running < jump)) {
      // Neither listed nor extended, nor are the lighter positions of this level whose sums reach as far.
      slot[k] = k > 1 ? skipping.LastBelow(mass, slot[k], sum[k - 1]) : slot[k] - 1;
      Climb(slot, k, 0);
      continue;
    }
    if (lower < running && running < upper) {
      ++hits;
      if (!countOnly && sink.Hit(slot, k, running)) {
        cut = true;
        break;
      }
    }
    ExtendOrStep(slot, k, running, target);
  }
  walk.k = k;
  walk.visits = visits;
  walk.hits = hits;
  left = until - visits;
  return cut;
}

}  // namespace

SearchStats SearchCombinations(const double* mass, int n, const SearchWindow& window, SearchSink& sink,
                               SearchOptions& options) {
  // The walk's position stack and partial sums (see WalkCombinations).
  n = std::max(n, 0);
  std::vector<int> slots(static_cast<size_t>(n) + 2);
  std::vector<double> sums(static_cast<size_t>(n) + 2, 0.0);
  for (int i = 1; i <= n + 1; ++i) slots[i] = n - i + 1;
  WalkState walk{slots.data(), sums.data(), 1, 0, 0};
  int* const slot = walk.slot;
  SearchStats stats;

  // A search started during a pause of this one finds no spare table and builds in memory of its own.
  Skipping skipping(n, window, options.plainVisits, options.tableWords, options.spare);
  skipping.Look(mass, 0);
  bool cut = false;
  YieldClock clock([&sink] { return sink.Clock(); }, options.clockSteps, options.pauseSeconds);

  while (slot[1] > 0 && !cut) {
    walk.k = 1;
    int mark = slot[1] - 1;
    while (slot[walk.k] > 0) {
      // Progress and stop, once per new top-level position, and whenever a while has passed since the last pause.
      const bool top = slot[1] == mark;
      if (top || (clock.Left() <= 0 && clock.Due())) {
        if (top) --mark;
        stats.visits = walk.visits;
        stats.hits = walk.hits;
        const SearchSink::Resume resume = sink.Pause(top, mark, stats);
        clock.Yielded();
        mass = resume.mass;
        skipping.Look(mass, walk.visits);
        if (resume.stop) {
          stats.stopped = true;
          return stats;
        }
      }
      // On to the next pause or look at the clock, the end, the line limit, or a change of how the walk goes on.
      if (walk.visits >= skipping.StartAt()) skipping.Start(mass, walk.visits, walk.hits);
      if (skipping.On()) {
        cut = SkippingSteps(sink, options.countOnly, walk, mass, window, mark, skipping, clock.Left());
      } else {
        const long long from = walk.visits;
        const long long until = std::min(skipping.StartAt(), from + std::max(clock.Left(), 1LL));
        cut = PlainSteps(sink, options.countOnly, walk, mass, window, mark, until);
        clock.Left() -= walk.visits - from;
      }
      if (cut) break;
    }
  }

  stats.visits = walk.visits;
  stats.hits = walk.hits;
  stats.cut = cut;
  return stats;
}

SearchStats WalkCombinations(const double* mass, int n, const SearchWindow& window, SearchSink& sink,
                             const SearchOptions& options) {
  const double target = window.target, lower = window.lower, upper = window.upper;

  // The position stack has one slot per level: slot[k] is the index position chosen at level k (level 1 the heaviest
  // member). sum[k] is the mass of levels 1 to k, so leaving a level costs nothing and no rounding accumulates.
  // Both are sized to the index, so any index can be searched.
  n = std::max(n, 0);
  std::vector<int> slot(static_cast<size_t>(n) + 2);
  std::vector<double> sum(static_cast<size_t>(n) + 2, 0.0);
  for (int i = 1; i <= n + 1; ++i) slot[i] = n - i + 1;

  // The masses are read afresh after every pause (the caller may change them there); positions stay within the
  // first n + 1 entries.
  SearchStats stats;
  bool cut = false;
  YieldClock clock([&sink] { return sink.Clock(); }, options.clockSteps, options.pauseSeconds);

  while (slot[1] > 0 && !cut) {
    int k = 1;
    int mark = slot[1] - 1;
    while (slot[k] > 0) {
      // Progress and stop, once per new top-level position, and whenever a while has passed since the last pause.
      const bool top = slot[1] == mark;
      if (top || (--clock.Left() <= 0 && clock.Due())) {
        if (top) --mark;
        const SearchSink::Resume resume = sink.Pause(top, mark, stats);
        clock.Yielded();
        mass = resume.mass;
        if (resume.stop) {
          stats.stopped = true;
          return stats;
        }
      }

      ++stats.visits;
      const double running = sum[k - 1] + mass[slot[k]];
      sum[k] = running;

      if (lower < running && running < upper) {
        ++stats.hits;
        if (!options.countOnly && sink.Hit(slot.data(), k, running)) {
          cut = true;
          break;
        }
      }

      ExtendOrStep(slot.data(), k, running, target);
    }
  }
  stats.cut = cut;
  return stats;
}

}  // namespace zelm
