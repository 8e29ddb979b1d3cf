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
#include "cli/change_records.h"
#include "cli/cli_texts.h"
#include "cli/commission.h"
#include "cli/device_access.h"
#include "cli/device_reach.h"
#include "cli/device_search.h"
#include "cli/device_targets.h"
#include "cli/device_writes.h"
#include "cli/fleet_writes.h"
#include "cli/json_output.h"
#include "cli/setting_changes.h"
#include "cli/user_language.h"
#include "file/history.h"
#include "file/settings_file.h"
#include "file/utf8_path.h"
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

// The commands that open devices, and so take --from.
bool OpensDevices(std::string_view command) {
  return command != "search" && command != "history" && command != "log";
}

// The help of each command, in `language`.
const std::map<std::string, CliText, std::less<>> kCommandHelp{
    {"backup", CliText::kHelpBackup},   {"commission", CliText::kHelpCommission},
    {"history", CliText::kHelpHistory}, {"restore", CliText::kHelpRestore},
    {"search", CliText::kHelpSearch},   {"get", CliText::kHelpGet},
    {"diff", CliText::kHelpDiff},       {"put", CliText::kHelpPut},
    {"set", CliText::kHelpSet},         {"passwd", CliText::kHelpPasswd},
    {"log", CliText::kHelpLog}};

std::string CommandHelp(std::string_view command, Language language) {
  std::string help(Text(kCommandHelp.find(command)->second, language));
  if (OpensDevices(command)) help += Text(CliText::kFromHelp, language);
  if (command != "history") help += Text(CliText::kTraceHelp, language);
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
                                                    "--trace",
                                                    "--lang",
                                                    "--since"};
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
        options.problem = Text(CliText::kNeedsValue, options.language, {arg});
        break;
      }
      options.values[arg] = args[++i];
      if (arg == "--lang") {
        const std::optional<Language> chosen = LanguageOption(args[i]);
        if (!chosen) {
          options.problem = Text(CliText::kLangValues, language);
          break;
        }
        options.language = *chosen;
      }
    } else if (arg.starts_with("-") && arg.size() > 1) {
      options.problem = Text(CliText::kUnknownOption, options.language, {arg});
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
        console_(std::make_unique<ConsoleConnection>(setup.limits, setup.trace)),
        adapters_(ListedAdapters(setup)),
        targets_(ResolveTargets(names, setup, adapters_, Value(options, "--from"))),
        password_(
            PasswordSource{Value(options, "--password-file"), Value(options, "--password-env")}, io,
            options.language),
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
  const std::string_view searching = Text(CliText::kSearching, options.language);
  const auto start = std::chrono::steady_clock::now();
  const SearchResult result = FindDevices(setup, adapters, locals, [&] {
    const auto left = setup.searchWindow - (std::chrono::steady_clock::now() - start);
    const auto seconds = std::chrono::ceil<std::chrono::seconds>(left).count();
    if (countDown)
      io.Err("\r" + std::string(searching) + std::to_string(seconds > 0 ? seconds : 0) + " ");
  });
  // Blanks over the count-down: one column per byte covers every character's width.
  if (countDown) io.Err("\r" + std::string(searching.size() + 4, ' ') + "\r");

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
      const Language language = options.language;
      out += device.address +
             std::string(device.sharedAddress ? Text(CliText::kSharedMark, language) : "") + "  " +
             device.mac + "  " + device.model + "  " + device.version +
             std::string(device.outsideSubnet ? Text(CliText::kOutsideSubnetMark, language) : "") +
             (options.allAdapters ? Text(CliText::kVia, language, {device.adapter}) : "") + "\n";
    }
  }
  if (options.json) out += found.empty() ? "]\n" : "\n]\n";
  io.Out(out);
  const std::string overflow = OverflowMessage(result, setup.searchCapacity, options.language);
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
    io.Err(CommandHelp("get", options.language));
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
    io.Err(CommandHelp("diff", options.language));
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
      plan.warnings.push_back(
          Text(CliText::kInTheFile, language, {problem->subject, problem->allowed}));
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
      Text(CliText::kWriteCompleteCounted, language, {std::to_string(plan.differences.size())});
  return plan;
}

