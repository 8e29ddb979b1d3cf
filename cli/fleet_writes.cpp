// put, set and passwd over many devices side by side.
#include "cli/fleet_writes.h"

#include <chrono>
#include <memory>
#include <thread>

#include "cli/change_records.h"
#include "cli/cli_texts.h"
#include "cli/device_reach.h"
#include "cli/device_writes.h"
#include "cli/fleet.h"
#include "cli/json_output.h"
#include "file/history.h"

namespace calbrin {
namespace {

constexpr std::string_view kWritten = "written";
constexpr std::string_view kUnchanged = "unchanged";
constexpr std::string_view kDeclined = "declined";
constexpr std::string_view kFailed = "failed";

bool Succeeded(const DeviceResult& result) {
  return result.result == kWritten || result.result == kUnchanged;
}

// What one device's thread shares with the others: nothing it writes, but the password.
struct FleetContext {
  const WriteRun& run;
  const CliSetup& setup;
  const AdapterTable& adapters;
  const std::vector<DeviceTarget>& targets;
  DevicePassword& password;
};

// Keeps what the device held in `history`, unless that is empty; the problem, or empty.
std::string KeepHistory(const std::filesystem::path& history, const std::string& address,
                        const SettingsRecord& record, Language language) {
  return history.empty() ? std::string() : SaveHistory(history, address, record, language);
}

// Records the write of `device` in the run's change log; a record that cannot be kept is a
// warning on the device's line, since the device was written all the same.
void LogDevice(const WriteRun& run, const DeviceTarget& target, const DeviceSession& device,
               const WritePlan& plan, DeviceResult& result) {
  const std::string warning =
      LogWrite(run.log.get(),
               {run.command, target.address, target.mac, device, result.result, plan.differences,
                plan.pages.network.changePassword},
               run.language);
  if (!warning.empty()) result.message += " (" + warning + ")";
}

// Opens the device on a connection of its own and plans the write. With `write` it writes too;
// without, a device that would be written ends "declined" with its differences. `shown`, when
// given, is the difference text the user confirmed: a device that now differs otherwise is left.
// True unless the device failed.
bool DoDevice(const FleetContext& context, const DeviceTarget& target, bool write,
              const std::string* shown, DeviceResult& result) {
  auto console = std::make_unique<ConsoleConnection>(context.setup.limits, context.setup.trace);
  console->Startup();
  // A device of a shared address settles after it is closed, so that the next one of the address
  // can be opened meanwhile.
  const bool settleClosed = !target.sharedWith.empty();
  std::string error;
  const bool opened = WithReachedDevice(
      *console, target, context.adapters, context.password, error, context.run.language,
      [&](DeviceSession& device) {
        const WritePlan plan = context.run.plan(result.address, device);
        result.changes = plan.differences;
        result.warnings = plan.warnings;
        if (!plan.refusal.empty()) {
          result.result = kFailed;
          result.message = OneLine(plan.refusal);
          result.changes.clear();
        } else if (plan.differences.empty() && !plan.always) {
          result.result = kUnchanged;
          result.message = Text(CliText::kNothingToChange, context.run.language);
        } else if (shown != nullptr &&
                   DifferenceLines(plan.differences, context.run.language) != *shown) {
          result.result = kFailed;
          result.message = Text(CliText::kChangedSinceShown, context.run.language);
        } else if (!write) {
          result.result = kDeclined;
        } else if (const std::string kept = KeepHistory(context.run.history, result.address,
                                                        device.deviceRecord, context.run.language);
                   !kept.empty()) {
          result.result = kFailed;
          result.message = Text(CliText::kHistoryNotKept, context.run.language, {kept});
        } else {
          bool attempted = false;
          const std::string failure =
              WriteDevice(*console, device, plan.pages, plan.reduced,
                          settleClosed ? std::chrono::milliseconds(0) : context.setup.settleTime,
                          context.run.language, &attempted);
          result.result = failure.empty() ? kWritten : kFailed;
          result.message = failure.empty() ? plan.doneMessage : failure;
          if (attempted) LogDevice(context.run, target, device, plan, result);
        }
      });
  console->Shutdown();
  if (settleClosed && result.result == kWritten)
    std::this_thread::sleep_for(context.setup.settleTime);
  if (!opened) {
    result.result = kFailed;
    result.message = OneLine(error);
    result.changes.clear();
  }
  return result.result != kFailed;
}

// Runs DoDevice for the devices at `which`, side by side, with the progress line on a terminal.
void RunDevices(const FleetContext& context, SharedIo& io, const std::vector<std::size_t>& which,
                bool write, const std::vector<std::string>& shown,
                std::vector<DeviceResult>& results) {
  const bool progress = !context.run.json && io.Interactive();
  const auto start = std::chrono::steady_clock::now();
  const int count = static_cast<int>(which.size());
  RunSideBySide(
      count, context.run.jobs,
      [&](int i) {
        const std::size_t at = which[static_cast<std::size_t>(i)];
        return DoDevice(context, context.targets[at], write, shown.empty() ? nullptr : &shown[at],
                        results[at]);
      },
      [&](int done, int failed) {
        if (progress && done < count)
          io.ShowProgress(done, failed, count, start, context.run.language);
      });
  io.ClearProgress();
}

std::string ChangesBlock(const DeviceResult& result, Language language) {
  if (result.changes.empty() && result.warnings.empty()) return "";
  std::string block = ShownName(result) + ":\n" + DifferenceLines(result.changes, language);
  for (const std::string& warning : result.warnings)
    block += Text(CliText::kWarning, language, {warning}) + "\n";
  return block;
}

void PrintResult(const WriteRun& run, CliIo& io, const DeviceResult& result) {
  const std::string line = ShownName(result) + ": " + result.message + "\n";
  (run.failuresToErr && !Succeeded(result) ? io.Err(line) : io.Out(line));
}

// One question for every device that would be written; the reason when there is no yes.
bool Confirmed(CliIo& io, const std::vector<std::size_t>& candidates,
               const std::vector<DeviceResult>& results, Language language, std::string& why) {
  if (!io.Interactive()) {
    why = Text(CliText::kGiveYes, language);
    return false;
  }
  const std::string question =
      candidates.size() == 1
          ? Text(CliText::kAskOne, language, {ShownName(results[candidates[0]])})
          : Text(CliText::kAskMany, language, {std::to_string(candidates.size())});
  if (IsYes(io.ReadLine(question, false))) return true;
  why = Text(CliText::kNotWritten, language);
  return false;
}

}  // namespace

int RunWrites(const WriteRun& run, CliIo& terminal, const CliSetup& setup) {
  SharedIo io(terminal);
  const AdapterTable adapters = ListedAdapters(setup);
  DevicePassword password(run.password, io, run.language);
  const std::vector<DeviceTarget> targets =
      ResolveTargets(run.addresses, setup, adapters, run.from);
  const FleetContext context{run, setup, adapters, targets, password};

  std::vector<DeviceResult> results;
  std::vector<std::size_t> all;
  for (const DeviceTarget& target : targets) {
    all.push_back(results.size());
    results.push_back({target.name, {}, {}, {}});
    if (target.name == target.mac) results.back().at = target.address;
  }
  const bool askFirst = run.asks && !run.yes;
  RunDevices(context, io, all, !askFirst, {}, results);
  if (askFirst) {
    std::vector<std::size_t> candidates;
    std::vector<std::string> shown(results.size());
    for (const std::size_t i : all) {
      // A device with nothing to change still shows its file's warnings.
      if (!run.json) io.Out(ChangesBlock(results[i], run.language));
      if (results[i].result != kDeclined) continue;
      candidates.push_back(i);
      shown[i] = DifferenceLines(results[i].changes, run.language);
    }
    std::string why;
    if (!candidates.empty() && Confirmed(io, candidates, results, run.language, why)) {
      RunDevices(context, io, candidates, true, shown, results);
    } else {
      for (const std::size_t i : candidates)
        results[i].message = why;
    }
  }

  int succeeded = 0;
  for (const DeviceResult& result : results) {
    succeeded += Succeeded(result) ? 1 : 0;
    if (run.json) continue;
    if (!askFirst) io.Out(ChangesBlock(result, run.language));
    PrintResult(run, io, result);
  }
  const int count = static_cast<int>(results.size());
  if (run.json) {
    io.Out(WritesJson(run.command, results));
  } else if (run.summaryAlways || count > 1) {
    io.Out(Text(CliText::kDevicesWritten, run.language,
                {std::to_string(succeeded), std::to_string(count)}) +
           "\n");
  }
  return succeeded == count ? 0 : 1;
}

}  // namespace calbrin
