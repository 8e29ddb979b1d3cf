// The history's files on Linux: for the user alone.
#include <sys/stat.h>
#include <unistd.h>

#include "file/history.h"

#include "file/utf8_path.h"
#include "settings/messages.h"

namespace calbrin {

std::string NotPrivateProblem(const std::filesystem::path& path, bool file, Language language) {
  // Both the entry itself and what a link leads to must be the user's.
  struct stat entry {};
  struct stat target {};
  if (lstat(path.c_str(), &entry) != 0) return {};
  const bool linkTargetFound = stat(path.c_str(), &target) == 0;
  using enum MessageId;
  if (entry.st_uid != geteuid() || (linkTargetFound && target.st_uid != geteuid()))
    return FormatMessageText(file ? kHistoryFileOthers : kHistoryFolderOthers, language,
                             {Utf8FromPath(path)});
  const mode_t mode = S_ISLNK(entry.st_mode) ? target.st_mode : entry.st_mode;
  if ((mode & (S_IWGRP | S_IWOTH)) != 0)
    return FormatMessageText(file ? kHistoryFileWritable : kHistoryFolderWritable, language,
                             {Utf8FromPath(path)});
  return {};
}

bool MakePrivateFile(const std::filesystem::path& file) {
  return chmod(file.c_str(), 0600) == 0;
}

}  // namespace calbrin
