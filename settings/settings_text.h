// SettingsText and the codec between a SettingsRecord and its text of key and value lines.
#pragma once

#include <array>
#include <optional>
#include <string_view>

#include "settings/settings_record.h"

namespace calbrin {

// One serialised settings text: 2048 bytes, always NUL-terminated, and the count of bytes held.
struct SettingsText {
  static constexpr int kCapacity = 2048;

  std::array<char, kCapacity> bytes{};
  int length = 0;

  void Clear();
  // Appends as much of `text` as fits before the terminator; returns false when it was cut.
  bool Append(std::string_view text);
  std::string_view View() const { return {bytes.data(), static_cast<std::size_t>(length)}; }
};

// The save commands that follow the pairs of a device write.
inline constexpr std::string_view kSaveAndContinueCommand = "SAVE\r\n";
inline constexpr std::string_view kSaveAndEndCommand = "ENDR\r\n";

// Fills `out` with one key line and one value line per field, in key order, each ended by CR LF.
// A device write (`includeFileOnlyKeys` false) leaves out MODEL and CDRV1, and CDRV2 unless the
// open device's channel 2 is the reduced one; a file holds all 65 pairs.
void SerializeSettings(const SettingsRecord& record, bool includeFileOnlyKeys,
                       bool secondChannelReduced, SettingsText& out);

// Reads a settings text into `record`, field by field and without clearing it first:
//  - a key that occurs nowhere in the text (not even inside another key) clears its field;
//  - a key without a line of its own, or whose value line is empty, leaves the field as it was;
//  - a value longer than its field stops the parse: the result is that field's index and every
//    field from it on is untouched.
// Returns kSettingKeyCount (65) when every key was handled. The text ends at its first NUL.
int ParseSettings(std::string_view text, SettingsRecord& record);

// The value after the first occurrence of `needle`: the two characters right after the needle are
// skipped unread (the CR LF of a key line), and the value runs to the next CR or the end of the
// text. Empty when fewer than two characters follow the needle; nullopt when there is no needle.
std::optional<std::string_view> FindSettingValue(std::string_view text, std::string_view needle);

}  // namespace calbrin
