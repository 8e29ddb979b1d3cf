// Helpers that build settings records and texts for the unit tests.
#pragma once

#include <random>
#include <string>

#include "settings/settings_record.h"

namespace calbrin::test {

// A record whose every field holds random characters from a key-safe alphabet, each field of a
// random length from 0 to its full width.
inline SettingsRecord RandomRecord(std::mt19937& rng) {
  static constexpr std::string_view kAlphabet =
      "0123456789abcdefghijklmnopqrstuvwxyz.!#$%&()*+,-/:;<=>?@[]^_{|}~";
  std::uniform_int_distribution<std::size_t> letter(0, kAlphabet.size() - 1);
  SettingsRecord record;
  for (int i = 0; i < kSettingKeyCount; ++i) {
    std::string value(std::uniform_int_distribution<std::size_t>(0, FieldWidth(i))(rng), ' ');
    for (char& c : value)
      c = kAlphabet[letter(rng)];
    SetField(record, i, value);
  }
  return record;
}

// A record whose every field is filled to its full width with one letter.
inline SettingsRecord FullWidthRecord(char fill = 'x') {
  SettingsRecord record;
  for (int i = 0; i < kSettingKeyCount; ++i)
    SetField(record, i, std::string(FieldWidth(i), fill));
  return record;
}

}  // namespace calbrin::test
