// Whole files as bytes, and the text that a settings file holds, for the tests of settings files.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "settings/settings_text.h"

namespace calbrin::test {

inline std::filesystem::path WriteFileBytes(const std::filesystem::path& path,
                                            std::string_view bytes) {
  std::ofstream(path, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  return path;
}

inline std::string ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), {}};
}

// What a save of `record` writes: all 65 pairs, whichever the model.
inline std::string SettingsFileText(const SettingsRecord& record) {
  SettingsText text;
  SerializeSettings(record, true, false, text);
  return std::string(text.View());
}

}  // namespace calbrin::test
