// The settings text codec: serialising records for devices and files, and parsing device answers
// and files back into records.
#include "settings/settings_text.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace calbrin {
namespace {

constexpr std::string_view kLineEnd = "\r\n";

bool IsWrittenToDevice(int index, bool secondChannelReduced) {
  if (index == Index(SettingKey::MODEL) || index == Index(SettingKey::CDRV1)) return false;
  if (index == Index(SettingKey::CDRV2)) return secondChannelReduced;
  return true;
}

}  // namespace

void SettingsText::Clear() {
  bytes.fill('\0');
  length = 0;
}

bool SettingsText::Append(std::string_view text) {
  const std::size_t room = static_cast<std::size_t>(kCapacity - 1 - length);
  const std::size_t count = std::min(room, text.size());
  std::memcpy(bytes.data() + length, text.data(), count);
  length += static_cast<int>(count);
  bytes[static_cast<std::size_t>(length)] = '\0';
  return count == text.size();
}

void SerializeSettings(const SettingsRecord& record, bool includeFileOnlyKeys,
                       bool secondChannelReduced, SettingsText& out) {
  out.Clear();
  for (int i = 0; i < kSettingKeyCount; ++i) {
    if (!includeFileOnlyKeys && !IsWrittenToDevice(i, secondChannelReduced)) continue;
    out.Append(KeyText(i));
    out.Append(kLineEnd);
    out.Append(ReadField(record, i));
    out.Append(kLineEnd);
  }
}

std::optional<std::string_view> FindSettingValue(std::string_view text, std::string_view needle) {
  const std::size_t at = text.find(needle);
  if (at == std::string_view::npos) return std::nullopt;
  const std::size_t start = at + needle.size() + 2;
  if (start > text.size()) return std::string_view{};
  const std::string_view rest = text.substr(start);
  return rest.substr(0, rest.find('\r'));
}

int ParseSettings(std::string_view text, SettingsRecord& record) {
  text = text.substr(0, text.find('\0'));
  std::string needle;
  for (int i = 0; i < kSettingKeyCount; ++i) {
    const std::string_view key = KeyText(i);
    if (text.find(key) == std::string_view::npos) {
      ClearField(record, i);
      continue;
    }
    // Every key but the first must start a line, so that HIP1 is never taken for IP.
    needle.clear();
    if (i != 0) needle += '\n';
    needle += key;
    const std::optional<std::string_view> value = FindSettingValue(text, needle);
    if (!value || value->empty()) continue;
    if (value->size() > FieldWidth(i)) return i;
    SetField(record, i, *value);
  }
  return kSettingKeyCount;
}

}  // namespace calbrin
