// What the window tests and the journey share: a recorder of message boxes, and a driver of the
// settings pages that acts the way a user does.
#pragma once

#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>

#include <functional>
#include <sstream>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "resources/resource.h"
#include "settings/settings_record.h"
#include "ui/controls/dialog_controls.h"
#include "ui/editor/settings_dialog.h"
#include "ui/editor/settings_page.h"
#include "ui/main/message_box.h"

namespace calbrin::test {

inline void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
}

// Handles the waiting messages of this thread until `done` is true or `limitMs` passes.
inline bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
  for (const DWORD started = GetTickCount(); !done(); Sleep(5)) {
    if (GetTickCount() - started > limitMs) return false;
    PumpMessages();
  }
  return true;
}

// Calls `open`, which shows a modal dialog, the way a user acts on a dialog that blocks the code
// that opened it: as soon as a dialog titled `caption` (any dialog, when empty) is visible,
// `drive` runs with it from within that dialog's loop, and should end it. One left open is ended
// after five seconds, so that a failing test never hangs. True when `drive` ran.
inline bool DriveModal(const std::wstring& caption, const std::function<void(HWND dialog)>& drive,
                       const std::function<void()>& open) {
  static std::function<void()> tick;
  bool ran = false;
  const DWORD started = GetTickCount();
  tick = [&] {
    HWND dialog = FindWindowW(L"#32770", caption.empty() ? nullptr : caption.c_str());
    if (dialog == nullptr || !IsWindowVisible(dialog) || !IsWindowEnabled(dialog)) return;
    if (!ran) {
      ran = true;
      drive(dialog);
    } else if (GetTickCount() - started > 5000) {
      EndDialog(dialog, IDCANCEL);
    }
  };
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, [](HWND, UINT, UINT_PTR, DWORD) { tick(); });
  open();
  KillTimer(nullptr, timer);
  return ran;
}

// Every text that `window` shows: its menu, and of itself and each control inside it (the pages'
// too) the text, a list's items, a tab strip's captions and a list view's column titles.
inline std::vector<std::wstring> ShownTexts(HWND window) {
  std::vector<std::wstring> texts;
  const auto menuTexts = [&texts](auto&& self, HMENU menu) -> void {
    for (int i = 0; menu != nullptr && i < GetMenuItemCount(menu); ++i) {
      wchar_t text[256] = {};
      GetMenuStringW(menu, static_cast<UINT>(i), text, 256, MF_BYPOSITION);
      texts.push_back(text);
      self(self, GetSubMenu(menu, i));
    }
  };
  menuTexts(menuTexts, GetMenu(window));
  const auto controlTexts = [](HWND control, LPARAM found) {
    auto& out = *reinterpret_cast<std::vector<std::wstring>*>(found);
    out.push_back(WindowText(control));
    wchar_t kind[64] = {};
    GetClassNameW(control, kind, 64);
    wchar_t text[256] = {};
    if (std::wstring_view(kind) == L"ComboBox") {
      for (LRESULT i = 0; i < SendMessageW(control, CB_GETCOUNT, 0, 0); ++i) {
        SendMessageW(control, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        out.push_back(text);
      }
    }
    for (int i = 0; std::wstring_view(kind) == WC_TABCONTROLW && i < TabCtrl_GetItemCount(control);
         ++i) {
      TCITEMW item{TCIF_TEXT, 0, 0, text, 256, 0, 0};
      TabCtrl_GetItem(control, i, &item);
      out.push_back(text);
    }
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT;
    column.pszText = text;
    column.cchTextMax = 256;
    for (int i = 0;
         std::wstring_view(kind) == WC_LISTVIEWW && ListView_GetColumn(control, i, &column); ++i)
      out.push_back(text);
    return TRUE;
  };
  controlTexts(window, reinterpret_cast<LPARAM>(&texts));
  EnumChildWindows(window, controlTexts, reinterpret_cast<LPARAM>(&texts));
  return texts;
}

// What is wrong with the layout of the shown controls of `container`, a page or a dialog: one that
// reaches out of it or overlaps another (frames aside, which hold controls), and with
// `textsFit` a label, check box, radio or push button whose text is wider than its room.
inline std::vector<std::string> LayoutProblems(HWND container, bool textsFit) {
  std::vector<std::string> problems;
  std::vector<std::pair<int, RECT>> shown;
  RECT area{};
  GetClientRect(container, &area);
  for (HWND child = GetWindow(container, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    const LONG_PTR style = GetWindowLongPtrW(child, GWL_STYLE);
    const UINT type = static_cast<UINT>(style & BS_TYPEMASK);
    wchar_t kind[64] = {};
    GetClassNameW(child, kind, 64);
    const bool button = std::wstring_view(kind) == L"Button";
    if ((style & WS_VISIBLE) == 0 || (button && type == BS_GROUPBOX)) continue;
    const std::string id = std::to_string(GetDlgCtrlID(child));
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, container, reinterpret_cast<POINT*>(&rect), 2);
    if (rect.left < 0 || rect.top < 0 || rect.right > area.right || rect.bottom > area.bottom)
      problems.push_back(id + " reaches out");
    for (const auto& [other, otherRect] : shown) {
      RECT common{};
      if (IntersectRect(&common, &rect, &otherRect))
        problems.push_back(id + " overlaps " + std::to_string(other));
    }
    shown.emplace_back(GetDlgCtrlID(child), rect);
    const bool combo = std::wstring_view(kind) == L"ComboBox";
    if (!textsFit || (!button && !combo && std::wstring_view(kind) != L"Static")) continue;
    // A check box or radio button draws its box before the text, a list its button after.
    const bool boxed = button && type != BS_PUSHBUTTON && type != BS_DEFPUSHBUTTON;
    int room = rect.right - rect.left - (boxed ? GetSystemMetrics(SM_CXMENUCHECK) + 3 : 0);
    std::vector<std::wstring> texts{WindowText(child)};
    COMBOBOXINFO info{};
    info.cbSize = sizeof info;
    if (combo && GetComboBoxInfo(child, &info)) {
      room = info.rcItem.right - info.rcItem.left;
      texts = ShownTexts(child);
    }
    HDC dc = GetDC(child);
    HGDIOBJ font =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(child, WM_GETFONT, 0, 0)));
    for (const std::wstring& text : texts) {
      SIZE size{};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &size);
      if (size.cx > room)
        problems.push_back(id + " " + std::to_string(size.cx) + " for a text, has " +
                           std::to_string(room));
    }
    SelectObject(dc, font);
    ReleaseDC(child, dc);
  }
  return problems;
}

