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

#include "resources/resource.h"
#include "settings/settings_record.h"
#include "ui/editor/settings_dialog.h"
#include "ui/editor/settings_page.h"
#include "ui/main/app.h"

namespace calbrin::test {

inline std::wstring WindowText(HWND window) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), text.size())));
  return text;
}

inline void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

class SettingsDialogFixture : public ::testing::Test {
 protected:
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

  // The tab indexes of the visible pages.
  std::vector<int> VisiblePages() const {
    std::vector<int> visible;
    for (int i = 0; i < SettingsDialog::kPageCount; ++i) {
      if (IsWindowVisible(dialog_->PageAt(i)->Window())) visible.push_back(i);
    }
    return visible;
  }

  // Selects a tab the way the tab strip reports a user's click.
  void SelectTab(int index) {
    HWND tab = GetDlgItem(dialog_->Window(), IDC_TAB);
    TabCtrl_SetCurSel(tab, index);
    NMHDR header{tab, IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog_->Window(), WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&header));
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

  App app_;
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
