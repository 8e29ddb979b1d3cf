// The main window, created without its own loop and driven the way a user drives it.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/native_program.h"
#include "modal_driver.h"
#include "resources/resource.h"
#include "tests/support/sim_settings.h"
#include "ui/main/app.h"
#include "ui/main/main_window.h"

namespace calbrin {
namespace {

using testing::DriveModal;
using testing::PumpUntil;
using testing::TypeAddress;

struct ShownMessage {
  HWND owner;
  std::wstring text;
  std::wstring caption;
  UINT type;
};

// Two adapters: the loopback one, chosen at start-up, and a LAN one.
int FillTestAdapters(AdapterTable& table) {
  table = {};
  table.entries[0].name = "lo";
  table.entries[0].address = "127.0.0.1";
  table.entries[0].prefixLength = 8;
  table.entries[0].mask = "255.0.0.0";
  table.entries[1].name = "LAN";
  table.entries[1].address = "192.168.1.10";
  table.entries[1].prefixLength = 24;
  table.entries[1].mask = "255.255.255.0";
  table.count = 2;
  return 1;
}

class MainWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
    ConsoleTimeLimits limits;
    limits.prompt = std::chrono::milliseconds(1000);
    app = std::make_unique<App>(std::chrono::milliseconds(100), limits);
    app->console.Startup();
    app->discovery.Startup("");
    window = std::make_unique<MainWindow>(*app);
    window->fillAdapters = FillTestAdapters;
    window->showMessage = [this](HWND owner, const std::wstring& text, const std::wstring& caption,
                                 UINT type) {
      messages.push_back({owner, text, caption, type});
      return IDOK;
    };
    window->showSettingsDialog = [this](HWND) { ++settingsShown; };
    hwnd = window->Create();
    ASSERT_NE(hwnd, nullptr);
    ShowWindow(hwnd, SW_SHOW);
    list = GetDlgItem(hwnd, IDC_DEVICE_LIST);
  }

  void TearDown() override {
    if (hwnd != nullptr) DestroyWindow(hwnd);
    window.reset();
    app->discovery.Shutdown();
    app->console.Shutdown();
  }

  int Rows() const { return ListView_GetItemCount(list); }

  std::wstring Cell(int row, int column) const {
    wchar_t text[256] = {};
    ListView_GetItemText(list, row, column, text, 256);
    return text;
  }

  void Click(int id) { SendDlgItemMessageW(hwnd, id, BM_CLICK, 0, 0); }

  // "リストに追加" with `address` entered in the add dialog and OK pressed.
  void AddByHand(const std::string& address) {
    window->askAddress = [address](HWND, AddAddressDialogData& data) {
      data.added = true;
      data.address = address;
    };
    Click(IDC_ADD_TO_LIST);
  }

  // "リストに追加" through the real add dialog, which `drive` fills in and closes.
  bool AddThroughDialog(const std::function<void(HWND dialog)>& drive) {
    window->askAddress = ShowAddAddressDialog;
    return DriveModal(L"IPアドレスの追加", drive, [this] { Click(IDC_ADD_TO_LIST); });
  }

  void SelectRow(int row) {
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  }

  // A key pressed while `focus` has the keyboard, through the dialog manager as in the loop.
  void PressKey(HWND focus, WPARAM key) {
    SetFocus(focus);
    MSG message{focus, WM_KEYDOWN, key, 0, 0, {0, 0}};
    IsDialogMessageW(hwnd, &message);
  }

  // The colour the list is told to draw a row's text in, through its custom-draw request.
  COLORREF RowColour(int row) {
    NMLVCUSTOMDRAW draw{};
    draw.nmcd.hdr = {list, IDC_DEVICE_LIST, static_cast<UINT>(NM_CUSTOMDRAW)};
    draw.nmcd.dwDrawStage = CDDS_ITEMPREPAINT;
    draw.nmcd.dwItemSpec = static_cast<DWORD_PTR>(row);
    draw.clrText = RGB(1, 2, 3);
    SendMessageW(hwnd, WM_NOTIFY, IDC_DEVICE_LIST, reinterpret_cast<LPARAM>(&draw));
    return draw.clrText;
  }

