// Apply end to end: a simulated device opened through the open flow, its settings edited on the
// real pages, and the write checked in the simulator's stored settings, with every question and
// failure message the user sees.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "net/device_operations.h"
#include "resources/resource.h"
#include "tests/support/sim_settings.h"
#include "tests/ui/settings_dialog_fixture.h"
#include "tests/unit/test_records.h"

namespace calbrin {
namespace {

using enum test::Tab;

const std::wstring kDone = L"確認|  書込みが完了しました。";

class SettingsApplyTest : public test::SettingsDialogFixture {
 protected:
  SettingsApplyTest() { app_.console.Startup(); }
  ~SettingsApplyTest() override { app_.console.Shutdown(); }

  void StartDevice(std::string model, std::string password = "", sim::Faults faults = {}) {
    sim::DeviceConfig config;
    config.model = std::move(model);
    config.password = std::move(password);
    config.faults = faults;
    simulator_.AddDevice(std::move(config));
    std::string error;
    ASSERT_TRUE(simulator_.Start(error)) << error;
  }

  // Opens the device at 127.0.0.2 the way the main window does and runs `body` while its
  // settings dialog would be shown; the connection closes when `body` returns.
  void WhileOpen(const std::function<void()>& body, std::optional<std::string> password = {}) {
    class Ui final : public OpenDeviceUi {
     public:
      Ui(const std::function<void()>& body, std::optional<std::string> password)
          : body_(body), password_(std::move(password)) {}
      std::optional<Row> SelectedRow() override { return Row{"127.0.0.2", "02-00-00-00-00-01"}; }
      void SetStatusText(std::string_view) override {}
      void DeselectAllRows() override {}
      void AskPassword(ScrambledPassword& login) override {
        if (password_) ScramblePassword(*password_, kLoginShift, login);
      }
      void ShowSettingsDialog() override { body_(); }
      void ShowError(std::string_view message) override { errors.emplace_back(message); }
      std::vector<std::string> errors;

     private:
      const std::function<void()>& body_;
      std::optional<std::string> password_;
    } ui(body, std::move(password));
    AdapterTable adapters;
    adapters.entries[0] = {1, "lo", "127.0.0.1", 8, "255.0.0.0"};
    adapters.count = 1;
    EXPECT_EQ(OpenDevice(app_.console, adapters, app_.session, ui), 1);
    EXPECT_EQ(ui.errors, std::vector<std::string>{});
    dialog_.reset();
  }

  void Apply() { SendMessageW(GetDlgItem(dialog_->Window(), IDOK), BM_CLICK, 0, 0); }
  bool StillOpen() const { return dialog_->Window() != nullptr && IsWindow(dialog_->Window()); }

