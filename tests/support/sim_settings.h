// The one bridge between the simulator's own settings and the product's SettingsRecord, for tests
// that compare what the device holds with what the tool read, or hand the device a record.
#pragma once

#include "settings/settings_record.h"
#include "sim/simulator.h"

namespace calbrin {

// Every field of the record from the device's value of the same key; empty when it has none.
SettingsRecord ToRecord(const sim::DeviceSettings& settings);

// Every key of the device from the record's field of the same key.
sim::DeviceSettings ToSimSettings(const SettingsRecord& record);

}  // namespace calbrin
