// The history folder on Linux: in the user's data folder; files for the user alone.
#include <sys/stat.h>
#include <unistd.h>

#include "cli/history.h"

#include "cli/cli_texts.h"
#include "file/change_log.h"

namespace calbrin {

std::filesystem::path DefaultHistoryFolder(CliIo& io) {
  const std::filesystem::path data =
      UserDataFolder([&io](const std::string& name) { return io.Environment(name); });
  return data.empty() ? data : data / "history";
}

bool MakePrivateFolder(const std::filesystem::path& folder) {
  // Each missing folder is made 0700 from the start, whatever the umask: create_directories
  // would leave the parents it makes to the umask (0775 with umask 002).
  return MakeUserFolder(folder);
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
