// The settings dialog: its title, model label and channel-2 variant, the tabs and pages, how it
// closes, and one success and one failure of each of its flows (Apply against a simulated device,
// saving and loading a settings file).
#include "ui/editor/settings_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "settings/settings_text.h"
#include "sim/simulator.h"
#include "tests/ui/modal_driver.h"
#include "tests/ui/settings_dialog_fixture.h"
#include "ui/editor/lan_page.h"
#include "ui/editor/serial_page.h"
#include "ui/main/wide_text.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;
using enum test::Tab;
using test::ErrorBox;

class SettingsDialogTest : public test::SettingsDialogFixture {
 protected:
  std::wstring Item(int id) { return WindowText(GetDlgItem(dialog_->Window(), id)); }
};

TEST_F(SettingsDialogTest, TitleModelAndVariantFollowTheDeviceRecord) {
  const struct {
    const char* code;
    const wchar_t* label;
    bool reduced;
  } cases[] = {{"48", L"MODEL: QV-48R2", false},
               {"48A", L"MODEL: QV-48R2", false},
               {"57", L"MODEL: QV-57R", true},
               {"99", L"MODEL: ?", true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    SetField(record_, SettingKey::MODEL, c.code);
    HWND window = Open();
    EXPECT_EQ(WindowText(window), L"192.168.11.203");
    EXPECT_EQ(Item(IDC_MODEL_LABEL), c.label);
    EXPECT_EQ(dialog_->Lan(2).ReducedLists(), c.reduced);
    EXPECT_EQ(dialog_->Serial(2).ReducedLists(), c.reduced);
    EXPECT_EQ(Item(IDC_SETTINGS_STATUS), L" ");
  }
}

TEST_F(SettingsDialogTest, EachTabShowsOnlyItsOwnPageWhichKeepsItsEdits) {
  UseDevice("48");
  HWND window = Open();
  HWND tab = GetDlgItem(window, IDC_TAB);
  const wchar_t* captions[] = {L"共通", L"LAN(1)", L"LAN(2)", L"シリアルポート(1)",
                               L"シリアルポート(2)"};
  ASSERT_EQ(TabCtrl_GetItemCount(tab), 5);
  for (int i = 0; i < 5; ++i) {
    wchar_t caption[64] = {};
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption;
    item.cchTextMax = 64;
    TabCtrl_GetItem(tab, i, &item);
    EXPECT_STREQ(caption, captions[i]);
  }
  EXPECT_EQ(VisiblePages(), std::vector<int>{0});
  for (const int index : {3, 1, 4, 0, 2}) {
    SelectTab(index);
    EXPECT_EQ(VisiblePages(), std::vector<int>{index});
    EXPECT_TRUE(IsChild(Page(index), GetFocus())) << index;
  }
  EnterAndLeave(kLan1Tab, IDC_RECEIVE_PORT, L"2101");
  SelectTab(kSerial1Tab);
  EXPECT_EQ(Text(kLan1Tab, IDC_RECEIVE_PORT), L"2101");
  HMENU file = GetSubMenu(GetMenu(window), 0);
  EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(IDM_SAVE_SETTINGS_FILE));
  EXPECT_EQ(GetMenuItemID(file, 1), static_cast<UINT>(IDM_OPEN_SETTINGS_FILE));
  // Cancel, and the close box.
  SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
  EXPECT_EQ(dialog_->Result(), std::optional<int>(kSettingsDialogCancelled));
  SendMessageW(Open(), WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_EQ(dialog_->Result(), std::optional<int>(kSettingsDialogClosed));
}

// Apply against a simulated device that the open flow holds open.
class SettingsApplyTest : public test::SettingsDialogFixture {
 protected:
  SettingsApplyTest() { console_.Startup(); }
  ~SettingsApplyTest() override { console_.Shutdown(); }

  // Opens a simulated device of `model` the way the main window does and runs `body` while its
  // settings dialog would be shown.
  void WhileOpen(std::string model, const std::function<void()>& body) {
    sim::DeviceConfig config;
    config.model = std::move(model);
    simulator_.AddDevice(config);
    std::string error;
    ASSERT_TRUE(simulator_.Start(error)) << error;
    class Ui final : public OpenDeviceUi {
     public:
      explicit Ui(const std::function<void()>& body) : body_(body) {}
      std::optional<Row> SelectedRow() override { return Row{"127.0.0.2", "02-00-00-00-00-01"}; }
      void SetStatusText(std::string_view) override {}
      void DeselectAllRows() override {}
      void AskPassword(ScrambledPassword&) override {}
      void ShowSettingsDialog() override { body_(); }
      void ShowError(std::string_view message) override { ADD_FAILURE() << message; }

     private:
      const std::function<void()>& body_;
    } ui(body);
    AdapterTable adapters;
    test::FillTestAdapters(adapters);
    adapters.entries[0].selected = 1;
    EXPECT_EQ(OpenDevice(console_, adapters, session_, ui), 1);
  }

  sim::Simulator simulator_;
};

TEST_F(SettingsApplyTest, EditsOnEveryPageAndANewPasswordAreStoredByTheDevice) {
  WhileOpen("57", [this] {
    ASSERT_NE(Open(), nullptr);
    EnterAndLeave(kNetworkTab, IDC_MSS, L"1000");
    Click(kNetworkTab, IDC_CHANGE_PASSWORD);
    Type(kNetworkTab, IDC_NEW_PASSWORD, L"Line-7");
    Type(kNetworkTab, IDC_NEW_PASSWORD_AGAIN, L"Line-7");
    EnterAndLeave(kLan1Tab, IDC_RECEIVE_PORT, L"4001");
    Click(kLan2Tab, IDC_CLIENT_MODE);
    Choose(kLan2Tab, IDC_CLIENT_CONDITION, 1);
    EnterAndLeave(kSerial1Tab, IDC_BAUD_RATE, L"14400");
    Click(kSerial2Tab, IDC_DRIVER_ON_SEND);
    Choose(kSerial2Tab, IDC_FLOW, 1);
    Apply();
    EXPECT_EQ(dialog_->Result(), std::optional<int>(kSettingsDialogApplied));
  });
  const SettingsRecord stored = simulator_.Settings(0);
  SettingsRecord expected = sim::DefaultSettings("57", "127.0.0.2");
  test::SetSettings(expected, "MSS=1000 PORT1=4001 SMODE2=0 CMODE2=4 CBPS1=14400 CDRV2=1 CFLOW2=2");
  for (int i = 0; i < kSettingKeyCount; ++i) {
    if (i != Index(SettingKey::PASS1) && i != Index(SettingKey::PASS2)) {
      EXPECT_EQ(ReadField(stored, i), ReadField(expected, i)) << KeyText(i);
    }
  }
  EXPECT_EQ(simulator_.Password(0), "Line-7");
  EXPECT_EQ(messages_.shown, (std::vector<std::wstring>{
                                 test::Box(L"確認", L"パスワードが変更されます。よろしいですか?",
                                           MB_YESNO | MB_ICONQUESTION),
                                 test::Box(L"確認", L"  書込みが完了しました。", MB_OK)}));
}

TEST_F(SettingsApplyTest, AFailedCheckShowsItsPageAndMessageAndWritesNothing) {
  WhileOpen("48", [this] {
    ASSERT_NE(Open(), nullptr);
    Click(kLan1Tab, IDC_PASSWORD_REQUIRED);
    SelectTab(kSerial1Tab);
    Apply();
    EXPECT_FALSE(dialog_->Result().has_value());
    EXPECT_EQ(VisiblePages(), std::vector<int>{kLan1Tab});
    EXPECT_EQ(WindowText(GetDlgItem(dialog_->Window(), IDC_SETTINGS_STATUS)), L" ");
  });
  EXPECT_EQ(messages_.shown,
            std::vector<std::wstring>{
                ErrorBox(L"LAN(1)のTCPパスワードが設定されていません。\r\n入力してください。")});
  EXPECT_EQ(simulator_.LastWriteBlock(0), "");
}

// The file commands: what a save proposes and writes, and the two refusals.
TEST_F(SettingsDialogTest, SaveWritesThePagesAndRefusalsAreReported) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const fs::path folder = fs::path(temp) / ("calbrin-files-" + std::to_string(GetTickCount64()));
  fs::create_directories(folder);
  const auto command = [this](int id, const fs::path& path) {
    chosenFile_ = path.wstring();
    Command(id);
  };
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  EnterAndLeave(kLan1Tab, IDC_RECEIVE_PORT, L"4101");
  command(IDM_SAVE_SETTINGS_FILE, folder / "plant.qvs");
  command(IDM_SAVE_SETTINGS_FILE, folder / "no-such-folder" / "x.qvs");
  std::ostringstream saved;
  saved << std::ifstream(folder / "plant.qvs", std::ios::binary).rdbuf();
  SettingsRecord read;
  ASSERT_EQ(ParseSettings(saved.str(), read), kSettingKeyCount);
  EXPECT_EQ(ReadField(read, SettingKey::PORT1), "4101");
  // The device's receive text is the device's: a save leaves it alone.
  EXPECT_EQ(session_.settingsText.View(), "");
  dialog_.reset();

  UseDevice("57");
  ASSERT_NE(Open(), nullptr);
  command(IDM_OPEN_SETTINGS_FILE, folder / "plant.qvs");
  EXPECT_EQ(Text(kLan1Tab, IDC_RECEIVE_PORT), L"10001");
  EXPECT_EQ(fileDialogs_, (std::vector<std::wstring>{L"1|C:\\calbrin|QV-48R2_02-00-00-00-00-07.qvs",
                                                     L"1|C:\\calbrin|QV-48R2_02-00-00-00-00-07.qvs",
                                                     L"0|C:\\calbrin|"}));
  EXPECT_EQ(messages_.shown, (std::vector<std::wstring>{
                                 ErrorBox(L"ファイルを作成できませんでした。"),
                                 ErrorBox(L" 設定情報が読込めませんでした。\r\n "
                                          L"設定ファイルのモデルが異なる可能性があります。")}));
  fs::remove_all(folder);
}

}  // namespace
}  // namespace calbrin
