// calbrin-cli for Windows: the wide entry point, so that arguments arrive as their characters
// whatever the system's ANSI code page, and the program gets them as UTF-8.
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/fleet_writes.h"
#include "cli/interrupt.h"
#include "cli/platform_io.h"
#include "cli/temporary_changes.h"
#include "cli/user_language.h"
#include "cli/utf16_windows.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i)
    args.push_back(calbrin::Utf8FromUtf16(argv[i]));
  calbrin::OnInterrupt([] { calbrin::TemporaryChanges::Process().UndoAll(); });
  calbrin::CliSetup setup;
  setup.defaultJobs = calbrin::DefaultJobs(calbrin::RaiseOpenFileLimit());
  setup.language = calbrin::UserLanguage();
  return calbrin::RunCli(args, calbrin::ProcessIo(), setup);
}
