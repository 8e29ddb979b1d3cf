// The main window and the Windows side of the open flow.
#include "ui/main/main_window.h"

#include <commctrl.h>

#include <optional>
#include <string_view>

#include "net/device_operations.h"
#include "net/subnet.h"
#include "resources/resource.h"
#include "ui/controls/language_resources.h"
#include "ui/editor/settings_dialog.h"
#include "ui/main/app.h"
#include "ui/main/small_dialogs.h"
#include "ui/main/wide_text.h"

namespace calbrin {
namespace {

constexpr COLORREF kForeignRowColour = RGB(255, 0, 0);
constexpr int kRowTextCapacity = 256;

// The widths are dialog units, so that they follow the dialog's font as well as the DPI, as the
// list itself does. Each column takes its title and its longest value ("255.255.255.255",
// "02-00-00-00-00-01", "QV-48R2", "1.00") with the list's margins, both in the proportional
// Gothic that the layouts are made for and in a fixed-width Gothic that a system may put in its
// place, whose kana are wider. Together they fill the list's 228 units within its border; only
// the fixed-width Gothic at 96 DPI, where half pixels round up, needs one pixel more than that.
struct Column {
  int title;  // string
  int width;  // dialog units
};
constexpr Column kColumns[] = {{IDS_COLUMN_ADDRESS, 68},
                               {IDS_COLUMN_MAC, 76},
                               {IDS_COLUMN_MODEL, 36},
                               {IDS_COLUMN_VERSION, 48}};

// The controls that a search disables, in the order step 1 enables them again.
constexpr int kWorkingControls[] = {IDC_OPEN_SETTINGS, IDC_SEARCH, IDC_ADD_TO_LIST, IDCANCEL,
                                    IDC_ADAPTER};

// A width in dialog units as pixels of `dialog`, whose font and DPI both count.
int DialogUnitsToPixels(HWND dialog, int units) {
  RECT rect{0, 0, units, 0};
  MapDialogRect(dialog, &rect);
  return rect.right;
}

std::wstring ModulePath() {
  std::wstring path(32768, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
  path.resize(length);
  return path;
}

}  // namespace

// The open flow's view of the main window.
class MainWindowOpenUi final : public OpenDeviceUi {
 public:
  explicit MainWindowOpenUi(MainWindow& window) : window_(window) {}

  std::optional<Row> SelectedRow() override {
    const int row = window_.SelectedRow();
    if (row < 0) return std::nullopt;
    return Row{Utf8Text(window_.RowText(row, 0)), Utf8Text(window_.RowText(row, 1))};
  }
  void SetStatusText(std::string_view text) override {
    window_.SetStatusText(WideText(text));
    // The connect blocks this thread: paint the line now or "connecting" is never seen.
    UpdateWindow(GetDlgItem(window_.window_, IDC_STATUS));
  }
  void DeselectAllRows() override { window_.DeselectAllRows(); }
  void AskPassword(ScrambledPassword& login) override {
    PasswordDialogData data{&login, window_.showMessage, window_.app_.language};
    ShowPasswordDialog(window_.window_, data);
  }
  void ShowSettingsDialog() override {
    if (window_.showSettingsDialog) {
      window_.showSettingsDialog(window_.window_);
    } else {
      App& app = window_.app_;
      calbrin::ShowSettingsDialog(
          window_.window_, SettingsDialogData{.session = app.session,
                                              .console = app.console,
                                              .fileRecord = app.fileRecord,
                                              .applicationDirectory = app.applicationDirectory,
                                              .language = app.language,
                                              .dataFolder = app.dataFolder});
    }
  }
  void ShowError(std::string_view message) override {
    window_.showMessage(window_.window_, WideText(message),
                        LoadText(window_.app_.language, IDS_ERROR_CAPTION),
                        MB_OK | MB_ICONINFORMATION);
  }