  bool WorkingControlsEnabled(bool enabled) const {
    for (const int id : {IDC_SEARCH, IDC_ADAPTER, IDC_OPEN_SETTINGS, IDC_ADD_TO_LIST, IDCANCEL}) {
      if ((IsWindowEnabled(GetDlgItem(hwnd, id)) != FALSE) != enabled) return false;
    }
    return true;
  }

  std::unique_ptr<App> app;
  std::unique_ptr<MainWindow> window;
  HWND hwnd = nullptr;
  HWND list = nullptr;
  std::vector<ShownMessage> messages;
  int settingsShown = 0;
};

constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr COLORREF kUntouched = RGB(1, 2, 3);

TEST_F(MainWindowTest, StartsReadyWithAnEmptyListAndTheHiddenDefaultButton) {
  wchar_t caption[64] = {};
  GetWindowTextW(hwnd, caption, 64);
  EXPECT_STREQ(caption, L"Calbrin");
  EXPECT_TRUE(WorkingControlsEnabled(true));
  EXPECT_FALSE(IsWindowVisible(GetDlgItem(hwnd, IDOK)));
  EXPECT_EQ(LOWORD(SendMessageW(hwnd, DM_GETDEFID, 0, 0)), IDOK);
  EXPECT_EQ(Rows(), 0);
  wchar_t status[64] = {L'x'};
  GetDlgItemTextW(hwnd, IDC_STATUS, status, 64);
  EXPECT_STREQ(status, L"");
  EXPECT_EQ(GetFocus(), GetDlgItem(hwnd, IDC_SEARCH));
  EXPECT_NE(ListView_GetExtendedListViewStyle(list) & LVS_EX_FULLROWSELECT, 0u);

  const wchar_t* titles[] = {L"IPアドレス", L"MACアドレス", L"モデル", L"バージョン"};
  const int widths[] = {110, 140, 85, 64};
  for (int i = 0; i < 4; ++i) {
    wchar_t title[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT;
    column.pszText = title;
    column.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetColumn(list, i, &column));
    EXPECT_STREQ(title, titles[i]);
    EXPECT_EQ(column.cx, widths[i]);
    EXPECT_EQ(column.fmt & LVCFMT_JUSTIFYMASK, LVCFMT_LEFT);
  }
  EXPECT_EQ(app->productVersion, (std::array<std::uint16_t, 4>{1, 0, 0, 0}));
}

TEST_F(MainWindowTest, AdapterComboShowsAddressThenNameAndSelectsTheChosenAdapter) {
  HWND combo = GetDlgItem(hwnd, IDC_ADAPTER);
  ASSERT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 2);
  wchar_t text[128] = {};
  SendMessageW(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"127.0.0.1 (lo)");
  SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
  EXPECT_STREQ(text, L"192.168.1.10 (LAN)");
  // No route out of the test's namespace, so the first adapter is the chosen one.
  EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
  EXPECT_EQ(app->adapters.entries[0].selected, 1);
}

TEST_F(MainWindowTest, AddingByHandAppendsRowsColouredBySubnet) {
  AddByHand("127.0.0.5");
  AddByHand("192.168.1.20");
  AddByHand("127.0.0.5");
  ASSERT_EQ(Rows(), 3);
  EXPECT_EQ(Cell(0, 0), L"127.0.0.5");
  EXPECT_EQ(Cell(1, 0), L"192.168.1.20");
  EXPECT_EQ(Cell(2, 0), L"127.0.0.5");
  EXPECT_EQ(Cell(0, 1), L"");
  EXPECT_EQ(Cell(0, 2), L"");
  EXPECT_EQ(Cell(0, 3), L"");
  EXPECT_EQ(RowColour(0), kUntouched);
  EXPECT_EQ(RowColour(1), kRed);
  EXPECT_EQ(RowColour(2), kUntouched);
}

TEST_F(MainWindowTest, AddDialogAddsTypedAddressesAndNothingForBlankOrCancel) {
  const auto typeAndPress = [](const wchar_t* a, const wchar_t* b, const wchar_t* c,
                               const wchar_t* d, int button) {
    return [=](HWND dialog) {
      TypeAddress(GetDlgItem(dialog, IDC_ADDRESS), a, b, c, d);
      SendDlgItemMessageW(dialog, button, BM_CLICK, 0, 0);
    };
  };
  EXPECT_TRUE(AddThroughDialog([this](HWND dialog) {
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), hwnd);
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
  }));
  EXPECT_TRUE(AddThroughDialog(typeAndPress(L"0", L"0", L"0", L"0", IDOK)));
  EXPECT_TRUE(AddThroughDialog(typeAndPress(L"127", L"0", L"0", L"9", IDCANCEL)));
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(AddThroughDialog(typeAndPress(L"192", L"168", L"1", L"20", IDOK)));
  EXPECT_TRUE(AddThroughDialog(typeAndPress(L"192", L"168", L"1", L"20", IDOK)));
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0), L"192.168.1.20");
  EXPECT_EQ(Cell(1, 0), L"192.168.1.20");
  EXPECT_EQ(RowColour(1), kRed);
}

