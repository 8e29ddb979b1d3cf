// Work on many devices side by side: a bounded number of threads, one device each at a time, and
// a live progress line on the terminal while they run.
#pragma once

#include <chrono>
#include <functional>
#include <mutex>
#include <optional>
#include <string>

#include "cli/cli_io.h"
#include "settings/language.h"

namespace calbrin {

// Whether the answer to a question is a yes: y, Y or yes, in every language.
bool IsYes(const std::optional<std::string>& answer);

// Runs `work(i)` for every i from 0 to count - 1 on at most `jobs` threads at once, each taking
// the next index when it is free, so that one thread does them in order. `work` returns whether
// the device succeeded. While they run, `progress(done, failed)` is called on the calling thread
// every `interval` and once at the end. Returns when every call has returned.
void RunSideBySide(int count, int jobs, const std::function<bool(int)>& work,
                   const std::function<void(int done, int failed)>& progress,
                   std::chrono::milliseconds interval = std::chrono::milliseconds(200));

// The terminal and the output shared by the threads of one run: every call goes through one lock,
// and a question first clears the progress line that it would otherwise follow.
class SharedIo final : public CliIo {
 public:
  explicit SharedIo(CliIo& io) : io_(io) {}

  void Out(std::string_view text) override;
  void Err(std::string_view text) override;
  bool Interactive() override;
  std::optional<std::string> ReadLine(std::string_view prompt, bool hidden) override;
  std::optional<std::string> Environment(const std::string& name) override;

  // Rewrites the progress line on the terminal: devices done, failed and remaining, and the
  // seconds since `start`. Ended with ClearProgress().
  // In `language`; `phase`, when given, leads the line ("write: done 3 ...").
  void ShowProgress(int done, int failed, int count, std::chrono::steady_clock::time_point start,
                    Language language, std::string_view phase = {});
  void ClearProgress();

 private:
  void ClearLocked();

  CliIo& io_;
  std::mutex mutex_;
  std::size_t shown_ = 0;  // the length of the progress line on the terminal; 0: none
};

}  // namespace calbrin
