// The 65 setting keys of a device in their fixed order, with the width of each record field.
#pragma once

#include <array>
#include <cstddef>
#include <string_view>

namespace calbrin {

struct SettingKeyInfo {
  std::string_view key;
  std::size_t width;  // bytes of the record field, without any terminator
};

inline constexpr int kSettingKeyCount = 65;

// The order is the field order of a record, the line order of a settings text and the index that
// the parser reports for a rejected value.
// clang-format off
inline constexpr std::array<SettingKeyInfo, kSettingKeyCount> kSettingKeys{{
    {"MODEL", 4},   {"IP", 18},     {"SUBM", 18},   {"GWAY", 18},   {"NEGOS", 3},
    {"MSS", 6},     {"KEEP_A", 4},
    // channel 1
    {"PORT1", 7},   {"HIP1", 18},   {"HPORT1", 7},  {"CBPS1", 8},   {"CBIT1", 3},
    {"CSTOP1", 3},  {"CPAR1", 3},   {"CFLOW1", 3},  {"CXON1", 4},   {"CXOFF1", 4},
    {"CDRV1", 3},   {"PRT1", 3},    {"SMODE1", 3},  {"SPASS1", 3},  {"CMODE1", 3},
    {"CPASS1", 3},  {"DMODE1", 3},  {"PASS1", 43},  {"CCHAR1", 4},  {"DCHAR1", 4},
    {"DTIME1", 6},  {"FLUSH1", 3},  {"P_EN1", 3},   {"PSIZE1", 6},  {"PTIME1", 6},
    {"PCHAR1", 4},  {"PMOJ11", 4},  {"PMOJ21", 4},  {"PTRAL1", 3},
    // channel 2
    {"PORT2", 7},   {"HIP2", 18},   {"HPORT2", 7},  {"CBPS2", 8},   {"CBIT2", 3},
    {"CSTOP2", 3},  {"CPAR2", 3},   {"CFLOW2", 3},  {"CXON2", 4},   {"CXOFF2", 4},
    {"CDRV2", 3},   {"PRT2", 3},    {"SMODE2", 3},  {"SPASS2", 3},  {"CMODE2", 3},
    {"CPASS2", 3},  {"DMODE2", 3},  {"PASS2", 43},  {"CCHAR2", 4},  {"DCHAR2", 4},
    {"DTIME2", 6},  {"FLUSH2", 3},  {"P_EN2", 3},   {"PSIZE2", 6},  {"PTIME2", 6},
    {"PCHAR2", 4},  {"PMOJ12", 4},  {"PMOJ22", 4},  {"PTRAL2", 3},
}};

// Field indexes by name. A channel-2 key has the index of its channel-1 key plus kChannelStride.
enum class SettingKey : int {
  MODEL, IP, SUBM, GWAY, NEGOS, MSS, KEEP_A,
  PORT1, HIP1, HPORT1, CBPS1, CBIT1, CSTOP1, CPAR1, CFLOW1, CXON1, CXOFF1, CDRV1, PRT1,
  SMODE1, SPASS1, CMODE1, CPASS1, DMODE1, PASS1, CCHAR1, DCHAR1, DTIME1, FLUSH1, P_EN1,
  PSIZE1, PTIME1, PCHAR1, PMOJ11, PMOJ21, PTRAL1,
  PORT2, HIP2, HPORT2, CBPS2, CBIT2, CSTOP2, CPAR2, CFLOW2, CXON2, CXOFF2, CDRV2, PRT2,
  SMODE2, SPASS2, CMODE2, CPASS2, DMODE2, PASS2, CCHAR2, DCHAR2, DTIME2, FLUSH2, P_EN2,
  PSIZE2, PTIME2, PCHAR2, PMOJ12, PMOJ22, PTRAL2,
};
// clang-format on

inline constexpr int kChannelStride = 29;

constexpr int Index(SettingKey key) {
  return static_cast<int>(key);
}

// The key of the same stem on channel 1 or 2; `channelOneKey` must be a channel-1 key.
constexpr SettingKey ChannelKey(SettingKey channelOneKey, int channel) {
  return static_cast<SettingKey>(Index(channelOneKey) + (channel - 1) * kChannelStride);
}

constexpr std::string_view KeyText(int index) {
  return kSettingKeys[index].key;
}
constexpr std::size_t FieldWidth(int index) {
  return kSettingKeys[index].width;
}

// Byte offset of a field inside the record's storage.
constexpr std::size_t FieldOffset(int index) {
  std::size_t offset = 0;
  for (int i = 0; i < index; ++i)
    offset += kSettingKeys[i].width;
  return offset;
}

inline constexpr std::size_t kRecordBytes = FieldOffset(kSettingKeyCount);
static_assert(kRecordBytes == 413);
static_assert(KeyText(Index(SettingKey::PTRAL2)) == "PTRAL2");
static_assert(KeyText(Index(ChannelKey(SettingKey::PASS1, 2))) == "PASS2");

}  // namespace calbrin
