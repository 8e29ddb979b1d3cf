// The standard streams, terminal and environment through the wide console and environment
// functions, so that Japanese text survives any console code page and any ANSI code page.
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <iterator>

#include "cli/platform_io.h"
#include "cli/utf16_windows.h"

namespace calbrin {
namespace {

// Older consoles refuse one large write; pieces of this many UTF-16 units always pass.
constexpr std::size_t kConsoleWriteUnits = 4096;

// The console behind `stream`, or nothing when it goes to a pipe or file.
HANDLE ConsoleOf(std::FILE* stream) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
  DWORD mode = 0;
  if (handle == INVALID_HANDLE_VALUE || !GetConsoleMode(handle, &mode)) return nullptr;
  return handle;
}

}  // namespace

struct EchoOff::Saved {
  HANDLE input = nullptr;
  DWORD mode = 0;
};

// A console, not just any character device: _isatty also says yes to NUL.
bool IsTerminal(std::FILE* stream) {
  return ConsoleOf(stream) != nullptr;
}

void WriteText(std::FILE* stream, std::string_view text) {
  HANDLE console = ConsoleOf(stream);
  if (console == nullptr) {
    std::fwrite(text.data(), 1, text.size(), stream);
    std::fflush(stream);
    return;
  }
  std::fflush(stream);
  const std::wstring wide = Utf16FromUtf8(text);
  for (std::size_t at = 0; at < wide.size();) {
    std::size_t units = (std::min)(kConsoleWriteUnits, wide.size() - at);
    // A surrogate pair stays in one piece.
    if (at + units < wide.size() && IS_HIGH_SURROGATE(wide[at + units - 1])) --units;
    DWORD written = 0;
    if (!WriteConsoleW(console, wide.data() + at, static_cast<DWORD>(units), &written, nullptr))
      return;
    at += units;
  }
}

std::optional<std::string> ReadInputLine() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(input, &mode)) {
    std::string line;
    if (!std::getline(std::cin, line)) return std::nullopt;
    return line;
  }
  std::wstring line;
  wchar_t buffer[256];
  DWORD read = 0;
  while (line.empty() || line.back() != L'\n') {
    if (!ReadConsoleW(input, buffer, static_cast<DWORD>(std::size(buffer)), &read, nullptr) ||
        read == 0) {
      break;
    }
    line.append(buffer, read);
  }
  // Ctrl+Z at the start of a line ends the console's input.
  if (line.empty() || line.front() == L'\x1a') return std::nullopt;
  while (!line.empty() && (line.back() == L'\n' || line.back() == L'\r'))
    line.pop_back();
  return Utf8FromUtf16(line);
}

std::optional<std::string> EnvironmentValue(const std::string& name) {
  const std::wstring wideName = Utf16FromUtf8(name);
  std::wstring value(64, L'\0');
  for (;;) {
    SetLastError(ERROR_SUCCESS);
    const DWORD length =
        GetEnvironmentVariableW(wideName.c_str(), value.data(), static_cast<DWORD>(value.size()));
    if (length == 0 && GetLastError() == ERROR_ENVVAR_NOT_FOUND) return std::nullopt;
    if (length < value.size()) {
      value.resize(length);
      return Utf8FromUtf16(value);
    }
    value.resize(length);  // the size it needs, its terminating zero included
  }
}

EchoOff::EchoOff() {
  HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
  DWORD mode = 0;
  if (!GetConsoleMode(input, &mode)) return;
  if (SetConsoleMode(input, mode & ~static_cast<DWORD>(ENABLE_ECHO_INPUT)))
    saved_ = std::make_unique<Saved>(Saved{input, mode});
}

EchoOff::~EchoOff() {
  if (saved_) SetConsoleMode(saved_->input, saved_->mode);
}

int RaiseOpenFileLimit() {
  // Sockets are kernel handles, not entries of the C library's descriptor table: the system
  // sets no per-process count for them short of its memory.
  return 1 << 16;
}

}  // namespace calbrin