TEST_F(MainWindowTest, ListFullOfTwentyRowsTakesNoMore) {
  for (int i = 0; i < MainWindow::kMaxRows; ++i)
    AddByHand("127.0.0." + std::to_string(i + 2));
  ASSERT_EQ(Rows(), MainWindow::kMaxRows);
  bool asked = false;
  window->askAddress = [&asked](HWND, AddAddressDialogData& data) {
    asked = true;
    data.added = true;
    data.address = "127.0.0.99";
  };
  Click(IDC_ADD_TO_LIST);
  EXPECT_FALSE(asked);
  EXPECT_EQ(Rows(), MainWindow::kMaxRows);
}

TEST_F(MainWindowTest, EnterEmptiesTheList) {
  AddByHand("127.0.0.5");
  AddByHand("127.0.0.6");
  PressKey(list, VK_RETURN);
  EXPECT_EQ(Rows(), 0);
  AddByHand("127.0.0.7");
  PressKey(GetDlgItem(hwnd, IDC_ADAPTER), VK_RETURN);
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, EscapeRemovesTheSelectedRowAndTheRowsBelowKeepTheirColours) {
  AddByHand("192.168.1.20");
  AddByHand("127.0.0.6");
  AddByHand("192.168.1.21");
  ASSERT_EQ(RowColour(1), kUntouched);
  SelectRow(1);
  PressKey(GetDlgItem(hwnd, IDC_SEARCH), VK_ESCAPE);
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0), L"192.168.1.20");
  EXPECT_EQ(Cell(1, 0), L"192.168.1.21");
  EXPECT_EQ(RowColour(0), kRed);
  EXPECT_EQ(RowColour(1), kRed);
}

TEST_F(MainWindowTest, RemoveNeedsARowThatIsBothSelectedAndFocused) {
  AddByHand("127.0.0.5");
  AddByHand("127.0.0.6");
  Click(IDCANCEL);
  EXPECT_EQ(Rows(), 2);
  ListView_SetItemState(list, 0, LVIS_SELECTED, LVIS_SELECTED | LVIS_FOCUSED);
  ListView_SetItemState(list, 1, LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
  Click(IDCANCEL);
  EXPECT_EQ(Rows(), 2);
  SelectRow(1);
  Click(IDCANCEL);
  ASSERT_EQ(Rows(), 1);
  EXPECT_EQ(Cell(0, 0), L"127.0.0.5");
  EXPECT_TRUE(messages.empty());
}

TEST_F(MainWindowTest, ChoosingAnotherAdapterRecoloursEveryRow) {
  AddByHand("127.0.0.5");
  AddByHand("192.168.1.20");
  HWND combo = GetDlgItem(hwnd, IDC_ADAPTER);
  SendMessageW(combo, CB_SETCURSEL, 1, 0);
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDC_ADAPTER, CBN_SELCHANGE),
               reinterpret_cast<LPARAM>(combo));
  EXPECT_EQ(app->adapters.entries[0].selected, 0);
  EXPECT_EQ(app->adapters.entries[1].selected, 1);
  EXPECT_EQ(RowColour(0), kRed);
  EXPECT_EQ(RowColour(1), kUntouched);
  // A row added now is tested against the new adapter.
  AddByHand("192.168.1.30");
  EXPECT_EQ(RowColour(2), kUntouched);
}

TEST_F(MainWindowTest, ListAsksForEveryRowToBeDrawnSeparately) {
  NMLVCUSTOMDRAW draw{};
  draw.nmcd.hdr = {list, IDC_DEVICE_LIST, static_cast<UINT>(NM_CUSTOMDRAW)};
  draw.nmcd.dwDrawStage = CDDS_PREPAINT;
  EXPECT_TRUE(SendMessageW(hwnd, WM_NOTIFY, IDC_DEVICE_LIST, reinterpret_cast<LPARAM>(&draw)));
  EXPECT_EQ(GetWindowLongPtrW(hwnd, DWLP_MSGRESULT), CDRF_NOTIFYITEMDRAW);
}

