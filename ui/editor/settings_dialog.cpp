// SettingsDialog: model label, tab strip, page placement and switching, command dispatch.
#include "ui/editor/settings_dialog.h"

#include <commctrl.h>

#include <array>
#include <string_view>

#include "resources/resource.h"
#include "settings/device_model.h"
#include "settings/settings_record.h"
#include "ui/editor/lan_page.h"
#include "ui/editor/network_page.h"
#include "ui/editor/serial_page.h"
#include "ui/main/app.h"

namespace calbrin {
namespace {

// Device texts are single bytes in the system's code page.
std::wstring Widen(std::string_view text) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(CP_ACP, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  MultiByteToWideChar(CP_ACP, 0, text.data(), size, wide.data(), length);
  return wide;
}

// The tab strip's class must be registered before the dialog's layout creates it, and the pages
// will hold IP address controls.
void RegisterControlClasses() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&controls);
}

// Tab by tab: its caption and the layout of its page. The channel or port of a page follows
// from its place, see SettingsDialog::PageAt.
struct TabBinding {
  const wchar_t* caption;
  int pageLayout;
};

constexpr std::array<TabBinding, SettingsDialog::kPageCount> kTabs{{
    {L"共通", IDD_NETWORK_PAGE},
    {L"LAN(1)", IDD_LAN_PAGE},
    {L"LAN(2)", IDD_LAN_PAGE},
    {L"シリアルポート(1)", IDD_SERIAL_PAGE},
    {L"シリアルポート(2)", IDD_SERIAL_PAGE},
}};

}  // namespace

SettingsDialog::SettingsDialog(SettingsDialogContext& context)
    : context_(context),
      network_(std::make_unique<NetworkPage>()),
      lan_{std::make_unique<LanPage>(1, context.secondChannelReduced),
           std::make_unique<LanPage>(2, context.secondChannelReduced)},
      serial_{std::make_unique<SerialPage>(1, context.secondChannelReduced),
              std::make_unique<SerialPage>(2, context.secondChannelReduced)} {}

SettingsDialog::~SettingsDialog() {
  if (window_ != nullptr) DestroyWindow(window_);
}

int SettingsDialog::RunModal(HWND owner) {
  RegisterControlClasses();
  modal_ = true;
  const INT_PTR result =
      DialogBoxParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), owner,
                      &SettingsDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  return static_cast<int>(result);
}

HWND SettingsDialog::CreateModeless(HWND owner) {
  RegisterControlClasses();
  modal_ = false;
  HWND window = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDD_SETTINGS), owner,
                                   &SettingsDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  // The layout is not visible by itself; the modal loop would show it.
  if (window != nullptr) ShowWindow(window, SW_SHOW);
  return window;
}

SettingsPage* SettingsDialog::PageAt(int tabIndex) const {
  switch (tabIndex) {
    case 0:
      return network_.get();
    case 1:
    case 2:
      return lan_[static_cast<std::size_t>(tabIndex - 1)].get();
    case 3:
    case 4:
      return serial_[static_cast<std::size_t>(tabIndex - 3)].get();
    default:
      return nullptr;
  }
}

NetworkPage& SettingsDialog::Network() const {
  return *network_;
}

LanPage& SettingsDialog::Lan(int channel) const {
  return *lan_[channel == 2 ? 1 : 0];
}

SerialPage& SettingsDialog::Serial(int port) const {
  return *serial_[port == 2 ? 1 : 0];
}

INT_PTR CALLBACK SettingsDialog::DialogProc(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* dialog = reinterpret_cast<SettingsDialog*>(lParam);
    dialog->window_ = window;
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(dialog));
    dialog->OnInit();
    return TRUE;  // the platform places the first focus
  }
  auto* dialog = reinterpret_cast<SettingsDialog*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (dialog == nullptr) return FALSE;
  switch (message) {
    case WM_COMMAND:
      return dialog->OnCommand(LOWORD(wParam)) ? TRUE : FALSE;
    case WM_NOTIFY:
      return dialog->OnNotify(*reinterpret_cast<const NMHDR*>(lParam)) ? TRUE : FALSE;
    case WM_CLOSE:
      // Without this the dialog manager would turn the close box into Cancel.
      dialog->End(kSettingsDialogClosed);
      return TRUE;
    case WM_NCDESTROY:
      SetWindowLongPtrW(window, GWLP_USERDATA, 0);
      dialog->window_ = nullptr;
      return FALSE;
    default:
      return FALSE;
  }
}