 private:
  MainWindow& window_;
};

INT_PTR MainWindow::Run() {
  return DialogBoxIn(app_.language, IDD_MAIN, nullptr, DialogProc, reinterpret_cast<LPARAM>(this));
}

HWND MainWindow::Create(HWND owner) {
  return CreateDialogIn(app_.language, IDD_MAIN, owner, DialogProc, reinterpret_cast<LPARAM>(this));
}

INT_PTR CALLBACK MainWindow::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    auto* self = reinterpret_cast<MainWindow*>(lParam);
    SetWindowLongPtrW(window, GWLP_USERDATA, lParam);
    self->window_ = window;
    self->OnInitDialog();
    return TRUE;  // the focus goes to the first tab stop, the search button
  }
  auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self == nullptr) return FALSE;
  return self->HandleMessage(message, wParam, lParam);
}

INT_PTR MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      OnCommand(LOWORD(wParam), HIWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      LRESULT result = 0;
      if (!OnNotify(*reinterpret_cast<NMHDR*>(lParam), result)) return FALSE;
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, result);
      return TRUE;
    }
    case WM_TIMER:
      if (wParam != kSearchTimer) return FALSE;
      KillTimer(window_, kSearchTimer);
      PostMessageW(window_, kStepMessage, 0, 0);
      return TRUE;
    case kStepMessage:
      OnStep(LOWORD(wParam));
      return TRUE;
    case WM_CLOSE:
      // Not the dialog default, which would send command 2 and remove a row instead.
      EndDialog(window_, 0);
      return TRUE;
  }
  return FALSE;
}

void MainWindow::OnInitDialog() {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&controls);
  SetMenuIn(window_, app_.language, IDR_MAIN_MENU);

  HWND list = List();
  for (int i = 0; i < static_cast<int>(std::size(kColumns)); ++i) {
    LVCOLUMNW column{};
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = LVCFMT_LEFT;
    column.cx = DialogUnitsToPixels(window_, kColumns[i].width);
    std::wstring title = LoadText(app_.language, kColumns[i].title);
    column.pszText = title.data();
    column.iSubItem = i;
    ListView_InsertColumn(list, i, &column);
  }
  ListView_SetExtendedListViewStyleEx(list, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);

  fillAdapters(app_.adapters);
  SelectInitialAdapter(app_.adapters, app_.discovery.LocalProbeAddress());
  SetStatusText(L"");
  ShowWindow(GetDlgItem(window_, IDOK), SW_HIDE);
  CentreOnWorkArea();

  const std::wstring modulePath = ModulePath();
  const std::size_t separator = modulePath.find_last_of(L"\\/");
  app_.applicationDirectory =
      separator == std::wstring::npos ? std::wstring() : modulePath.substr(0, separator);
  ReadProductVersion(modulePath, app_.productVersion);

  FillAdapterCombo();
}

void MainWindow::OnCommand(int id, int code) {
  switch (id) {
    case IDOK:
      if (code == BN_CLICKED) ListView_DeleteAllItems(List());
      break;
    case IDCANCEL:
      if (code == BN_CLICKED) RemoveSelectedRow();
      break;
    case IDC_SEARCH:
      if (code == BN_CLICKED) StartSearch();
      break;
    case IDC_ADD_TO_LIST:
      if (code == BN_CLICKED) AddByHand();
      break;
    case IDC_OPEN_SETTINGS:
      if (code == BN_CLICKED) OpenSelectedDevice();
      break;
    case IDC_ADAPTER:
      if (code == CBN_SELCHANGE) ChangeAdapter();
      break;
    case IDM_VERSION:
      ShowVersionBox(window_, app_.language, app_.productVersion[0], app_.productVersion[1],
                     showMessage);
      break;
  }
}

