// The process's standard streams and terminal, for calbrin-cli.
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <string>

#include "cli/cli_io.h"
#include "cli/terminal.h"

namespace calbrin {
namespace {

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
