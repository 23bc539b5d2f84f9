// Whether any bit from `first` to `last` (both included, first <= last) is set in a row of 64-bit words: the question
// the tables of reachable sums are asked.
#pragma once

#include <cstdint>

namespace zelm {

inline bool AnyBit(const uint64_t* bits, int64_t first, int64_t last) {
  const uint64_t maskFirst = ~uint64_t{0} << (first & 63);
  const uint64_t maskLast = ~uint64_t{0} >> (63 - (last & 63));
  const int64_t wf = first >> 6, wl = last >> 6;
  if (wf == wl) return (bits[wf] & maskFirst & maskLast) != 0;
  if (bits[wf] & maskFirst) return true;
  for (int64_t w = wf + 1; w < wl; ++w)
    if (bits[w]) return true;
  return (bits[wl] & maskLast) != 0;
}

}  // namespace zelm
