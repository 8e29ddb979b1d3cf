// backup: many devices' settings saved side by side.
#include "cli/backup.h"

#include <chrono>
#include <map>
#include <memory>

#include "cli/cli_texts.h"
#include "cli/device_reach.h"
#include "cli/device_search.h"
#include "cli/device_writes.h"
#include "cli/fleet.h"
#include "cli/json_output.h"
#include "file/change_log.h"
#include "file/history.h"
#include "file/settings_file.h"
#include "file/utf8_path.h"
#include "settings/device_model.h"

namespace calbrin {
namespace {

// Saves the open device's settings in `folder`; the file's name, or the problem in `problem`.
std::string SaveDevice(const std::filesystem::path& folder, const SettingsRecord& record,
                       const std::string& nameTail, Language language, std::string& problem) {
  const std::string text = SettingsFileTextOf(record, problem, language);
  if (!problem.empty()) return {};
  const std::string name = ProposedSettingsFileName(
      ModelNameText(ModelOf(ReadField(record, SettingKey::MODEL))), nameTail);
  const std::filesystem::path file = folder / PathFromUtf8(name);
  if (!WriteSettingsFile(file, text) || !MakePrivateFile(file))
    problem = std::string(FileNotCreatedMessage(language));
  return name;
}

// Why the devices with `macs` that answer from one address are not saved.
std::string SharedAddressMessage(const std::vector<std::string>& macs, Language language) {
  std::string list;
  for (const std::string& mac : macs)
    list += (list.empty() ? "" : ", ") + mac;
  return Text(CliText::kAddressShared, language, {std::to_string(macs.size()), list});
}

}  // namespace

int RunBackup(const BackupRun& run, CliIo& terminal, const CliSetup& setup) {
  SharedIo io(terminal);
  const AdapterTable adapters = ListedAdapters(setup);
  std::map<std::string, std::string> macs;
  std::vector<std::string> addresses = run.addresses;
  // Opening an address that several devices answer from would reach whichever unit answers
  // first: such an address is reported, naming its devices' MACs, and not saved.
  std::map<std::string, std::vector<std::string>> sharers;
  const std::string searchFrom = run.from.empty() ? SelectedLocalAddress(adapters) : run.from;
  const SearchResult found = FindDevices(setup, adapters, {searchFrom}, [] {});
  for (const FoundDevice& device : found.devices) {
    macs[device.address] = device.mac;
    if (device.sharedAddress) {
      std::vector<std::string>& sharing = sharers[device.address];
      sharing.push_back(device.mac);
      if (sharing.size() > 1) continue;  // one line for the address
    }
    if (run.addresses.empty()) addresses.push_back(device.address);
  }
  // Without addresses, a device that answered but was not kept would go without a backup.
  const std::string overflow = run.addresses.empty()
                                   ? OverflowMessage(found, setup.searchCapacity, run.language)
                                   : std::string();
  io.Err(overflow);
  if (!MakeUserFolder(run.folder)) {
    io.Err(Text(CliText::kFolderNotMade, run.language, {run.folder.string()}) + "\n");
    return 1;
  }

  DevicePassword password(run.password, io, run.language);
  const std::vector<DeviceTarget> targets = ResolveTargets(addresses, setup, adapters, run.from);
  std::vector<DeviceResult> results;
  for (const DeviceTarget& target : targets) {
    results.push_back({target.name, "failed", {}, {}});
    if (target.name == target.mac) results.back().at = target.address;
  }
  const bool progress = !run.json && io.Interactive();
  const auto start = std::chrono::steady_clock::now();
  const int count = static_cast<int>(results.size());
  RunSideBySide(
      count, run.jobs,
      [&](int i) {
        DeviceResult& result = results[static_cast<std::size_t>(i)];
        if (const auto shared = sharers.find(result.address); shared != sharers.end()) {
          result.message = SharedAddressMessage(shared->second, run.language);
          return false;
        }
        const DeviceTarget& target = targets[static_cast<std::size_t>(i)];
        const auto mac = macs.find(result.address);
        const std::string nameTail = !target.mac.empty() ? target.mac
                                     : mac == macs.end() ? result.address
                                                         : mac->second;
        auto console = std::make_unique<ConsoleConnection>(setup.limits, setup.trace);
        console->Startup();
        std::string problem;
        const auto save = [&](DeviceSession& device) {
          result.message =
              SaveDevice(run.folder, device.deviceRecord, nameTail, run.language, problem);
        };
        const bool opened =
            WithReachedDevice(*console, target, adapters, password, problem, run.language, save);
        console->Shutdown();
        if (opened && problem.empty()) result.result = "saved";
        if (!problem.empty()) result.message = OneLine(problem);
        return opened && problem.empty();
      },
      [&](int done, int failed) {
        if (progress && done < count) io.ShowProgress(done, failed, count, start, run.language);
      });
  io.ClearProgress();

  int saved = 0;
  std::string out;
  for (const DeviceResult& result : results) {
    saved += result.result == "saved" ? 1 : 0;
    out += ShownName(result) + ": " + result.message + "\n";
  }
  io.Out(run.json ? WritesJson("backup", results)
                  : out +
                        Text(CliText::kDevicesSaved, run.language,
                             {std::to_string(saved), std::to_string(count)}) +
                        "\n");
  return saved == count && count > 0 && overflow.empty() ? 0 : 1;
}

}  // namespace calbrin
