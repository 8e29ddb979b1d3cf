// calbrin-cli: the same engine as the windows, from the command line; its arguments are UTF-8.
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/fleet_writes.h"
#include "cli/interrupt.h"
#include "cli/platform_io.h"
#include "cli/temporary_changes.h"
#include "cli/user_language.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  calbrin::OnInterrupt([] { calbrin::TemporaryChanges::Process().UndoAll(); });
  calbrin::CliSetup setup;
  setup.defaultJobs = calbrin::DefaultJobs(calbrin::RaiseOpenFileLimit());
  setup.language = calbrin::UserLanguage();
  return calbrin::RunCli(args, calbrin::ProcessIo(), setup);
}
