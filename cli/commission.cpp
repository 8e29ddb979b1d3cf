// commission and commission --check over a site sheet.
#include "cli/commission.h"

#include <chrono>
#include <ctime>
#include <memory>
#include <optional>
#include <thread>

#include "cli/change_records.h"
#include "cli/cli_texts.h"
#include "cli/device_reach.h"
#include "cli/device_search.h"
#include "cli/device_targets.h"
#include "cli/device_writes.h"
#include "cli/fleet.h"
#include "cli/json_output.h"
#include "commission/site_plan.h"
#include "commission/site_sheet.h"
#include "file/history.h"
#include "file/settings_file.h"
#include "file/utf8_path.h"
#include "net/network_changes.h"
#include "pages/collect_settings.h"

namespace calbrin {
namespace {

constexpr std::string_view kInPlan = "in plan";
constexpr std::string_view kCommissioned = "commissioned";
constexpr std::string_view kDiffers = "differs";
constexpr std::string_view kMissing = "missing";
constexpr std::string_view kConflict = "conflict";
constexpr std::string_view kFailed = "failed";
constexpr std::string_view kDeclined = "declined";
constexpr std::string_view kExtra = "extra";

bool AtPlan(std::string_view result) {
  return result == kInPlan || result == kCommissioned;
}

// A row's result as the lines show it; the JSON and the report keep the words above.
std::string_view ResultWord(std::string_view result, Language language) {
  using enum CliText;
  static constexpr std::pair<std::string_view, CliText> kWords[] = {
      {kInPlan, kResultInPlan},     {kCommissioned, kResultCommissioned},
      {kDiffers, kResultDiffers},   {kMissing, kResultMissing},
      {kConflict, kResultConflict}, {kFailed, kResultFailed},
      {kDeclined, kResultDeclined}, {kExtra, kResultExtra}};
  for (const auto& [word, id] : kWords) {
    if (word == result) return Text(id, language);
  }
  return result;
}

// One row of the sheet and its device, or a device that no row names.
struct RowState {
  const SheetRow* row = nullptr;  // nullptr: an extra device
  std::optional<FoundDevice> found;
  DeviceTarget target;
  std::unique_ptr<DevicePassword> ownPassword;  // the row's password-env, when it names one
  DevicePlan plan;
  std::vector<SettingDifference> changes;
  std::string shown;  // the differences as the plan showed them
  std::string result;
  std::string message;
  std::string logWarning;  // the change log's, for the row's line
};

struct Context {
  const CommissionRun& run;
  const CliSetup& setup;
  const AdapterTable& adapters;
  DevicePassword& password;
  SharedIo& io;
};

std::string Utc() {
  const std::time_t now = std::chrono::system_clock::to_time_t(std::chrono::system_clock::now());
  std::tm parts{};
  if (const std::tm* utc = std::gmtime(&now)) parts = *utc;
  char text[32];
  std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", &parts);
  return text;
}

// How a row is named in the lines: its MAC, and its name when it has one, with any control
// character of the sheet's cell shown as '?' so that it cannot steer the terminal.
std::string Named(const RowState& state) {
  if (state.row == nullptr) return state.found->mac;
  std::string name = state.row->name;
  for (char& c : name) {
    if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F) c = '?';
  }
  return state.row->mac + (name.empty() ? "" : " " + name);
}

// Opens the row's device and runs `whileOpen` with its session; false with the message stored.
bool WithRowDevice(const Context& context, RowState& state,
                   const std::function<void(ConsoleConnection&, DeviceSession&)>& whileOpen) {
  auto console = std::make_unique<ConsoleConnection>(context.setup.limits, context.setup.trace);
  console->Startup();
  std::string error;
  DevicePassword& password = state.ownPassword ? *state.ownPassword : context.password;
  const bool opened = WithReachedDevice(
      *console, state.target, context.adapters, password, error, context.run.language,
      [&](DeviceSession& device) { whileOpen(*console, device); });
  console->Shutdown();
  if (!opened) {
    state.result = kFailed;
    state.message = OneLine(error);
  }
  return opened;
}

// Why the row's planned address is not free: a host that is no device of the search answers
// ARP for it on the device's link. Empty when nothing answers (or without the rights to ask).
std::string HeldByHost(const RowState& state, Language language) {
  if (state.found->address == state.row->address) return {};
  const int adapter = InterfaceIndexOf(state.found->adapter);
  if (adapter == 0) return {};
  const auto holder =
      ProbeAddress(adapter, state.row->address, static_cast<int>(kAddressProbeTime.count()));
  if (!holder || MacText(*holder) == state.row->mac) return {};
  return Text(CliText::kHeldByHost, language, {state.row->address, MacText(*holder)});
}

// Reads the device and plans it: in plan, or the differences to write; or a conflict.
bool PlanRow(const Context& context, RowState& state) {
  const Language language = context.run.language;
  if (std::string held = HeldByHost(state, language); !held.empty()) {
    state.result = kConflict;
    state.message = std::move(held);
    return false;
  }
  WithRowDevice(context, state, [&](ConsoleConnection&, DeviceSession& device) {
    state.plan = PlanDevice(*state.row, device.deviceRecord, context.run.language);
    if (!state.plan.refusal.empty()) {
      state.result = kFailed;
      state.message = OneLine(state.plan.refusal);
      return;
    }
    state.changes = Departures(device.deviceRecord, state.plan.target);
    state.shown = DifferenceLines(state.changes, language);
    state.result = state.changes.empty() ? kInPlan : kDiffers;
  });
  return state.result != kFailed;
}

// Writes the planned settings, unless the device changed since its plan was shown. The device
// settles later, with all the others.
bool WriteRow(const Context& context, RowState& state) {
  bool written = false;
  WithRowDevice(context, state, [&](ConsoleConnection& console, DeviceSession& device) {
    const Language language = context.run.language;
    const DevicePlan plan = PlanDevice(*state.row, device.deviceRecord, language);
    if (DifferenceLines(Departures(device.deviceRecord, plan.target), language) != state.shown) {
      state.result = kFailed;
      state.message = Text(CliText::kChangedSinceShown, language);
      return;
    }
    if (!context.run.history.empty()) {
      if (const std::string kept =
              SaveHistory(context.run.history, state.row->mac, device.deviceRecord, language);
          !kept.empty()) {
        state.result = kFailed;
        state.message = Text(CliText::kHistoryNotKept, language, {kept});
        return;
      }
    }
    bool attempted = false;
    const std::string failure =
        WriteDevice(console, device, ShownPages(plan.target, plan.reduced), plan.reduced,
                    std::chrono::milliseconds(0), context.run.language, &attempted);
    written = failure.empty();
    state.result = written ? kCommissioned : kFailed;
    state.message = failure;
    if (attempted) {
      const std::vector<SettingDifference> changes = Departures(device.deviceRecord, plan.target);
      state.logWarning = LogWrite(context.run.log.get(),
                                  {"commission", state.target.address, state.row->mac, device,
                                   written ? "written" : "failed", changes},
                                  language);
    }
  });
  return written;
}

// After the writes: the device answers at its planned address and holds its plan.
bool VerifyRow(const Context& context, RowState& state, const SearchResult& after) {
  const Language language = context.run.language;
  state.target = TargetsByMac({state.row->mac}, after, context.adapters)[0];
  if (state.target.address.empty()) {
    state.result = kFailed;
    state.message = Text(CliText::kNotFoundAfterWrite, language);
    return false;
  }
  if (state.target.address != state.row->address) {
    state.result = kFailed;
    state.message = Text(CliText::kAnswersElsewhere, language, {state.target.address});
    return false;
  }
  WithRowDevice(context, state, [&](ConsoleConnection&, DeviceSession& device) {
    const std::vector<SettingDifference> departures =
        Departures(device.deviceRecord, state.plan.target);
    if (departures.empty()) return;
    state.result = kFailed;
    state.message =
        Text(CliText::kReadBackDiffers, language, {OneLine(DifferenceLines(departures, language))});
  });
  return state.result == kCommissioned;
}

// Runs `step` for the rows at `which` side by side, with the phase's progress line.
void RunPhase(const Context& context, CliText phase, std::vector<RowState>& states,
              const std::vector<std::size_t>& which, const std::function<bool(RowState&)>& step) {
  const bool progress = !context.run.json && context.io.Interactive();
  const auto start = std::chrono::steady_clock::now();
  const int count = static_cast<int>(which.size());
  RunSideBySide(
      count, context.run.jobs,
      [&](int i) { return step(states[which[static_cast<std::size_t>(i)]]); },
      [&](int done, int failed) {
        if (progress && done < count) {
          context.io.ShowProgress(done, failed, count, start, context.run.language,
                                  Text(phase, context.run.language));
        }
      });
  context.io.ClearProgress();
}

// Leaves the written devices alone while they store their settings and restart (at their new
// addresses), as Apply does after each write.
void Settle(const Context& context) {
  const bool progress = !context.run.json && context.io.Interactive();
  const auto start = std::chrono::steady_clock::now();
  const auto end = start + context.setup.settleTime;
  while (std::chrono::steady_clock::now() < end) {
    if (progress) {
      context.io.ShowProgress(0, 0, 1, start, context.run.language,
                              Text(CliText::kPhaseSettle, context.run.language));
    }
    std::this_thread::sleep_for(std::min<std::chrono::steady_clock::duration>(
        std::chrono::milliseconds(200), end - std::chrono::steady_clock::now()));
  }
  context.io.ClearProgress();
}

SearchResult Search(const Context& context, CliText phase) {
  const bool progress = !context.run.json && context.io.Interactive();
  const auto start = std::chrono::steady_clock::now();
  SearchResult found = FindDevices(context.setup, context.adapters,
                                   SearchLocals(context.adapters, context.run.from), [&] {
                                     if (progress) {
                                       context.io.ShowProgress(0, 0, 1, start, context.run.language,
                                                               Text(phase, context.run.language));
                                     }
                                   });
  context.io.ClearProgress();
  context.io.Err(OverflowMessage(found, context.setup.searchCapacity, context.run.language));
  return found;
}

// The devices' placement and the rows' conflicts, from the first search.
std::vector<RowState> MatchRows(const Context& context, const std::vector<SheetRow>& rows,
                                const SearchResult& found) {
  std::vector<SiteUnit> units;
  for (const FoundDevice& device : found.devices)
    units.push_back({device.mac, device.address, device.model, device.version});
  std::vector<RowState> states;
  for (const SiteMatch& match : MatchSite(rows, units)) {
    RowState& state = states.emplace_back();
    if (match.row >= 0) state.row = &rows[static_cast<std::size_t>(match.row)];
    if (match.unit >= 0) state.found = found.devices[static_cast<std::size_t>(match.unit)];
    if (state.row == nullptr) {
      state.result = kExtra;
      state.message = Text(CliText::kNotInSheet, context.run.language);
      continue;
    }
    if (!state.found) {
      state.result = kMissing;
      state.message = Text(CliText::kNoDeviceWithMac, context.run.language);
      continue;
    }
    if (!state.row->passwordEnvironment.empty()) {
      state.ownPassword = std::make_unique<DevicePassword>(
          PasswordSource{{}, state.row->passwordEnvironment}, context.io, context.run.language);
    }
    state.target = TargetsByMac({state.row->mac}, found, context.adapters)[0];
    if (const std::string held = AddressHeldBy(*state.row, units, context.run.language);
        !held.empty()) {
      state.result = kConflict;
      state.message = held;
    }
  }
  return states;
}

std::string PlanText(const RowState& state) {
  const std::string move = state.found->address == state.row->address
                               ? state.row->address
                               : state.found->address + " -> " + state.row->address;
  return Named(state) + " (" + move + "):\n" + state.shown;
}

std::string ResultsJson(const std::vector<RowState>& states, bool check, int atPlan, int rows) {
  std::string out =
      "{\"command\": \"commission\", \"check\": " + std::string(check ? "true" : "false") +
      ", \"rows\": [";
  std::string extra;
  for (const RowState& state : states) {
    const std::string model = state.found ? state.found->model : "";
    const std::string version = state.found ? state.found->version : "";
    const std::string previous = state.found ? state.found->address : "";
    if (state.row == nullptr) {
      extra += std::string(extra.empty() ? "" : ",") +
               "\n  {\"mac\": " + JsonString(state.found->mac) +
               ", \"address\": " + JsonString(previous) + ", \"model\": " + JsonString(model) +
               ", \"version\": " + JsonString(version) + "}";
      continue;
    }
    out += std::string(out.back() == '[' ? "" : ",") +
           "\n  {\"row\": " + std::to_string(state.row->row) +
           ", \"mac\": " + JsonString(state.row->mac) +
           ", \"name\": " + JsonString(state.row->name) + ", \"model\": " + JsonString(model) +
           ", \"version\": " + JsonString(version) +
           ", \"previousAddress\": " + JsonString(previous) +
           ", \"address\": " + JsonString(state.row->address) +
           ", \"result\": " + JsonString(state.result) +
           ", \"message\": " + JsonString(state.message) +
           ", \"changes\": " + DifferencesJson(state.changes, "    ") + "}";
  }
  return out + "\n], \"extra\": [" + extra + "\n], \"atPlan\": " + std::to_string(atPlan) +
         ", \"total\": " + std::to_string(rows) + "}\n";
}

std::vector<ReportLine> Report(const std::vector<RowState>& states) {
  std::vector<ReportLine> lines;
  const std::string time = Utc();
  for (const RowState& state : states) {
    ReportLine& line = lines.emplace_back();
    line.mac = state.row ? state.row->mac : state.found->mac;
    line.name = state.row ? state.row->name : "";
    if (state.found) {
      line.model = state.found->model;
      line.version = state.found->version;
      line.previousAddress = state.found->address;
    }
    line.address = state.row ? state.row->address : line.previousAddress;
    line.result = state.result;
    line.message = state.message;
    line.time = time;
  }
  return lines;
}

}  // namespace

