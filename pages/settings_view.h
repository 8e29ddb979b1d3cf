// The settings as the pages show them, for the command line and commissioning: each field's page,
// its label and what its value means, and the differences between two records.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "settings/language.h"
#include "settings/settings_record.h"

namespace calbrin {

struct SettingView {
  SettingKey key;
  std::string page;     // "共通", "LAN(1)", ... ; "" for the model
  std::string label;    // the pages' label of the field; "MODEL" for the model
  std::string meaning;  // the value as the pages show it; passwords only as set or not
  std::string value;    // the stored text; empty for passwords, which are never shown
  bool password = false;
  // The meaning is the stored text itself (a number, an address, a code no item reads): bytes
  // from the device or a file, to be shown with TerminalText and written with JsonBytes.
  bool meaningIsValue = false;
  bool passwordSet = false;  // a password field that holds a password
};

// Every field of `record`, page by page in the order of the pages' fields, after the model; page,
// label and meaning in `language`.
std::vector<SettingView> ViewSettings(const SettingsRecord& record,
                                      Language language = Language::kJapanese);

// The view of `key` holding the stored text `value`, in `language`: as ViewSettings shows it. A key
// that no page shows is viewed by its name, its value as its meaning.
SettingView ViewSetting(SettingKey key, std::string_view value, Language language);

// The meaning for the terminal: a stored text with its control and other non-ASCII bytes escaped.
std::string ShownMeaning(const SettingView& view);

struct SettingDifference {
  SettingView before;
  SettingView after;
};

// The fields whose values differ, viewed in `language`; channel passwords are compared
// unscrambled.
std::vector<SettingDifference> DifferentSettings(const SettingsRecord& before,
                                                 const SettingsRecord& after,
                                                 Language language = Language::kJapanese);

// The record that the windows would write for `record`: its values as the pages show and collect
// them (file form). A record whose pages fail a check is returned as it is.
SettingsRecord NormalisedSettings(const SettingsRecord& record);

}  // namespace calbrin
