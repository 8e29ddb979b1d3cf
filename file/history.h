// The history of writes: before calbrin-cli or the windows' Apply writes a device, the settings
// just read from it are kept as a settings file, one folder per device address, the time in the
// file's name, so that any write can be undone with restore.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "settings/language.h"
#include "settings/settings_record.h"

namespace calbrin {

// The history folder in the user's data folder (UserDataFolder); empty when that is.
std::filesystem::path HistoryFolder(const std::filesystem::path& dataFolder);

// Why `path` (a history folder, or a file when `file`) must not be trusted: it belongs to
// another user, or others may write it, so that someone else could choose what a restore writes.
// Empty when it is the user's own, or does not exist. In `language`.
std::string NotPrivateProblem(const std::filesystem::path& path, bool file, Language language);
// Makes `file` readable and writable by the user alone where the platform lets a program say so.
bool MakePrivateFile(const std::filesystem::path& file);

// The collected settings file text of `record`, as the windows' save writes it; the checks'
// message (in `language`) instead when the record fails them.
std::string SettingsFileTextOf(const SettingsRecord& record, std::string& problem,
                               Language language);

// Keeps `record`, read from the device at `address`, in `folder`/ADDRESS/TIME.qvs (UTC to the
// millisecond), through the safe replace of settings files. The problem (in `language`), or
// empty.
std::string SaveHistory(const std::filesystem::path& folder, std::string_view address,
                        const SettingsRecord& record, Language language);

// The history files of the device at `address`, oldest first. None, with the reason in
// `problem`, when the history folder, the device's folder or one of the files is not the user's
// own alone (NotPrivateProblem).
std::vector<std::filesystem::path> HistoryFiles(const std::filesystem::path& folder,
                                                std::string_view address, std::string& problem,
                                                Language language);

}  // namespace calbrin
