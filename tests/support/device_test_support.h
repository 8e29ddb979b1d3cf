// What the device tests share: adapter tables built by hand, short time limits, simulated devices
// on loopback, and an open flow user interface that records what it was asked to show.
#pragma once

#include <chrono>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "net/adapters.h"
#include "net/device_operations.h"
#include "tests/support/sim_settings.h"

namespace calbrin::test {

// One adapter, selected, as the system would list it; an empty address is an adapter without
// an IPv4 address.
inline AdapterTable OneAdapter(std::string address = "127.0.0.1", int prefixLength = 8) {
  AdapterTable table;
  table.entries[0] = {1, "lo", address, prefixLength,
                      address.empty() ? "" : MaskText(prefixLength)};
  table.count = 1;
  return table;
}

// Every console wait shortened to `limit`.
inline ConsoleTimeLimits ShortLimits(std::chrono::milliseconds limit) {
  ConsoleTimeLimits limits;
  limits.prompt = limits.loginAnswer = limits.settings = limits.acknowledgement = limit;
  return limits;
}

inline sim::DeviceConfig Device(std::string model = "48", std::string password = "") {
  sim::DeviceConfig config;
  config.model = std::move(model);
  config.password = std::move(password);
  return config;
}

// Starts one simulated device per config, on 127.0.0.2 and up.
inline void StartDevices(sim::Simulator& simulator, std::vector<sim::DeviceConfig> configs) {
  for (sim::DeviceConfig& config : configs)
    simulator.AddDevice(std::move(config));
  std::string error;
  ASSERT_TRUE(simulator.Start(error)) << error;
}

// The windows of the open flow, played by a test: one selected row, a password typed or not, and
// a record of every status text, message and dialog.
class RecordingOpenUi : public OpenDeviceUi {
 public:
  explicit RecordingOpenUi(std::optional<Row> row = Row{"127.0.0.2", "02-00-00-00-00-01"})
      : row_(std::move(row)) {}

  std::optional<Row> SelectedRow() override { return selected ? row_ : std::nullopt; }
  void SetStatusText(std::string_view text) override { statuses.emplace_back(text); }
  void DeselectAllRows() override { selected = false; }
  void AskPassword(ScrambledPassword& login) override {
    ++passwordDialogs;
    if (beforePassword) beforePassword();
    if (password) ScramblePassword(*password, kLoginShift, login);
  }
  void ShowSettingsDialog() override {
    ++settingsDialogs;
    if (whileOpen) whileOpen();
  }
  void ShowError(std::string_view message) override { errors.emplace_back(message); }

  std::optional<std::string> password;  // what the user types; none: Cancel
  std::function<void()> beforePassword;
  std::function<void()> whileOpen;  // while the settings dialog is shown
  bool selected = true;
  std::vector<std::string> statuses, errors;
  int passwordDialogs = 0, settingsDialogs = 0;

 private:
  std::optional<Row> row_;
};

}  // namespace calbrin::test
