// calbrin-cli's commands.
#include "cli/commands.h"

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <thread>

#include "cli/device_access.h"
#include "cli/setting_changes.h"
#include "cli/settings_view.h"
#include "file/settings_file.h"
#include "net/apply_settings.h"
#include "net/subnet.h"
#include "pages/collect_settings.h"
#include "pages/dotted_address.h"
#include "pages/edit_rules.h"
#include "settings/device_model.h"
#include "settings/password_scrambling.h"

namespace calbrin {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;
constexpr int kUsageError = 2;

constexpr std::string_view kUsage =
    "usage: calbrin-cli COMMAND [OPTIONS]\n"
    "\n"
    "commands:\n"
    "  search [--from ADDRESS] [--json]     find the devices on the LAN\n"
    "  get ADDRESS [-o FILE.qvs]            read a device's settings: a table, or a settings file\n"
    "  diff ADDRESS (FILE.qvs | ADDRESS)    the settings that differ; exit 0 equal, 1 different\n"
    "  put FILE.qvs ADDRESS...              write a settings file to devices, after a diff\n"
    "  set ADDRESS KEY=VALUE...             change single settings of a device\n"
    "  passwd ADDRESS [--remove]            change or remove a device's settings password\n"
    "\n"
    "A device that asks for its settings password gets it from --password-file FILE (its first\n"
    "line), --password-env VARIABLE, or the terminal, without echo. Passwords are never taken\n"
    "from the command line and never printed.\n"
    "\"calbrin-cli COMMAND --help\" describes one command.\n";

const std::map<std::string, std::string, std::less<>>& CommandHelp() {
  static const std::map<std::string, std::string, std::less<>> help{
      {"search",
       "usage: calbrin-cli search [--from ADDRESS] [--json]\n"
       "Sends one discovery broadcast from the local ADDRESS (default: the adapter that the\n"
       "windows preselect) and lists the devices that answer within five seconds: address,\n"
       "MAC, model, version, and whether the device lies outside the adapter's subnet.\n"
       "On a terminal it counts the seconds down. --json prints a JSON array instead.\n"},
      {"get",
       "usage: calbrin-cli get ADDRESS [-o FILE.qvs] [--password-file F | --password-env V]\n"
       "Opens the device (logging in when it asks) and prints its settings by page, label and\n"
       "meaning, or with -o writes the settings file that the windows' save would write.\n"},
      {"diff",
       "usage: calbrin-cli diff ADDRESS (FILE.qvs | ADDRESS) [--password-file F | --password-env "
       "V]\n"
       "Prints the settings that differ between a device and a settings file, or between two\n"
       "devices, by page and label with both values; passwords are compared, never printed.\n"
       "Exit code 0 when they are equal, 1 when they differ, 2 on any failure.\n"},
      {"put",
       "usage: calbrin-cli put FILE.qvs ADDRESS... [--with-address] [--yes]\n"
       "For each device: refuses a file of the other model, runs Apply's checks (receive ports,\n"
       "TCP passwords), keeps the device's own IP address, subnet mask and gateway unless\n"
       "--with-address is given, shows what changes, and writes after --yes or a yes on the\n"
       "terminal. One line per device, then a summary; exit code 1 when any device failed.\n"},
      {"set",
       "usage: calbrin-cli set ADDRESS KEY=VALUE... [--yes]\n"
       "Changes single settings, by the device's own keys (MSS=1200, PORT1=4001, CFLOW2=2).\n"
       "Refuses unknown keys, values longer than their field, and values that the device's\n"
       "model does not offer. MODEL and the channel passwords cannot be set here.\n"},
      {"passwd",
       "usage: calbrin-cli passwd ADDRESS [--remove] [--new-password-file F | --new-password-env "
       "V]\n"
       "Sets a new settings password (asked twice on the terminal without echo, or read from a\n"
       "file or an environment variable), or removes it with --remove.\n"},
  };
  return help;
}

struct Options {
  std::vector<std::string> positional;
  std::map<std::string, std::string, std::less<>> values;  // --from, -o, --password-...
  bool json = false;
  bool help = false;
  bool yes = false;
  bool withAddress = false;
  bool remove = false;
  std::string problem;
};

Options Parse(const std::vector<std::string>& args) {
  static constexpr std::string_view kWithValue[] = {"--from",
                                                    "-o",
                                                    "--password-file",
                                                    "--password-env",
                                                    "--new-password-file",
                                                    "--new-password-env"};
  Options options;
  for (std::size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--json") {
      options.json = true;
    } else if (arg == "--yes" || arg == "-y") {
      options.yes = true;
    } else if (arg == "--with-address") {
      options.withAddress = true;
    } else if (arg == "--remove") {
      options.remove = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (std::find(std::begin(kWithValue), std::end(kWithValue), arg) !=
               std::end(kWithValue)) {
      if (i + 1 >= args.size()) {
        options.problem = arg + " needs a value";
        break;
      }
      options.values[arg] = args[++i];
    } else if (arg.starts_with("-") && arg.size() > 1) {
      options.problem = "unknown option " + arg;
      break;
    } else {
      options.positional.push_back(arg);
    }
  }
  return options;
}

std::string Value(const Options& options, std::string_view name) {
  const auto found = options.values.find(name);
  return found == options.values.end() ? std::string() : found->second;
}

std::string JsonString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    if (c == '"' || c == '\\') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

// The process-wide network objects of one run.
class Session {
 public:
  Session(CliIo& io, const CliSetup& setup, const Options& options)
      : io_(io),
        console_(std::make_unique<ConsoleConnection>(setup.limits)),
        password_(
            PasswordSource{Value(options, "--password-file"), Value(options, "--password-env")},
            io) {
    console_->Startup();
    setup.fillAdapters(adapters_);
    SelectInitialAdapter(adapters_, ProbeLocalAddress(setup.routeProbeTarget));
  }
  ~Session() { console_->Shutdown(); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const AdapterTable& Adapters() const { return adapters_; }

  ConsoleConnection& Console() { return *console_; }

  // Opens the device and runs `whileOpen` while it is open. False after the open failure's
  // message, which goes to `error` when one is given and to the error output otherwise.
  bool With(std::string_view address, const std::function<void(DeviceSession&)>& whileOpen,
            std::string* error = nullptr) {
    std::string message;
    if (WithDevice(*console_, adapters_, address, password_, message, whileOpen)) return true;
    if (error != nullptr) {
      *error = message;
    } else {
      io_.Err(std::string(address) + ": " + message + "\n");
    }
    return false;
  }

  // The device's settings as it reports them; nothing after a message.
  std::optional<SettingsRecord> Read(std::string_view address) {
    SettingsRecord record;
    std::string error;
    if (!WithDevice(*console_, adapters_, address, password_, error,
                    [&record](DeviceSession& session) { record = session.deviceRecord; })) {
      io_.Err(std::string(address) + ": " + error + "\n");
      return std::nullopt;
    }
    return record;
  }

 private:
  CliIo& io_;
  std::unique_ptr<ConsoleConnection> console_;
  AdapterTable adapters_;
  DevicePassword password_;
};

// Collects a silent failure message of the checks, for the command line.
class MessageCollectUi final : public CollectUi {
 public:
  void ShowError(std::string_view message) override { message_ = message; }
  void ShowPage(int) override {}
  const std::string& Message() const { return message_; }

