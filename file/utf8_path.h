// File names as the command line and the logs hold them, UTF-8 text, made into paths.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace calbrin {

// The path that the UTF-8 text `name` names. Built from the text's characters: a path built from
// a plain string would read its bytes in Windows' ANSI code page and so lose every Japanese name.
inline std::filesystem::path PathFromUtf8(std::string_view name) {
  return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

// The UTF-8 text of `path`, for messages and logs: path::string() would give Windows' ANSI code
// page, or fail, for a Japanese name.
inline std::string Utf8FromPath(const std::filesystem::path& path) {
  const std::u8string name = path.u8string();
  return std::string(name.begin(), name.end());
}

}  // namespace calbrin
