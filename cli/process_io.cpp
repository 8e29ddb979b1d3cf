// The process's standard streams and terminal, for calbrin-cli.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "cli/cli_io.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <termios.h>
#include <unistd.h>
#endif

namespace calbrin {
namespace {

bool IsTerminal(std::FILE* stream) {
#ifdef _WIN32
  return _isatty(_fileno(stream)) != 0;
#else
  return isatty(fileno(stream)) != 0;
#endif
}

// Turns the terminal's echo off for as long as it lives.
class EchoOff {
 public:
  EchoOff() {
#ifdef _WIN32
    input_ = GetStdHandle(STD_INPUT_HANDLE);
    if (GetConsoleMode(input_, &mode_)) {
      saved_ = SetConsoleMode(input_, mode_ & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)) != FALSE;
    }
#else
    if (tcgetattr(STDIN_FILENO, &mode_) == 0) {
      termios quiet = mode_;
      quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
      saved_ = tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet) == 0;
    }
#endif
  }
  ~EchoOff() {
    if (!saved_) return;
#ifdef _WIN32
    SetConsoleMode(input_, mode_);
#else
    tcsetattr(STDIN_FILENO, TCSAFLUSH, &mode_);
#endif
  }
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
#ifdef _WIN32
  HANDLE input_ = nullptr;
  DWORD mode_ = 0;
#else
  termios mode_{};
#endif
  bool saved_ = false;
};

class StandardIo final : public CliIo {
 public:
  void Out(std::string_view text) override {
    std::cout << text;
    std::cout.flush();
  }
  void Err(std::string_view text) override {
    std::cerr << text;
    std::cerr.flush();
  }
  bool Interactive() override { return IsTerminal(stdin) && IsTerminal(stdout); }
  std::optional<std::string> ReadLine(std::string_view prompt, bool hidden) override {
    std::cerr << prompt;
    std::cerr.flush();
    std::string line;
    bool read = false;
    if (hidden) {
      EchoOff quiet;
      read = static_cast<bool>(std::getline(std::cin, line));
      std::cerr << '\n';
    } else {
      read = static_cast<bool>(std::getline(std::cin, line));
    }
    if (!read) return std::nullopt;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
  }
  std::optional<std::string> Environment(const std::string& name) override {
    const char* value = std::getenv(name.c_str());
    if (value == nullptr) return std::nullopt;
    return std::string(value);
  }
};

}  // namespace

CliIo& ProcessIo() {
  static StandardIo io;
  return io;
}

}  // namespace calbrin
