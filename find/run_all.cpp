#include "find/run_all.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <ostream>
#include <thread>
#include <vector>

namespace zelm {

void RunAll(size_t count, unsigned threads, bool progress, std::ostream& err,
            const std::function<FeatureText(size_t)>& work, const std::function<void(FeatureText&)>& write) {
  std::vector<std::optional<FeatureText>> ready(count);
  std::mutex mutex;
  std::condition_variable changed;
  std::atomic<size_t> next{0};
  size_t done = 0;
  auto worker = [&] {
    for (size_t i = next++; i < count; i = next++) {
      FeatureText text = work(i);
      std::lock_guard<std::mutex> lock(mutex);
      ready[i] = std::move(text);
      ++done;
      changed.notify_all();
    }
  };
  std::vector<std::thread> pool;
  for (unsigned t = 0; t < threads; ++t) pool.emplace_back(worker);
  const auto start = std::chrono::steady_clock::now();
  bool shown = false;
  for (size_t i = 0; i < count; ++i) {
    std::unique_lock<std::mutex> lock(mutex);
    while (!ready[i]) {
      changed.wait_for(lock, std::chrono::milliseconds(100));
      // The progress bar shows once the run has taken a second.
      if (progress && std::chrono::steady_clock::now() - start >= std::chrono::seconds(1)) {
        const int filled = static_cast<int>(40 * done / std::max<size_t>(count, 1));
        err << "\r[" << std::string(static_cast<size_t>(filled), '#')
            << std::string(static_cast<size_t>(40 - filled), ' ') << "] " << done << "/" << count << std::flush;
        shown = true;
      }
    }
    FeatureText text = std::move(*ready[i]);
    ready[i].reset();
    lock.unlock();
    write(text);
  }
  for (auto& t : pool) t.join();
  if (shown) err << "\r" << std::string(60, ' ') << "\r" << std::flush;
}

}  // namespace zelm