// A message box as one text: caption, text and MB_ flags.
inline std::wstring Box(std::wstring_view caption, std::wstring_view text, UINT type) {
  return std::wstring(caption) + L"|" + std::wstring(text) + L"|" + std::to_wstring(type);
}
inline std::wstring ErrorBox(std::wstring_view text) {
  return Box(L"エラー", text, MB_OK | MB_ICONINFORMATION);
}

// Every message box shown, in order; questions are answered Yes.
struct MessageRecorder {
  std::vector<std::wstring> shown;
  int yesNoAnswer = IDYES;

  MessageBoxFunction Function() {
    return [this](HWND, const std::wstring& text, const std::wstring& caption, UINT type) {
      shown.push_back(Box(caption, text, type));
      return (type & MB_YESNO) != 0 ? yesNoAnswer : IDOK;
    };
  }
};

enum Tab : int { kNetworkTab = 0, kLan1Tab, kLan2Tab, kSerial1Tab, kSerial2Tab };

// The pages of a settings dialog, driven the way a user drives them.
class PageDriver {
 public:
  SettingsDialog* dialog = nullptr;
  // What a user could not have done but was asked for.
  std::vector<std::string> problems;

  std::vector<int> VisiblePages() {
    std::vector<int> visible;
    for (int i = 0; i < SettingsDialog::kPageCount; ++i) {
      if (IsWindowVisible(Page(i))) visible.push_back(i);
    }
    return visible;
  }
  HWND Page(int tab) { return dialog->PageAt(tab)->Window(); }
  HWND Control(int tab, int id) { return GetDlgItem(Page(tab), id); }
  bool Enabled(int tab, int id) { return IsWindowEnabled(Control(tab, id)) != FALSE; }
  // Shown on its page, whether the page is on top or not.
  bool Visible(int tab, int id) {
    return (GetWindowLongPtrW(Control(tab, id), GWL_STYLE) & WS_VISIBLE) != 0;
  }
  std::wstring Text(int tab, int id) { return WindowText(Control(tab, id)); }
  int ItemCount(int tab, int id) {
    return static_cast<int>(SendMessageW(Control(tab, id), CB_GETCOUNT, 0, 0));
  }

  // Selects a tab the way the tab strip reports a user's click.
  void SelectTab(int index) {
    HWND tab = GetDlgItem(dialog->Window(), IDC_TAB);
    TabCtrl_SetCurSel(tab, index);
    NMHDR header{tab, IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageW(dialog->Window(), WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&header));
  }
  void ShowTab(int tab) {
    if (TabCtrl_GetCurSel(GetDlgItem(dialog->Window(), IDC_TAB)) != tab) SelectTab(tab);
  }
  // A click on a button of the page; a greyed button takes no click.
  void Click(int tab, int id) {
    ShowTab(tab);
    if (!Enabled(tab, id))
      return problems.push_back("control " + std::to_string(id) + " is greyed");
    SendMessageW(Control(tab, id), BM_CLICK, 0, 0);
  }
  // A choice in a drop-down list.
  void Choose(int tab, int id, int item) {
    ShowTab(tab);
    if (!Enabled(tab, id)) return problems.push_back("list " + std::to_string(id) + " is greyed");
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
  // Empties the control, focuses it and types `keys`.
  void Type(int tab, int id, std::wstring_view keys) {
    ShowTab(tab);
    HWND target = KeyTarget(tab, id);
    SetWindowTextW(target, L"");
    SetFocus(target);
    for (const wchar_t key : keys)
      SendMessageW(target, WM_CHAR, key, 1);
  }
  // Focuses the control, replaces its text, and leaves it.
  void EnterAndLeave(int tab, int id, std::wstring_view text) {
    ShowTab(tab);
    SetFocus(KeyTarget(tab, id));
    SetWindowTextW(Control(tab, id), std::wstring(text).c_str());
    SetFocus(GetDlgItem(dialog->Window(), IDCANCEL));
  }
  void Command(int id) { SendMessageW(dialog->Window(), WM_COMMAND, MAKEWPARAM(id, 0), 0); }
  void Apply() { SendMessageW(GetDlgItem(dialog->Window(), IDOK), BM_CLICK, 0, 0); }
};

// Sets the fields of `record` named by `pairs`, "KEY=VALUE KEY=VALUE ...".
inline void SetSettings(SettingsRecord& record, std::string_view pairs) {
  std::istringstream in{std::string(pairs)};
  for (std::string pair; in >> pair;) {
    const std::string key = pair.substr(0, pair.find('='));
    for (int i = 0; i < kSettingKeyCount; ++i) {
      if (KeyText(i) == key) SetField(record, i, pair.substr(key.size() + 1));
    }
  }
}

}  // namespace calbrin::test
