// Converting between the simulator's settings and a SettingsRecord, key by key.
#include "tests/support/sim_settings.h"

namespace calbrin {

SettingsRecord ToRecord(const sim::DeviceSettings& settings) {
  SettingsRecord record;
  for (int i = 0; i < kSettingKeyCount; ++i)
    SetField(record, i, settings.Get(KeyText(i)));
  return record;
}

sim::DeviceSettings ToSimSettings(const SettingsRecord& record) {
  sim::DeviceSettings settings;
  for (int i = 0; i < kSettingKeyCount; ++i)
    settings.Set(KeyText(i), ReadField(record, i));
  return settings;
}

}  // namespace calbrin
