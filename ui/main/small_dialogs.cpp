// The password dialog, the add-address dialog, the version box and the product version.
#include "ui/main/small_dialogs.h"

#include <commctrl.h>

#include <vector>

#include "resources/resource.h"
#include "ui/controls/dialog_controls.h"
#include "ui/controls/edit_filters.h"
#include "ui/controls/language_resources.h"
#include "ui/main/version_text.h"
#include "ui/main/wide_text.h"

namespace calbrin {
namespace {

template <typename Data>
Data* DataOf(HWND dialog) {
  return reinterpret_cast<Data*>(GetWindowLongPtrW(dialog, GWLP_USERDATA));
}

INT_PTR CALLBACK PasswordDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(dialog, GWLP_USERDATA, lParam);
    const Language language = reinterpret_cast<const PasswordDialogData*>(lParam)->language;
    SetWindowTextW(dialog, LoadText(language, IDS_PASSWORD_CAPTION).c_str());
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
          if (HIWORD(wParam) == EN_CHANGE) FilterPrintableEdit(reinterpret_cast<HWND>(lParam));
          return TRUE;
        case IDOK: {
          const std::string password = Utf8Text(WindowText(GetDlgItem(dialog, IDC_PASSWORD)));
          if (password.empty()) {
            data->showMessage(dialog, LoadText(data->language, IDS_NO_PASSWORD),
                              LoadText(data->language, IDS_ERROR_CAPTION),
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
          const std::string text = AddressControlText(GetDlgItem(dialog, IDC_ADDRESS));
          data->added = text != "0.0.0.0";
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
  DialogBoxIn(data.language, IDD_PASSWORD, owner, PasswordDialogProc,
              reinterpret_cast<LPARAM>(&data));
}

void ShowAddAddressDialog(HWND owner, AddAddressDialogData& data) {
  data.added = false;
  data.address.clear();
  DialogBoxIn(data.language, IDD_ADD_ADDRESS, owner, AddAddressDialogProc,
              reinterpret_cast<LPARAM>(&data));
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

void ShowVersionBox(HWND owner, Language language, int major, int minor,
                    const MessageBoxFunction& showMessage) {
  showMessage(owner, VersionBoxText(LoadText(language, IDS_VERSION_TEXT), major, minor),
              LoadText(language, IDS_VERSION_CAPTION), MB_OK);
}

}  // namespace calbrin
