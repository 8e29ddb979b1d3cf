// calbrin-cli's commands: the engine of the windows, from the command line.
#pragma once

#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "cli/cli_io.h"
#include "net/adapters.h"
#include "net/apply_settings.h"
#include "net/console_connection.h"
#include "net/device_discovery.h"
#include "settings/language.h"

namespace calbrin {

// What the program takes from the system, and tests shorten or replace.
struct CliSetup {
  ConsoleTimeLimits limits;
  std::chrono::milliseconds searchWindow = DeviceDiscovery::kCollectionWindow;
  std::function<int(AdapterTable&)> fillAdapters = FillAdapterTable;
  std::string routeProbeTarget = std::string(kRouteProbeAddress);
  // How long a written device is left alone to store its settings and restart, as Apply does.
  std::chrono::milliseconds settleTime = kWriteSettleTime;
  // The devices that one adapter's search keeps (the windows keep 20 rows): a bound for memory's
  // sake only, far above any site; more answering is reported as an error, never silently.
  int searchCapacity = 65536;
  // --jobs when none is given: sized from the open files that the process may have.
  int defaultJobs = 64;
  // The language of get's, diff's and the writes' settings texts when no --lang is given: main
  // takes the user's (UserLanguage); Japanese, the windows' own, otherwise.
  Language language = Language::kJapanese;
  // --trace: the process's wire trace, handed to every console and search; none when null.
  WireTrace* trace = nullptr;
};

// The adapters that the system lists, with the one that the windows preselect selected.
inline AdapterTable ListedAdapters(const CliSetup& setup) {
  AdapterTable adapters;
  setup.fillAdapters(adapters);
  SelectInitialAdapter(adapters, ProbeLocalAddress(setup.routeProbeTarget));
  return adapters;
}

// Runs the command that `args` names (without the program name); returns the exit code:
// 0 success, 1 failure (for diff: the settings differ), 2 a usage error (for diff: any failure).
int RunCli(const std::vector<std::string>& args, CliIo& io, const CliSetup& setup = {});

}  // namespace calbrin
