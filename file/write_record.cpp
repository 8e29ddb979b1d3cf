// The change log's record of one write.
#include "file/write_record.h"

#include <chrono>

#include "calbrin_version.h"
#include "file/utf8_path.h"
#include "settings/mac_address.h"
#include "settings/messages.h"

namespace calbrin {
namespace {

// The settings password, which no page field shows.
constexpr std::string_view kSettingsPasswordKey = "PASSWORD";
constexpr std::string_view kSettingsPasswordLabel = "settings password";

// A MAC in the search's form, whichever form the writer had it in.
std::string MacOf(const LoggedWrite& write) {
  const std::string text =
      write.mac.empty() ? std::string(write.device.identity.MacText()) : write.mac;
  const auto mac = ParseMac(text);
  return mac ? MacText(*mac) : text;
}

}  // namespace

ChangeRecord RecordOf(const LoggedWrite& write, std::string_view program) {
  ChangeRecord record;
  record.time = ChangeLogTime(std::chrono::system_clock::now());
  record.user = CurrentUserName();
  record.host = ComputerName();
  record.program = program;
  record.version = CALBRIN_VERSION;
  record.command = write.command;
  record.address = write.address;
  record.mac = MacOf(write);
  const std::string_view model = ReadField(write.device.deviceRecord, SettingKey::MODEL);
  if (!model.empty())
    record.model = ViewSetting(SettingKey::MODEL, model, Language::kEnglish).meaning;
  record.result = write.result;
  for (const auto& [before, after] : write.changes) {
    ChangedKey& key = record.keys.emplace_back();
    key.key = KeyText(Index(before.key));
    key.password = before.password;
    const SettingView english = ViewSetting(before.key, before.value, Language::kEnglish);
    key.label = english.label;
    if (key.password) continue;
    key.before = english.meaning;
    key.after = ViewSetting(after.key, after.value, Language::kEnglish).meaning;
  }
  if (write.passwordChanged) {
    record.keys.push_back(
        {std::string(kSettingsPasswordKey), std::string(kSettingsPasswordLabel), {}, {}, true});
  }
  return record;
}

std::string AppendRecord(ChangeLog& log, const ChangeRecord& record, Language language) {
  std::filesystem::path dropped;
  const ChangeLogAppend appended = log.Append(record, dropped);
  std::string problem;
  if (!dropped.empty())
    problem = FormatMessageText(MessageId::kChangeLogDropped, language, {Utf8FromPath(dropped)});
  if (appended != ChangeLogAppend::kAppended) {
    if (!problem.empty()) problem += "; ";
    problem += FormatMessageText(appended == ChangeLogAppend::kFolderNotPrivate
                                     ? MessageId::kChangeLogNotPrivate
                                     : MessageId::kChangeLogNotWritten,
                                 language, {Utf8FromPath(log.File())});
  }
  return problem;
}

}  // namespace calbrin
