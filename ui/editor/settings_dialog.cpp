// SettingsDialog: model label, tab strip, page placement and switching, command dispatch.
#include "ui/editor/settings_dialog.h"

#include <commctrl.h>

#include <algorithm>
#include <array>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "file/change_log.h"
#include "file/history.h"
#include "file/settings_file.h"
#include "file/write_record.h"
#include "pages/settings_view.h"
#include "resources/resource.h"
#include "settings/device_model.h"
#include "settings/messages.h"
#include "settings/settings_record.h"
#include "ui/controls/language_resources.h"
#include "ui/editor/lan_page.h"
#include "ui/editor/network_page.h"
#include "ui/editor/serial_page.h"
#include "ui/main/wide_text.h"

namespace calbrin {
namespace {

// The tab strip's class must be registered before the dialog's layout creates it, and the pages
// will hold IP address controls.
void RegisterControlClasses() {
  INITCOMMONCONTROLSEX controls{sizeof(INITCOMMONCONTROLSEX),
                                ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&controls);
}

// Tab by tab: its page, the layout of that page and the number that its caption adds to the
// page's name (none: 0). The channel or port of a page follows from its place, see
// SettingsDialog::PageAt.
struct TabBinding {
  PageKind page;
  int pageLayout;
  int number;
};

constexpr std::array<TabBinding, SettingsDialog::kPageCount> kTabs{{
    {PageKind::kNetwork, IDD_NETWORK_PAGE, 0},
    {PageKind::kLan, IDD_LAN_PAGE, 1},
    {PageKind::kLan, IDD_LAN_PAGE, 2},
    {PageKind::kSerial, IDD_SERIAL_PAGE, 1},
    {PageKind::kSerial, IDD_SERIAL_PAGE, 2},
}};

// "共通", "LAN(1)", "シリアルポート(2)" and so on, in `language`.
std::wstring TabCaption(const TabBinding& tab, Language language) {
  std::wstring caption = WideText(PageName(tab.page).In(language));
  if (tab.number != 0) caption += L"(" + std::to_wstring(tab.number) + L")";
  return caption;
}

}  // namespace

SettingsDialog::SettingsDialog(const SettingsDialogData& data)
    : data_(data),
      // Only "48" has the full channel 2, so an unknown code never depends on the device opened
      // before.
      secondChannelReduced_(
          SecondChannelReduced(ReadField(data.session.deviceRecord, SettingKey::MODEL))),
      network_(std::make_unique<NetworkPage>()),
      lan_{std::make_unique<LanPage>(1, secondChannelReduced_),
           std::make_unique<LanPage>(2, secondChannelReduced_)},
      serial_{std::make_unique<SerialPage>(1, secondChannelReduced_),
              std::make_unique<SerialPage>(2, secondChannelReduced_)} {}

SettingsDialog::~SettingsDialog() {
  if (window_ != nullptr) DestroyWindow(window_);
}

int SettingsDialog::RunModal(HWND owner) {
  RegisterControlClasses();
  modal_ = true;
  const INT_PTR result = DialogBoxIn(data_.language, IDD_SETTINGS, owner,
                                     &SettingsDialog::DialogProc, reinterpret_cast<LPARAM>(this));
  return static_cast<int>(result);
}

HWND SettingsDialog::CreateModeless(HWND owner) {
  RegisterControlClasses();
  modal_ = false;
  HWND window = CreateDialogIn(data_.language, IDD_SETTINGS, owner, &SettingsDialog::DialogProc,
                               reinterpret_cast<LPARAM>(this));
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
  SetMenuIn(window_, data_.language, IDR_SETTINGS_MENU);
  SetWindowTextW(window_, WideText(data_.session.identity.AddressText()).c_str());
  ShowModel();
  CreatePages();
  SetDlgItemTextW(window_, IDC_SETTINGS_STATUS, L" ");
}

void SettingsDialog::ShowModel() {
  const std::string_view modelCode = ReadField(data_.session.deviceRecord, SettingKey::MODEL);
  modelNameText_.assign(calbrin::ModelNameText(ModelOf(modelCode)));
  const std::wstring label =
      L"MODEL: " + (modelNameText_.empty() ? std::wstring(L"?") : WideText(modelNameText_));
  SetDlgItemTextW(window_, IDC_MODEL_LABEL, label.c_str());
}

void SettingsDialog::CreatePages() {
  HWND tab = GetDlgItem(window_, IDC_TAB);
  for (int i = 0; i < kPageCount; ++i) {
    std::wstring caption = TabCaption(kTabs[static_cast<std::size_t>(i)], data_.language);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    TabCtrl_InsertItem(tab, i, &item);
  }

  for (int i = 0; i < kPageCount; ++i) {
    PageAt(i)->Create(window_, kTabs[static_cast<std::size_t>(i)].pageLayout,
                      data_.session.deviceRecord, data_.language);
  }
  FitTabToPages();

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
      LoadSettingsFile();
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

// The pages are laid out in a larger font than the dialog, so their layouts can be taller than
// the tab strip's display area; a page cut off at the bottom would hide controls that the user
// needs. The tab strip, and the dialog with it, grow by what is missing; the status line and the
// buttons below keep their distance to it.
void SettingsDialog::FitTabToPages() {
  SIZE needed{};
  for (int i = 0; i < kPageCount; ++i) {
    RECT page{};
    GetWindowRect(PageAt(i)->Window(), &page);
    needed.cx = std::max(needed.cx, page.right - page.left);
    needed.cy = std::max(needed.cy, page.bottom - page.top);
  }
  HWND tab = GetDlgItem(window_, IDC_TAB);
  RECT area{};
  GetClientRect(tab, &area);
  TabCtrl_AdjustRect(tab, FALSE, &area);
  const int grow = std::max<LONG>(0, needed.cy - (area.bottom - area.top));
  const int widen = std::max<LONG>(0, needed.cx - (area.right - area.left));
  if (grow == 0 && widen == 0) return;

  const auto resize = [](HWND window, int dx, int dy) {
    RECT rect{};
    GetWindowRect(window, &rect);
    SetWindowPos(window, nullptr, 0, 0, rect.right - rect.left + dx, rect.bottom - rect.top + dy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  const auto move = [this](int id, int dx, int dy) {
    HWND control = GetDlgItem(window_, id);
    RECT rect{};
    GetWindowRect(control, &rect);
    MapWindowPoints(HWND_DESKTOP, window_, reinterpret_cast<POINT*>(&rect), 2);
    SetWindowPos(control, nullptr, rect.left + dx, rect.top + dy, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  };
  resize(tab, widen, grow);
  move(IDC_SETTINGS_STATUS, 0, grow);
  move(IDOK, widen, grow);
  move(IDCANCEL, widen, grow);
  // Grown about its centre, but never above the top of the work area.
  RECT frame{};
  GetWindowRect(window_, &frame);
  RECT work{};
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int left = std::max<LONG>(work.left, frame.left - widen / 2);
  const int top = std::max<LONG>(work.top, frame.top - grow / 2);
  SetWindowPos(window_, nullptr, left, top, frame.right - frame.left + widen,
               frame.bottom - frame.top + grow, SWP_NOZORDER | SWP_NOACTIVATE);
}

void SettingsDialog::SelectTab(int tabIndex) {
  HWND tab = GetDlgItem(window_, IDC_TAB);
  TabCtrl_SetCurSel(tab, tabIndex);
  NMHDR header{tab, IDC_TAB, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(window_, WM_NOTIFY, IDC_TAB, reinterpret_cast<LPARAM>(&header));
}

void SettingsDialog::SetStatusText(std::string_view text) {
  SetDlgItemTextW(window_, IDC_SETTINGS_STATUS, WideText(text).c_str());
  // Apply holds this thread while it writes: paint the line now or it is never seen.
  UpdateWindow(GetDlgItem(window_, IDC_SETTINGS_STATUS));
}

void SettingsDialog::ShowError(std::string_view message) {
  data_.showMessage(window_, WideText(message), LoadText(data_.language, IDS_ERROR_CAPTION),
                    MB_OK | MB_ICONINFORMATION);
}

PageStates SettingsDialog::ReadPages() const {
  return {network_->Read(),
          {lan_[0]->Read(), lan_[1]->Read()},
          {serial_[0]->Read(), serial_[1]->Read()}};
}

// Apply's and the collection's view of this dialog.
class SettingsDialog::DialogApplyUi final : public ApplyUi, public CollectUi {
 public:
  explicit DialogApplyUi(SettingsDialog& dialog) : dialog_(dialog) {}

  void ShowError(std::string_view message) override { dialog_.ShowError(message); }
  void ShowPage(int tab) override { dialog_.SelectTab(tab); }
  bool AskYesNo(std::string_view question) override {
    return dialog_.data_.showMessage(dialog_.window_, WideText(question), Caption(),
                                     MB_YESNO | MB_ICONQUESTION) == IDYES;
  }
  void ShowReport(std::string_view message) override {
    dialog_.data_.showMessage(dialog_.window_, WideText(message), Caption(), MB_OK);
  }
  void SetStatusText(std::string_view text) override { dialog_.SetStatusText(text); }
  bool WriteBegins() override { return writeBegan_ = dialog_.KeepHistory(); }

  // Whether the write began: the device may have changed, and the change log says so.
  bool WriteBegan() const { return writeBegan_; }

 private:
  std::wstring Caption() const { return LoadText(dialog_.data_.language, IDS_CONFIRM_CAPTION); }

  SettingsDialog& dialog_;
  bool writeBegan_ = false;
};

bool SettingsDialog::ApplySettings() {
  DialogApplyUi ui(*this);
  const PageStates pages = ReadPages();
  SettingsRecord collected;
  SettingsText text;
  if (CollectSettings(pages, data_.session.deviceRecord, false, secondChannelReduced_, collected,
                      text, ui, data_.language) != 0) {
    return false;
  }
  const PasswordChangeRequest passwordChange = PasswordChangeOf(pages.network);
  const bool written =
      calbrin::ApplySettings(data_.console, data_.session.deviceRecord, collected, text,
                             passwordChange, ui, data_.writeSettleTime, data_.language);
  if (ui.WriteBegan()) LogApply(pages, passwordChange.requested, written);
  return written;
}

std::string SettingsDialog::Text(int id, std::string_view part) const {
  return FillPlaceholders(Utf8Text(LoadText(data_.language, id)), {part});
}

bool SettingsDialog::KeepHistory() {
  const std::string problem =
      data_.dataFolder.empty()
          ? Text(IDS_NO_DATA_FOLDER)
          : SaveHistory(HistoryFolder(data_.dataFolder), data_.session.identity.AddressText(),
                        data_.session.deviceRecord, data_.language);
  if (problem.empty()) return true;
  SetStatusText(Text(IDS_HISTORY_NOT_KEPT, problem));
  return data_.showMessage(window_, WideText(Text(IDS_WRITE_WITHOUT_HISTORY)),
                           LoadText(data_.language, IDS_CONFIRM_CAPTION),
                           MB_YESNO | MB_ICONQUESTION) == IDYES;
}

void SettingsDialog::LogApply(const PageStates& pages, bool passwordChanged, bool written) {
  // Without a data folder the user was told before the write that nothing is kept.
  if (data_.dataFolder.empty()) return;
  // Compared in the form of a file, which the device's record is read into: the form written to
  // the device scrambles the channel passwords differently.
  DialogApplyUi ui(*this);
  SettingsRecord fileForm;
  SettingsText text;
  CollectSettings(pages, data_.session.deviceRecord, true, secondChannelReduced_, fileForm, text,
                  ui, data_.language);
  const std::vector<SettingDifference> changes =
      DifferentSettings(NormalisedSettings(data_.session.deviceRecord), fileForm);
  ChangeLog log(data_.dataFolder / kChangeLogName);
  const std::string problem =
      AppendRecord(log,
                   RecordOf({.command = "apply",
                             .address = std::string(data_.session.identity.AddressText()),
                             .mac = {},
                             .device = data_.session,
                             .result = written ? "written" : "failed",
                             .changes = changes,
                             .passwordChanged = passwordChanged},
                            "calbrin"),
                   data_.language);
  if (!problem.empty()) ShowError(Text(IDS_CHANGE_LOG_PROBLEM, problem));
}

void SettingsDialog::SaveSettingsFile() {
  const std::string name =
      ProposedSettingsFileName(modelNameText_, data_.session.identity.MacText());
  const std::optional<std::wstring> path = data_.chooseFile(
      window_, SettingsFileDialog::kSave, data_.applicationDirectory, WideText(name));
  if (!path) return;
  // The pages are checked before anything touches the disk: a refused collection leaves any file
  // of that name as it was.
  DialogApplyUi ui(*this);
  SettingsRecord collected;
  SettingsText text;
  if (CollectSettings(ReadPages(), data_.session.deviceRecord, true, secondChannelReduced_,
                      collected, text, ui, data_.language) != 0) {
    return;
  }
  if (!WriteSettingsFile(std::filesystem::path(*path), text.View()))
    ShowError(FileNotCreatedMessage(data_.language));
}

void SettingsDialog::LoadSettingsFile() {
  const std::optional<std::wstring> path =
      data_.chooseFile(window_, SettingsFileDialog::kOpen, data_.applicationDirectory, L"");
  if (!path) return;
  // A file of the other variant is refused: its channel-2 codes would not fit the pages.
  const SettingsFileRead result =
      ReadSettingsFile(std::filesystem::path(*path), secondChannelReduced_, data_.fileRecord);
  if (result != SettingsFileRead::kLoaded) {
    ShowError(SettingsFileReadMessage(result, data_.language));
    return;
  }
  // Every page, the hidden ones too; the tab shown stays as it is.
  for (int i = 0; i < kPageCount; ++i)
    PageAt(i)->Fill(data_.fileRecord);
}

int ShowSettingsDialog(HWND owner, const SettingsDialogData& data) {
  SettingsDialog dialog(data);
  return dialog.RunModal(owner);
}

}  // namespace calbrin
