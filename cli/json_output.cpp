// calbrin-cli's JSON texts.
#include "cli/json_output.h"

#include "cli/device_targets.h"

#include <algorithm>

#include "settings/device_text.h"

#include "settings/settings_record.h"

namespace calbrin {
namespace {

std::string JsonBool(bool value) {
  return value ? "true" : "false";
}

// A value that a password never shows.
std::string ValueOrNull(const SettingView& view) {
  return view.password ? "null" : JsonBytes(view.value);
}

std::string MeaningJson(const SettingView& view) {
  return view.meaningIsValue ? JsonBytes(view.meaning) : JsonString(view.meaning);
}

}  // namespace

std::string SettingsJson(std::string_view address, std::vector<SettingView> views,
                         std::string_view mac) {
  // The device's own order: the order of the keys in its answer and in a settings file.
  std::stable_sort(views.begin(), views.end(), [](const SettingView& a, const SettingView& b) {
    return Index(a.key) < Index(b.key);
  });
  std::string out = "{\"address\": " + JsonString(address) +
                    (mac.empty() ? "" : ", \"mac\": " + JsonString(mac)) + ", \"settings\": [";
  for (std::size_t i = 0; i < views.size(); ++i) {
    const SettingView& view = views[i];
    out += std::string(i > 0 ? "," : "") + "\n  {\"key\": " + JsonString(KeyText(Index(view.key))) +
           ", \"page\": " + JsonString(view.page) + ", \"label\": " + JsonString(view.label) +
           ", \"value\": " + ValueOrNull(view) + ", \"meaning\": " + MeaningJson(view) +
           ", \"password\": " + JsonBool(view.password);
    if (view.password) out += ", \"passwordSet\": " + JsonBool(view.passwordSet);
    out += "}";
  }
  return out + "\n]}\n";
}

std::string DifferencesJson(const std::vector<SettingDifference>& differences,
                            std::string_view indent) {
  std::string out = "[";
  for (std::size_t i = 0; i < differences.size(); ++i) {
    const auto& [before, after] = differences[i];
    out += std::string(i > 0 ? "," : "") + "\n" + std::string(indent) +
           "{\"key\": " + JsonString(KeyText(Index(before.key))) +
           ", \"page\": " + JsonString(before.page) + ", \"label\": " + JsonString(before.label) +
           ", \"before\": " + ValueOrNull(before) + ", \"after\": " + ValueOrNull(after) +
           ", \"beforeMeaning\": " + MeaningJson(before) +
           ", \"afterMeaning\": " + MeaningJson(after) +
           ", \"password\": " + JsonBool(before.password) + "}";
  }
  return out + "]";
}

std::string ShownName(const DeviceResult& result) {
  return result.at.empty() ? result.address : result.address + " (" + result.at + ")";
}

std::string WritesJson(std::string_view command, const std::vector<DeviceResult>& devices) {
  std::string out = "{\"command\": " + JsonString(command) + ", \"devices\": [";
  int succeeded = 0;
  for (std::size_t i = 0; i < devices.size(); ++i) {
    const DeviceResult& device = devices[i];
    succeeded += device.result == "failed" || device.result == "declined" ? 0 : 1;
    std::string keys;
    if (device.result == "written") {
      for (const SettingDifference& change : device.changes)
        keys +=
            std::string(keys.empty() ? "" : ", ") + JsonString(KeyText(Index(change.before.key)));
    }
    const bool byMac = !device.at.empty() || ParseMac(device.address);
    out += std::string(i > 0 ? "," : "") +
           "\n  {\"address\": " + JsonString(byMac ? device.at : device.address) +
           (byMac ? ", \"mac\": " + JsonString(device.address) : std::string()) +
           ", \"result\": " + JsonString(device.result) +
           ", \"message\": " + JsonString(device.message) + ", \"keys\": [" + keys +
           "], \"changes\": " + DifferencesJson(device.changes, "    ") + ", \"warnings\": [";
    for (std::size_t w = 0; w < device.warnings.size(); ++w)
      out += std::string(w > 0 ? ", " : "") + JsonString(device.warnings[w]);
    out += "]}";
  }
  return out + "\n], \"succeeded\": " + std::to_string(succeeded) +
         ", \"total\": " + std::to_string(devices.size()) + "}\n";
}

}  // namespace calbrin