TEST_F(MainWindowTest, SearchEmptiesTheListDisablesTheControlsAndBringsThemBack) {
  AddByHand("127.0.0.5");
  Click(IDC_SEARCH);
  EXPECT_EQ(Rows(), 0);
  EXPECT_TRUE(WorkingControlsEnabled(false));
  const DWORD clicked = GetTickCount();
  // Nothing answers inside the test's namespace: the controls still come back.
  EXPECT_TRUE(PumpUntil([this] { return WorkingControlsEnabled(true); }, 5000));
  EXPECT_GE(GetTickCount() - clicked, 500u);
  EXPECT_EQ(Rows(), 0);
  wchar_t status[64] = {L'x'};
  GetDlgItemTextW(hwnd, IDC_STATUS, status, 64);
  EXPECT_STREQ(status, L"");
}

TEST_F(MainWindowTest, StepCodesDisableTheirControlsAndCodesAboveFiveDoNothing) {
  SendMessageW(hwnd, kStepMessage, 6, 0);
  SendMessageW(hwnd, kStepMessage, 0x10006, 0);
  EXPECT_TRUE(WorkingControlsEnabled(true));
  SendMessageW(hwnd, kStepMessage, 2, 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDC_SEARCH)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hwnd, IDC_OPEN_SETTINGS)));
  SendMessageW(hwnd, kStepMessage, 4, 0);
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDC_ADD_TO_LIST)));
  EXPECT_FALSE(IsWindowEnabled(GetDlgItem(hwnd, IDCANCEL)));
  EXPECT_TRUE(IsWindowEnabled(GetDlgItem(hwnd, IDC_ADAPTER)));
  SendMessageW(hwnd, kStepMessage, 1, 0);
  EXPECT_TRUE(WorkingControlsEnabled(true));
}

TEST_F(MainWindowTest, OpenWithoutASelectedRowSaysSo) {
  AddByHand("127.0.0.5");
  Click(IDC_OPEN_SETTINGS);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"デバイスが選択されていません。\r\nIPアドレスを選択してください。");
  EXPECT_EQ(messages[0].caption, L"エラー");
  EXPECT_EQ(messages[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
  EXPECT_EQ(settingsShown, 0);
}

TEST_F(MainWindowTest, DoubleClickOnARowOpensAndOnEmptySpaceDoesNothing) {
  NMITEMACTIVATE activate{};
  activate.hdr = {list, IDC_DEVICE_LIST, static_cast<UINT>(NM_DBLCLK)};
  activate.iItem = -1;
  SendMessageW(hwnd, WM_NOTIFY, IDC_DEVICE_LIST, reinterpret_cast<LPARAM>(&activate));
  EXPECT_TRUE(messages.empty());
  // A row hit without a selection: the open runs and reports the missing selection.
  AddByHand("127.0.0.5");
  activate.iItem = 0;
  SendMessageW(hwnd, WM_NOTIFY, IDC_DEVICE_LIST, reinterpret_cast<LPARAM>(&activate));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"デバイスが選択されていません。\r\nIPアドレスを選択してください。");
}

TEST_F(MainWindowTest, OpenOfADeviceThatRefusesReportsTheSocketErrorAndDeselects) {
  AddByHand("127.0.0.1");
  SelectRow(0);
  Click(IDC_OPEN_SETTINGS);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text.rfind(L"ソケットエラー : 10061 \r\n", 0), 0u)
      << messages[0].text.size();
  EXPECT_NE(messages[0].text.find(L"接続先から拒否されたため、接続できませんでした。"),
            std::wstring::npos);
  EXPECT_EQ(messages[0].caption, L"エラー");
  EXPECT_EQ(ListView_GetSelectedCount(list), 0u);
  wchar_t status[64] = {L'x'};
  GetDlgItemTextW(hwnd, IDC_STATUS, status, 64);
  EXPECT_STREQ(status, L"");
  EXPECT_EQ(std::string(app->session.identity.AddressText()), "127.0.0.1");
  EXPECT_EQ(settingsShown, 0);
}

