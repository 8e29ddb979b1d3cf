// Reading and applying the KEY=VALUE changes of calbrin-cli's `set`.
#include "cli/setting_changes.h"

#include "cli/settings_view.h"
#include "settings/device_model.h"

namespace calbrin {

bool ReadSettingChanges(std::span<const std::string> pairs, std::vector<SettingChange>& changes,
                        std::string& problem) {
  for (const std::string& pair : pairs) {
    const std::size_t equals = pair.find('=');
    const std::string key = pair.substr(0, equals);
    int index = -1;
    for (int k = 0; k < kSettingKeyCount; ++k) {
      if (KeyText(k) == key) index = k;
    }
    if (equals == std::string::npos) {
      problem = pair + ": give KEY=VALUE";
    } else if (index < 0) {
      problem = key + ": no such setting";
    } else if (index == Index(SettingKey::MODEL)) {
      problem = "MODEL cannot be set";
    } else if (index == Index(SettingKey::PASS1) || index == Index(SettingKey::PASS2)) {
      problem = key + ": passwords are never taken from the command line; use put";
    } else if (pair.size() - equals - 1 > FieldWidth(index)) {
      problem = pair + ": longer than its field (" + std::to_string(FieldWidth(index)) + ")";
    } else if (pair.find_first_of("\r\n", equals) != std::string::npos) {
      // A line break would end the value line early and put the rest where the device reads keys.
      problem = key + ": a value cannot hold a line break";
    }
    if (!problem.empty()) return false;
    changes.push_back({index, pair.substr(equals + 1)});
  }
  return true;
}

std::string ApplySettingChanges(const std::vector<SettingChange>& changes, SettingsRecord& target,
                                SettingsRecord& shown) {
  for (const auto& [index, value] : changes)
    SetField(target, index, value);
  // A value the pages of this model cannot show would not survive the windows either.
  shown = NormalisedSettings(target);
  for (const auto& [index, value] : changes) {
    if (ReadField(shown, index) != value) {
      return std::string(KeyText(index)) + "=" + value + ": not offered by the " +
             std::string(ModelNameText(ModelOf(ReadField(target, SettingKey::MODEL)))) +
             " (it would be written as \"" + std::string(ReadField(shown, index)) + "\")";
    }
  }
  return "";
}

}  // namespace calbrin
