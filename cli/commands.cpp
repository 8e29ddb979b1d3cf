// calbrin-cli's commands.
#include "cli/commands.h"

#include <algorithm>
#include <charconv>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>

#include "calbrin_version.h"
#include "cli/adapter_choice.h"
#include "cli/backup.h"
#include "cli/commission.h"
#include "cli/device_access.h"
#include "cli/device_reach.h"
#include "cli/device_search.h"
#include "cli/device_targets.h"
#include "cli/device_writes.h"
#include "cli/fleet_writes.h"
#include "cli/history.h"
#include "cli/json_output.h"
#include "cli/setting_changes.h"
#include "cli/user_language.h"
#include "cli/utf8_path.h"
#include "file/settings_file.h"
#include "net/apply_settings.h"
#include "net/subnet.h"
#include "pages/collect_settings.h"
#include "pages/dotted_address.h"
#include "pages/edit_rules.h"
#include "pages/settings_view.h"
#include "pages/value_checks.h"
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
    "  search [--from ADDRESS] [--json]     find the devices on the LAN (--all-adapters: on all)\n"
    "  get ADDRESS [-o FILE.qvs] [--json]   read a device's settings: a table, or a settings file\n"
    "  diff ADDRESS (FILE.qvs | ADDRESS)    the settings that differ; exit 0 equal, 1 different\n"
    "  put FILE.qvs ADDRESS... [K=V...]     write a settings file to devices, after a diff\n"
    "  set ADDRESS... KEY=VALUE...          change single settings of devices\n"
    "  passwd ADDRESS... [--remove]         change or remove devices' settings password\n"
    "  backup DIR [ADDRESS...]              save the settings files of devices\n"
    "  history ADDRESS                      the settings kept before each write of a device\n"
    "  restore ADDRESS... (--last | FILE)   write kept settings back: undo a write\n"
    "  commission SHEET.csv [--check]       bring a site to its plan, per MAC (see README)\n"
    "\n"
    "A device that asks for its settings password gets it from --password-file FILE (its first\n"
    "line), --password-env VARIABLE, or the terminal, without echo. Passwords are never taken\n"
    "from the command line and never printed. put, set, passwd, restore and backup work on up\n"
    "to --jobs N devices at once (default: as many as the open-file limit allows, at most\n"
    "1024); --json prints machine-readable results (see README). Every command that opens a\n"
    "device connects from --from ADDRESS, a local adapter's address, or else, per device, from\n"
    "the adapter whose subnet holds the device's address, or else the one whose search found\n"
    "it, or else the preselected one. A device may be named by its MAC (02-00-00-0A-1B-FF or\n"
    "02:00:00:0a:1b:ff) in place of its ADDRESS: it is then searched for on every adapter and\n"
    "opened where it answers, also at an address that other devices share or outside every\n"
    "adapter's subnet (which needs administrator rights; see README).\n"
    "--lang en|ja gives the pages, labels and meanings of get, diff and the writes in English or\n"
    "Japanese; without it, the locale's language (LC_ALL, LC_MESSAGES, LANG: Japanese for ja_*),\n"
    "on Windows the user's display language.\n"
    "\"calbrin-cli COMMAND --help\" describes one command.\n"
    "\"calbrin-cli --version\" prints the program's version.\n";

// How a command that opens devices picks the local address of each connection.
constexpr std::string_view kFromHelp =
    "--from ADDRESS connects to every device from that local adapter's address. Without it,\n"
    "each device is reached from the first adapter whose subnet holds its address, else from\n"
    "the adapter whose search found it (a MAC, or an address outside every subnet, is searched\n"
    "for), else from the adapter that the windows preselect; devices of one run may go through\n"
    "different adapters. A device may be named by its MAC in place of its address.\n";

// The commands that open devices, and so take --from.
bool OpensDevices(std::string_view command) {
  return command != "search" && command != "history";
}

