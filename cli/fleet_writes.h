// put, set and passwd over many devices: each device opened, checked and written on a connection
// of its own, side by side, with one question for all of them and the results in address order.
#pragma once

#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "cli/commands.h"
#include "cli/device_access.h"
#include "file/change_log.h"
#include "pages/collect_settings.h"
#include "pages/settings_view.h"

namespace calbrin {

// What a write command would do to one open device.
struct WritePlan {
  std::string refusal;  // not written, for this reason (a system message may span lines)
  PageStates pages;
  bool reduced = false;  // the model's reduced second channel
  std::vector<SettingDifference> differences;
  // Values of a settings file that the windows' controls would not take, shown with the
  // differences; the file is written as the windows would write it all the same.
  std::vector<std::string> warnings;
  bool always = false;  // written even when no setting differs (a password change)
  std::string doneMessage;
};

struct WriteRun {
  std::string command;  // "put", "set" or "passwd": the JSON's "command"
  std::vector<std::string> addresses;
  // Called on the device's own thread with the device open; must not touch shared state.
  std::function<WritePlan(const std::string& address, const DeviceSession&)> plan;
  bool asks = true;            // show the differences and ask (or take --yes) before writing
  bool failuresToErr = false;  // a device's failure line goes to the error output
  bool summaryAlways = true;   // "W of N devices written" for one device too
  int jobs = 1;
  bool yes = false;
  bool json = false;
  PasswordSource password;
  std::string from;  // --from: the local address of every device's connection; empty: AdapterFor's
  // Where each device's settings are kept before it is written; empty: nowhere.
  std::filesystem::path history;
  // Where each device written, or whose write failed, is recorded; none: nowhere. Shared by the
  // devices' threads, which it serialises.
  std::shared_ptr<ChangeLog> log;
  // The language of the differences that `plan` views, for the lines that show them.
  Language language = Language::kJapanese;
};

constexpr int kMaxJobs = 1024;

// The --jobs that a run takes when none is given: as many devices at once as `openFiles` leaves
// room for (a socket each, a history file being written, and a reserve for the program's own),
// from 1 to kMaxJobs, so that a large fleet is written side by side without the user's asking.
constexpr int DefaultJobs(int openFiles) {
  constexpr int kReservedFiles = 64;
  constexpr int kFilesPerDevice = 2;
  const int room = (openFiles - kReservedFiles) / kFilesPerDevice;
  return room < 1 ? 1 : room > kMaxJobs ? kMaxJobs : room;
}

// Runs the write on every address. Without --yes the devices are first read and compared, all
// differences shown, and one question asked; a device whose settings changed meanwhile is not
// written. A device whose settings cannot be kept in the history is not written. Returns 0 when
// every device was written or had nothing to change, 1 otherwise.
int RunWrites(const WriteRun& run, CliIo& io, const CliSetup& setup);

}  // namespace calbrin
