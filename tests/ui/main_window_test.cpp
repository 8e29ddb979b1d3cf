// The main window, created without its own loop and driven the way a user drives it: what only a
// window shows of its list, the search's greyed controls, and the open flow.
#include "ui/main/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "sim/simulator.h"
#include "tests/ui/ui_support.h"
#include "ui/main/app.h"

namespace calbrin {
namespace {

using test::DriveModal;

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kUntouched = RGB(1, 2, 3);

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
    app_ = std::make_unique<App>(std::chrono::milliseconds(100));
    app_->console.Startup();
    app_->discovery.Startup("");
    window_ = std::make_unique<MainWindow>(*app_);
    window_->fillAdapters = test::FillTestAdapters;
    window_->showMessage = messages_.Function();
    hwnd_ = window_->Create();
    ASSERT_NE(hwnd_, nullptr);
    ShowWindow(hwnd_, SW_SHOW);
    list_ = GetDlgItem(hwnd_, IDC_DEVICE_LIST);
  }
  void TearDown() override {
    DestroyWindow(hwnd_);
    app_->discovery.Shutdown();
    app_->console.Shutdown();
  }

  int Rows() const { return ListView_GetItemCount(list_); }
  std::wstring Status() const { return WindowText(GetDlgItem(hwnd_, IDC_STATUS)); }
  void Click(int id) { SendDlgItemMessageW(hwnd_, id, BM_CLICK, 0, 0); }
  void AddByHand(const std::string& address) {
    window_->askAddress = [address](HWND, AddAddressDialogData& data) { data = {true, address}; };
    Click(IDC_ADD_TO_LIST);
  }
  void Select(int row, UINT state = LVIS_SELECTED | LVIS_FOCUSED) {
    ListView_SetItemState(list_, row, state, LVIS_SELECTED | LVIS_FOCUSED);
  }
  // A key pressed while `focus` has the keyboard, through the dialog manager as in the loop.
  void PressKey(HWND focus, WPARAM key) {
    SetFocus(focus);
    MSG message{focus, WM_KEYDOWN, key, 0, 0, {0, 0}};
    IsDialogMessageW(hwnd_, &message);
  }
  // The colours the list is told to draw the rows' texts in, through its custom-draw request.
  std::vector<COLORREF> RowColours() {
    std::vector<COLORREF> colours;
    for (int row = 0; row < Rows(); ++row) {
      NMLVCUSTOMDRAW draw{};
      draw.nmcd.hdr = {list_, IDC_DEVICE_LIST, static_cast<UINT>(NM_CUSTOMDRAW)};
      draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
      draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
      draw.clrText = kUntouched;
      SendMessageW(hwnd_, WM_NOTIFY, IDC_DEVICE_LIST, reinterpret_cast<LPARAM>(&draw));
      colours.push_back(draw.clrText);
    }
    return colours;
  }
  bool WorkingControlsEnabled(bool enabled) const {
    for (const int id : {IDC_SEARCH, IDC_ADAPTER, IDC_OPEN_SETTINGS, IDC_ADD_TO_LIST, IDCANCEL}) {
      if ((IsWindowEnabled(GetDlgItem(hwnd_, id)) != FALSE) != enabled) return false;
    }
    return true;
  }

  std::unique_ptr<App> app_;
  std::unique_ptr<MainWindow> window_;
  HWND hwnd_ = nullptr;
  HWND list_ = nullptr;
  test::MessageRecorder messages_;
};

TEST_F(MainWindowTest, StartsReadyWithItsColumnsAdaptersAndTheHiddenDefaultButton) {
  EXPECT_EQ(WindowText(hwnd_), L"Calbrin");
  EXPECT_TRUE(WorkingControlsEnabled(true));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(hwnd_, IDOK)));
  EXPECT_EQ(LOWORD(SendMessageW(hwnd_, DM_GETDEFID, 0, 0)), IDOK);
  EXPECT_EQ(GetFocus(), GetDlgItem(hwnd_, IDC_SEARCH));
  EXPECT_NE(ListView_GetExtendedListViewStyle(list_) & LVS_EX_FULLROWSELECT, 0u);
  const wchar_t* titles[] = {L"IPアドレス", L"MACアドレス", L"モデル", L"バージョン"};
  const int widths[] = {110, 140, 85, 64};
  for (int i = 0; i < 4; ++i) {
    wchar_t title[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetColumn(list_, i, &column));
    EXPECT_STREQ(title, titles[i]);
    EXPECT_EQ(column.cx, widths[i]);
  }
  wchar_t adapter[128] = {};
  SendDlgItemMessageW(hwnd_, IDC_ADAPTER, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(adapter));
  EXPECT_STREQ(adapter, L"192.168.1.10 (LAN)");
  // No route out of the test's namespace: the first adapter is the chosen one.
  EXPECT_EQ(SendDlgItemMessageW(hwnd_, IDC_ADAPTER, CB_GETCURSEL, 0, 0), 0);
  app_->productVersion = {1, 5, 0, 0};
  SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDM_VERSION, 0), 0);
  EXPECT_EQ(messages_.shown, std::vector<std::wstring>{test::Box(
                                 L"バージョン情報", L"    バージョン : 1.05    ", MB_OK)});
}

