// The trace file on Windows: made in the user's own folders, whose access list keeps other users
// out; a reparse point (a link) at the name is opened as itself and so never followed.
#include <windows.h>

#include "net/wire_trace.h"

namespace calbrin {

std::intptr_t OpenTraceFile(const std::filesystem::path& path, std::string& error) {
  const HANDLE file =
      CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                  FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    error = "Windows error " + std::to_string(GetLastError());
    return -1;
  }
  return reinterpret_cast<std::intptr_t>(file);
}

void WriteTraceFile(std::intptr_t file, std::string_view text) {
  DWORD written = 0;
  WriteFile(reinterpret_cast<HANDLE>(file), text.data(), static_cast<DWORD>(text.size()), &written,
            nullptr);
}

void CloseTraceFile(std::intptr_t file) {
  CloseHandle(reinterpret_cast<HANDLE>(file));
}

}  // namespace calbrin
