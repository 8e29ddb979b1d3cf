// Work on many devices side by side, and the progress line.
#include "cli/fleet.h"

#include <algorithm>
#include <atomic>
#include <condition_variable>
#include <thread>
#include <vector>

#include "cli/cli_texts.h"

namespace calbrin {

void RunSideBySide(int count, int jobs, const std::function<bool(int)>& work,
                   const std::function<void(int done, int failed)>& progress,
                   std::chrono::milliseconds interval) {
  std::atomic<int> next{0};
  std::mutex mutex;
  std::condition_variable finished;
  int done = 0;
  int failed = 0;
  const auto worker = [&] {
    for (int i; (i = next.fetch_add(1)) < count;) {
      const bool ok = work(i);
      const std::lock_guard lock(mutex);
      ++done;
      failed += ok ? 0 : 1;
      finished.notify_one();
    }
  };
  std::vector<std::jthread> threads;
  for (int t = 0; t < std::clamp(jobs, 1, std::max(count, 1)); ++t)
    threads.emplace_back(worker);
  // Wakes at every finished device and after each interval; the last call sees them all done.
  std::unique_lock lock(mutex);
  for (int shown = -1; shown < count;) {
    finished.wait_for(lock, interval, [&] { return done != shown; });
    shown = done;
    const int failedNow = failed;
    lock.unlock();
    progress(shown, failedNow);
    lock.lock();
  }
}

bool IsYes(const std::optional<std::string>& answer) {
  return answer && (*answer == "y" || *answer == "Y" || *answer == "yes");
}

void SharedIo::Out(std::string_view text) {
  const std::lock_guard lock(mutex_);
  ClearLocked();
  io_.Out(text);
}

void SharedIo::Err(std::string_view text) {
  const std::lock_guard lock(mutex_);
  ClearLocked();
  io_.Err(text);
}

bool SharedIo::Interactive() {
  const std::lock_guard lock(mutex_);
  return io_.Interactive();
}

std::optional<std::string> SharedIo::ReadLine(std::string_view prompt, bool hidden) {
  const std::lock_guard lock(mutex_);
  ClearLocked();
  return io_.ReadLine(prompt, hidden);
}

std::optional<std::string> SharedIo::Environment(const std::string& name) {
  const std::lock_guard lock(mutex_);
  return io_.Environment(name);
}

void SharedIo::ShowProgress(int done, int failed, int count,
                            std::chrono::steady_clock::time_point start, Language language,
                            std::string_view phase) {
  const auto elapsed =
      std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - start)
          .count();
  const std::string line = (phase.empty() ? "" : std::string(phase) + ": ") +
                           Text(CliText::kProgress, language,
                                {std::to_string(done), std::to_string(failed),
                                 std::to_string(count - done), std::to_string(elapsed)});
  const std::lock_guard lock(mutex_);
  // Blanks over what is left of a longer line before.
  io_.Err("\r" + line + std::string(shown_ > line.size() ? shown_ - line.size() : 0, ' '));
  shown_ = std::max(shown_, line.size());
}

void SharedIo::ClearProgress() {
  const std::lock_guard lock(mutex_);
  ClearLocked();
}

void SharedIo::ClearLocked() {
  if (shown_ == 0) return;
  io_.Err("\r" + std::string(shown_, ' ') + "\r");
  shown_ = 0;
}

}  // namespace calbrin