// Rows keep their own subnet colour when a row above them goes, and follow the chosen adapter.
TEST_F(MainWindowTest, RowsAreColouredBySubnetRemovedByEscapeAndEmptiedByEnter) {
  for (const char* address : {"127.0.0.5", "192.168.1.20", "host", "127.0.0.5"})
    AddByHand(address);
  // The list asks for every row to be drawn on its own, which is when it takes the colour.
  NMCUSTOMDRAW paint{};
  paint.hdr = {list_, IDC_DEVICE_LIST, static_cast<UINT>(NM_CUSTOMDRAW)};
  paint.dwDrawStage = CDDS_PREPAINT;
  SendMessageW(hwnd_, WM_NOTIFY, IDC_DEVICE_LIST, reinterpret_cast<LPARAM>(&paint));
  EXPECT_EQ(GetWindowLongPtrW(hwnd_, DWLP_MSGRESULT), CDRF_NOTIFYITEMDRAW);
  EXPECT_EQ(RowColours(), (std::vector{kUntouched, kRed, kRed, kUntouched}));
  // Escape removes the row that is both selected and focused, wherever the focus is.
  Select(0, LVIS_SELECTED);
  PressKey(GetDlgItem(hwnd_, IDC_SEARCH), VK_ESCAPE);
  EXPECT_EQ(Rows(), 4);
  Select(0);
  PressKey(GetDlgItem(hwnd_, IDC_SEARCH), VK_ESCAPE);
  EXPECT_EQ(RowColours(), (std::vector{kRed, kRed, kUntouched}));

  HWND combo = GetDlgItem(hwnd_, IDC_ADAPTER);
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  SendMessageW(hwnd_, WM_COMMAND, MAKEWPARAM(IDC_ADAPTER, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  AddByHand("192.168.1.30");
  EXPECT_EQ(RowColours(), (std::vector{kUntouched, kRed, kRed, kUntouched}));

  PressKey(list_, VK_RETURN);
  EXPECT_EQ(Rows(), 0);
  // At most twenty rows: a full list asks for no more.
  for (int i = 0; i < MainWindow::kMaxRows + 1; ++i)
    AddByHand("127.0.0." + std::to_string(i + 2));
  EXPECT_EQ(Rows(), MainWindow::kMaxRows);
}

// Nothing answers inside the test's namespace: the search still gives the controls back.
TEST_F(MainWindowTest, SearchEmptiesTheListAndGreysTheControlsUntilItHasListened) {
  AddByHand("192.168.1.20");
  SendMessageW(hwnd_, kStepMessage, 6, 0);  // no such step
  EXPECT_TRUE(WorkingControlsEnabled(true));
  Click(IDC_SEARCH);
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(WorkingControlsEnabled(false));
  EXPECT_TRUE(test::PumpUntil([this] { return WorkingControlsEnabled(true); }, 5000));
  EXPECT_EQ(Status(), L"");
}

// Opening a simulated device: by a double-click on its row through the password dialog, and by
// the open button into the tool's own settings dialog.
class MainWindowOpenTest : public MainWindowTest {
 protected:
  void StartDevice(const std::string& password) {
    sim::DeviceConfig config;
    config.password = password;
    simulator_.AddDevice(config);
    std::string error;
    ASSERT_TRUE(simulator_.Start(error)) << error;
    AddByHand("127.0.0.2");
    Select(0);
  }
  void ExpectCleanEnd() {
    EXPECT_EQ(ListView_GetSelectedCount(list_), 0u);
    EXPECT_EQ(Status(), L"");
    EXPECT_FALSE(app_->console.Connected());
  }

  sim::Simulator simulator_;
};

TEST_F(MainWindowOpenTest, AWrongPasswordIsRefusedWithItsMessage) {
  StartDevice("pw12");
  window_->showSettingsDialog = [](HWND) { ADD_FAILURE() << "the settings dialog opened"; };
  NMITEMACTIVATE activate{};
  activate.hdr = {list_, IDC_DEVICE_LIST, static_cast<UINT>(NM_DBLCLK)};
  EXPECT_TRUE(DriveModal(
      L"パスワード入力",
      [this](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), hwnd_);
        EXPECT_EQ(Status(), L"接続中...");
        SetDlgItemTextW(dialog, IDC_PASSWORD, L"wrong");
        SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
      },
      [&] {
        SendMessageW(hwnd_, WM_NOTIFY, IDC_DEVICE_LIST, reinterpret_cast<LPARAM>(&activate));
      }));
  EXPECT_EQ(messages_.shown,
            std::vector<std::wstring>{test::ErrorBox(
                L" 認証されませんでした。\r\n パスワードが異なる可能性があります。")});
  ExpectCleanEnd();
}

TEST_F(MainWindowOpenTest, TheToolsOwnSettingsDialogOpensModalTitledWithTheAddress) {
  StartDevice("");
  std::wstring model;
  EXPECT_TRUE(DriveModal(
      L"127.0.0.2",
      [&](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), hwnd_);
        EXPECT_TRUE(app_->console.Connected());
        model = WindowText(GetDlgItem(dialog, IDC_MODEL_LABEL));
        SendDlgItemMessageW(dialog, IDCANCEL, BM_CLICK, 0, 0);
      },
      [this] { Click(IDC_OPEN_SETTINGS); }));
  EXPECT_EQ(model, L"MODEL: QV-48R2");
  ExpectCleanEnd();
}

}  // namespace
}  // namespace calbrin
