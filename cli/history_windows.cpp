// The history folder on Windows: under %LOCALAPPDATA%, the user's own profile, whose access list
// already keeps other users out.
#include "cli/history.h"
#include "file/change_log.h"

namespace calbrin {

std::filesystem::path DefaultHistoryFolder(CliIo& io) {
  const std::filesystem::path data =
      UserDataFolder([&io](const std::string& name) { return io.Environment(name); });
  return data.empty() ? data : data / "history";
}

bool MakePrivateFolder(const std::filesystem::path& folder) {
  return MakeUserFolder(folder);
}

std::string NotPrivateProblem(const std::filesystem::path&, bool, Language) {
  return {};
}

bool MakePrivateFile(const std::filesystem::path&) {
  return true;
}

}  // namespace calbrin