TEST_F(MainWindowTest, VersionBoxShowsTheProductVersion) {
  app->productVersion = {1, 5, 0, 0};
  SendMessageW(hwnd, WM_COMMAND, MAKEWPARAM(IDM_VERSION, 0), 0);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].owner, hwnd);
  EXPECT_EQ(messages[0].text, L"    バージョン : 1.05    ");
  EXPECT_EQ(messages[0].caption, L"バージョン情報");
  EXPECT_EQ(messages[0].type, static_cast<UINT>(MB_OK));
}

// A discovery reply of a device: version byte, model code and MAC address.
std::string ReplyHex(int version, int model, int lastMacByte) {
  std::string bytes(32, '\0');
  bytes[4] = static_cast<char>(version);
  bytes[6] = static_cast<char>(model);
  const int mac[] = {2, 0, 0, 0x0A, 0x1B, lastMacByte};
  for (int i = 0; i < 6; ++i)
    bytes[static_cast<std::size_t>(24 + i)] = static_cast<char>(mac[i]);
  std::string hex;
  for (const unsigned char c : bytes) {
    char digits[3];
    std::snprintf(digits, sizeof digits, "%02x", c);
    hex += digits;
  }
  return hex;
}

TEST_F(MainWindowTest, SearchListsTheDevicesThatAnswerWithTheirFourTexts) {
  // A native helper answers the broadcast, each reply from its own loopback address.
  const test::SharedFile ready = test::NewSharedFile("main-window-responder");
  const std::string tool = test::NativeToolPath("udp_responder");
  ASSERT_FALSE(tool.empty()) << "CALBRIN_NATIVE_TOOLS is not set";
  ASSERT_TRUE(test::StartNativeProgram(tool, {ready.nativePath, "127.0.0.3", ReplyHex(113, 2, 0xFF),
                                              "127.0.0.2", ReplyHex(5, 1, 0x01)}));
  ASSERT_TRUE(test::AwaitFile(ready.localPath, 0, std::chrono::seconds(5)));

  AddByHand("192.168.1.20");
  Click(IDC_SEARCH);
  EXPECT_TRUE(PumpUntil([this] { return WorkingControlsEnabled(true); }, 5000));
  std::remove(ready.localPath.c_str());
  ASSERT_EQ(Rows(), 2);
  EXPECT_EQ(Cell(0, 0), L"127.0.0.3");
  EXPECT_EQ(Cell(0, 1), L"02-00-00-0A-1B-FF");
  EXPECT_EQ(Cell(0, 2), L"QV-57R");
  EXPECT_EQ(Cell(0, 3), L"1.13");
  EXPECT_EQ(Cell(1, 0), L"127.0.0.2");
  EXPECT_EQ(Cell(1, 2), L"QV-48R2");
  EXPECT_EQ(Cell(1, 3), L"0.05");
  EXPECT_EQ(RowColour(0), kUntouched);
  EXPECT_EQ(RowColour(1), kUntouched);
}

// Opening devices of the simulator from the list, through the real password dialog.
class MainWindowOpenTest : public MainWindowTest {
 protected:
  void StartDevice(const std::string& password) {
    sim::DeviceConfig config;
    config.password = password;
    simulator.AddDevice(config);
    std::string error;
    ASSERT_TRUE(simulator.Start(error)) << error;
    AddByHand("127.0.0.2");
    SelectRow(0);
  }

  // Double-clicks the selected row; `typePassword` answers the password dialog, or none when no
  // dialog is expected. Returns whether the password dialog was shown.
  bool OpenByDoubleClick(const std::function<void(HWND dialog)>& typePassword) {
    NMITEMACTIVATE activate{};
    activate.hdr = {list, IDC_DEVICE_LIST, static_cast<UINT>(NM_DBLCLK)};
    activate.iItem = 0;
    return DriveModal(L"パスワード入力", typePassword, [&] {
      SendMessageW(hwnd, WM_NOTIFY, IDC_DEVICE_LIST, reinterpret_cast<LPARAM>(&activate));
    });
  }

  void ExpectCleanEnd() {
    EXPECT_EQ(ListView_GetSelectedCount(list), 0u);
    wchar_t status[64] = {L'x'};
    GetDlgItemTextW(hwnd, IDC_STATUS, status, 64);
    EXPECT_STREQ(status, L"");
    EXPECT_FALSE(app->console.Connected());
  }

