// The history folder on Linux: under XDG_DATA_HOME, or ~/.local/share; files for the user alone.
#include <sys/stat.h>

#include "cli/history.h"

namespace calbrin {

std::filesystem::path DefaultHistoryFolder(CliIo& io) {
  if (const auto data = io.Environment("XDG_DATA_HOME"); data && !data->empty())
    return std::filesystem::path(*data) / "calbrin" / "history";
  if (const auto home = io.Environment("HOME"); home && !home->empty())
    return std::filesystem::path(*home) / ".local" / "share" / "calbrin" / "history";
  return {};
}

bool MakePrivateFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return !error && chmod(folder.c_str(), 0700) == 0;
}

bool MakePrivateFile(const std::filesystem::path& file) {
  return chmod(file.c_str(), 0600) == 0;
}

}  // namespace calbrin
