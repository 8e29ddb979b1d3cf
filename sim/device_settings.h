// The settings a simulated device keeps: its own list of keys, each with the width of the field
// that holds the value, in the order in which the device reports them and expects them back.
#pragma once

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace calbrin::sim {

struct DeviceKey {
  std::string_view name;
  std::size_t width;  // the longest value the device stores under the key
};

// Every key of the device, in its order.
std::span<const DeviceKey> DeviceKeys();

// The position of `key` in DeviceKeys(), or -1 for a key the device does not have.
int DeviceKeyIndex(std::string_view key);

// One value text per device key, in the device's order; a fresh value holds every key empty.
class DeviceSettings {
 public:
  DeviceSettings();

  // The value of `key`; empty for a key the device does not have.
  std::string_view Get(std::string_view key) const;
  // Stores `value`, cut to the key's width. False when the key is unknown (nothing is stored) or
  // the value had to be cut.
  bool Set(std::string_view key, std::string_view value);

  friend bool operator==(const DeviceSettings&, const DeviceSettings&) = default;

 private:
  std::vector<std::string> values_;
};

// The model codes the device reports in MODEL: "48" and "57".
bool IsDeviceModel(std::string_view modelCode);

// The settings of a device fresh from the factory at `address` (model "48" or "57").
DeviceSettings DefaultSettings(std::string_view modelCode, std::string_view address);

}  // namespace calbrin::sim
