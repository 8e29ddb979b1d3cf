// calbrin-cli's part of the change log: the record of each device written (or whose write
// failed), appended to the user's log, and the log command that reads the records back.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "file/change_log.h"
#include "file/write_record.h"
#include "settings/language.h"

namespace calbrin {

// The user's change log: changes.jsonl in the data folder that holds the history; none when the
// environment names no data folder.
std::shared_ptr<ChangeLog> UserChangeLog(CliIo& io);

// Appends the record of `write` to `log` (none: nothing). Empty, or a warning for the device's
// line in `language`: the write happened whether or not it could be logged.
std::string LogWrite(ChangeLog* log, const LoggedWrite& write, Language language);

// log [ADDRESS|MAC...] [--since TIME] [--json]: the records of the user's log, oldest first, of
// every device or of those named, from `since` (an ISO date or date-time in UTC; empty: all).
// 0, or 2 when `since` is no such time or no data folder is known.
int ShowChangeLog(const std::vector<std::string>& devices, const std::string& since, bool json,
                  CliIo& io, Language language);

}  // namespace calbrin
