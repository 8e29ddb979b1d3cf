// commission: bring every device of a site sheet to its planned address and settings, verified
// by a new search and by reading each one back; or, with --check, compare the site with the sheet.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/device_access.h"
#include "file/change_log.h"

namespace calbrin {

struct CommissionRun {
  std::filesystem::path sheet;
  bool check = false;  // compare only, write nothing
  bool yes = false;
  bool json = false;
  std::filesystem::path report;  // the handover report (CSV); empty: none
  int jobs = 1;
  PasswordSource password;  // for rows without their own password-env
  std::string from;         // --from: the one adapter to search and open from
  std::filesystem::path history;
  std::shared_ptr<ChangeLog> log;           // where each device written is recorded; none: nowhere
  Language language = Language::kJapanese;  // of the lines, messages and questions
};

// Reads the sheet (refused as a whole, exit 2, before anything is sent), searches, shows the
// plan, asks once (or takes --yes), writes every row's device side by side, searches again and
// reads each written device back. 0 when every row is at its plan, 1 otherwise.
int RunCommission(const CommissionRun& run, CliIo& io, const CliSetup& setup);

}  // namespace calbrin
