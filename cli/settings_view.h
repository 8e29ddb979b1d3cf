// The settings as the pages show them, for the command line: each field's page, its label and
// what its value means, and the differences between two records.
#pragma once

#include <string>
#include <vector>

#include "settings/settings_record.h"

namespace calbrin {

struct SettingView {
  SettingKey key;
  std::string page;     // "共通", "LAN(1)", ... ; "" for the model
  std::string label;    // the pages' label of the field
  std::string meaning;  // the value as the pages show it; passwords only as set or not
  std::string value;    // the stored text; empty for passwords, which are never shown
  bool password = false;
};

// Every field of `record` in key order.
std::vector<SettingView> ViewSettings(const SettingsRecord& record);

struct SettingDifference {
  SettingView before;
  SettingView after;
};

// The fields whose values differ; channel passwords are compared unscrambled.
std::vector<SettingDifference> DifferentSettings(const SettingsRecord& before,
                                                 const SettingsRecord& after);

// The record that the windows would write for `record`: its values as the pages show and collect
// them (file form). A record whose pages fail a check is returned as it is.
SettingsRecord NormalisedSettings(const SettingsRecord& record);

}  // namespace calbrin
