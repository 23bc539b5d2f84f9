#include "analysis/fragment_check.h"

#include <algorithm>
#include <cmath>

#include "core/form1.h"
#include "text/text.h"

namespace zelm {

namespace {

using Length = unsigned __int128;
constexpr unsigned long long kMostTimesWhole = 1ull << 62;
constexpr double kMostTimes = static_cast<double>(kMostTimesWhole);

// The count's value by the leading-number rule, with a quick path for the usual few plain digits.
double CountValue(const std::string& text) {
  if (!text.empty() && text.size() <= 9) {
    double v = 0;
    for (char c : text) {
      if (c < '0' || c > '9') return std::floor(LeadingNumber(text));
      v = v * 10 + (c - '0');
    }
    return v;
  }
  return std::floor(LeadingNumber(text));
}

// A group as a run: its word (mass number and symbol) brought down to the shortest word it repeats, and how often that
// word comes. False when the group writes out empty.
bool GroupRun(const FormulaGroup& group, std::string& root, unsigned long long& times) {
  const double count = CountValue(group.count);
  const size_t size = group.mass.size() + group.symbol.size();
  if (!(count >= 1) || size == 0) return false;
  std::string word = group.mass + group.symbol;
  // The shortest period of the word (from its longest border); the word repeats it when the period divides it.
  std::vector<size_t> border(size, 0);
  for (size_t i = 1, k = 0; i < size; ++i) {
    while (k > 0 && word[i] != word[k]) k = border[k - 1];
    if (word[i] == word[k]) ++k;
    border[i] = k;
  }
  const size_t period = size - border[size - 1];
  const size_t repeats = size % period == 0 ? size / period : 1;
  if (repeats > 1) word.resize(period);
  root = std::move(word);
  times = static_cast<unsigned long long>(std::min(count * static_cast<double>(repeats), kMostTimes));
  return true;
}

// Looks for the text `root` repeated `times` times in a text that is fed to it piece by piece. The search follows the
// stretches of the text that repeat with the root's length q (each character equal to the one q before it): the
// pattern ends at a character when the q characters up to it are the root and the stretch holding them is at least
// as long as the pattern.
class RunSearch {
 public:
  RunSearch(const std::string& root, unsigned long long times)
      : root_(root), q_(root.size()), need_(static_cast<Length>(times) * root.size()), last_(root.size(), '\0') {}

  bool Found() const { return found_; }

  // One character of the text.
  void Push(char c) {
    if (have_ == q_) {
      length_ = last_[at_] == c ? length_ + 1 : q_;
    } else {
      ++have_;
      length_ = have_;
    }
    last_[at_] = c;
    at_ = at_ + 1 == q_ ? 0 : at_ + 1;
    if (have_ == q_ && length_ >= need_ && EndsWithRoot()) found_ = true;
  }

  // A part of the text left out: no stretch goes across it.
  void Break() {
    have_ = 0;
    length_ = 0;
  }

  // A run of the text: `word` repeated `times` times.
  void PushRun(const std::string& word, unsigned long long times) {
    const size_t w = word.size();
    if (w == q_) {
      PushSameLength(word, times);
      return;
    }
    // A stretch of period q inside a run of another word's repetition is shorter than q + w (were it longer, it would
    // repeat a word shorter than the root, which repeats none), so of a long run only its two ends matter: the end a
    // stretch leaves it by and the end one comes in by, each long enough to hold the pattern when it is that short.
    const size_t keep = q_ + 2 * w;
    const Length total = static_cast<Length>(times) * w;
    if (total <= 2 * keep + q_ + w) {
      for (Length i = 0; i < total && !found_; ++i) Push(word[static_cast<size_t>(i % w)]);
      return;
    }
    for (size_t i = 0; i < keep && !found_; ++i) Push(word[i % w]);
    Break();
    const size_t from = (w - keep % w) % w;  // the run ends where a word ends
    for (size_t i = 0; i < keep && !found_; ++i) Push(word[(from + i) % w]);
  }

