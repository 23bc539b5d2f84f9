// The two step rules of the combination walk, shared by the plain walk and the search that skips what it cannot list.
// slot[1..k] holds the positions of the current combination, heaviest first.
#pragma once

#include <algorithm>
#include <functional>
#include <utility>

namespace zelm {

// When a search pauses besides the top-level changes: it counts its steps down from `steps` and, each time the count
// runs out, reads the clock; a pause is due when `seconds` have passed since the last one.
class YieldClock {
 public:
  YieldClock(std::function<double()> now, long long steps, double seconds)
      : now_(std::move(now)), steps_(std::max(steps, 1LL)), seconds_(seconds), last_(now_()), left_(steps_) {}
  // The steps left before the clock is read.
  long long& Left() { return left_; }
  // With the count run out: starts it again and tells whether a pause is due.
  bool Due() {
    left_ = steps_;
    return now_() - last_ >= seconds_;
  }
  // After every pause.
  void Yielded() { last_ = now_(); }

 private:
  std::function<double()> now_;
  const long long steps_;
  const double seconds_;
  double last_;
  long long left_;
};

// Climb rule: leave exhausted levels, and skip what lies below a run of consecutive positions down to 1. j is the
// number of levels already climbed.
inline void Climb(int* slot, int& k, int j) {
  while (k > 1 && slot[k] == j) {
    --k;
    --slot[k];
    ++j;
  }
}

// Extend rule: go one level deeper while the running sum is below the target and a lighter position is left;
// otherwise step to the next lighter position of this level and climb.
inline void ExtendOrStep(int* slot, int& k, double running, double target) {
  if (slot[k] > 1 && running < target) {
    ++k;
    slot[k] = slot[k - 1] - 1;
  } else {
    --slot[k];
    Climb(slot, k, 0);
  }
}

}  // namespace zelm
