// calbrin-cli's records in the change log, and the log command.
#include "cli/change_records.h"

#include <algorithm>
#include <fstream>

#include "cli/cli_texts.h"
#include "cli/device_targets.h"
#include "file/utf8_path.h"
#include "settings/device_text.h"

namespace calbrin {
namespace {

// `since` as a record's time is written, "2026-12-07T05:41:00.000", so that records from then on
// compare at least as large; nothing when it is no ISO date or date-time.
std::optional<std::string> SinceTime(std::string text) {
  if (!text.empty() && (text.back() == 'Z' || text.back() == 'z')) text.pop_back();
  static constexpr std::string_view kForm = "dddd-dd-ddTdd:dd:dd.ddd";
  static constexpr std::string_view kMidnight = "0000-00-00T00:00:00.000";
  // A date, or a date and a time to the minute, second or millisecond.
  if (text.size() != 10 && text.size() != 16 && text.size() != 19 && text.size() != 23)
    return std::nullopt;
  if (text.size() > 10 && text[10] == ' ') text[10] = 'T';
  for (std::size_t i = 0; i < text.size(); ++i) {
    const bool digit = text[i] >= '0' && text[i] <= '9';
    if (kForm[i] == 'd' ? !digit : text[i] != kForm[i]) return std::nullopt;
  }
  return text + std::string(kMidnight.substr(text.size()));
}

// A text from the log without control bytes, for the terminal.
std::string Shown(std::string_view text) {
  std::string out;
  for (const char c : text)
    out += static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?' : c;
  return out;
}

std::string RecordText(const ChangeRecord& record) {
  const std::string device =
      record.mac.empty() ? record.address : record.address + " (" + record.mac + ")";
  std::string out = Shown(record.time + "  " + record.user + "@" + record.host + "  " +
                          record.command + "  " + device + "  " + record.result) +
                    "\n";
  for (const ChangedKey& key : record.keys) {
    out += "    " + Shown(key.label.empty() ? key.key : key.label) + ": " +
           (key.password ? std::string("changed")
                         : TerminalText(key.before) + " -> " + TerminalText(key.after)) +
           "\n";
  }
  return out;
}

}  // namespace

std::shared_ptr<ChangeLog> UserChangeLog(CliIo& io) {
  const std::filesystem::path folder =
      UserDataFolder([&io](const std::string& name) { return io.Environment(name); });
  return folder.empty() ? nullptr : std::make_shared<ChangeLog>(folder / kChangeLogName);
}

std::string LogWrite(ChangeLog* log, const LoggedWrite& write, Language language) {
  if (log == nullptr) return {};
  const std::string problem = AppendRecord(*log, RecordOf(write, "calbrin-cli"), language);
  return problem.empty() ? problem : Text(CliText::kWarning, language, {problem});
}

int ShowChangeLog(const std::vector<std::string>& devices, const std::string& since, bool json,
                  CliIo& io, Language language) {
  std::optional<std::string> from;
  if (!since.empty() && !(from = SinceTime(since))) {
    io.Err(Text(CliText::kSinceForm, language, {since}) + "\n");
    return 2;
  }
  const std::shared_ptr<ChangeLog> log = UserChangeLog(io);
  if (!log) {
    io.Err(std::string(Text(CliText::kNoDataFolder, language)) + "\n");
    return 2;
  }
  std::vector<std::string> named;
  for (const std::string& device : devices)
    named.push_back(DeviceName(device));
  std::string out;
  for (const std::filesystem::path& file : ChangeLogFiles(log->File())) {
    if (!OwnedByUserAlone(file))
      io.Err(Text(CliText::kWarning, language,
                  {Text(CliText::kChangeLogOthers, language, {Utf8FromPath(file)})}) +
             "\n");
    std::ifstream in(file, std::ios::binary);
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
      const std::optional<ChangeRecord> record = ParseChangeRecord(line);
      if (!record) {
        io.Err(Text(CliText::kNotChangeRecord, language,
                    {Utf8FromPath(file) + ":" + std::to_string(number)}) +
               "\n");
        continue;
      }
      if (from && record->time < *from) continue;
      if (!named.empty() && std::find(named.begin(), named.end(), record->address) == named.end() &&
          std::find(named.begin(), named.end(), record->mac) == named.end())
        continue;
      out += json ? line + "\n" : RecordText(*record);
    }
  }
  io.Out(out);
  return 0;
}

}  // namespace calbrin