bool MainWindow::OnNotify(NMHDR& header, LRESULT& result) {
  if (header.idFrom != IDC_DEVICE_LIST) return false;
  if (header.code == NM_CUSTOMDRAW) {
    // The list reads the colour back from its own notification structure.
    auto& draw = reinterpret_cast<NMLVCUSTOMDRAW&>(header);
    result = CDRF_DODEFAULT;
    if (draw.nmcd.dwDrawStage == CDDS_PREPAINT) {
      result = CDRF_NOTIFYITEMDRAW;
    } else if (draw.nmcd.dwDrawStage == CDDS_ITEMPREPAINT) {
      const DWORD_PTR row = draw.nmcd.dwItemSpec;
      if (row < kMaxRows && subnetFlags_[row] == 0) {
        draw.clrText = kForeignRowColour;
        result = CDRF_NEWFONT;
      }
    }
    return true;
  }
  if (header.code == NM_DBLCLK) {
    if (reinterpret_cast<const NMITEMACTIVATE&>(header).iItem != -1) {
      SendDlgItemMessageW(window_, IDC_OPEN_SETTINGS, BM_CLICK, 0, 0);
    }
    return false;
  }
  return false;
}

void MainWindow::OnStep(int step) {
  switch (step) {
    case 0:
      SearchDevices();
      PostMessageW(window_, kStepMessage, 1, 0);
      break;
    case 1: {
      EnableWorkingControls(true);
      // The search button had the focus when it was disabled; give the keyboard a home again.
      HWND focus = GetFocus();
      if (focus == nullptr || !IsWindowEnabled(focus)) {
        SendMessageW(window_, WM_NEXTDLGCTL,
                     reinterpret_cast<WPARAM>(GetDlgItem(window_, IDC_SEARCH)), TRUE);
      }
      break;
    }
    case 2:
      EnableWindow(GetDlgItem(window_, IDC_SEARCH), FALSE);
      break;
    case 3:
      EnableWindow(GetDlgItem(window_, IDC_OPEN_SETTINGS), FALSE);
      break;
    case 4:
      EnableWindow(GetDlgItem(window_, IDC_ADD_TO_LIST), FALSE);
      EnableWindow(GetDlgItem(window_, IDCANCEL), FALSE);
      break;
    case 5:
      EnableWindow(GetDlgItem(window_, IDC_ADAPTER), FALSE);
      break;
  }
}

void MainWindow::EnableWorkingControls(bool enable) {
  for (const int id : kWorkingControls)
    EnableWindow(GetDlgItem(window_, id), enable);
}

void MainWindow::StartSearch() {
  ListView_DeleteAllItems(List());
  for (WPARAM step = 2; step <= 5; ++step)
    SendMessageW(window_, kStepMessage, step, 0);
  SetTimer(window_, kSearchTimer, kSearchDelayMs, nullptr);
}

void MainWindow::SearchDevices() {
  SetStatusText(LoadText(app_.language, IDS_SEARCHING));
  // The search blocks this thread for its whole window: show the line before it starts.
  UpdateWindow(GetDlgItem(window_, IDC_STATUS));
  subnetFlags_.fill(1);
  const int found = app_.discovery.Discover(SelectedLocalAddress(app_.adapters));
  for (int j = 0; j < found && j < kMaxRows; ++j) {
    const DeviceEntry& entry = app_.discovery.Entry(j);
    AddRow(j, WideText(entry.AddressText()), WideText(entry.MacText()), WideText(entry.ModelText()),
           WideText(entry.VersionText()));
    subnetFlags_[static_cast<std::size_t>(j)] = SubnetTest(WideText(entry.AddressText()));
  }
  SetStatusText(L"");
}

void MainWindow::AddByHand() {
  // The colour flags, like the search, have room for 20 rows.
  if (RowCount() >= kMaxRows) {
    MessageBeep(MB_ICONWARNING);
    return;
  }
  AddAddressDialogData data;
  data.language = app_.language;
  askAddress(window_, data);
  if (!data.added) return;
  const int row = RowCount();
  const std::wstring address = WideText(data.address);
  AddRow(row, address, L"", L"", L"");
  subnetFlags_[static_cast<std::size_t>(row)] = SubnetTest(address);
}

