// Reading and applying the KEY=VALUE changes of calbrin-cli's `set`.
#include "cli/setting_changes.h"

#include "cli/cli_texts.h"
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
      problem = Text(CliText::kGiveKeyValue, language, {pair});
    } else if (index < 0) {
      problem = Text(CliText::kNoSuchSetting, language, {key});
    } else if (index == Index(SettingKey::MODEL)) {
      problem = Text(CliText::kModelNotSettable, language);
    } else if (index == Index(SettingKey::PASS1) || index == Index(SettingKey::PASS2)) {
      problem = Text(CliText::kPasswordNotSettable, language, {key});
    } else if (pair.size() - equals - 1 > FieldWidth(index)) {
      problem =
          Text(CliText::kLongerThanField, language, {pair, std::to_string(FieldWidth(index))});
    } else if (pair.find_first_of("\r\n", equals) != std::string::npos) {
      // A line break would end the value line early and put the rest where the device reads keys.
      problem = Text(CliText::kNoLineBreak, language, {key});
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
      return Text(
          CliText::kPagesWouldWrite, language,
          {KeyText(index), value, ModelNameText(ModelOf(ReadField(target, SettingKey::MODEL))),
           ReadField(shown, index)});
    }
  }
  return "";
}

}  // namespace calbrin