int RunCommission(const CommissionRun& run, CliIo& terminal, const CliSetup& setup) {
  SharedIo io(terminal);
  std::vector<SheetRow> rows;
  std::vector<std::string> problems;
  if (!ReadSiteSheet(run.sheet, rows, problems, run.language)) {
    const std::u8string name = run.sheet.u8string();
    for (const std::string& problem : problems)
      io.Err(std::string(name.begin(), name.end()) + ": " + problem + "\n");
    return 2;
  }
  const AdapterTable adapters = ListedAdapters(setup);
  DevicePassword password(run.password, io, run.language);
  const Context context{run, setup, adapters, password, io};

  std::vector<RowState> states = MatchRows(context, rows, Search(context, CliText::kPhaseSearch));
  std::vector<std::size_t> found;
  for (std::size_t i = 0; i < states.size(); ++i) {
    if (states[i].row != nullptr && states[i].result.empty()) found.push_back(i);
  }
  RunPhase(context, CliText::kPhaseRead, states, found,
           [&context](RowState& state) { return PlanRow(context, state); });

  std::vector<std::size_t> candidates;
  for (const std::size_t i : found) {
    if (states[i].result != kDiffers) continue;
    candidates.push_back(i);
    if (!run.json) io.Out(PlanText(states[i]));
  }
  if (!run.check && !candidates.empty()) {
    // The rows that will not be written are part of the plan the question is about.
    for (const RowState& state : states) {
      if (!run.json && (state.result == kMissing || state.result == kExtra ||
                        state.result == kConflict || state.result == kFailed))
        io.Out(Named(state) + ": " + std::string(ResultWord(state.result, run.language)) + ": " +
               state.message + "\n");
    }
    std::string why;
    if (run.yes) {
      why.clear();
    } else if (!io.Interactive()) {
      why = Text(CliText::kGiveYes, run.language);
    } else if (!IsYes(io.ReadLine(
                   Text(CliText::kAskMany, run.language, {std::to_string(candidates.size())}),
                   false))) {
      why = Text(CliText::kNotWritten, run.language);
    }
    if (why.empty()) {
      RunPhase(context, CliText::kPhaseWrite, states, candidates,
               [&context](RowState& state) { return WriteRow(context, state); });
      std::vector<std::size_t> written;
      for (const std::size_t i : candidates) {
        if (states[i].result == kCommissioned) written.push_back(i);
      }
      if (!written.empty()) {
        Settle(context);
        const SearchResult after = Search(context, CliText::kPhaseVerify);
        RunPhase(context, CliText::kPhaseVerify, states, written,
                 [&](RowState& state) { return VerifyRow(context, state, after); });
      }
    } else {
      for (const std::size_t i : candidates) {
        states[i].result = kDeclined;
        states[i].message = why;
      }
    }
  }

  // The change log's warnings after the verify, which may replace a row's message.
  for (RowState& state : states) {
    if (!state.logWarning.empty())
      state.message += (state.message.empty() ? "" : " ") + ("(" + state.logWarning + ")");
  }
  int atPlan = 0;
  std::string out;
  for (const RowState& state : states) {
    if (state.row != nullptr && AtPlan(state.result)) ++atPlan;
    out += Named(state) + ": " + std::string(ResultWord(state.result, run.language)) +
           (state.message.empty() ? "" : ": " + state.message) + "\n";
    if (run.check && state.result == kDiffers) out += state.shown;
  }
  const int total = static_cast<int>(rows.size());
  io.Out(run.json ? ResultsJson(states, run.check, atPlan, total)
                  : out +
                        Text(CliText::kRowsAtPlan, run.language,
                             {std::to_string(atPlan), std::to_string(total)}) +
                        "\n");
  if (!run.report.empty() && !WriteSettingsFile(run.report, ReportCsv(Report(states)))) {
    const std::u8string name = run.report.u8string();
    io.Err(Text(CliText::kReportNotWritten, run.language, {std::string(name.begin(), name.end())}) +
           "\n");
    return 1;
  }
  return atPlan == total ? 0 : 1;
}

}  // namespace calbrin
