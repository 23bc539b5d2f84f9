// Work on several threads whose results are handed on in order.
#pragma once

#include <functional>
#include <iosfwd>
#include <string>

namespace zelm {

// What one feature gives: its rows' text and its notes for standard error.
struct FeatureText {
  std::string rows, notes;
  bool anyRow = false;
  // With a report: the feature's row of its summary and its section.
  std::string reportRow, reportSection;
  bool answered = false;
};

// Runs work(0..count) on `threads` threads and hands each result to `write` in order, as soon as it is there, so that
// the output is the same whatever the number of threads and a long run needs no more memory than the work in hand.
// With progress, a bar on err once the run has taken a second.
void RunAll(size_t count, unsigned threads, bool progress, std::ostream& err,
            const std::function<FeatureText(size_t)>& work, const std::function<void(FeatureText&)>& write);

}  // namespace zelm
