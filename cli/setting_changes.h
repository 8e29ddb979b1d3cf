// calbrin-cli's single setting changes: the KEY=VALUE arguments of `set`, and the record that the
// windows would write with them.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "settings/language.h"
#include "settings/settings_record.h"

namespace calbrin {

struct SettingChange {
  int index;  // the key's position in the record
  std::string value;
};

// Reads the KEY=VALUE arguments in order. The first one that names no settable key, does not fit
// its field, holds a CR or LF or is a value that no model's pages could store stops the reading:
// its message in `problem` (labels and choices in `language`), and false.
bool ReadSettingChanges(std::span<const std::string> pairs, Language language,
                        std::vector<SettingChange>& changes, std::string& problem);

// Sets the changes in `target` and fills `shown` with the record that the windows would write for
// it. The message of the first change that this model's pages do not offer (a choice that a
// QV-57R's channel 2 lacks, or a value that the other settings make the pages write otherwise),
// or empty; labels and choices in `language`.
std::string ApplySettingChanges(const std::vector<SettingChange>& changes, Language language,
                                SettingsRecord& target, SettingsRecord& shown);

}  // namespace calbrin
