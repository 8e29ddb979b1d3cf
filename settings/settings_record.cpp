// Bounded access to the fixed-width fields of a SettingsRecord.
#include "settings/settings_record.h"

#include <algorithm>
#include <cstring>

namespace calbrin {
namespace {

char* FieldStart(SettingsRecord& record, int index) {
  return record.bytes.data() + FieldOffset(index);
}

}  // namespace

void ClearRecord(SettingsRecord& record) {
  record.bytes.fill('\0');
}

void ClearField(SettingsRecord& record, int index) {
  std::memset(FieldStart(record, index), 0, FieldWidth(index));
}

bool SetField(SettingsRecord& record, int index, std::string_view text) {
  ClearField(record, index);
  const std::size_t count = std::min(text.size(), FieldWidth(index));
  std::memcpy(FieldStart(record, index), text.data(), count);
  return count == text.size();
}

std::string_view ReadField(const SettingsRecord& record, int index) {
  const char* start = record.bytes.data() + FieldOffset(index);
  const std::size_t width = FieldWidth(index);
  const void* nul = std::memchr(start, '\0', width);
  const std::size_t length =
      nul == nullptr ? width : static_cast<std::size_t>(static_cast<const char*>(nul) - start);
  return {start, length};
}

}  // namespace calbrin
