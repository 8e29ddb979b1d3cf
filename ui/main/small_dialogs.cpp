// The password dialog, the add-address dialog, the version box and the product version.
#include "ui/main/small_dialogs.h"

#include <commctrl.h>

#include <cstdio>
#include <vector>

#include "resources/resource.h"
#include "ui/main/version_text.h"
#include "ui/main/wide_text.h"

namespace calbrin {
namespace {

constexpr wchar_t kErrorCaption[] = L"エラー";

template <typename Data>
Data* DataOf(HWND dialog) {
  return reinterpret_cast<Data*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

std::wstring WindowText(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  const int copied = GetWindowTextW(window, text.data(), length + 1);
  text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
  return text;
}

// Applies the printable-range rule to the edit's text; the caret and selection stay where they
// were as far as the shorter text allows, so typing carries on naturally.
void FilterPasswordEdit(HWND edit) {
  const std::wstring text = WindowText(edit);
  std::string narrow;
  narrow.reserve(text.size());
  // Any character outside ASCII is outside the printable range too: it must end the text.
  for (const wchar_t c : text)
    narrow.push_back(c < 0x80 ? static_cast<char>(c) : '\x01');
  const std::string kept = FilterPrintableText(narrow);
  if (kept.size() == text.size()) return;

  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SetWindowTextW(edit, WideText(kept).c_str());
  const DWORD limit = static_cast<DWORD>(kept.size());
  SendMessageW(edit, EM_SETSEL, start < limit ? start : limit, end < limit ? end : limit);
}

INT_PTR CALLBACK PasswordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    SetWindowTextW(dialog, L"パスワード入力");
    SendDlgItemMessageW(dialog, IDC_PASSWORD, EM_LIMITTEXT, kMaxPasswordLength, 0);
    SetDlgItemTextW(dialog, IDC_PASSWORD, L"");
    return TRUE;
  }
  auto* data = DataOf<PasswordDialogData>(dialog);
  if (data == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDC_PASSWORD:
          if (HIWORD(wParam) == EN_CHANGE) FilterPasswordEdit(reinterpret_cast<HWND>(lParam));
          return TRUE;
        case IDOK: {
          const std::string password = Utf8Text(WindowText(GetDlgItem(dialog, IDC_PASSWORD)));
          if (password.empty()) {
            data->showMessage(dialog, L"パスワードが入力されていません", kErrorCaption,
                              MB_OK | MB_ICONINFORMATION);
            return TRUE;
          }
          ScramblePassword(password, kLoginShift, *data->login);
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

INT_PTR CALLBACK AddAddressDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    SendDlgItemMessageW(dialog, IDC_ADDRESS, IPM_CLEARADDRESS, 0, 0);
    return TRUE;
  }
  auto* data = DataOf<AddAddressDialogData>(dialog);
  if (data == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      switch (LOWORD(wParam)) {
        case IDOK: {
          // The control's own reading: blank fields count as 0, so a blank control is 0.0.0.0.
          DWORD address = 0;
          SendDlgItemMessageW(dialog, IDC_ADDRESS, IPM_GETADDRESS, 0,
                              reinterpret_cast<LPARAM>(&address));
          char text[16];
          std::snprintf(text, sizeof text, "%u.%u.%u.%u",
                        static_cast<unsigned>(FIRST_IPADDRESS(address)),
                        static_cast<unsigned>(SECOND_IPADDRESS(address)),
                        static_cast<unsigned>(THIRD_IPADDRESS(address)),
                        static_cast<unsigned>(FOURTH_IPADDRESS(address)));
          data->added = std::string_view(text) != "0.0.0.0";
          data->address = data->added ? text : "";
          EndDialog(dialog, IDOK);
          return TRUE;
        }
        case IDCANCEL:
          EndDialog(dialog, IDCANCEL);
          return TRUE;
      }
      break;
    case WM_CLOSE:
      EndDialog(dialog, IDCANCEL);
      return TRUE;
  }
  return FALSE;
}

}  // namespace

void ShowPasswordDialog(HWND owner, PasswordDialogData& data) {
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_PASSWORD), owner,
                  PasswordDialogProc, reinterpret_cast<LPARAM>(&data));
}

void ShowAddAddressDialog(HWND owner, AddAddressDialogData& data) {
  data.added = false;
  data.address.clear();
  DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_ADD_ADDRESS), owner,
                  AddAddressDialogProc, reinterpret_cast<LPARAM>(&data));
}

bool ReadProductVersion(const std::wstring& path, std::array<std::uint16_t, 4>& words) {
  words = {};
  DWORD handle = 0;
  const DWORD size = GetFileVersionInfoSizeW(path.c_str(), &handle);
  if (size == 0) return false;
  std::vector<BYTE> block(static_cast<std::size_t>(size) + 1);
  if (!GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return false;
  void* fixed = nullptr;
  UINT fixedLength = 0;
  if (!VerQueryValueW(block.data(), L"\\", &fixed, &fixedLength) || fixed == nullptr ||
      fixedLength < sizeof(VS_FIXEDFILEINFO)) {
    return false;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  words = {HIWORD(info->dwProductVersionMS), LOWORD(info->dwProductVersionMS),
           HIWORD(info->dwProductVersionLS), LOWORD(info->dwProductVersionLS)};
  return true;
}

void ShowVersionBox(HWND owner, int major, int minor, const MessageBoxFunction& showMessage) {
  showMessage(owner, WideText(VersionBoxText(major, minor)), L"バージョン情報", MB_OK);
}

}  // namespace calbrin