std::map<std::string, std::string, std::less<>> MakeCommandHelp() {
  std::map<std::string, std::string, std::less<>> help{
      {"backup",
       "usage: calbrin-cli backup DIR [ADDRESS...] [--from ADDRESS] [--jobs N] [--json]\n"
       "Saves the settings of each device named, or of every device that a search finds, as\n"
       "the file that the windows' save would write, DIR/<model>_<MAC>.qvs, readable by the\n"
       "user alone. Devices are read side by side; one line per device, then a summary; exit\n"
       "code 1 when any device failed. An address that several devices answer from is not\n"
       "saved (it would reach only one of them): its line names their MACs.\n"},
      {"commission",
       "usage: calbrin-cli commission SHEET.csv [--check] [--yes] [--report FILE.csv] [--json]\n"
       "       [--from ADDRESS] [--jobs N] [--password-file F | --password-env V]\n"
       "Brings every device of the site sheet (one row per MAC: address, mask, gateway, an\n"
       "optional template and device keys; see README) to its plan: searches every adapter,\n"
       "shows each device's current and planned address and what changes, lists the rows\n"
       "whose device did not answer and the devices that no row names, refuses a row whose\n"
       "planned address another device or host holds, and after --yes or one yes writes the\n"
       "devices side by side (by MAC, at shared or foreign addresses too), keeping history.\n"
       "After the settle it searches again and reads every written device back. --check\n"
       "compares the site with the sheet and writes nothing. --report writes a CSV of the\n"
       "results for the handover. A sheet with any problem is refused whole (exit code 2);\n"
       "exit code 0 only when every row is at its plan.\n"},
      {"history",
       "usage: calbrin-cli history ADDRESS [--history DIR] [--json]\n"
       "Lists the settings files kept before each write of the device at ADDRESS, oldest first.\n"
       "put, set, passwd and restore keep them in DIR (default: the user's data directory,\n"
       "$XDG_DATA_HOME or ~/.local/share/calbrin/history, %LOCALAPPDATA%\\Calbrin\\history on\n"
       "Windows), one folder per device address (or MAC, for a device named by it);\n"
       "--no-history writes without them.\n"},
      {"restore",
       "usage: calbrin-cli restore ADDRESS... (--last | FILE.qvs) [--with-address] [--yes]\n"
       "       [--from ADDRESS]\n"
       "Writes back the settings kept before a write: each device's newest history file with\n"
       "--last, or FILE.qvs, through the same checks as put, keeping each device's own address\n"
       "unless --with-address. Undoes a put to many devices in one command.\n"},
      {"search",
       "usage: calbrin-cli search [--from ADDRESS | --all-adapters] [--json]\n"
       "Sends one discovery broadcast from the local ADDRESS (default: the adapter that the\n"
       "windows preselect) and lists every device that answers within five seconds:\n"
       "address, MAC, model, version, and whether the device lies outside the adapter's\n"
       "subnet. Each device is listed once, by its MAC; where several answer from one\n"
       "address (units fresh from the factory), each of their rows is marked (共有) after\n"
       "the address.\n"
       "--all-adapters broadcasts from every adapter with an IPv4 address in the same window\n"
       "and tells by which adapter's address each device was found. On a terminal it counts\n"
       "the seconds down. --json prints a JSON array instead.\n"},
      {"get",
       "usage: calbrin-cli get ADDRESS [-o FILE.qvs] [--json] [--from ADDRESS]\n"
       "       [--password-file F | --password-env V]\n"
       "Opens the device (logging in when it asks) and prints its settings by page, label and\n"
       "meaning, or with -o writes the settings file that the windows' save would write.\n"},
      {"diff",
       "usage: calbrin-cli diff ADDRESS (FILE.qvs | ADDRESS) [--from ADDRESS]\n"
       "       [--password-file F | --password-env V]\n"
       "Prints the settings that differ between a device and a settings file, or between two\n"
       "devices, by page and label with both values; passwords are compared, never printed.\n"
       "Exit code 0 when they are equal, 1 when they differ, 2 on any failure. --json prints\n"
       "the differences as JSON.\n"},
      {"put",
       "usage: calbrin-cli put FILE.qvs ADDRESS... [KEY=VALUE...] [--with-address] [--yes]\n"
       "       [--from ADDRESS] [--jobs N] [--json]\n"
       "For each device: refuses a file of the other model, takes KEY=VALUE pairs over the\n"
       "file's values (checked as set checks them), runs Apply's checks (receive ports,\n"
       "TCP passwords), keeps the device's own IP address, subnet mask and gateway unless\n"
       "--with-address is given, shows what changes (with a warning for each of the file's\n"
       "values that the windows' controls would not take; it is written as the windows would\n"
       "write it), and writes after --yes or one yes on the terminal for all devices. Up to\n"
       "--jobs N devices (default: as the open-file limit allows, at most 1024) are worked on\n"
       "at once, each on a connection of its own. One line per device in the order given, then\n"
       "a summary; exit code 1 when any device failed.\n"},
      {"set",
       "usage: calbrin-cli set ADDRESS... KEY=VALUE... [--yes] [--from ADDRESS] [--jobs N]\n"
       "       [--json]\n"
       "Changes single settings, by the device's own keys (MSS=1200, PORT1=4001, CFLOW2=2).\n"
       "Before anything is sent, each value is checked as the windows' controls would take\n"
       "it: numbers in plain decimal within their range (MSS 536 to 1460, PORT1 0 to 65535),\n"
       "addresses as four numbers from 0 to 255 (a subnet mask's bits ones, then zeros),\n"
       "choices and check boxes by the codes they store, characters as decimal codes 0 to\n"
       "255, no line breaks; unknown keys and values longer than their field are refused\n"
       "too (exit code 2). A choice that the device's model does not offer (CFLOW2=1 on a\n"
       "QV-57R) refuses that device. MODEL and the channel passwords cannot be set here.\n"
       "Several devices are written side by side, as put does.\n"},
      {"passwd",
       "usage: calbrin-cli passwd ADDRESS... [--remove] [--new-password-file F | "
       "--new-password-env V] [--from ADDRESS] [--jobs N] [--json]\n"
       "Sets a new settings password (asked twice on the terminal without echo, or read from a\n"
       "file or an environment variable), or removes it with --remove.\n"},
  };
  for (auto& [command, text] : help) {
    if (OpensDevices(command)) text += kFromHelp;
  }
  return help;
}