 private:
  // A run of a word as long as the root: from its second word on every character equals the one q before it, so after
  // two words the stretch just grows; the position in the last word where the root ended in the second is the last
  // place it ends in the run.
  void PushSameLength(const std::string& word, unsigned long long times) {
    const unsigned long long literal = std::min<unsigned long long>(times, 2);
    size_t rootEnd = 0;  // characters into the second word after which the root ends there; 0 when it does not
    for (unsigned long long t = 0; t < literal && !found_; ++t) {
      for (size_t i = 0; i < q_ && !found_; ++i) {
        Push(word[i]);
        if (t == 1 && have_ == q_ && EndsWithRoot()) rootEnd = i + 1;
      }
    }
    if (found_ || times <= 2) return;
    length_ += static_cast<Length>(times - 2) * q_;
    if (rootEnd > 0 && length_ - (q_ - rootEnd) >= need_) found_ = true;
  }

  bool EndsWithRoot() const {
    for (size_t i = 0; i < q_; ++i) {
      size_t j = at_ + i;
      if (j >= q_) j -= q_;
      if (last_[j] != root_[i]) return false;
    }
    return true;
  }

  const std::string& root_;
  const size_t q_;
  const Length need_;
  std::string last_;  // the last q characters, the oldest at at_
  size_t at_ = 0;
  size_t have_ = 0;    // characters in last_
  Length length_ = 0;  // length of the stretch that ends at the last character
  bool found_ = false;
};

}  // namespace

std::string WrittenOut(const FormulaGroup& group, size_t room) {
  std::string out;
  const size_t unit = group.mass.size() + group.symbol.size();
  const double count = CountValue(group.count);
  if (!(count >= 1) || unit == 0) return out;
  const double fits = static_cast<double>(room / unit);
  const size_t times = static_cast<size_t>(count < fits ? count : fits);
  out.reserve(times * unit);
  for (size_t i = 0; i < times; ++i) out.append(group.mass).append(group.symbol);
  return out;
}

FragmentMatcher::FragmentMatcher(std::string_view whole, size_t shortForm) : short_(shortForm) {
  GroupReader reader(whole);
  FormulaGroup g;
  std::string root;
  unsigned long long times = 0;
  while (reader.Next(g)) {
    if (!GroupRun(g, root, times)) continue;
    if (!runs_.empty() && runs_.back().root == root) {
      auto& last = runs_.back().times;
      last = kMostTimes - static_cast<double>(last) <= static_cast<double>(times) ? kMostTimesWhole : last + times;
    } else {
      runs_.push_back({root, times});
    }
  }
  Length length = 0;
  for (const Run& run : runs_) length += static_cast<Length>(run.times) * run.root.size();
  length_ = length > ~0ull ? ~0ull : static_cast<unsigned long long>(length);
  if (length_ <= short_)
    for (const Run& run : runs_)
      for (unsigned long long t = 0; t < run.times; ++t) written_ += run.root;
}

bool FragmentMatcher::IsFragment(std::string_view candidate) const {
  GroupReader reader(candidate);
  FormulaGroup g;
  std::string root;
  unsigned long long times = 0;
  while (reader.Next(g)) {
    // A group that writes out empty is found in any formula that writes out something.
    if (!GroupRun(g, root, times)) {
      if (runs_.empty()) return false;
      continue;
    }
    const Length need = static_cast<Length>(times) * root.size();
    if (need > length_) return false;
    if (length_ <= short_) {
      std::string piece;
      for (unsigned long long t = 0; t < times; ++t) piece += root;
      if (written_.find(piece) == std::string::npos) return false;
      continue;
    }
    RunSearch search(root, times);
    for (const Run& run : runs_) {
      search.PushRun(run.root, run.times);
      if (search.Found()) break;
    }
    if (!search.Found()) return false;
  }
  return true;
}

std::string Form1::FragmentCheck(const std::string& w1, const std::string& w2) {
  return FragmentMatcher(w1).IsFragment(w2) ? "YES" : "";
}

}  // namespace zelm
