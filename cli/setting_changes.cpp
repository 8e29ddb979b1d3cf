// Reading and applying the KEY=VALUE changes of calbrin-cli's `set`.
#include "cli/setting_changes.h"

#include "pages/settings_view.h"
#include "pages/value_checks.h"
#include "settings/device_model.h"

namespace calbrin {

bool ReadSettingChanges(std::span<const std::string> pairs, Language language,
                        std::vector<SettingChange>& changes, std::string& problem) {
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
    } else if (const auto bad =
                   CheckSettingValue(index, pair.substr(equals + 1), false, language)) {
      // The full lists hold every code of a QV-57R's channel 2, so no model takes this value;
      // a code that only that channel lacks waits for the device (ApplySettingChanges).
      problem = bad->Message();
    }
    if (!problem.empty()) return false;
    changes.push_back({index, pair.substr(equals + 1)});
  }
  return true;
}

std::string ApplySettingChanges(const std::vector<SettingChange>& changes, Language language,
                                SettingsRecord& target, SettingsRecord& shown) {
  const bool reduced = SecondChannelReduced(ReadField(target, SettingKey::MODEL));
  for (const auto& [index, value] : changes) {
    if (const auto problem = CheckSettingValue(index, value, reduced, language))
      return problem->Message();
  }
  for (const auto& [index, value] : changes)
    SetField(target, index, value);
  // A value that passes alone may still not survive the windows beside the others (a client
  // condition while server mode is on): the pages of this model would write something else.
  shown = NormalisedSettings(target);
  for (const auto& [index, value] : changes) {
    if (ReadField(shown, index) != value) {
      return std::string(KeyText(index)) + "=" + value + ": the pages of the " +
             std::string(ModelNameText(ModelOf(ReadField(target, SettingKey::MODEL)))) +
             " would write \"" + std::string(ReadField(shown, index)) +
             "\" beside the other settings";
    }
  }
  return "";
}

}  // namespace calbrin
