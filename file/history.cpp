// The history of writes, kept as settings files.
#include "file/history.h"

#include <algorithm>
#include <chrono>
#include <system_error>

#include "file/change_log.h"
#include "file/settings_file.h"
#include "file/utf8_path.h"
#include "pages/collect_settings.h"
#include "pages/settings_view.h"
#include "settings/device_model.h"
#include "settings/messages.h"

namespace calbrin {
namespace {

// "20261207T054112.345Z": the change log's time without its separators, so that it sorts as the
// times do and holds no character that a file name cannot.
std::string TimeName(std::chrono::system_clock::time_point now) {
  std::string name = ChangeLogTime(now);
  std::erase_if(name, [](char c) { return c == '-' || c == ':'; });
  return name;
}

}  // namespace

std::filesystem::path HistoryFolder(const std::filesystem::path& dataFolder) {
  return dataFolder.empty() ? dataFolder : dataFolder / "history";
}

std::string SettingsFileTextOf(const SettingsRecord& record, std::string& problem,
                               Language language) {
  // The windows' save: the pages as the device fills them, collected for a file.
  const bool reduced = SecondChannelReduced(ReadField(record, SettingKey::MODEL));
  SettingsRecord collected;
  SettingsText text;
  MessageCollectUi ui;
  if (CollectSettings(ShownPages(record, reduced), record, true, reduced, collected, text, ui,
                      language) != 0) {
    problem = ui.Message();
    return {};
  }
  return std::string(text.View());
}

std::string SaveHistory(const std::filesystem::path& folder, std::string_view address,
                        const SettingsRecord& record, Language language) {
  std::string problem;
  const std::string text = SettingsFileTextOf(record, problem, language);
  if (!problem.empty()) return problem;
  const std::filesystem::path device = folder / PathFromUtf8(address);
  const std::filesystem::path file =
      device / PathFromUtf8(TimeName(std::chrono::system_clock::now()) + ".qvs");
  if (!MakeUserFolder(device) || !WriteSettingsFile(file, text) || !MakePrivateFile(file))
    return FormatMessageText(MessageId::kHistoryFileNotWritten, language, {Utf8FromPath(file)});
  return {};
}

std::vector<std::filesystem::path> HistoryFiles(const std::filesystem::path& folder,
                                                std::string_view address, std::string& problem,
                                                Language language) {
  const std::filesystem::path device = folder / PathFromUtf8(address);
  problem = NotPrivateProblem(folder, false, language);
  if (problem.empty()) problem = NotPrivateProblem(device, false, language);
  std::vector<std::filesystem::path> files;
  std::error_code error;
  for (const auto& entry : std::filesystem::directory_iterator(device, error)) {
    if (entry.path().extension() != ".qvs") continue;
    if (problem.empty()) problem = NotPrivateProblem(entry.path(), true, language);
    files.push_back(entry.path());
  }
  if (!problem.empty()) return {};
  std::sort(files.begin(), files.end());
  return files;
}

}  // namespace calbrin
