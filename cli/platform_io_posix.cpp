// The standard streams, terminal and environment through POSIX, where text is UTF-8 throughout.
#include <sys/resource.h>
#include <termios.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <iostream>

#include "cli/platform_io.h"

namespace calbrin {

struct EchoOff::Saved {
  termios mode{};
};

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream)) != 0;
}

void WriteText(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
  std::fflush(stream);
}

std::optional<std::string> ReadInputLine() {
  std::string line;
  if (!std::getline(std::cin, line)) return std::nullopt;
  return line;
}

std::optional<std::string> EnvironmentValue(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (value == nullptr) return std::nullopt;
  return std::string(value);
}

EchoOff::EchoOff() {
  termios mode{};
  if (tcgetattr(STDIN_FILENO, &mode) != 0) return;
  termios quiet = mode;
  quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
  if (tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0)
    saved_ = std::make_unique<Saved>(Saved{mode});
}

EchoOff::~EchoOff() {
  if (saved_) tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_->mode);
}

int RaiseOpenFileLimit() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NOFILE, &limit) != 0) return 0;
  if (limit.rlim_cur < limit.rlim_max) {
    rlimit raised = limit;
    raised.rlim_cur = limit.rlim_max;
    if (setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
  }
  return limit.rlim_cur > static_cast<rlim_t>(INT_MAX) ? INT_MAX : static_cast<int>(limit.rlim_cur);
}

}  // namespace calbrin
