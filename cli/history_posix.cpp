// The history folder on Linux: under XDG_DATA_HOME, or ~/.local/share; files for the user alone.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "cli/history.h"

#include "cli/cli_texts.h"

namespace calbrin {

std::filesystem::path DefaultHistoryFolder(CliIo& io) {
  if (const auto data = io.Environment("XDG_DATA_HOME"); data && !data->empty())
    return std::filesystem::path(*data) / "calbrin" / "history";
  if (const auto home = io.Environment("HOME"); home && !home->empty())
    return std::filesystem::path(*home) / ".local" / "share" / "calbrin" / "history";
  return {};
}

bool MakePrivateFolder(const std::filesystem::path& folder) {
  // Each missing folder is made 0700 from the start, whatever the umask: create_directories
  // would leave the parents it makes to the umask (0775 with umask 002).
  std::filesystem::path made;
  for (const std::filesystem::path& part : folder) {
    made /= part;
    if (mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return std::filesystem::is_directory(folder) && chmod(folder.c_str(), 0700) == 0;
}

std::string NotPrivateProblem(const std::filesystem::path& path, bool file, Language language) {
  // Both the entry itself and what a link leads to must be the user's.
  struct stat entry {};
  struct stat target {};
  if (lstat(path.c_str(), &entry) != 0) return {};
  const bool linkTargetFound = stat(path.c_str(), &target) == 0;
  using enum CliText;
  if (entry.st_uid != geteuid() || (linkTargetFound && target.st_uid != geteuid()))
    return Text(file ? kHistoryFileOthers : kHistoryFolderOthers, language, {path.string()});
  const mode_t mode = S_ISLNK(entry.st_mode) ? target.st_mode : entry.st_mode;
  if ((mode & (S_IWGRP | S_IWOTH)) != 0)
    return Text(file ? kHistoryFileWritable : kHistoryFolderWritable, language, {path.string()});
  return {};
}

bool MakePrivateFile(const std::filesystem::path& file) {
  return chmod(file.c_str(), 0600) == 0;
}

}  // namespace calbrin
