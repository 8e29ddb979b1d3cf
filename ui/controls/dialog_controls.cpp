// Control access by identifier.
#include "ui/controls/dialog_controls.h"

#include <commctrl.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "pages/dotted_address.h"
#include "ui/main/wide_text.h"

namespace calbrin {

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

std::string ControlText(HWND dialog, int id, int maxChars) {
  std::vector<char> text(static_cast<std::size_t>(maxChars) + 1, '\0');
  const UINT copied = GetDlgItemTextA(dialog, id, text.data(), maxChars + 1);
  return std::string(text.data(), copied);
}

void SetControlText(HWND dialog, int id, std::string_view text) {
  SetDlgItemTextA(dialog, id, std::string(text).c_str());
}

std::string AddressControlText(HWND control) {
  DWORD address = 0;
  SendMessageW(control, IPM_GETADDRESS, 0, reinterpret_cast<LPARAM>(&address));
  return DottedAddressText(address);
}

void SetAddressControlText(HWND control, std::string_view text) {
  if (const std::optional<std::uint32_t> address = ParseDottedAddress(text)) {
    SendMessageW(control, IPM_SETADDRESS, 0, static_cast<LPARAM>(*address));
  } else {
    SendMessageW(control, IPM_CLEARADDRESS, 0, 0);
  }
}

bool IsChecked(HWND dialog, int id) {
  return IsDlgButtonChecked(dialog, id) == BST_CHECKED;
}

void SetChecked(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void FillChoiceList(HWND dialog, int id, ChoiceItems items) {
  WPARAM index = 0;
  for (const char* item : items) {
    SendDlgItemMessageW(dialog, id, CB_INSERTSTRING, index++,
                        reinterpret_cast<LPARAM>(WideText(item).c_str()));
  }
}

int SelectedItem(HWND dialog, int id) {
  return static_cast<int>(SendDlgItemMessageW(dialog, id, CB_GETCURSEL, 0, 0));
}

void SelectItem(HWND dialog, int id, int item) {
  SendDlgItemMessageW(dialog, id, CB_SETCURSEL, static_cast<WPARAM>(item), 0);
}

void ApplyEnabled(HWND dialog, const EnabledStates& states) {
  for (const ControlEnabled& state : states)
    EnableWindow(GetDlgItem(dialog, state.id), state.enabled ? TRUE : FALSE);
}

void ShowControl(HWND dialog, int id, bool shown) {
  ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

}  // namespace calbrin
