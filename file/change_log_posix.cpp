// The change log's platform part on Linux: the data folder under XDG_DATA_HOME (or
// ~/.local/share), names from the system, and appends with O_APPEND and fsync.
#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "file/change_log.h"

namespace calbrin {

std::filesystem::path UserDataFolder(
    const std::function<std::optional<std::string>(const std::string&)>& environment) {
  if (const auto data = environment("XDG_DATA_HOME"); data && !data->empty())
    return std::filesystem::path(*data) / "calbrin";
  if (const auto home = environment("HOME"); home && !home->empty())
    return std::filesystem::path(*home) / ".local" / "share" / "calbrin";
  return {};
}

std::string CurrentUserName() {
  // The account of the effective user: what the file's owner will be, whatever LOGNAME says.
  // getpwuid_r: a fleet's threads ask at once, and getpwuid shares one buffer among them.
  passwd entry{};
  passwd* found = nullptr;
  char buffer[4096];
  if (getpwuid_r(geteuid(), &entry, buffer, sizeof buffer, &found) == 0 && found != nullptr &&
      found->pw_name != nullptr)
    return found->pw_name;
  return std::to_string(geteuid());
}

std::string ComputerName() {
  char name[256] = {};
  if (gethostname(name, sizeof name - 1) != 0) return {};
  return name;
}

bool MakeUserFolder(const std::filesystem::path& folder) {
  // Each missing folder is made 0700 from the start, whatever the umask.
  std::filesystem::path made;
  for (const std::filesystem::path& part : folder) {
    made /= part;
    if (mkdir(made.c_str(), 0700) != 0 && errno != EEXIST) return false;
  }
  return std::filesystem::is_directory(folder) && chmod(folder.c_str(), 0700) == 0;
}

bool OwnedByUserAlone(const std::filesystem::path& path) {
  struct stat entry {};
  struct stat target {};
  if (lstat(path.c_str(), &entry) != 0) return true;
  const bool linkTargetFound = stat(path.c_str(), &target) == 0;
  if (entry.st_uid != geteuid() || (linkTargetFound && target.st_uid != geteuid())) return false;
  const mode_t mode = S_ISLNK(entry.st_mode) ? target.st_mode : entry.st_mode;
  return (mode & (S_IWGRP | S_IWOTH)) == 0;
}

bool AppendWholeLine(const std::filesystem::path& file, std::string_view line) {
  const int fd = open(file.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0600);
  if (fd < 0) return false;
  // One write of the whole line: with O_APPEND it lands after every earlier line, and a crash
  // leaves at most this line torn. A short write is reported, never completed by a second write
  // that another writer's line could come between.
  ssize_t written;
  do {
    written = write(fd, line.data(), line.size());
  } while (written < 0 && errno == EINTR);
  const bool whole = written == static_cast<ssize_t>(line.size());
  const bool synced = fsync(fd) == 0;
  const bool closed = close(fd) == 0;
  return whole && synced && closed;
}

void SyncFolder(const std::filesystem::path& folder) {
  const int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  fsync(fd);
  close(fd);
}

}  // namespace calbrin
