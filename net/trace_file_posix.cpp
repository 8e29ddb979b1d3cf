// The trace file on POSIX systems: opened without following a link, kept only when it is a
// regular file of this user's, then made 0600 and emptied.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/wire_trace.h"

namespace calbrin {

std::intptr_t OpenTraceFile(const std::filesystem::path& path, std::string& error) {
  // No O_TRUNC: another user's file must not be emptied before its owner is checked.
  const int file = open(path.c_str(), O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0600);
  if (file < 0) {
    error = std::strerror(errno);
    return -1;
  }
  struct stat status {};
  if (fstat(file, &status) != 0 || !S_ISREG(status.st_mode) || status.st_uid != geteuid()) {
    error = std::strerror(EPERM);
  } else if (fchmod(file, 0600) != 0 || ftruncate(file, 0) != 0) {
    error = std::strerror(errno);
  } else {
    return file;
  }
  close(file);
  return -1;
}

void WriteTraceFile(std::intptr_t file, std::string_view text) {
  // One write a line (O_APPEND is not needed: only this process writes, under the trace's lock).
  while (!text.empty()) {
    const ssize_t written = write(static_cast<int>(file), text.data(), text.size());
    if (written < 0 && errno == EINTR) continue;
    if (written <= 0) return;  // a full disk loses trace lines, never the device's dialogue
    text.remove_prefix(static_cast<std::size_t>(written));
  }
}

void CloseTraceFile(std::intptr_t file) {
  close(static_cast<int>(file));
}

}  // namespace calbrin
