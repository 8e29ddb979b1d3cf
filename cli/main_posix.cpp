// calbrin-cli: the same engine as the windows, from the command line; its arguments are UTF-8.
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/commands.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return calbrin::RunCli(args, calbrin::ProcessIo());
}