 private:
  std::string message_;
};

int Search(const Options& options, CliIo& io, const CliSetup& setup) {
  AdapterTable adapters;
  setup.fillAdapters(adapters);
  SelectInitialAdapter(adapters, ProbeLocalAddress(setup.routeProbeTarget));
  std::string local = Value(options, "--from");
  const AdapterEntry* adapter = SelectedAdapter(adapters);
  if (!local.empty()) {
    adapter = nullptr;
    for (int i = 0; i < adapters.count; ++i) {
      if (adapters.entries[static_cast<std::size_t>(i)].address == local)
        adapter = &adapters.entries[static_cast<std::size_t>(i)];
    }
  } else {
    local = SelectedLocalAddress(adapters);
  }

  auto discovery = std::make_unique<DeviceDiscovery>(setup.searchWindow);
  discovery->Startup(setup.routeProbeTarget);
  int found = 0;
  if (io.Interactive() && !options.json) {
    // The search listens for its whole window: show that it is waiting.
    std::atomic<bool> done{false};
    std::thread worker([&] {
      found = discovery->Discover(local);
      done = true;
    });
    const auto start = std::chrono::steady_clock::now();
    while (!done) {
      const auto left = setup.searchWindow - (std::chrono::steady_clock::now() - start);
      const auto seconds = std::chrono::ceil<std::chrono::seconds>(left).count();
      io.Err("\r検索中... " + std::to_string(seconds > 0 ? seconds : 0) + " ");
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    worker.join();
    io.Err("\r             \r");
  } else {
    found = discovery->Discover(local);
  }

  std::string out = options.json ? "[" : "";
  for (int i = 0; i < found; ++i) {
    const DeviceEntry& entry = discovery->Entry(i);
    const bool outside =
        adapter == nullptr || SameSubnet(adapter->address, adapter->mask, entry.AddressText()) == 0;
    if (options.json) {
      out += std::string(i > 0 ? "," : "") +
             "\n  {\"address\": " + JsonString(entry.AddressText()) +
             ", \"mac\": " + JsonString(entry.MacText()) +
             ", \"model\": " + JsonString(entry.ModelText()) +
             ", \"version\": " + JsonString(entry.VersionText()) +
             ", \"outsideSubnet\": " + (outside ? "true" : "false") + "}";
    } else {
      out += std::string(entry.AddressText()) + "  " + std::string(entry.MacText()) + "  " +
             std::string(entry.ModelText()) + "  " + entry.VersionText() +
             (outside ? "  (サブネット外)" : "") + "\n";
    }
  }
  if (options.json) out += found > 0 ? "\n]\n" : "]\n";
  io.Out(out);
  discovery->Shutdown();
  return kSuccess;
}

std::string Table(const SettingsRecord& record) {
  std::string out;
  std::string page = "-";
  for (const SettingView& view : ViewSettings(record)) {
    if (view.page != page) {
      page = view.page;
      if (!page.empty()) out += "\n[" + page + "]\n";
    }
    out += "  " + view.label + ": " + view.meaning + "\n";
  }
  return out;
}

int Get(const Options& options, CliIo& io, const CliSetup& setup) {
  if (options.positional.size() != 1) {
    io.Err(CommandHelp().at("get"));
    return kUsageError;
  }
  Session session(io, setup, options);
  const std::optional<SettingsRecord> record = session.Read(options.positional[0]);
  if (!record) return kFailure;
  const std::string file = Value(options, "-o");
  if (file.empty()) {
    io.Out(Table(*record));
    return kSuccess;
  }
  // The windows' save: the pages as the device fills them, collected for a file.
  const bool reduced = SecondChannelReduced(ReadField(*record, SettingKey::MODEL));
  SettingsRecord collected;
  SettingsText text;
  MessageCollectUi ui;
  if (CollectSettings(ShownPages(*record, reduced), *record, true, reduced, collected, text, ui) !=
      0) {
    io.Err(ui.Message() + "\n");
    return kFailure;
  }
  if (!WriteSettingsFile(std::filesystem::path(file), text.View())) {
    io.Err(std::string(kFileNotCreatedMessage) + "\n");
    return kFailure;
  }
  return kSuccess;
}

// Apply's view of the command line: the questions were settled before, messages go to `error`.
class CliApplyUi final : public ApplyUi {
 public:
  void ShowError(std::string_view message) override { error = message; }
  bool AskYesNo(std::string_view) override { return true; }
  void ShowReport(std::string_view message) override { report = message; }
  void SetStatusText(std::string_view) override {}

  std::string error;
  std::string report;
};

// A message of the system as one line: its line breaks, with the blanks around them, as " / ".
std::string OneLine(std::string text) {
  for (std::size_t at; (at = text.find("\r\n")) != std::string::npos;) {
    std::size_t start = at;
    while (start > 0 && text[start - 1] == ' ')
      --start;
    std::size_t end = at + 2;
    while (end < text.size() && text[end] == ' ')
      ++end;
    text.replace(start, end - start, " / ");
  }
  const std::size_t first = text.find_first_not_of(' ');
  return first == std::string::npos ? std::string() : text.substr(first);
}

std::string DifferenceLines(const std::vector<SettingDifference>& differences) {
  std::string out;
  for (const auto& [before, after] : differences) {
    // Two passwords that are both set differ only in what must not be shown; two values with
    // the same meaning (a stop-bit code 2 or 3) are told apart by their stored text.
    std::string change = before.meaning + " -> " + after.meaning;
    if (before.meaning == after.meaning)
      change = before.password ? "(異なる)" : before.value + " -> " + after.value;
    out += (before.page.empty() ? std::string() : before.page + "  ") + before.label + ": " +
           change + "\n";
  }
  return out;
}

// Asks before a write: --yes, or a yes on the terminal. Without either nothing is written.
bool Confirmed(const Options& options, CliIo& io, std::string_view address, std::string& why) {
  if (options.yes) return true;
  if (!io.Interactive()) {
    why = "not written: give --yes to write without asking";
    return false;
  }
  const std::optional<std::string> answer =
      io.ReadLine(std::string(address) + " に書き込みますか? [y/N] ", false);
  if (answer && (*answer == "y" || *answer == "Y" || *answer == "yes")) return true;
  why = "not written";
  return false;
}

// Writes `pages` to the open device the way Apply does: collected and checked with the device's
// channel-2 variant `reduced`, written with "ENDR" (or with the password step when `pages` asks
// for it), followed by the device's settle time. The failure's message, or empty.
std::string Write(ConsoleConnection& console, const DeviceSession& device, const PageStates& pages,
                  bool reduced, const CliSetup& setup) {
  MessageCollectUi checks;
  SettingsRecord collected;
  SettingsText text;
  if (CollectSettings(pages, device.deviceRecord, false, reduced, collected, text, checks) != 0)
    return OneLine(checks.Message());
  CliApplyUi ui;
  if (!ApplySettings(console, device.deviceRecord, collected, text, PasswordChangeOf(pages.network),
                     ui, setup.settleTime)) {
    return OneLine(ui.error);
  }
  return {};
}

int Diff(const Options& options, CliIo& io, const CliSetup& setup) {
  if (options.positional.size() != 2) {
    io.Err(CommandHelp().at("diff"));
    return kUsageError;
  }
  Session session(io, setup, options);
  const std::optional<SettingsRecord> device = session.Read(options.positional[0]);
  if (!device) return kUsageError;
  const std::string& other = options.positional[1];
  std::optional<SettingsRecord> compared;
  if (ParseDottedAddress(other)) {
    compared = session.Read(other);
    if (!compared) return kUsageError;
  } else {
    SettingsRecord fileRecord;
    const bool reduced = SecondChannelReduced(ReadField(*device, SettingKey::MODEL));
    const SettingsFileRead result =
        ReadSettingsFile(std::filesystem::path(other), reduced, fileRecord);
    if (result != SettingsFileRead::kLoaded) {
      io.Err(other + ": " + std::string(SettingsFileReadMessage(result)) + "\n");
      return kUsageError;
    }
    compared = fileRecord;
  }
  const std::vector<SettingDifference> differences =
      DifferentSettings(NormalisedSettings(*device), NormalisedSettings(*compared));
  io.Out(DifferenceLines(differences));
  return differences.empty() ? kSuccess : kFailure;
}

int Put(const Options& options, CliIo& io, const CliSetup& setup) {
  if (options.positional.size() < 2) {
    io.Err(CommandHelp().at("put"));
    return kUsageError;
  }
  const std::filesystem::path file(options.positional[0]);
  Session session(io, setup, options);
  int written = 0;
  const int devices = static_cast<int>(options.positional.size()) - 1;
  for (int i = 1; i <= devices; ++i) {
    const std::string& address = options.positional[static_cast<std::size_t>(i)];
    std::string outcome;
    session.With(
        address,
        [&](DeviceSession& device) {
          const SettingsRecord& own = device.deviceRecord;
          const bool reduced = SecondChannelReduced(ReadField(own, SettingKey::MODEL));
          SettingsRecord target;
          const SettingsFileRead read = ReadSettingsFile(file, reduced, target);
          if (read != SettingsFileRead::kLoaded) {
            outcome = OneLine(std::string(SettingsFileReadMessage(read)));
            return;
          }
          if (!options.withAddress) {
            for (const SettingKey key : {SettingKey::IP, SettingKey::SUBM, SettingKey::GWAY})
              SetField(target, key, ReadField(own, key));
          }
          const std::vector<SettingDifference> differences =
              DifferentSettings(NormalisedSettings(own), NormalisedSettings(target));
          if (differences.empty()) {
            outcome = "変更なし (nothing to change)";
            ++written;
            return;
          }
          io.Out(address + ":\n" + DifferenceLines(differences));
          if (!Confirmed(options, io, address, outcome)) return;
          outcome = Write(session.Console(), device, ShownPages(target, reduced), reduced, setup);
          if (outcome.empty()) {
            outcome =
                "書込みが完了しました。 (" + std::to_string(differences.size()) + " settings)";
            ++written;
          }
        },
        &outcome);
    io.Out(address + ": " + OneLine(outcome) + "\n");
  }
  io.Out(std::to_string(written) + " of " + std::to_string(devices) + " devices written\n");
  return written == devices ? kSuccess : kFailure;
}

int Set(const Options& options, CliIo& io, const CliSetup& setup) {
  if (options.positional.size() < 2) {
    io.Err(CommandHelp().at("set"));
    return kUsageError;
  }
  std::vector<SettingChange> changes;
  std::string problem;
  if (!ReadSettingChanges(std::span(options.positional).subspan(1), changes, problem)) {
    io.Err(problem + "\n");
    return kUsageError;
  }

  Session session(io, setup, options);
  const std::string& address = options.positional[0];
  std::string outcome;
  bool done = false;
  const bool opened = session.With(address, [&](DeviceSession& device) {
    SettingsRecord target = device.deviceRecord;
    SettingsRecord shown;
    outcome = ApplySettingChanges(changes, target, shown);
    if (!outcome.empty()) return;
    io.Out(address + ":\n" +
           DifferenceLines(DifferentSettings(NormalisedSettings(device.deviceRecord), shown)));
    if (!Confirmed(options, io, address, outcome)) return;
    const bool reduced = SecondChannelReduced(ReadField(target, SettingKey::MODEL));
    outcome = Write(session.Console(), device, ShownPages(target, reduced), reduced, setup);
    done = outcome.empty();
    if (done) outcome = "書込みが完了しました。";
  });
  if (!opened) return kFailure;
  (done ? io.Out(address + ": " + outcome + "\n") : io.Err(address + ": " + outcome + "\n"));
  return done ? kSuccess : kFailure;
}

// The new settings password: from the file or variable that an option names, or typed twice.
std::optional<std::string> NewPassword(const Options& options, CliIo& io, std::string& why) {
  std::optional<std::string> password;
  const std::string file = Value(options, "--new-password-file");
  const std::string variable = Value(options, "--new-password-env");
  if (!file.empty()) {
    DevicePassword source(PasswordSource{file, ""}, io);
    password = source.Get("");
    if (!password) why = source.Problem();
  } else if (!variable.empty()) {
    password = io.Environment(variable);
    if (!password) why = "the variable " + variable + " is not set";
  } else if (io.Interactive()) {
    password = io.ReadLine("新しいパスワード: ", true);
    const std::optional<std::string> again = io.ReadLine("再入力: ", true);
    if (!password || !again || *again != *password) {
      why = "パスワード入力と再入力の値が異なります";
      return std::nullopt;
    }
  } else {
    why = "give --new-password-file or --new-password-env, or run on a terminal";
  }
  if (password && (password->empty() || password->size() > kMaxPasswordLength ||
                   FilterPrintableText(*password) != *password)) {
    why = "a password is 1 to 32 characters from '!' to '~'";
    return std::nullopt;
  }
  return password;
}

int Passwd(const Options& options, CliIo& io, const CliSetup& setup) {
  if (options.positional.size() != 1) {
    io.Err(CommandHelp().at("passwd"));
    return kUsageError;
  }
  std::string why;
  std::optional<std::string> password;
  if (!options.remove) {
    password = NewPassword(options, io, why);
    if (!password) {
      io.Err(why + "\n");
      return kFailure;
    }
  }
  Session session(io, setup, options);
  const std::string& address = options.positional[0];
  std::string outcome;
  const bool opened = session.With(address, [&](DeviceSession& device) {
    const bool reduced = SecondChannelReduced(ReadField(device.deviceRecord, SettingKey::MODEL));
    PageStates pages = ShownPages(device.deviceRecord, reduced);
    pages.network.changePassword = true;
    // An empty new password is the windows' way of removing it.
    pages.network.newPassword = pages.network.newPasswordAgain = password.value_or("");
    outcome = Write(session.Console(), device, pages, reduced, setup);
  });
  if (!opened) return kFailure;
  if (!outcome.empty()) {
    io.Err(address + ": " + outcome + "\n");
    return kFailure;
  }
  io.Out(address + ": " +
         (options.remove ? "パスワードを無効化しました。" : "パスワードを変更しました。") + "\n");
  return kSuccess;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliIo& io, const CliSetup& setup) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    (args.empty() ? io.Err(kUsage) : io.Out(kUsage));
    return args.empty() ? kUsageError : kSuccess;
  }
  const auto help = CommandHelp().find(args[0]);
  if (help == CommandHelp().end()) {
    io.Err("unknown command " + args[0] + "\n\n" + std::string(kUsage));
    return kUsageError;
  }
  const Options options = Parse(args);
  if (options.help) {
    io.Out(help->second);
    return kSuccess;
  }
  if (!options.problem.empty()) {
    io.Err(options.problem + "\n" + help->second);
    return kUsageError;
  }
  if (args[0] == "search") return Search(options, io, setup);
  if (args[0] == "get") return Get(options, io, setup);
  if (args[0] == "diff") return Diff(options, io, setup);
  if (args[0] == "put") return Put(options, io, setup);
  if (args[0] == "set") return Set(options, io, setup);
  return Passwd(options, io, setup);
}

}  // namespace calbrin
