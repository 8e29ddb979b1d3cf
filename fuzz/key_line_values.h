// Records whose file text is ambiguous: the parser, like the device, takes the first line that
// starts with a key as that key's line, so a value line that begins with a later key (or holds a
// line feed and then one) is read as that key's line. The round-trip properties exclude them.
#pragma once

#include <array>
#include <string>

#include "settings/settings_record.h"

namespace calbrin::fuzz {

inline bool ValueHoldsLaterKeyLine(const SettingsRecord& record) {
  static const std::array<std::string, kSettingKeyCount> kLineKeys = [] {
    std::array<std::string, kSettingKeyCount> keys;
    for (int k = 0; k < kSettingKeyCount; ++k)
      keys[static_cast<std::size_t>(k)] = "\n" + std::string(KeyText(k));
    return keys;
  }();
  std::string line;
  for (int i = 0; i < kSettingKeyCount; ++i) {
    line = "\n";
    line += ReadField(record, i);
    for (int k = i + 1; k < kSettingKeyCount; ++k) {
      if (line.find(kLineKeys[static_cast<std::size_t>(k)]) != std::string::npos) return true;
    }
  }
  return false;
}

}  // namespace calbrin::fuzz
