// A modeless settings dialog over a test record, for tests that drive its pages the way a user
// does.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "resources/resource.h"
#include "settings/settings_record.h"
#include "ui/editor/settings_dialog.h"
#include "ui/editor/settings_page.h"

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
    dialog_.emplace(context_);
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

  SettingsRecord record_{};
  bool secondChannelReduced_ = false;
  SettingsDialogContext context_{.deviceRecord = record_,
                                 .deviceAddress = "192.168.11.203",
                                 .secondChannelReduced = secondChannelReduced_,
                                 .modelNameText = "stale"};
  std::optional<SettingsDialog> dialog_;
};

}  // namespace calbrin::test
