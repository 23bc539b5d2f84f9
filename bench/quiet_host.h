// A desktop for benchmarks: answers every question with OK, keeps nothing, and times the gaps between yields.
#pragma once

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>

#include <unistd.h>

#include "core/host.h"

namespace zelm {

class QuietHost : public Host {
 public:
  using Clock = std::chrono::steady_clock;
  explicit QuietHost(std::string dir = ".") : dir_(std::move(dir)) {}
  int MessageBox(const std::string&, const std::string&, Buttons, bool) override { return kAnswerOk; }
  std::string ClipboardText() override { return {}; }
  void SetClipboardText(const std::string&) override {}
  void SetPrinterFont(const std::string&, double) override {}
  std::string PrintText(const std::string&) override { return {}; }
  void Yield() override {
    Mark();
    if (onYield) onYield();
  }
  // Runs at every yield, after it was timed.
  std::function<void()> onYield;
  float Timer() override { return 0; }
  std::string CurrentDirectory() override { return dir_; }
  void SendKey(char) override {}
  void End() override {}
  void RepaintNow(Control&) override {}

  // The start of a search, a yield, the end of a search: the longest time between two of them.
  void Start() { last = Clock::now(); }
  void Mark() {
    const Clock::time_point now = Clock::now();
    longest = std::max(longest, std::chrono::duration<double>(now - last).count());
    last = now;
  }
  double longest = 0;
  Clock::time_point last = Clock::now();

 private:
  std::string dir_;
};

// A fresh working folder for a benchmark's data files; the program ends when none can be made.
inline std::string BenchFolder() {
  std::string pattern = (std::filesystem::temp_directory_path() / "zelm-bench-XXXXXX").string();
  if (!::mkdtemp(pattern.data())) {
    std::perror("mkdtemp");
    std::exit(1);
  }
  return pattern;
}

}  // namespace zelm
