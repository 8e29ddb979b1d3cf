// backup: the settings of many devices saved side by side, one settings file each under the name
// that the windows' save proposes.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/device_access.h"

namespace calbrin {

struct BackupRun {
  std::filesystem::path folder;
  std::vector<std::string> addresses;  // empty: every device that a search finds
  int jobs = 1;
  bool json = false;
  PasswordSource password;
  std::string from;  // --from: the search's and every device's local address; empty: AdapterFor's
  Language language = Language::kJapanese;  // of the devices' and the files' messages
};

// Searches once from --from or the preselected adapter (for the devices' MAC addresses, and for
// the devices when none are named), then opens up to `jobs` devices at once, each from the adapter
// that AdapterFor chooses, and saves each one's settings as DIR/<model>_<MAC>.qvs (the address in
// place of a MAC that the search did not find), readable by the user alone. An address that
// several devices answer from is not opened: its line names their MACs as not saved. One line per
// device, then a summary; 0 when every device was saved, 1 otherwise.
int RunBackup(const BackupRun& run, CliIo& io, const CliSetup& setup);

}  // namespace calbrin
