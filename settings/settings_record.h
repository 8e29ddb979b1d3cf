// SettingsRecord: a device's complete configuration as 65 fixed-width text fields.
#pragma once

#include <array>
#include <string_view>

#include "settings/setting_key.h"

namespace calbrin {

// A plain value: the fields lie back to back in key order, each exactly its width. A text shorter
// than the width is NUL-terminated; a text of exactly the width fills the field without a
// terminator. Every access goes through the helpers below, which never cross a field's end.
struct SettingsRecord {
  std::array<char, kRecordBytes> bytes{};

  friend bool operator==(const SettingsRecord&, const SettingsRecord&) = default;
};

// Every byte of every field zero.
void ClearRecord(SettingsRecord& record);

// Zeroes the field, then copies at most its width of characters. Returns false when the text was
// longer than the field and had to be cut.
bool SetField(SettingsRecord& record, int index, std::string_view text);
inline bool SetField(SettingsRecord& record, SettingKey key, std::string_view text) {
  return SetField(record, Index(key), text);
}

// The field's text up to its first NUL or its width, whichever comes first.
std::string_view ReadField(const SettingsRecord& record, int index);
inline std::string_view ReadField(const SettingsRecord& record, SettingKey key) {
  return ReadField(record, Index(key));
}

void ClearField(SettingsRecord& record, int index);

}  // namespace calbrin
