// The terminal through termios.
#include <termios.h>
#include <unistd.h>

#include "cli/terminal.h"

namespace calbrin {

struct EchoOff::Saved {
  termios mode{};
};

bool IsTerminal(std::FILE* stream) {
  return isatty(fileno(stream)) != 0;
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

}  // namespace calbrin
