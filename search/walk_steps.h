// The two step rules of the combination walk, shared by the plain walk and the search that skips what it cannot list.
// slot[1..k] holds the positions of the current combination, heaviest first.
#pragma once

namespace zelm {

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
