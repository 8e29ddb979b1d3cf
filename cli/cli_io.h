// Everything a command of calbrin-cli reads or writes besides the devices and files: its output,
// its messages, the terminal and the environment. The program uses the real ones; tests record.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calbrin {

class CliIo {
 public:
  virtual ~CliIo() = default;
  virtual void Out(std::string_view text) = 0;
  virtual void Err(std::string_view text) = 0;
  // Whether a person sits at the terminal: standard input and output are both a terminal.
  virtual bool Interactive() = 0;
  // Shows `prompt` on the terminal and reads one line; `hidden` keeps it from being echoed.
  // Nothing at the end of the input.
  virtual std::optional<std::string> ReadLine(std::string_view prompt, bool hidden) = 0;
  virtual std::optional<std::string> Environment(const std::string& name) = 0;
};

// The process's own standard streams and terminal.
CliIo& ProcessIo();

}  // namespace calbrin