  static std::function<void(HWND)> Type(const wchar_t* password, int button = IDOK) {
    return [=](HWND dialog) {
      SetDlgItemTextW(dialog, IDC_PASSWORD, password);
      SendDlgItemMessageW(dialog, button, BM_CLICK, 0, 0);
    };
  }

  sim::Simulator simulator;
};

TEST_F(MainWindowOpenTest, DeviceWithoutPasswordOpensTheSettingsDirectly) {
  StartDevice("");
  bool connectedDuringDialog = false;
  window->showSettingsDialog = [&](HWND) {
    ++settingsShown;
    connectedDuringDialog = app->console.Connected();
  };
  EXPECT_FALSE(OpenByDoubleClick(Type(L"unused")));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(settingsShown, 1);
  EXPECT_TRUE(connectedDuringDialog);
  EXPECT_EQ(std::string(app->session.identity.AddressText()), "127.0.0.2");
  ExpectCleanEnd();
}

TEST_F(MainWindowOpenTest, CommandPromptDeviceOpensTheRealSettingsDialogTitledWithItsAddress) {
  StartDevice("");
  window->showSettingsDialog = nullptr;  // the tool's own settings dialog
  bool connectedDuringDialog = false;
  std::wstring model;
  int tabs = 0;
  const bool shown = DriveModal(
      L"127.0.0.2",
      [&](HWND dialog) {
        EXPECT_EQ(GetWindow(dialog, GW_OWNER), hwnd);
        EXPECT_FALSE(IsWindowEnabled(hwnd));
        connectedDuringDialog = app->console.Connected();
        wchar_t label[64] = {};
        GetDlgItemTextW(dialog, IDC_MODEL_LABEL, label, 64);
        model = label;
        tabs = TabCtrl_GetItemCount(GetDlgItem(dialog, IDC_TAB));
        SendDlgItemMessageW(dialog, IDCANCEL, BM_CLICK, 0, 0);
      },
      [this] { Click(IDC_OPEN_SETTINGS); });
  EXPECT_TRUE(shown);
  EXPECT_TRUE(connectedDuringDialog);
  EXPECT_EQ(model, L"MODEL: QV-48R2");
  EXPECT_EQ(tabs, 5);
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(settingsShown, 0);
  ExpectCleanEnd();
}

TEST_F(MainWindowOpenTest, RightPasswordOpensTheSettings) {
  StartDevice("pw12");
  EXPECT_TRUE(OpenByDoubleClick([this](HWND dialog) {
    // Modal to the main window, whose status line says that it is connecting.
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), hwnd);
    EXPECT_FALSE(IsWindowEnabled(hwnd));
    wchar_t status[64] = {};
    GetDlgItemTextW(hwnd, IDC_STATUS, status, 64);
    EXPECT_STREQ(status, L"接続中...");
    Type(L"pw12")(dialog);
  }));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(settingsShown, 1);
  ExpectCleanEnd();
}

TEST_F(MainWindowOpenTest, WrongPasswordIsRefusedWithItsMessage) {
  StartDevice("pw12");
  EXPECT_TRUE(OpenByDoubleClick(Type(L"wrong")));
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L" 認証されませんでした。\r\n パスワードが異なる可能性があります。");
  EXPECT_EQ(settingsShown, 0);
  ExpectCleanEnd();
}

TEST_F(MainWindowOpenTest, CancelledPasswordEndsWithoutAMessage) {
  StartDevice("pw12");
  EXPECT_TRUE(OpenByDoubleClick(Type(L"pw12", IDCANCEL)));
  EXPECT_TRUE(messages.empty());
  EXPECT_EQ(settingsShown, 0);
  ExpectCleanEnd();
}

TEST(MainWindowModal, ClosingTheWindowEndsItWithZero) {
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES};
  InitCommonControlsEx(&controls);
  auto app = std::make_unique<App>();
  MainWindow window(*app);
  window.fillAdapters = FillTestAdapters;
  INT_PTR result = -1;
  const bool ran = DriveModal(
      L"Calbrin", [](HWND dialog) { SendMessageW(dialog, WM_CLOSE, 0, 0); },
      [&] { result = window.Run(); });
  EXPECT_TRUE(ran);
  EXPECT_EQ(result, 0);
}

}  // namespace
}  // namespace calbrin
