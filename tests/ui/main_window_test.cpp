// The main window, created without its own loop and driven the way a user drives it: what only a
// window shows of its list, the search's greyed controls, and the open flow; the password and
// add-address dialogs and the common file dialogs of settings files.
#include "ui/main/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "settings/password_scrambling.h"
#include "tests/support/device_test_support.h"
#include "tests/ui/ui_support.h"
#include "ui/editor/settings_file_dialogs.h"
#include "ui/main/app.h"
#include "ui/main/small_dialogs.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;
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
    // The loopback adapter, chosen at start-up inside a test's namespace, and a LAN one.
    window_->fillAdapters = [](AdapterTable& table) {
      table = {};
      table.entries[0] = {0, "lo", "127.0.0.1", 8, "255.0.0.0"};
      table.entries[1] = {0, "LAN", "192.168.1.10", 24, "255.255.255.0"};
      table.count = 2;
      return 1;
    };
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
  const int widths[] = {68, 76, 36, 48};  // dialog units, which the window's font turns to pixels
  for (int i = 0; i < 4; ++i) {
    wchar_t title[64] = {};
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH;
    column.pszText = title;
    column.cchTextMax = 64;
    ASSERT_TRUE(ListView_GetColumn(list_, i, &column));
    EXPECT_STREQ(title, titles[i]);
    RECT width{0, 0, widths[i], 0};
    MapDialogRect(hwnd_, &width);
    EXPECT_EQ(column.cx, width.right);
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
    test::StartDevices(simulator_, {test::Device("48", password)});
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

// Refuses an empty field, keeps printable characters, scrambles the password on OK and
// leaves the login alone on cancel.
TEST(PasswordDialog, KeepsPrintableCharactersAndScramblesThemOnOkOnly) {
  ScrambledPassword login;
  test::MessageRecorder messages;
  PasswordDialogData data{&login, messages.Function()};
  const struct {
    const wchar_t* typed;
    int button;
    bool stored;
  } runs[] = {{L"typed", IDCANCEL, false}, {L"", IDOK, false}, {L"sec ret", IDOK, true}};
  for (const auto& [typed, button, stored] : runs) {
    EXPECT_TRUE(DriveModal(
        L"パスワード入力",
        [&](HWND dialog) {
          HWND edit = GetDlgItem(dialog, IDC_PASSWORD);
          EXPECT_EQ(WindowText(edit), L"");
          EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 32);
          SetWindowTextW(edit, typed);
          SendDlgItemMessageW(dialog, button, BM_CLICK, 0, 0);
          if (button == IDOK && login.present == 0)
            SendDlgItemMessageW(dialog, IDCANCEL, BM_CLICK, 0, 0);
        },
        [&] { ShowPasswordDialog(nullptr, data); }));
    EXPECT_EQ(login.present != 0, stored) << typed;
  }
  EXPECT_EQ(messages.shown,
            std::vector<std::wstring>{test::ErrorBox(L"パスワードが入力されていません")});
  std::string unscrambled;
  UnscramblePasswordWithShift(login.Scrambled(), kLoginShift, unscrambled);
  EXPECT_EQ(unscrambled, "sec");
}

TEST(AddAddressDialog, GivesTheTypedAddressWithBlankFieldsAsZeroAndNothingWhenBlank) {
  const struct {
    const wchar_t* fields[4];
    bool added;
    const char* address;
  } cases[] = {{{L"192", L"168", L"0", L"10"}, true, "192.168.0.10"},
               {{L"192", L"168", L"3", L""}, true, "192.168.3.0"},
               {{L"", L"", L"", L""}, false, ""}};
  for (const auto& c : cases) {
    AddAddressDialogData data;
    EXPECT_TRUE(DriveModal(
        L"IPアドレスの追加",
        [&c](HWND dialog) {
          // The four fields of the address control, as a user types them.
          HWND field = GetWindow(GetDlgItem(dialog, IDC_ADDRESS), GW_CHILD);
          for (int i = 0; i < 4 && field; ++i, field = GetWindow(field, GW_HWNDNEXT))
            SetWindowTextW(field, c.fields[i]);
          SendDlgItemMessageW(dialog, IDOK, BM_CLICK, 0, 0);
        },
        [&] { ShowAddAddressDialog(nullptr, data); }));
    EXPECT_EQ(data.added, c.added) << c.address;
    EXPECT_EQ(data.address, c.address);
  }
}

// Control identifiers of the common file dialog's name field and file type list.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
constexpr int kFileTypeList = 0x470;

// The real open and save dialogs: the proposed name, the filter, the default extension.
TEST(SettingsFileDialogs, SaveAddsTheExtensionOpenHandsBackTheFileAndCancelNothing) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const fs::path folder = fs::path(temp) / ("calbrin-dialogs-" + std::to_string(GetTickCount64()));
  fs::create_directories(folder);
  std::ofstream(folder / "plant.qvs") << "MODEL\r\n48\r\n";
  const auto choose = [&](SettingsFileDialog kind, const std::wstring& proposed,
                          const std::wstring& name, int button) {
    std::optional<std::wstring> chosen;
    EXPECT_TRUE(DriveModal(
        L"",
        [&](HWND dialog) {
          wchar_t shown[300] = {};
          if (GetDlgItemTextW(dialog, kFileNameCombo, shown, 300) == 0)
            GetDlgItemTextW(dialog, kFileNameEdit, shown, 300);
          EXPECT_EQ(std::wstring(shown), proposed);
          wchar_t type[64] = {};
          SendDlgItemMessageW(dialog, kFileTypeList, CB_GETLBTEXT, 0,
                              reinterpret_cast<LPARAM>(type));
          EXPECT_STREQ(type, L"QV Setup Files(*.qvs)");
          SetDlgItemTextW(dialog, kFileNameCombo, name.c_str());
          SetDlgItemTextW(dialog, kFileNameEdit, name.c_str());
          SendMessageW(dialog, WM_COMMAND, button, 0);
        },
        [&] { chosen = ChooseSettingsFile(nullptr, kind, folder.wstring(), proposed); }));
    return chosen;
  };
  const auto saved = choose(SettingsFileDialog::kSave, L"QV-48R2_02-00-00-00-00-01.qvs",
                            (folder / L"plant2").wstring(), IDOK);
  EXPECT_EQ(fs::path(saved.value_or(L"")), folder / L"plant2.qvs");
  const auto opened =
      choose(SettingsFileDialog::kOpen, L"", (folder / L"plant.qvs").wstring(), IDOK);
  EXPECT_EQ(fs::path(opened.value_or(L"")), folder / L"plant.qvs");
  EXPECT_FALSE(choose(SettingsFileDialog::kOpen, L"", L"", IDCANCEL).has_value());
  fs::remove_all(folder);
}

}  // namespace
}  // namespace calbrin
