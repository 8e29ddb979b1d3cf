// The device's key list, its settings values and its factory settings.
#include "sim/device_settings.h"

#include <array>

#include "sim/password_codec.h"

namespace calbrin::sim {
namespace {

// clang-format off
constexpr std::array<DeviceKey, 65> kKeys{{
    {"MODEL", 4}, {"IP", 18}, {"SUBM", 18}, {"GWAY", 18}, {"NEGOS", 3}, {"MSS", 6},
    {"KEEP_A", 4},
    {"PORT1", 7}, {"HIP1", 18}, {"HPORT1", 7}, {"CBPS1", 8}, {"CBIT1", 3}, {"CSTOP1", 3},
    {"CPAR1", 3}, {"CFLOW1", 3}, {"CXON1", 4}, {"CXOFF1", 4}, {"CDRV1", 3}, {"PRT1", 3},
    {"SMODE1", 3}, {"SPASS1", 3}, {"CMODE1", 3}, {"CPASS1", 3}, {"DMODE1", 3}, {"PASS1", 43},
    {"CCHAR1", 4}, {"DCHAR1", 4}, {"DTIME1", 6}, {"FLUSH1", 3}, {"P_EN1", 3}, {"PSIZE1", 6},
    {"PTIME1", 6}, {"PCHAR1", 4}, {"PMOJ11", 4}, {"PMOJ21", 4}, {"PTRAL1", 3},
    {"PORT2", 7}, {"HIP2", 18}, {"HPORT2", 7}, {"CBPS2", 8}, {"CBIT2", 3}, {"CSTOP2", 3},
    {"CPAR2", 3}, {"CFLOW2", 3}, {"CXON2", 4}, {"CXOFF2", 4}, {"CDRV2", 3}, {"PRT2", 3},
    {"SMODE2", 3}, {"SPASS2", 3}, {"CMODE2", 3}, {"CPASS2", 3}, {"DMODE2", 3}, {"PASS2", 43},
    {"CCHAR2", 4}, {"DCHAR2", 4}, {"DTIME2", 6}, {"FLUSH2", 3}, {"P_EN2", 3}, {"PSIZE2", 6},
    {"PTIME2", 6}, {"PCHAR2", 4}, {"PMOJ12", 4}, {"PMOJ22", 4}, {"PTRAL2", 3},
}};
// clang-format on

// What a channel holds from the factory, by the key's name without its channel digit.
struct ChannelDefault {
  std::string_view stem;
  std::string_view value;
};
constexpr ChannelDefault kChannelDefaults[] = {
    {"HIP", "0.0.0.0"}, {"HPORT", "0"}, {"CBPS", "9600"}, {"CBIT", "3"},   {"CSTOP", "1"},
    {"CPAR", "0"},      {"CFLOW", "0"}, {"CXON", "17"},   {"CXOFF", "19"}, {"CDRV", "0"},
    {"PRT", "0"},       {"SMODE", "1"}, {"SPASS", "0"},   {"CMODE", "0"},  {"CPASS", "0"},
    {"DMODE", "0"},     {"CCHAR", "0"}, {"DCHAR", "0"},   {"DTIME", "60"}, {"FLUSH", "0"},
    {"P_EN", "0"},      {"PSIZE", "0"}, {"PTIME", "10"},  {"PCHAR", "0"},  {"PMOJ1", "13"},
    {"PMOJ2", "10"},    {"PTRAL", "0"},
};

}  // namespace

std::span<const DeviceKey> DeviceKeys() {
  return kKeys;
}

int DeviceKeyIndex(std::string_view key) {
  for (std::size_t i = 0; i < kKeys.size(); ++i) {
    if (kKeys[i].name == key) return static_cast<int>(i);
  }
  return -1;
}

DeviceSettings::DeviceSettings() : values_(kKeys.size()) {}

std::string_view DeviceSettings::Get(std::string_view key) const {
  const int index = DeviceKeyIndex(key);
  return index < 0 ? std::string_view{} : std::string_view(values_[index]);
}

bool DeviceSettings::Set(std::string_view key, std::string_view value) {
  const int index = DeviceKeyIndex(key);
  if (index < 0) return false;
  values_[index] = value.substr(0, kKeys[index].width);
  return value.size() <= kKeys[index].width;
}

bool IsDeviceModel(std::string_view modelCode) {
  return modelCode == "48" || modelCode == "57";
}

DeviceSettings DefaultSettings(std::string_view modelCode, std::string_view address) {
  DeviceSettings settings;
  settings.Set("MODEL", modelCode);
  settings.Set("IP", address);
  settings.Set("SUBM", "255.0.0.0");
  settings.Set("GWAY", "0.0.0.0");
  settings.Set("NEGOS", "7");
  settings.Set("MSS", "1460");
  settings.Set("KEEP_A", "0");
  for (const std::string channel : {"1", "2"}) {
    settings.Set("PORT" + channel, "1000" + channel);
    for (const ChannelDefault& field : kChannelDefaults)
      settings.Set(std::string(field.stem) + channel, field.value);
    // A channel without a password still holds a scrambled empty one, fillers and all.
    settings.Set("PASS" + channel, Scramble("", kStoredPasswordShift));
  }
  return settings;
}

}  // namespace calbrin::sim
