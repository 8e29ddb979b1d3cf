// Drives the pages of a settings dialog the way a user does: clicks, list choices, typing and
// leaving an edit, and reads back what the controls show. Used by the window tests and by the
// journey program, so it needs nothing but the windows.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <string>
#include <string_view>
#include <vector>

#include "resources/resource.h"
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

enum Tab : int { kNetworkTab = 0, kLan1Tab, kLan2Tab, kSerial1Tab, kSerial2Tab };

class PageDriver {
 public:
  virtual ~PageDriver() = default;

  // The tab indexes of the visible pages.
  std::vector<int> VisiblePages() {
    std::vector<int> visible;
    for (int i = 0; i < SettingsDialog::kPageCount; ++i) {
      if (IsWindowVisible(Dialog().PageAt(i)->Window())) visible.push_back(i);
    }
    return visible;
  }

  HWND Page(int tab) { return Dialog().PageAt(tab)->Window(); }
  HWND Control(int tab, int id) { return GetDlgItem(Page(tab), id); }

  bool Enabled(int tab, int id) { return IsWindowEnabled(Control(tab, id)) != FALSE; }
  bool Checked(int tab, int id) { return IsDlgButtonChecked(Page(tab), id) == BST_CHECKED; }
  bool Visible(int tab, int id) {
    return (GetWindowLongPtrW(Control(tab, id), GWL_STYLE) & WS_VISIBLE) != 0;
  }
  std::wstring Text(int tab, int id) { return WindowText(Control(tab, id)); }
  int Selection(int tab, int id) {
    return static_cast<int>(SendMessageW(Control(tab, id), CB_GETCURSEL, 0, 0));
  }
  int ItemCount(int tab, int id) {
    return static_cast<int>(SendMessageW(Control(tab, id), CB_GETCOUNT, 0, 0));
  }
  std::wstring ItemText(int tab, int id, int item) {
    wchar_t text[64] = {};
    SendMessageW(Control(tab, id), CB_GETLBTEXT, static_cast<WPARAM>(item),
                 reinterpret_cast<LPARAM>(text));
    return text;
  }
  std::wstring SelectedText(int tab, int id) { return ItemText(tab, id, Selection(tab, id)); }
  std::string Address(int tab, int id) {
    DWORD address = 0;
    SendMessageW(Control(tab, id), IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
    return std::to_string(FIRST_IPADDRESS(address)) + "." +
           std::to_string(SECOND_IPADDRESS(address)) + "." +
           std::to_string(THIRD_IPADDRESS(address)) + "." +
           std::to_string(FOURTH_IPADDRESS(address));
  }

  // Brings the page to the top unless it is there already; a tab change moves the focus.
  void ShowTab(int tab) {
    if (TabCtrl_GetCurSel(GetDlgItem(Dialog().Window(), IDC_TAB)) != tab) SelectTab(tab);
  }
  // A user's click on a button of the page shown on top; a greyed button takes no clicks, and
  // a click on one is reported as a problem.
  void Click(int tab, int id) {
    ShowTab(tab);
    if (!Enabled(tab, id)) {
      Problem("control " + std::to_string(id) + " is greyed and takes no click");
      return;
    }
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
  HWND KeyTarget(int tab, int id) {
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
  void Leave() { SetFocus(GetDlgItem(Dialog().Window(), IDCANCEL)); }

  // Selects a tab the way the tab strip reports a user's click.
  void SelectTab(int index) {
    HWND tab = GetDlgItem(Dialog().Window(), IDC_TAB);
    TabCtrl_SetCurSel(tab, index);
    NMHDR header{tab, IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(Dialog().Window(), WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&header));
  }

 protected:
  virtual SettingsDialog& Dialog() = 0;
  // Something a user could not have done was asked for.
  virtual void Problem(const std::string& what) = 0;
};

}  // namespace calbrin::test
