// The history of writes: before calbrin-cli writes a device, the settings it just read from it are
// kept as a settings file, one folder per device address, the time in the file's name, so that
// any write can be undone with restore.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli_io.h"
#include "settings/language.h"
#include "settings/settings_record.h"

namespace calbrin {

// The user's own history folder: under the user's data directory on this platform. Empty when
// the environment names none.
std::filesystem::path DefaultHistoryFolder(CliIo& io);

// Makes `folder` exist: every folder it creates on the way, and `folder` itself, readable by the
// user alone where the platform lets a program say so. False when it cannot be made.
bool MakePrivateFolder(const std::filesystem::path& folder);
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
