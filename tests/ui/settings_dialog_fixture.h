// A modeless settings dialog over a test record, for tests that drive its pages the way a user
// does.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/settings_record.h"
#include "tests/ui/page_driver.h"
#include "ui/editor/settings_dialog.h"
#include "ui/main/app.h"

namespace calbrin::test {

// The dialog over the fixture's App, with the controls of its pages at hand the way a user
// reaches them.
class SettingsDialogFixture : public ::testing::Test, public PageDriver {
 protected:
  SettingsDialog& Dialog() override { return *dialog_; }
  void Problem(const std::string& what) override { ADD_FAILURE() << what; }

  void SetModel(std::string_view code) { SetField(record_, SettingKey::MODEL, code); }

  HWND Open() {
    dialog_.emplace(SettingsDialogContext{
        .app = app_,
        .showMessage =
            [this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
              messages_.push_back(caption + L"|" + text);
              if ((type & MB_YESNO) == 0) return IDOK;
              const int answer = answers_.empty() ? IDYES : answers_.front();
              if (!answers_.empty()) answers_.pop_front();
              return answer;
            },
        .chooseFile = [this](HWND, SettingsFileDialog kind, const std::wstring& folder,
                             const std::wstring& proposed) -> std::optional<std::wstring> {
          fileDialogs_.push_back({kind, folder, proposed});
          return chosenFile_;
        },
        .writeSettleTime = std::chrono::milliseconds(10)});
    HWND window = dialog_->CreateModeless(nullptr);
    EXPECT_NE(window, nullptr) << "CreateDialogParamW failed with error " << GetLastError();
    PumpMessages();
    return window;
  }

  void TearDown() override {
    dialog_.reset();  // destroys a window that is still open
    PumpMessages();
  }

  struct FileDialogShown {
    SettingsFileDialog kind;
    std::wstring folder;
    std::wstring proposedName;
  };

  SettingsDialogFixture() {
    constexpr std::string_view kAddress = "192.168.11.203";
    kAddress.copy(app_.session.identity.address.data(), kAddress.size());
    app_.applicationDirectory = L"C:\\calbrin";
  }

  // Console waits short enough for a silent simulated device to be given up on quickly.
  App app_{DeviceDiscovery::kCollectionWindow,
           ConsoleTimeLimits{.prompt = std::chrono::milliseconds(1000),
                             .loginAnswer = std::chrono::milliseconds(1000),
                             .settings = std::chrono::milliseconds(1000),
                             .acknowledgement = std::chrono::milliseconds(1000)}};
  SettingsRecord& record_ = app_.session.deviceRecord;
  bool& secondChannelReduced_ = app_.secondChannelReduced;
  // Message boxes as "caption|text"; questions take the answers in turn, then Yes.
  std::vector<std::wstring> messages_;
  std::deque<int> answers_;
  // File dialogs shown, and the file that each one returns (none: Cancel).
  std::vector<FileDialogShown> fileDialogs_;
  std::optional<std::wstring> chosenFile_;
  std::optional<SettingsDialog> dialog_;
};

}  // namespace calbrin::test
