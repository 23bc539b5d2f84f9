// The combination search on its own: an index of masses and a window in, every combination inside the window out to a
// sink, with pauses for progress and cancel, and statistics at the end. It knows nothing of the window's controls or
// texts; the window's Search and SearchWalk, and any other program, drive it.
//
// The index holds masses at positions 1 to n, ascending (position 0 is not used). A combination is a set of distinct
// positions; the walk meets them depth first, heaviest position first, and a combination is inside when its sum lies
// strictly between the window's bounds. The walk extends a combination while its sum is below the target and a lighter
// position is left.
#pragma once

#include <cstddef>
#include <memory>

namespace zelm {

class ReachTable;

struct SearchWindow {
  double target, lower, upper;
};

struct SearchStats {
  long long visits = 0;  // positions entered
  long long hits = 0;    // combinations inside the window
  bool cut = false;      // the sink ended the search
  bool stopped = false;  // a pause answered stop
};

class SearchSink {
 public:
  virtual ~SearchSink() = default;
  // A combination inside the window: the positions slot[1] (heaviest) to slot[k], and its sum as the walk formed it.
  // Returning true ends the search (a limit was reached).
  virtual bool Hit(const int* slot, int k, double sum) = 0;
  // A pause for progress and cancel: `top` when the walk has just moved on at the top level (with `left` top-level
  // positions still to come), else because a while has passed since the last pause. The caller may change the masses
  // here; it answers with the masses to go on with (at least the search's n + 1 positions) and whether to stop.
  struct Resume {
    const double* mass;
    bool stop;
  };
  virtual Resume Pause(bool top, int left, const SearchStats& sofar) = 0;
  // Seconds on a clock that never goes back.
  virtual double Clock() = 0;
};

struct SearchOptions {
  // Count the combinations inside the window without handing them to the sink.
  bool countOnly = false;
  // How many positions the search enters as the plain walk does before it builds its table of reachable sums, and
  // about how many 64-bit words that table takes at first (it grows while a search runs long).
  long long plainVisits = 16384;
  size_t tableWords = size_t{1} << 16;
  // The clock is read every this many steps; a pause comes when pauseSeconds have passed since the last one.
  long long clockSteps = 4096;
  double pauseSeconds = 0.05;
  // The memory of the last search's table, kept for the next one.
  std::shared_ptr<ReachTable> spare;
};

// Every combination inside the window, as the plain walk meets them and between the same top-level pauses, without
// entering what cannot be listed.
SearchStats SearchCombinations(const double* mass, int n, const SearchWindow& window, SearchSink& sink,
                               SearchOptions& options);
// The plain walk itself, position by position: the reference the search is held to.
SearchStats WalkCombinations(const double* mass, int n, const SearchWindow& window, SearchSink& sink,
                             const SearchOptions& options);

}  // namespace zelm