const std::map<std::string, std::string, std::less<>>& CommandHelp() {
  static const std::map<std::string, std::string, std::less<>> help = MakeCommandHelp();
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
  bool noHistory = false;
  bool allAdapters = false;
  bool last = false;
  bool check = false;
  Language language = Language::kJapanese;  // --lang, else the setup's
  std::string problem;
};

Options Parse(const std::vector<std::string>& args, Language language) {
  static constexpr std::string_view kWithValue[] = {"--from",
                                                    "-o",
                                                    "--password-file",
                                                    "--password-env",
                                                    "--new-password-file",
                                                    "--new-password-env",
                                                    "--jobs",
                                                    "--history",
                                                    "--report",
                                                    "--lang"};
  Options options;
  options.language = language;
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
    } else if (arg == "--all-adapters") {
      options.allAdapters = true;
    } else if (arg == "--no-history") {
      options.noHistory = true;
    } else if (arg == "--last") {
      options.last = true;
    } else if (arg == "--check") {
      options.check = true;
    } else if (arg == "--help" || arg == "-h") {
      options.help = true;
    } else if (std::find(std::begin(kWithValue), std::end(kWithValue), arg) !=
               std::end(kWithValue)) {
      if (i + 1 >= args.size()) {
        options.problem = arg + " needs a value";
        break;
      }
      options.values[arg] = args[++i];
      if (arg == "--lang") {
        const std::optional<Language> chosen = LanguageOption(args[i]);
        if (!chosen) {
          options.problem = "--lang takes en or ja";
          break;
        }
        options.language = *chosen;
      }
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

// The process-wide network objects of one run that reads the devices `names`.
class Session {
 public:
  Session(CliIo& io, const CliSetup& setup, const Options& options,
          const std::vector<std::string>& names)
      : io_(io),
        console_(std::make_unique<ConsoleConnection>(setup.limits)),
        adapters_(ListedAdapters(setup)),
        targets_(ResolveTargets(names, setup, adapters_, Value(options, "--from"))),
        password_(
            PasswordSource{Value(options, "--password-file"), Value(options, "--password-env")},
            io),
        language_(options.language) {
    console_->Startup();
  }
  ~Session() { console_->Shutdown(); }
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  const DeviceTarget& Target(std::size_t which) const { return targets_.at(which); }

  // The settings of the device named `which`-th, as it reports them; nothing after a message.
  std::optional<SettingsRecord> Read(std::size_t which) {
    const DeviceTarget& target = targets_.at(which);
    SettingsRecord record;
    std::string error;
    if (!WithReachedDevice(*console_, target, adapters_, password_, error, language_,
                           [&record](DeviceSession& session) { record = session.deviceRecord; })) {
      io_.Err(target.name + ": " + error + "\n");
      return std::nullopt;
    }
    return record;
  }

 private:
  CliIo& io_;
  std::unique_ptr<ConsoleConnection> console_;
  AdapterTable adapters_;
  std::vector<DeviceTarget> targets_;
  DevicePassword password_;
  Language language_;
};

int Search(const Options& options, CliIo& io, const CliSetup& setup) {
  const AdapterTable adapters = ListedAdapters(setup);
  std::vector<std::string> locals{Value(options, "--from")};
  if (options.allAdapters) {
    locals.clear();
    for (int i = 0; i < adapters.count; ++i) {
      const std::string& address = adapters.entries[static_cast<std::size_t>(i)].address;
      if (!address.empty()) locals.push_back(address);
    }
  } else if (locals[0].empty()) {
    locals[0] = SelectedLocalAddress(adapters);
  }

  // The search listens for its whole window: on a terminal, show that it is waiting.
  const bool countDown = io.Interactive() && !options.json;
  const auto start = std::chrono::steady_clock::now();
  const SearchResult result = FindDevices(setup, adapters, locals, [&] {
    const auto left = setup.searchWindow - (std::chrono::steady_clock::now() - start);
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(left).count();
    if (countDown) io.Err("\r検索中... " + std::to_string(seconds > 0 ? seconds : 0) + " ");
  });
  if (countDown) io.Err("\r             \r");

  const std::vector<FoundDevice>& found = result.devices;
  std::string out = options.json ? "[" : "";
  for (std::size_t i = 0; i < found.size(); ++i) {
    const FoundDevice& device = found[i];
    if (options.json) {
      out += std::string(i > 0 ? "," : "") + "\n  {\"address\": " + JsonString(device.address) +
             ", \"mac\": " + JsonString(device.mac) + ", \"model\": " + JsonString(device.model) +
             ", \"version\": " + JsonString(device.version) +
             ", \"outsideSubnet\": " + (device.outsideSubnet ? "true" : "false") +
             ", \"adapter\": " + JsonString(device.adapter) +
             ", \"sharedAddress\": " + (device.sharedAddress ? "true" : "false") + "}";
    } else {
      out += device.address + (device.sharedAddress ? " (共有)" : "") + "  " + device.mac + "  " +
             device.model + "  " + device.version +
             (device.outsideSubnet ? "  (サブネット外)" : "") +
             (options.allAdapters ? "  via " + device.adapter : "") + "\n";
    }
  }
  if (options.json) out += found.empty() ? "]\n" : "\n]\n";
  io.Out(out);
  const std::string overflow = OverflowMessage(result, setup.searchCapacity);
  io.Err(overflow);
  return overflow.empty() ? kSuccess : kFailure;
}

std::string Table(const SettingsRecord& record, Language language) {
  std::string out;
  std::string page = "-";
  for (const SettingView& view : ViewSettings(record, language)) {
    if (view.page != page) {
      page = view.page;
      if (!page.empty()) out += "\n[" + page + "]\n";
    }
    out += "  " + view.label + ": " + ShownMeaning(view) + "\n";
  }
  return out;
}

int Get(const Options& options, CliIo& io, const CliSetup& setup) {
  if (options.positional.size() != 1) {
    io.Err(CommandHelp().at("get"));
    return kUsageError;
  }
  Session session(io, setup, options, options.positional);
  const std::optional<SettingsRecord> record = session.Read(0);
  if (!record) return kFailure;
  const std::string file = Value(options, "-o");
  if (file.empty()) {
    const DeviceTarget& target = session.Target(0);
    const bool byMac = target.name == target.mac;
    io.Out(options.json ? SettingsJson(target.address, ViewSettings(*record, options.language),
                                       byMac ? target.mac : std::string())
                        : Table(*record, options.language));
    return kSuccess;
  }
  std::string problem;
  const std::string text = SettingsFileTextOf(*record, problem, options.language);
  if (!problem.empty()) {
    io.Err(problem + "\n");
    return kFailure;
  }
  if (!WriteSettingsFile(PathFromUtf8(file), text)) {
    io.Err(std::string(FileNotCreatedMessage(options.language)) + "\n");
    return kFailure;
  }
  return kSuccess;
}

int Diff(const Options& options, CliIo& io, const CliSetup& setup) {
  if (options.positional.size() != 2) {
    io.Err(CommandHelp().at("diff"));
    return kUsageError;
  }
  const std::string& other = options.positional[1];
  const bool twoDevices = NamesDevice(other);
  Session session(io, setup, options,
                  twoDevices ? options.positional : std::vector{options.positional[0]});
  const std::optional<SettingsRecord> device = session.Read(0);
  if (!device) return kUsageError;
  std::optional<SettingsRecord> compared;
  if (twoDevices) {
    compared = session.Read(1);
    if (!compared) return kUsageError;
  } else {
    SettingsRecord fileRecord;
    const bool reduced = SecondChannelReduced(ReadField(*device, SettingKey::MODEL));
    const SettingsFileRead result = ReadSettingsFile(PathFromUtf8(other), reduced, fileRecord);
    if (result != SettingsFileRead::kLoaded) {
      io.Err(other + ": " + std::string(SettingsFileReadMessage(result, options.language)) + "\n");
      return kUsageError;
    }
    compared = fileRecord;
  }
  const std::vector<SettingDifference> differences = DifferentSettings(
      NormalisedSettings(*device), NormalisedSettings(*compared), options.language);
  io.Out(options.json ? "{\"equal\": " + std::string(differences.empty() ? "true" : "false") +
                            ", \"differences\": " + DifferencesJson(differences, "  ") + "}\n"
                      : DifferenceLines(differences, options.language));
  return differences.empty() ? kSuccess : kFailure;
}

// The write of a settings file, with `changes` over its values, to the open device: refused for
// a file of the other model, the device's own IP address, subnet mask and gateway kept unless
// `withAddress`; the differences in `language`.
WritePlan FilePlan(const std::filesystem::path& file, const std::vector<SettingChange>& changes,
                   bool withAddress, Language language, const DeviceSession& device) {
  WritePlan plan;
  const SettingsRecord& own = device.deviceRecord;
  plan.reduced = SecondChannelReduced(ReadField(own, SettingKey::MODEL));
  SettingsRecord target;
  const SettingsFileRead read = ReadSettingsFile(file, plan.reduced, target);
  if (read != SettingsFileRead::kLoaded) {
    plan.refusal = SettingsFileReadMessage(read, language);
    return plan;
  }
  // Values that a pair replaces or the device's own address keeps are not the file's to warn of.
  const auto fromFile = [&](int index) {
    const bool kept =
        !withAddress && (index == Index(SettingKey::IP) || index == Index(SettingKey::SUBM) ||
                         index == Index(SettingKey::GWAY));
    return !kept &&
           std::none_of(changes.begin(), changes.end(),
                        [index](const SettingChange& change) { return change.index == index; });
  };
  for (int index = 0; index < kSettingKeyCount; ++index) {
    const auto problem = CheckSettingValue(index, ReadField(target, index), plan.reduced, language);
    if (problem && fromFile(index))
      plan.warnings.push_back(problem->subject + " in the file: " + problem->allowed);
  }
  SettingsRecord shown;
  plan.refusal = ApplySettingChanges(changes, language, target, shown);
  if (!plan.refusal.empty()) return plan;
  if (!withAddress) {
    for (const SettingKey key : {SettingKey::IP, SettingKey::SUBM, SettingKey::GWAY})
      SetField(target, key, ReadField(own, key));
  }
  plan.differences =
      DifferentSettings(NormalisedSettings(own), NormalisedSettings(target), language);
  plan.pages = ShownPages(target, plan.reduced);
  plan.doneMessage =
      "書込みが完了しました。 (" + std::to_string(plan.differences.size()) + " settings)";
  return plan;
}

// The history folder of a run: --history DIR, none with --no-history, or the user's own.
std::filesystem::path HistoryOption(const Options& options, CliIo& io) {
  if (options.noHistory) return {};
  const std::string chosen = Value(options, "--history");
  return chosen.empty() ? DefaultHistoryFolder(io) : PathFromUtf8(chosen);
}

// The parts of a write run that every write command takes from the command line; nothing
// with a message when --jobs is not a number from 1 to kMaxJobs.
std::optional<WriteRun> WriteOptions(const Options& options, CliIo& io, const CliSetup& setup) {
  WriteRun run;
  run.jobs = setup.defaultJobs;
  run.yes = options.yes;
  run.json = options.json;
  run.language = options.language;
  run.password = {Value(options, "--password-file"), Value(options, "--password-env")};
  run.from = Value(options, "--from");
  run.history = HistoryOption(options, io);
  const std::string jobs = Value(options, "--jobs");
  if (!jobs.empty()) {
    const auto [end, ec] = std::from_chars(jobs.data(), jobs.data() + jobs.size(), run.jobs);
    if (ec != std::errc{} || end != jobs.data() + jobs.size() || run.jobs < 1 ||
        run.jobs > kMaxJobs) {
      io.Err("--jobs takes a number from 1 to " + std::to_string(kMaxJobs) + "\n");
      return std::nullopt;
    }
  }
  return run;
}

int Put(const Options& options, CliIo& io, const CliSetup& setup) {
  std::optional<WriteRun> run = WriteOptions(options, io, setup);
  if (!run) return kUsageError;
  // The file, the addresses, then any KEY=VALUE pairs over the file's values.
  std::size_t pairs = 1;
  while (pairs < options.positional.size() && NamesDevice(options.positional[pairs]))
    ++pairs;
  if (pairs == 1) {
    io.Err(CommandHelp().at("put"));
    return kUsageError;
  }
  std::vector<SettingChange> changes;
  std::string problem;
  if (!ReadSettingChanges(std::span(options.positional).subspan(pairs), options.language, changes,
                          problem)) {
    io.Err(problem + "\n");
    return kUsageError;
  }
  const std::filesystem::path file = PathFromUtf8(options.positional[0]);
  run->command = "put";
  run->addresses.assign(options.positional.begin() + 1, options.positional.begin() + pairs);
  run->plan = [file, changes, withAddress = options.withAddress, language = options.language](
                  const std::string&, const DeviceSession& device) {
    return FilePlan(file, changes, withAddress, language, device);
  };
  return RunWrites(*run, io, setup);
}

int Set(const Options& options, CliIo& io, const CliSetup& setup) {
  std::optional<WriteRun> run = WriteOptions(options, io, setup);
  if (!run) return kUsageError;
  // The addresses come first, then the KEY=VALUE pairs.
  std::size_t pairs = 0;
  while (pairs < options.positional.size() && NamesDevice(options.positional[pairs]))
    ++pairs;
  if (pairs == 0 || pairs == options.positional.size()) {
    io.Err(CommandHelp().at("set"));
    return kUsageError;
  }
  std::vector<SettingChange> changes;
  std::string problem;
  if (!ReadSettingChanges(std::span(options.positional).subspan(pairs), options.language, changes,
                          problem)) {
    io.Err(problem + "\n");
    return kUsageError;
  }

  run->command = "set";
  run->addresses.assign(options.positional.begin(), options.positional.begin() + pairs);
  run->failuresToErr = true;
  run->summaryAlways = false;
  run->plan = [changes, language = options.language](const std::string&,
                                                     const DeviceSession& device) {
    WritePlan plan;
    SettingsRecord target = device.deviceRecord;
    SettingsRecord shown;
    plan.refusal = ApplySettingChanges(changes, language, target, shown);
    if (!plan.refusal.empty()) return plan;
    plan.differences = DifferentSettings(NormalisedSettings(device.deviceRecord), shown, language);
    plan.reduced = SecondChannelReduced(ReadField(target, SettingKey::MODEL));
    plan.pages = ShownPages(target, plan.reduced);
    plan.doneMessage = "書込みが完了しました。";
    return plan;
  };
  return RunWrites(*run, io, setup);
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
  std::optional<WriteRun> run = WriteOptions(options, io, setup);
  if (!run) return kUsageError;
  if (options.positional.empty()) {
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
  run->command = "passwd";
  run->addresses = options.positional;
  run->asks = false;
  run->failuresToErr = true;
  run->summaryAlways = false;
  run->plan = [password, remove = options.remove](const std::string&, const DeviceSession& device) {
    WritePlan plan;
    plan.reduced = SecondChannelReduced(ReadField(device.deviceRecord, SettingKey::MODEL));
    plan.pages = ShownPages(device.deviceRecord, plan.reduced);
    plan.pages.network.changePassword = true;
    // An empty new password is the windows' way of removing it.
    plan.pages.network.newPassword = plan.pages.network.newPasswordAgain = password.value_or("");
    plan.always = true;
    plan.doneMessage = remove ? "パスワードを無効化しました。" : "パスワードを変更しました。";
    return plan;
  };
  return RunWrites(*run, io, setup);
}

int Backup(const Options& options, CliIo& io, const CliSetup& setup) {
  const std::optional<WriteRun> run = WriteOptions(options, io, setup);
  if (!run) return kUsageError;
  if (options.positional.empty()) {
    io.Err(CommandHelp().at("backup"));
    return kUsageError;
  }
  return RunBackup({PathFromUtf8(options.positional[0]),
                    {options.positional.begin() + 1, options.positional.end()},
                    run->jobs,
                    run->json,
                    run->password,
                    run->from,
                    run->language},
                   io, setup);
}

int History(const Options& options, CliIo& io) {
  if (options.positional.size() != 1) {
    io.Err(CommandHelp().at("history"));
    return kUsageError;
  }
  std::string problem;
  const std::vector<std::filesystem::path> files =
      HistoryFiles(HistoryOption(options, io), DeviceName(options.positional[0]), problem);
  if (!problem.empty()) {
    io.Err(problem + "\n");
    return kFailure;
  }
  std::string out;
  for (const std::filesystem::path& file : files) {
    const std::u8string name = file.u8string();
    const std::string text(name.begin(), name.end());
    out += options.json ? std::string(out.empty() ? "" : ", ") + JsonString(text) : text + "\n";
  }
  io.Out(options.json ? "{\"address\": " + JsonString(options.positional[0]) + ", \"files\": [" +
                            out + "]}\n"
                      : out);
  return kSuccess;
}

int Restore(const Options& options, CliIo& io, const CliSetup& setup) {
  std::optional<WriteRun> run = WriteOptions(options, io, setup);
  if (!run) return kUsageError;
  std::vector<std::string> addresses;
  std::vector<std::string> files;
  for (const std::string& positional : options.positional)
    (NamesDevice(positional) ? addresses : files).push_back(DeviceName(positional));
  if (addresses.empty() || files.size() + (options.last ? 1 : 0) != 1) {
    io.Err(CommandHelp().at("restore"));
    return kUsageError;
  }
  // Chosen before anything is written: the restore's own writes add history files. A history
  // that someone else could have written is refused for its device.
  std::map<std::string, std::filesystem::path> chosen;
  std::map<std::string, std::string> refused;
  for (const std::string& address : addresses) {
    if (!files.empty()) {
      chosen[address] = PathFromUtf8(files[0]);
      continue;
    }
    std::string problem;
    const std::vector<std::filesystem::path> kept = HistoryFiles(run->history, address, problem);
    if (!kept.empty()) chosen[address] = kept.back();
    refused[address] = problem.empty() ? "no history file of this device" : problem;
  }
  run->command = "restore";
  run->addresses = addresses;
  run->plan = [chosen, refused, withAddress = options.withAddress, language = options.language](
                  const std::string& address, const DeviceSession& device) {
    const auto file = chosen.find(address);
    if (file != chosen.end()) return FilePlan(file->second, {}, withAddress, language, device);
    WritePlan plan;
    plan.refusal = refused.at(address);
    return plan;
  };
  return RunWrites(*run, io, setup);
}

int Commission(const Options& options, CliIo& io, const CliSetup& setup) {
  const std::optional<WriteRun> run = WriteOptions(options, io, setup);
  if (!run) return kUsageError;
  if (options.positional.size() != 1) {
    io.Err(CommandHelp().at("commission"));
    return kUsageError;
  }
  const std::string report = Value(options, "--report");
  return RunCommission({PathFromUtf8(options.positional[0]), options.check, run->yes, run->json,
                        report.empty() ? std::filesystem::path() : PathFromUtf8(report), run->jobs,
                        run->password, run->from, run->history, run->language},
                       io, setup);
}

}  // namespace

int RunCli(const std::vector<std::string>& args, CliIo& io, const CliSetup& setup) {
  if (args.empty() || args[0] == "--help" || args[0] == "-h") {
    (args.empty() ? io.Err(kUsage) : io.Out(kUsage));
    return args.empty() ? kUsageError : kSuccess;
  }
  if (args[0] == "--version") {
    io.Out("calbrin-cli " CALBRIN_VERSION "\n");
    return kSuccess;
  }
  const auto help = CommandHelp().find(args[0]);
  if (help == CommandHelp().end()) {
    io.Err("unknown command " + args[0] + "\n\n" + std::string(kUsage));
    return kUsageError;
  }
  const Options options = Parse(args, setup.language);
  if (options.help) {
    io.Out(help->second);
    return kSuccess;
  }
  if (!options.problem.empty()) {
    io.Err(options.problem + "\n" + help->second);
    return kUsageError;
  }
  const std::string from = Value(options, "--from");
  if (OpensDevices(args[0]) && !from.empty()) {
    const AdapterTable adapters = ListedAdapters(setup);
    if (!HasAdapter(adapters, from)) {
      io.Err("--from " + from +
             ": no adapter has this address (the adapters: " + AdapterAddresses(adapters) + ")\n");
      return kUsageError;
    }
  }
  if (args[0] == "search") return Search(options, io, setup);
  if (args[0] == "get") return Get(options, io, setup);
  if (args[0] == "diff") return Diff(options, io, setup);
  if (args[0] == "put") return Put(options, io, setup);
  if (args[0] == "set") return Set(options, io, setup);
  if (args[0] == "history") return History(options, io);
  if (args[0] == "backup") return Backup(options, io, setup);
  if (args[0] == "restore") return Restore(options, io, setup);
  if (args[0] == "commission") return Commission(options, io, setup);
  return Passwd(options, io, setup);
}

}  // namespace calbrin