// The history folder of a run: --history DIR, none with --no-history, or the user's own.
std::filesystem::path HistoryOption(const Options& options, CliIo& io) {
  if (options.noHistory) return {};
  const std::string chosen = Value(options, "--history");
  return chosen.empty() ? HistoryFolder(UserDataFolder(
                              [&io](const std::string& name) { return io.Environment(name); }))
                        : PathFromUtf8(chosen);
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
  // --no-history keeps no settings files, but every write is still logged.
  run.log = UserChangeLog(io);
  const std::string jobs = Value(options, "--jobs");
  if (!jobs.empty()) {
    const auto [end, ec] = std::from_chars(jobs.data(), jobs.data() + jobs.size(), run.jobs);
    if (ec != std::errc{} || end != jobs.data() + jobs.size() || run.jobs < 1 ||
        run.jobs > kMaxJobs) {
      io.Err(Text(CliText::kJobsRange, options.language, {std::to_string(kMaxJobs)}) + "\n");
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
    io.Err(CommandHelp("put", options.language));
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
    io.Err(CommandHelp("set", options.language));
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
    plan.doneMessage = Text(CliText::kWriteComplete, language);
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
    DevicePassword source(PasswordSource{file, ""}, io, options.language);
    password = source.Get("");
    if (!password) why = source.Problem();
  } else if (!variable.empty()) {
    password = io.Environment(variable);
    if (!password) why = Text(CliText::kVariableNotSet, options.language, {variable});
  } else if (io.Interactive()) {
    password = io.ReadLine(Text(CliText::kNewPasswordPrompt, options.language), true);
    const std::optional<std::string> again =
        io.ReadLine(Text(CliText::kPasswordAgainPrompt, options.language), true);
    if (!password || !again || *again != *password) {
      why = Text(CliText::kPasswordsDiffer, options.language);
      return std::nullopt;
    }
  } else {
    why = Text(CliText::kNewPasswordSource, options.language);
  }
  if (password && (password->empty() || password->size() > kMaxPasswordLength ||
                   FilterPrintableText(*password) != *password)) {
    why = Text(CliText::kPasswordForm, options.language);
    return std::nullopt;
  }
  return password;
}

int Passwd(const Options& options, CliIo& io, const CliSetup& setup) {
  std::optional<WriteRun> run = WriteOptions(options, io, setup);
  if (!run) return kUsageError;
  if (options.positional.empty()) {
    io.Err(CommandHelp("passwd", options.language));
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
  run->plan = [password, remove = options.remove, language = options.language](
                  const std::string&, const DeviceSession& device) {
    WritePlan plan;
    plan.reduced = SecondChannelReduced(ReadField(device.deviceRecord, SettingKey::MODEL));
    plan.pages = ShownPages(device.deviceRecord, plan.reduced);
    plan.pages.network.changePassword = true;
    // An empty new password is the windows' way of removing it.
    plan.pages.network.newPassword = plan.pages.network.newPasswordAgain = password.value_or("");
    plan.always = true;
    plan.doneMessage =
        Text(remove ? CliText::kPasswordRemoved : CliText::kPasswordChanged, language);
    return plan;
  };
  return RunWrites(*run, io, setup);
}

int Backup(const Options& options, CliIo& io, const CliSetup& setup) {
  const std::optional<WriteRun> run = WriteOptions(options, io, setup);
  if (!run) return kUsageError;
  if (options.positional.empty()) {
    io.Err(CommandHelp("backup", options.language));
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
    io.Err(CommandHelp("history", options.language));
    return kUsageError;
  }
  std::string problem;
  const std::vector<std::filesystem::path> files = HistoryFiles(
      HistoryOption(options, io), DeviceName(options.positional[0]), problem, options.language);
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
    io.Err(CommandHelp("restore", options.language));
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
    const std::vector<std::filesystem::path> kept =
        HistoryFiles(run->history, address, problem, run->language);
    if (!kept.empty()) chosen[address] = kept.back();
    refused[address] = problem.empty() ? Text(CliText::kNoHistoryOfDevice, run->language) : problem;
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
    io.Err(CommandHelp("commission", options.language));
    return kUsageError;
  }
  const std::string report = Value(options, "--report");
  return RunCommission({PathFromUtf8(options.positional[0]), options.check, run->yes, run->json,
                        report.empty() ? std::filesystem::path() : PathFromUtf8(report), run->jobs,
                        run->password, run->from, run->history, run->log, run->language},
                       io, setup);
}

}  // namespace

