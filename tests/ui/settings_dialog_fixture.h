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

enum Tab : int { kNetworkTab = 0, kLan1Tab, kLan2Tab, kSerial1Tab, kSerial2Tab };

// The dialog over the fixture's App, with the controls of its pages at hand the way a user
// reaches them.
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

  HWND Page(int tab) const { return dialog_->PageAt(tab)->Window(); }
  HWND Control(int tab, int id) const { return GetDlgItem(Page(tab), id); }

  bool Enabled(int tab, int id) const { return IsWindowEnabled(Control(tab, id)) != FALSE; }
  bool Checked(int tab, int id) const { return IsDlgButtonChecked(Page(tab), id) == BST_CHECKED; }
  bool Visible(int tab, int id) const {
    return (GetWindowLongPtrW(Control(tab, id), GWL_STYLE) & WS_VISIBLE) != 0;
  }
  std::wstring Text(int tab, int id) const { return WindowText(Control(tab, id)); }
  int Selection(int tab, int id) const {
    return static_cast<int>(SendMessageW(Control(tab, id), CB_GETCURSEL, 0, 0));
  }
  int ItemCount(int tab, int id) const {
    return static_cast<int>(SendMessageW(Control(tab, id), CB_GETCOUNT, 0, 0));
  }
  std::wstring ItemText(int tab, int id, int item) const {
    wchar_t text[64] = {};
    SendMessageW(Control(tab, id), CB_GETLBTEXT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(text));
    return text;
  }
  std::wstring SelectedText(int tab, int id) const { return ItemText(tab, id, Selection(tab, id)); }
  std::string Address(int tab, int id) const {
    DWORD address = 0;
    SendMessageW(Control(tab, id), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return std::to_string(FIRST_IPADDRESS(address)) + "." +
           std::to_string(SECOND_IPADDRESS(address)) + "." +
           std::to_string(THIRD_IPADDRESS(address)) + "." +
           std::to_string(FOURTH_IPADDRESS(address));
  }

  // Brings the page to the top unless it is there already; a tab change moves the focus.
  void ShowTab(int tab) {
    if (TabCtrl_GetCurSel(GetDlgItem(dialog_->Window(), IDC_TAB)) != tab) SelectTab(tab);
  }
  // A user's click on a button of the page shown on top; a greyed button takes no clicks.
  void Click(int tab, int id) {
    ShowTab(tab);
    ASSERT_TRUE(Enabled(tab, id)) << "control " << id;
    SendMessageW(Control(tab, id), BM_CLICK, 0, 0);
  }
  // A user's choice in a drop-down list.
  void Choose(int tab, int id, int item) {
    ShowTab(tab);
    SendMessageW(Control(tab, id), CB_SETCURSEL, static_cast<WPARAM>(item), 0);
    SendMessageW(Page(tab), WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(Control(tab, id)));
  }
  // The window that takes the keys of a control: the edit inside a combo box, else the control.
  HWND KeyTarget(int tab, int id) const {
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (GetComboBoxInfo(Control(tab, id), &info) && info.hwndItem != nullptr) return info.hwndItem;
    return Control(tab, id);
  }
  // Focuses the control and types `keys` at the caret.
  void Type(int tab, int id, std::wstring_view keys) {
    ShowTab(tab);
    HWND target = KeyTarget(tab, id);
    SetFocus(target);
    for (const wchar_t key : keys)
      SendMessageW(target, WM_CHAR, key, 1);
  }
  // Focuses the control, replaces its whole text, and leaves it for the protocol list.
  void EnterAndLeave(int tab, int id, std::wstring_view text) {
    ShowTab(tab);
    HWND target = KeyTarget(tab, id);
    SetFocus(target);
    SetWindowTextW(Control(tab, id), std::wstring(text).c_str());
    Leave();
  }
  // Moves the focus off the page's edits, to a button of the dialog.
  void Leave() { SetFocus(GetDlgItem(dialog_->Window(), IDCANCEL)); }

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
