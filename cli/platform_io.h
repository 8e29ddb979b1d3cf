// The platform's side of calbrin-cli's standard streams and environment, all as UTF-8 text:
// whether a stream is a terminal, writing to it, reading a line, the echo, the variables.
#pragma once

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace calbrin {

bool IsTerminal(std::FILE* stream);

// Writes `text` to `stream` and flushes it: a terminal shows its characters whatever its own
// character set; a pipe or file gets the UTF-8 bytes.
void WriteText(std::FILE* stream, std::string_view text);

// One line of standard input, without its line end; nothing at the end of the input.
std::optional<std::string> ReadInputLine();

std::optional<std::string> EnvironmentValue(const std::string& name);

// Raises the process's limit of open files (every device of a fleet holds a socket) to the most
// that the system allows it, and returns the limit now in force.
int RaiseOpenFileLimit();

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
