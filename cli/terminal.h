// The platform's terminal for calbrin-cli: whether a stream is one, and its echo.
#pragma once

#include <cstdio>
#include <memory>

namespace calbrin {

bool IsTerminal(std::FILE* stream);

// Turns the echo of the terminal on standard input off for as long as it lives; does nothing
// when standard input is no terminal.
class EchoOff {
 public:
  EchoOff();
  ~EchoOff();
  EchoOff(const EchoOff&) = delete;
  EchoOff& operator=(const EchoOff&) = delete;

 private:
  struct Saved;
  std::unique_ptr<Saved> saved_;
};

}  // namespace calbrin