  sim::Simulator simulator_;
};

TEST_F(SettingsApplyTest, EditsOnSeveralPagesAreStoredByTheDevice) {
  StartDevice("48");
  WhileOpen([this] {
    ASSERT_NE(Open(), nullptr);
    EnterAndLeave(kNetworkTab, IDC_MSS, L"1000");
    Click(kNetworkTab, IDC_AUTO_NEGOTIATION);
    Click(kNetworkTab, IDC_SPEED_100M);
    Click(kNetworkTab, IDC_FULL_DUPLEX);
    EnterAndLeave(kLan1Tab, IDC_RECEIVE_PORT, L"4001");
    Click(kLan1Tab, IDC_CLIENT_MODE);
    Choose(kLan1Tab, IDC_CLIENT_CONDITION, 3);
    EnterAndLeave(kLan1Tab, IDC_CLIENT_CHAR, L"0d");
    Choose(kLan2Tab, IDC_PROTOCOL, 1);
    EnterAndLeave(kLan2Tab, IDC_UDP_PORT, L"7000");
    EnterAndLeave(kSerial1Tab, IDC_BAUD_RATE, L"14400");
    Choose(kSerial2Tab, IDC_STOP_BITS, 1);
    Click(kSerial2Tab, IDC_PACKING);
    EnterAndLeave(kSerial2Tab, IDC_PACKING_TIME, L"25");
    Apply();
    EXPECT_FALSE(StillOpen());
    EXPECT_EQ(dialog_->Result(), kSettingsDialogApplied);
  });
  const SettingsRecord stored = ToRecord(simulator_.Settings(0));
  EXPECT_EQ(ReadField(stored, SettingKey::MSS), "1000");
  EXPECT_EQ(ReadField(stored, SettingKey::NEGOS), "3");
  EXPECT_EQ(ReadField(stored, SettingKey::PORT1), "4001");
  EXPECT_EQ(ReadField(stored, SettingKey::SMODE1), "0");
  EXPECT_EQ(ReadField(stored, SettingKey::CMODE1), "5");
  EXPECT_EQ(ReadField(stored, SettingKey::CCHAR1), "13");
  EXPECT_EQ(ReadField(stored, SettingKey::PRT2), "1");
  EXPECT_EQ(ReadField(stored, SettingKey::HPORT2), "7000");
  EXPECT_EQ(ReadField(stored, SettingKey::CBPS1), "14400");
  EXPECT_EQ(ReadField(stored, SettingKey::CSTOP2), "3");
  EXPECT_EQ(ReadField(stored, SettingKey::P_EN2), "1");
  EXPECT_EQ(ReadField(stored, SettingKey::PTIME2), "25");
  // Everything else as it was.
  const SettingsRecord before = ToRecord(sim::DefaultSettings("48", "127.0.0.2"));
  for (const SettingKey key : {SettingKey::IP, SettingKey::SUBM, SettingKey::KEEP_A,
                               SettingKey::PORT2, SettingKey::CBPS2, SettingKey::DTIME1}) {
    EXPECT_EQ(ReadField(stored, key), ReadField(before, key)) << KeyText(Index(key));
  }
  const std::string block = simulator_.LastWriteBlock(0);
  EXPECT_EQ(test::CountPairs(block), 62);
  EXPECT_TRUE(block.ends_with("\r\nENDR\r\n"));
  EXPECT_EQ(messages_, std::vector<std::wstring>{kDone});
}

TEST_F(SettingsApplyTest, Qv57rWriteHoldsTheDriverControl) {
  StartDevice("57");
  WhileOpen([this] {
    ASSERT_NE(Open(), nullptr);
    Click(kSerial2Tab, IDC_DRIVER_ON_SEND);
    Choose(kSerial2Tab, IDC_FLOW, 1);
    Apply();
  });
  const std::string block = simulator_.LastWriteBlock(0);
  EXPECT_EQ(test::CountPairs(block), 63);
  EXPECT_TRUE(block.ends_with("\r\nENDR\r\n"));
  EXPECT_EQ(ReadField(ToRecord(simulator_.Settings(0)), SettingKey::CDRV2), "1");
  EXPECT_EQ(ReadField(ToRecord(simulator_.Settings(0)), SettingKey::CFLOW2), "2");
}

TEST_F(SettingsApplyTest, PasswordChangeThenRemoval) {
  StartDevice("48");
  WhileOpen([this] {
    ASSERT_NE(Open(), nullptr);
    Click(kNetworkTab, IDC_CHANGE_PASSWORD);
    Type(kNetworkTab, IDC_NEW_PASSWORD, L"Line-7");
    Type(kNetworkTab, IDC_NEW_PASSWORD_AGAIN, L"Line-7");
    Apply();
  });
  EXPECT_EQ(messages_,
            (std::vector<std::wstring>{L"確認|パスワードが変更されます。よろしいですか?", kDone}));
  EXPECT_TRUE(simulator_.LastWriteBlock(0).ends_with("\r\nSAVE\r\n"));
  EXPECT_TRUE(simulator_.LastPasswordBlock(0).starts_with("P_SET\r\n"));
  EXPECT_EQ(simulator_.Password(0), "Line-7");

  // The next opening needs the new password; removing it leaves none.
  messages_.clear();
  WhileOpen(
      [this] {
        ASSERT_NE(Open(), nullptr);
        Click(kNetworkTab, IDC_CHANGE_PASSWORD);
        Apply();
      },
      "Line-7");
  EXPECT_EQ(messages_, (std::vector<std::wstring>{
                           L"確認|パスワードが無効化されます。よろしいですか?", kDone}));
  EXPECT_EQ(simulator_.Password(0), "");
}

TEST_F(SettingsApplyTest, ChecksShowTheirPageAndOnlyTheFirstFailure) {
  StartDevice("48");
  WhileOpen([this] {
    ASSERT_NE(Open(), nullptr);
    EnterAndLeave(kLan2Tab, IDC_RECEIVE_PORT, L"10001");  // check D
    Click(kLan1Tab, IDC_PASSWORD_REQUIRED);               // check B: no password typed
    SelectTab(kSerial1Tab);
    Apply();
    EXPECT_TRUE(StillOpen());
    EXPECT_EQ(VisiblePages(), std::vector<int>{kLan1Tab});
    EXPECT_EQ(messages_,
              std::vector<std::wstring>{
                  L"エラー|LAN(1)のTCPパスワードが設定されていません。\r\n入力してください。"});
    Type(kLan1Tab, IDC_LAN_PASSWORD, L"pw");
    messages_.clear();
    Apply();
    EXPECT_EQ(VisiblePages(), std::vector<int>{kLan2Tab});
    EXPECT_EQ(
        messages_,
        std::vector<std::wstring>{
            L"エラー|LAN(1)とLAN(2)の受信ポート番号が同じです。\r\n異なる値に変更してください。"});
    // The edits are all still there.
    EXPECT_EQ(Text(kLan2Tab, IDC_RECEIVE_PORT), L"10001");
    EXPECT_EQ(Text(kLan1Tab, IDC_LAN_PASSWORD), L"pw");
  });
  EXPECT_EQ(simulator_.LastWriteBlock(0), "");
}

TEST_F(SettingsApplyTest, DecliningTheAddressQuestionSendsNothing) {
  StartDevice("48");
  answers_ = {IDNO};
  WhileOpen([this] {
    ASSERT_NE(Open(), nullptr);
    Click(kNetworkTab, IDC_AUTO_ADDRESS);
    Apply();
    EXPECT_TRUE(StillOpen());
  });
  EXPECT_EQ(messages_,
            std::vector<std::wstring>{L"確認|IPアドレスが変更されます。よろしいですか?"});
  EXPECT_EQ(simulator_.LastWriteBlock(0), "");
}

TEST_F(SettingsApplyTest, WriteFailuresLeaveTheDialogOpenWithEveryEdit) {
  struct Case {
    const char* name;
    sim::Faults faults;
    bool changePassword;
    const wchar_t* message;
  } cases[] = {
      {"no acknowledgement",
       {.neverAck = true},
       false,
       L"エラー|書込みに失敗しました。\r\n一定時間内に応答がありませんでした。"},
      {"connection closed",
       {.closeAfterSettings = true},
       false,
       L"エラー|書込みに失敗しました。\r\n接続が切断されました。"},
      {"password step silent",
       {.neverAck = true, .passwordBlockOnly = true},
       true,
       L"エラー|書込みに失敗しました。"},
  };
  StartDevice("48");
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    simulator_.SetFaults(0, c.faults);
    messages_.clear();
    WhileOpen([&] {
      ASSERT_NE(Open(), nullptr);
      EnterAndLeave(kLan2Tab, IDC_IDLE_TIME, L"99");
      if (c.changePassword) {
        Click(kNetworkTab, IDC_CHANGE_PASSWORD);
        Type(kNetworkTab, IDC_NEW_PASSWORD, L"pw");
        Type(kNetworkTab, IDC_NEW_PASSWORD_AGAIN, L"pw");
      }
      // Long enough for a connection that the device closed to be noticed.
      for (int i = 0; i < 200 && app_.console.Connected(); ++i)
        Sleep(5);
      SelectTab(kSerial2Tab);
      Apply();
      EXPECT_TRUE(StillOpen());
      EXPECT_EQ(VisiblePages(), std::vector<int>{kSerial2Tab});
      EXPECT_EQ(Text(kLan2Tab, IDC_IDLE_TIME), L"99");
      EXPECT_EQ(test::WindowText(GetDlgItem(dialog_->Window(), IDC_SETTINGS_STATUS)), L" ");
    });
    const std::wstring question = L"確認|パスワードが変更されます。よろしいですか?";
    std::vector<std::wstring> expected;
    if (c.changePassword) expected.push_back(question);
    expected.push_back(c.message);
    EXPECT_EQ(messages_, expected);
  }
}

}  // namespace
}  // namespace calbrin