void SettingsDialog::OnInit() {
  SetWindowTextW(window_, Widen(context_.deviceAddress).c_str());
  IdentifyModel();
  CreatePages();
  SetDlgItemTextW(window_, IDC_SETTINGS_STATUS, L" ");
}

void SettingsDialog::IdentifyModel() {
  const std::string_view modelCode = ReadField(context_.deviceRecord, SettingKey::MODEL);
  context_.modelNameText.assign(ModelNameText(ModelOf(modelCode)));
  // One rule for both channel-2 pages and the codec, whatever the label shows: only "48" has the
  // full channel 2, so an unknown code never depends on the device opened before.
  context_.secondChannelReduced = SecondChannelReduced(modelCode);
  const std::wstring label =
      L"MODEL: " +
      (context_.modelNameText.empty() ? std::wstring(L"?") : Widen(context_.modelNameText));
  SetDlgItemTextW(window_, IDC_MODEL_LABEL, label.c_str());
}

void SettingsDialog::CreatePages() {
  HWND tab = GetDlgItem(window_, IDC_TAB);
  for (int i = 0; i < kPageCount; ++i) {
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = const_cast<wchar_t*>(kTabs[static_cast<std::size_t>(i)].caption);
    TabCtrl_InsertItem(tab, i, &item);
  }

  // In tab order: the channel-2 pages read the variant flag set above while they load.
  for (int i = 0; i < kPageCount; ++i) {
    PageAt(i)->Create(window_, kTabs[static_cast<std::size_t>(i)].pageLayout,
                      context_.deviceRecord);
  }

  RECT area{};
  GetClientRect(tab, &area);
  TabCtrl_AdjustRect(tab, FALSE, &area);
  MapWindowPoints(tab, window_, reinterpret_cast<POINT*>(&area), 2);
  for (int i = 0; i < kPageCount; ++i) {
    SetWindowPos(PageAt(i)->Window(), nullptr, area.left, area.top, area.right - area.left,
                 area.bottom - area.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
  ShowPage(0);
}

void SettingsDialog::ShowPage(int tabIndex) {
  for (int i = 0; i < kPageCount; ++i)
    ShowWindow(PageAt(i)->Window(), SW_HIDE);
  if (SettingsPage* page = PageAt(tabIndex); page != nullptr) {
    ShowWindow(page->Window(), SW_SHOW);
    SetFocus(page->Window());
  }
}

bool SettingsDialog::OnCommand(int id) {
  switch (id) {
    case IDOK:
      if (ApplySettings()) End(kSettingsDialogApplied);
      return true;
    case IDCANCEL:
      End(kSettingsDialogCancelled);
      return true;
    case IDM_SAVE_SETTINGS_FILE:
      SaveSettingsFile();
      return true;
    case IDM_OPEN_SETTINGS_FILE:
      OpenSettingsFile();
      return true;
    default:
      return false;
  }
}

bool SettingsDialog::OnNotify(const NMHDR& header) {
  if (header.idFrom != IDC_TAB || header.code != static_cast<UINT>(TCN_SELCHANGE)) return false;
  ShowPage(TabCtrl_GetCurSel(GetDlgItem(window_, IDC_TAB)));
  return true;
}

void SettingsDialog::End(int result) {
  result_ = result;
  if (modal_) {
    EndDialog(window_, result);
  } else {
    DestroyWindow(window_);
  }
}

// Nothing can be written to the device yet: Apply reports failure, so the dialog stays open with
// every page as it was instead of closing as if the settings had been written.
bool SettingsDialog::ApplySettings() {
  return false;
}

void SettingsDialog::SaveSettingsFile() {}

void SettingsDialog::OpenSettingsFile() {}

int ShowSettingsDialog(HWND owner, SettingsDialogContext& context) {
  SettingsDialog dialog(context);
  return dialog.RunModal(owner);
}

int ShowSettingsDialog(HWND owner, App& app) {
  SettingsDialogContext context{.deviceRecord = app.session.deviceRecord,
                                .deviceAddress = std::string(app.session.identity.AddressText()),
                                .secondChannelReduced = app.secondChannelReduced,
                                .modelNameText = {}};
  return ShowSettingsDialog(owner, context);
}

}  // namespace calbrin
