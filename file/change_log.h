// The change log: one JSON line per write to one device, appended to the user's own file so that
// who changed what, where and when can be read back later, whichever program wrote.
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace calbrin {

// A size bound: a line that would take the current file past it moves the file aside first.
constexpr std::uintmax_t kChangeLogMaxBytes = 4 * 1024 * 1024;
// The files moved aside that are kept (changes.1.jsonl newest ... changes.N.jsonl oldest).
constexpr int kChangeLogKeptFiles = 8;
constexpr std::string_view kChangeLogName = "changes.jsonl";

struct ChangedKey {
  std::string key;     // the device's key ("MSS"), or "PASSWORD" for the settings password
  std::string label;   // the pages' label, in English
  std::string before;  // the pages' meanings, in English; empty for a password
  std::string after;
  bool password = false;  // only "changed": true is logged, never a value
};

struct ChangeRecord {
  std::string time;  // UTC, ISO 8601: 2026-12-07T05:41:12.345Z
  std::string user;
  std::string host;
  std::string program;  // "calbrin-cli", "calbrin"
  std::string version;
  std::string command;  // "set", "put", ... ; "apply" for the windows
  std::string address;
  std::string mac;     // empty when unknown
  std::string model;   // empty when unknown
  std::string result;  // "written", "failed", ... as the write reports it
  std::vector<ChangedKey> keys;
};

// `now` as the record's time.
std::string ChangeLogTime(std::chrono::system_clock::time_point now);

// The record as one line of JSON, without the line break.
std::string ChangeRecordLine(const ChangeRecord& record);
// The record of one line as ChangeRecordLine writes it; nothing when it does not parse.
std::optional<ChangeRecord> ParseChangeRecord(std::string_view line);

// What an append did.
enum class ChangeLogAppend {
  kAppended,
  kFolderNotPrivate,  // the folder or the file is another user's, or others may write it
  kNotWritten,        // the folder, the rotation or the write failed: the record is not kept
};

// The user's change log file: appends are serialised within the process and each is one write
// of the whole line followed by a flush to the disk, so that a crash leaves every earlier line
// whole.
class ChangeLog {
 public:
  explicit ChangeLog(std::filesystem::path file, std::uintmax_t maxBytes = kChangeLogMaxBytes,
                     int keptFiles = kChangeLogKeptFiles)
      : file_(std::move(file)), maxBytes_(maxBytes), keptFiles_(keptFiles) {}

  const std::filesystem::path& File() const { return file_; }
  // Appends the record. `dropped` names the oldest kept file when rotation had to remove it.
  ChangeLogAppend Append(const ChangeRecord& record, std::filesystem::path& dropped);

 private:
  bool Rotate(std::filesystem::path& dropped);

  std::filesystem::path file_;
  std::uintmax_t maxBytes_;
  int keptFiles_;
  std::mutex mutex_;
};

// The file that rotation moves `file` (changes.jsonl) to as its `n`-th: changes.N.jsonl.
std::filesystem::path RotatedChangeLog(const std::filesystem::path& file, int n);
// The existing files of the log `file`, oldest first: the rotated ones, then `file`.
std::vector<std::filesystem::path> ChangeLogFiles(const std::filesystem::path& file,
                                                  int keptFiles = kChangeLogKeptFiles);

// What the platform gives: the user's data folder of this program (where the history lives too;
// empty when `environment` names none), the user's and the computer's names.
std::filesystem::path UserDataFolder(
    const std::function<std::optional<std::string>(const std::string&)>& environment);
std::string CurrentUserName();
std::string ComputerName();

// Makes `folder` and the folders on the way, readable by the user alone where the platform lets a
// program say so; false when it cannot.
bool MakeUserFolder(const std::filesystem::path& folder);
// False when `path` exists and belongs to another user or others may write it.
bool OwnedByUserAlone(const std::filesystem::path& path);
// Appends `line` to `file` (made readable by the user alone) with one write, then flushes it to
// the disk; false when any of it failed.
bool AppendWholeLine(const std::filesystem::path& file, std::string_view line);
// Flushes the folder's entries (a rename in it) to the disk where the platform needs that.
void SyncFolder(const std::filesystem::path& folder);

}  // namespace calbrin
