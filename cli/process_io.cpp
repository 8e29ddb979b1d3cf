// The process's standard streams and terminal, for calbrin-cli.
#include <cstdio>
#include <string>

#include "cli/cli_io.h"
#include "cli/platform_io.h"

namespace calbrin {
namespace {

class StandardIo final : public CliIo {
 public:
  void Out(std::string_view text) override { WriteText(stdout, text); }
  void Err(std::string_view text) override { WriteText(stderr, text); }
  bool Interactive() override { return IsTerminal(stdin) && IsTerminal(stdout); }
  std::optional<std::string> ReadLine(std::string_view prompt, bool hidden) override {
    WriteText(stderr, prompt);
    std::optional<std::string> line;
    if (hidden) {
      EchoOff quiet;
      line = ReadInputLine();
      WriteText(stderr, "\n");
    } else {
      line = ReadInputLine();
    }
    if (line && !line->empty() && line->back() == '\r') line->pop_back();
    return line;
  }
  std::optional<std::string> Environment(const std::string& name) override {
    return EnvironmentValue(name);
  }
};

}  // namespace

CliIo& ProcessIo() {
  static StandardIo io;
  return io;
}

}  // namespace calbrin
