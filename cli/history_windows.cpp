// The history folder on Windows: under %LOCALAPPDATA%, the user's own profile, whose access list
// already keeps other users out.
#include "cli/history.h"
#include "cli/utf8_path.h"

namespace calbrin {

std::filesystem::path DefaultHistoryFolder(CliIo& io) {
  if (const auto data = io.Environment("LOCALAPPDATA"); data && !data->empty())
    return PathFromUtf8(*data) / "Calbrin" / "history";
  return {};
}

bool MakePrivateFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return !error;
}

std::string NotPrivateProblem(const std::filesystem::path&, bool, Language) {
  return {};
}

bool MakePrivateFile(const std::filesystem::path&) {
  return true;
}

}  // namespace calbrin