void MainWindow::RemoveSelectedRow() {
  const int row = SelectedRow();
  if (row < 0) return;
  ListView_DeleteItem(List(), row);
  for (int i = row; i + 1 < kMaxRows; ++i) {
    subnetFlags_[static_cast<std::size_t>(i)] = subnetFlags_[static_cast<std::size_t>(i) + 1];
  }
  subnetFlags_[kMaxRows - 1] = 1;
}

void MainWindow::ChangeAdapter() {
  const auto index = SendDlgItemMessageW(window_, IDC_ADAPTER, CB_GETCURSEL, 0, 0);
  SelectAdapter(app_.adapters, static_cast<int>(index));
  const int rows = RowCount();
  for (int row = 0; row < rows && row < kMaxRows; ++row) {
    subnetFlags_[static_cast<std::size_t>(row)] = SubnetTest(RowText(row, 0));
  }
  InvalidateRect(List(), nullptr, FALSE);
  UpdateWindow(List());
}

void MainWindow::OpenSelectedDevice() {
  MainWindowOpenUi ui(*this);
  OpenDevice(app_.console, app_.adapters, app_.session, ui, app_.language);
}

void MainWindow::FillAdapterCombo() {
  const AdapterTable& table = app_.adapters;
  if (table.count == 0) return;
  HWND combo = GetDlgItem(window_, IDC_ADAPTER);
  int selected = 0;
  for (int i = 0; i < table.count; ++i) {
    const AdapterEntry& entry = table.entries[static_cast<std::size_t>(i)];
    const std::wstring text = WideText(entry.address) + L" (" + WideTextFromAnsi(entry.name) + L")";
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    if (entry.selected != 0 && selected == 0) selected = i;
  }
  SendMessageW(combo, CB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

void MainWindow::CentreOnWorkArea() {
  RECT window{};
  RECT work{};
  GetWindowRect(window_, &window);
  SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
  const int width = window.right - window.left;
  const int height = window.bottom - window.top;
  // Measured from the work area's own corner, so a task bar on the left or top is allowed for.
  SetWindowPos(window_, nullptr, work.left + (work.right - work.left - width) / 2,
               work.top + (work.bottom - work.top - height) / 2, 0, 0,
               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

HWND MainWindow::List() const {
  return GetDlgItem(window_, IDC_DEVICE_LIST);
}

int MainWindow::RowCount() const {
  return ListView_GetItemCount(List());
}

void MainWindow::AddRow(int index, const std::wstring& address, const std::wstring& mac,
                        const std::wstring& model, const std::wstring& version) {
  HWND list = List();
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = index;
  item.pszText = const_cast<wchar_t*>(address.c_str());
  const int row = ListView_InsertItem(list, &item);
  if (row < 0) return;
  ListView_SetItemText(list, row, 1, const_cast<wchar_t*>(mac.c_str()));
  ListView_SetItemText(list, row, 2, const_cast<wchar_t*>(model.c_str()));
  ListView_SetItemText(list, row, 3, const_cast<wchar_t*>(version.c_str()));
}

int MainWindow::SelectedRow() const {
  HWND list = List();
  const int rows = RowCount();
  constexpr UINT kBoth = LVIS_SELECTED | LVIS_FOCUSED;
  for (int row = 0; row < rows; ++row) {
    if ((ListView_GetItemState(list, row, kBoth) & kBoth) == kBoth) return row;
  }
  return -1;
}

std::wstring MainWindow::RowText(int row, int column) const {
  wchar_t text[kRowTextCapacity] = {};
  ListView_GetItemText(List(), row, column, text, kRowTextCapacity);
  return text;
}

void MainWindow::DeselectAllRows() {
  ListView_SetItemState(List(), -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
}

void MainWindow::SetStatusText(const std::wstring& text) {
  SetDlgItemTextW(window_, IDC_STATUS, text.c_str());
}

int MainWindow::SubnetTest(const std::wstring& rowAddress) const {
  const AdapterEntry* adapter = SelectedAdapter(app_.adapters);
  if (adapter == nullptr) return 0;
  return SameSubnet(adapter->address, adapter->mask, Utf8Text(rowAddress));
}

}  // namespace calbrin
