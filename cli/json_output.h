// calbrin-cli's machine-readable results: the JSON texts of get, diff and the writes. Their field
// names are a promise to the programs that read them (see README); add fields, never rename.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pages/settings_view.h"
#include "settings/device_text.h"

namespace calbrin {

// get: {"address": ..., "settings": [{"key", "page", "label", "value", "meaning", "password"}]}
// in the device's key order; a password's value is null and "passwordSet" tells whether it is
// set. Values (and meanings that are values) are the device's bytes, as JsonBytes writes them.
// `mac` is given for a device named by its MAC, and `address` is then where it answered.
std::string SettingsJson(std::string_view address, std::vector<SettingView> views,
                         std::string_view mac = {});

// The array of differences: {"key", "page", "label", "before", "after", "beforeMeaning",
// "afterMeaning", "password"}; a password's values are null.
std::string DifferencesJson(const std::vector<SettingDifference>& differences,
                            std::string_view indent);

// What a write did to one device.
struct DeviceResult {
  std::string address;  // the device as the command names it: its address or its MAC
  // "written", "unchanged", "declined" (not confirmed) or "failed"; for backup "saved"
  std::string result;
  std::string message;
  std::vector<SettingDifference> changes;  // shown before the write; written when "written"
  std::vector<std::string> warnings{};     // the plan's, shown with the changes
  std::string at{};  // for a device named by its MAC: the address where it answered
};

// The device as results show it: "192.0.2.7", or "02-00-00-0A-1B-FF (192.0.2.254)".
std::string ShownName(const DeviceResult& result);

// put, set, passwd, restore, backup: {"command", "devices": [{"address", "result", "message",
// "keys", "changes", "warnings"}], "succeeded", "total"}; "keys" are the keys written. A device
// named by its MAC has "mac" too, and "address" is where it answered (empty: not found).
std::string WritesJson(std::string_view command, const std::vector<DeviceResult>& devices);

}  // namespace calbrin