int RunCommand(std::string_view command, const Options& options, CliIo& io, const CliSetup& setup) {
  if (command == "search") return Search(options, io, setup);
  if (command == "get") return Get(options, io, setup);
  if (command == "diff") return Diff(options, io, setup);
  if (command == "put") return Put(options, io, setup);
  if (command == "set") return Set(options, io, setup);
  if (command == "history") return History(options, io);
  if (command == "log")
    return ShowChangeLog(options.positional, Value(options, "--since"), options.json, io,
                         options.language);
  if (command == "backup") return Backup(options, io, setup);
  if (command == "restore") return Restore(options, io, setup);
  if (command == "commission") return Commission(options, io, setup);
  return Passwd(options, io, setup);
}

// The language of a run's texts: the first valid --lang anywhere in `args`, else the setup's,
// so that the usage and the errors before the command's own options are read are in it too.
Language RunLanguage(const std::vector<std::string>& args, Language setup) {
  for (std::size_t i = 0; i + 1 < args.size(); ++i) {
    if (args[i] != "--lang") continue;
    if (const std::optional<Language> chosen = LanguageOption(args[i + 1])) return *chosen;
  }
  return setup;
}

int RunCli(const std::vector<std::string>& given, CliIo& io, const CliSetup& setup) {
  // "--lang ja COMMAND ..." as "COMMAND ... --lang ja".
  std::vector<std::string> args = given;
  if (args.size() >= 2 && args[0] == "--lang")
    std::rotate(args.begin(), args.begin() + 2, args.end());
  const Language language = RunLanguage(args, setup.language);
  const std::string_view usage = Text(CliText::kUsage, language);
  if (args.empty() || args[0] == "--help" || args[0] == "-h" || args[0] == "--lang") {
    const bool asked = !args.empty() && args[0] != "--lang";
    (asked ? io.Out(usage) : io.Err(usage));
    return asked ? kSuccess : kUsageError;
  }
  if (args[0] == "--version") {
    io.Out("calbrin-cli " CALBRIN_VERSION "\n");
    return kSuccess;
  }
  if (!kCommandHelp.contains(args[0])) {
    io.Err(Text(CliText::kUnknownCommand, language, {args[0]}) + "\n\n" + std::string(usage));
    return kUsageError;
  }
  const Options options = Parse(args, language);
  const std::string help = CommandHelp(args[0], options.language);
  if (options.help) {
    io.Out(help);
    return kSuccess;
  }
  if (!options.problem.empty()) {
    io.Err(options.problem + "\n" + help);
    return kUsageError;
  }
  const std::string from = Value(options, "--from");
  if (OpensDevices(args[0]) && !from.empty()) {
    const AdapterTable adapters = ListedAdapters(setup);
    if (!HasAdapter(adapters, from)) {
      io.Err(Text(CliText::kNoAdapterAtFrom, options.language,
                  {from, AdapterAddresses(adapters, options.language)}) +
             "\n");
      return kUsageError;
    }
  }
  // One trace for the whole run, opened before anything is sent.
  CliSetup traced = setup;
  std::unique_ptr<WireTrace> trace;
  if (const std::string file = Value(options, "--trace"); !file.empty()) {
    std::string problem;
    trace = WireTrace::Open(PathFromUtf8(file), problem);
    if (!trace) {
      io.Err(Text(CliText::kTraceNotOpened, options.language, {file, problem}) + "\n");
      return kFailure;
    }
    traced.trace = trace.get();
  }
  return RunCommand(args[0], options, io, traced);
}

}  // namespace calbrin
