// A modeless settings dialog over a test record, its connection and file record, with every
// message box and file dialog recorded.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/console_connection.h"
#include "net/device_operations.h"
#include "sim/device_protocol.h"
#include "tests/ui/ui_support.h"

namespace calbrin::test {

class SettingsDialogFixture : public ::testing::Test, public PageDriver {
 protected:
  SettingsDialogFixture() {
    std::string_view("192.168.11.203").copy(session_.identity.address.data(), 14);
    std::string_view("02-00-00-00-00-07").copy(session_.identity.mac.data(), 17);
  }
  void TearDown() override {
    dialog_.reset();
    PumpMessages();
  }
  SettingsDialog& Dialog() override { return *dialog_; }
  void Problem(const std::string& what) override { ADD_FAILURE() << what; }

  // The settings of a fresh device of `model` ("48", "57"), with the `changes` of SetSettings.
  void UseDevice(std::string_view model, std::string_view changes = "") {
    record_ = sim::DefaultSettings(model, "10.1.1.20");
    SetSettings(record_, changes);
  }

  HWND Open() {
    dialog_.emplace(SettingsDialogData{
        .session = session_,
        .console = console_,
        .fileRecord = fileRecord_,
        .applicationDirectory = L"C:\\calbrin",
        .showMessage = messages_.Function(),
        .chooseFile = [this](HWND, SettingsFileDialog kind, const std::wstring& folder,
                             const std::wstring& proposed) -> std::optional<std::wstring> {
          fileDialogs_.push_back(std::to_wstring(static_cast<int>(kind)) + L"|" + folder + L"|" +
                                 proposed);
          return chosenFile_;
        },
        .writeSettleTime = std::chrono::milliseconds(10)});
    HWND window = dialog_->CreateModeless(nullptr);
    EXPECT_NE(window, nullptr) << "CreateDialogParamW failed with error " << GetLastError();
    PumpMessages();
    return window;
  }

  ConsoleConnection console_;
  DeviceSession session_;
  SettingsRecord& record_ = session_.deviceRecord;
  SettingsRecord fileRecord_;
  MessageRecorder messages_;
  // File dialogs shown as "kind|folder|proposed name", and the file each returns (none: Cancel).
  std::vector<std::wstring> fileDialogs_;
  std::optional<std::wstring> chosenFile_;
  std::optional<SettingsDialog> dialog_;
};

}  // namespace calbrin::test
