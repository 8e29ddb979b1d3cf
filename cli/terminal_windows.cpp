// The terminal through the console API.
#include <io.h>
#include <windows.h>

#include "cli/terminal.h"

namespace calbrin {

struct EchoOff::Saved {
  HANDLE input = nullptr;
  DWORD mode = 0;
};

bool IsTerminal(std::FILE* stream) {
  return _isatty(_fileno(stream)) != 0;
}

EchoOff::EchoOff() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(input, &mode)) return;
  if (SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)))
    saved_ = std::make_unique<Saved>(Saved{input, mode});
}

EchoOff::~EchoOff() {
  if (saved_) SetConsoleMode(saved_->input, saved_->mode);
}

}  // namespace calbrin
