// The change log's platform part on Windows: the data folder under %LOCALAPPDATA% (the user's own
// profile, whose access list already keeps other users out), names from the system, and appends
// with FILE_APPEND_DATA and FlushFileBuffers.
#include <windows.h>

#include "file/change_log.h"

namespace calbrin {
namespace {

std::string Utf8Of(const wchar_t* text, int length) {
  const int size = WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(static_cast<std::size_t>(size > 0 ? size : 0), '\0');
  if (size > 0) WideCharToMultiByte(CP_UTF8, 0, text, length, out.data(), size, nullptr, nullptr);
  return out;
}

}  // namespace

std::filesystem::path UserDataFolder(
    const std::function<std::optional<std::string>(const std::string&)>& environment) {
  if (const auto data = environment("LOCALAPPDATA"); data && !data->empty())
    return std::filesystem::path(std::u8string(data->begin(), data->end())) / "Calbrin";
  return {};
}

std::string CurrentUserName() {
  wchar_t name[257] = {};
  DWORD size = 257;
  if (!GetUserNameW(name, &size) || size == 0) return {};
  return Utf8Of(name, static_cast<int>(size - 1));
}

std::string ComputerName() {
  wchar_t name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = MAX_COMPUTERNAME_LENGTH + 1;
  if (!GetComputerNameW(name, &size)) return {};
  return Utf8Of(name, static_cast<int>(size));
}

bool MakeUserFolder(const std::filesystem::path& folder) {
  std::error_code error;
  std::filesystem::create_directories(folder, error);
  return !error && std::filesystem::is_directory(folder, error);
}

bool OwnedByUserAlone(const std::filesystem::path&) {
  return true;
}

bool AppendWholeLine(const std::filesystem::path& file, std::string_view line) {
  // FILE_APPEND_DATA alone: every write lands at the end, after every earlier line.
  const HANDLE handle =
      CreateFileW(file.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return false;
  DWORD written = 0;
  const bool whole =
      WriteFile(handle, line.data(), static_cast<DWORD>(line.size()), &written, nullptr) != 0 &&
      written == line.size();
  const bool flushed = FlushFileBuffers(handle) != 0;
  CloseHandle(handle);
  return whole && flushed;
}

void SyncFolder(const std::filesystem::path&) {}

}  // namespace calbrin
