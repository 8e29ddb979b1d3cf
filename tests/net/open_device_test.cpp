// Opening a device and writing to it, against the simulator: every path of the open flow ends
// with one message (or none), the connection closed, no row selected and an empty status line.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "net/device_operations.h"
#include "sim/password_codec.h"
#include "tests/support/device_test_support.h"
#include "tests/support/scripted_peer.h"

namespace calbrin {
namespace {

using namespace std::chrono_literals;
using test::RecordingOpenUi;

const std::string kSocketError = "ソケットエラー : ";
const std::string kRefused = "接続先から拒否されたため、接続できませんでした。";
const std::string kNoResponse = "デバイスからの応答がありませんでした。";
const std::string kPasswordRefused =
    " 認証されませんでした。\r\n パスワードが異なる可能性があります。";
const std::string kNotComplete = "受信した設定情報が異なる可能性があります。";
const std::string kNoSettings =
    "デバイス情報を取得できませんでした。\r\n一定時間内に応答がありませんでした。";

struct OpenCase {
  std::string name;
  std::vector<std::string> errors;
  sim::Faults faults = {};
  std::string devicePassword = "";
  std::optional<std::string> typed = std::nullopt;  // none: the password dialog is cancelled
  std::optional<std::string> local = "127.0.0.1";   // none: an empty adapter table
  int connections = 1;                              // -1: nothing listens
};

class OpenDeviceTest : public ::testing::Test {
 protected:
  OpenDeviceTest() : console_(test::ShortLimits(500ms)) { console_.Startup(); }

  int Open(RecordingOpenUi& ui, const AdapterTable& adapters = test::OneAdapter()) {
    return OpenDevice(console_, adapters, session_, ui);
  }

  void ExpectCleanEnd(const RecordingOpenUi& ui) {
    EXPECT_FALSE(console_.Connected());
    EXPECT_FALSE(ui.selected);
    EXPECT_EQ(ui.statuses.front(), "接続中...");
    EXPECT_EQ(ui.statuses.back(), "");
  }

  ConsoleConnection console_;
  DeviceSession session_;
};

TEST_F(OpenDeviceTest, EveryWayAnOpeningEnds) {
  const OpenCase cases[] = {
      {"command prompt", {}},
      {"any local address", {}, {}, "", {}, std::nullopt},
      {"right password", {}, {}, "Sec~1", "Sec~1"},
      {"wrong password", {kPasswordRefused}, {}, "Sec~1", "sec~1"},
      {"cancel", {}, {}, "Sec~1"},
      {"every password refused", {kPasswordRefused}, {.refusePassword = true}, "pw", "pw"},
      {"hangs up during login", {"切断されました。"}, {.closeAfterPrompt = true}, "pw", "pw"},
      {"nothing listens", {kSocketError + "10061 \r\n" + kRefused}, {}, "", {}, "127.0.0.1", -1},
      {"adapter without an address", {kSocketError + "10049 \r\n"}, {}, "", {}, "", 0},
      {"silent", {kNoResponse}, {.silentAfterConnect = true}},
      {"value too long", {kNotComplete}, {.longValue = true}},
      {"no end marker", {kNoSettings}, {.noEndMarker = true}},
      {"4096 bytes or more", {kNoSettings}, {.oversizedAnswer = true}},
      {"NUL before the end marker", {kNotComplete}, {.nulInAnswer = true}},
  };
  for (const OpenCase& c : cases) {
    SCOPED_TRACE(c.name);
    sim::Simulator simulator;
    sim::DeviceConfig config =
        test::Device(c.devicePassword.empty() ? "57" : "48", c.devicePassword);
    config.faults = c.faults;
    if (c.connections >= 0) test::StartDevices(simulator, {config});
    RecordingOpenUi ui;
    ui.password = c.typed;
    bool connectedInDialog = false;
    ui.whileOpen = [&] { connectedInDialog = console_.Connected(); };
    // The user takes a moment to type, long enough for a device that hangs up to be noticed.
    ui.beforePassword = [&] {
      for (int i = 0; i < 200 && c.faults.closeAfterPrompt && console_.Connected(); ++i)
        std::this_thread::sleep_for(5ms);
    };
    const bool opens = c.errors.empty() && (c.typed || c.devicePassword.empty());
    EXPECT_EQ(Open(ui, c.local ? test::OneAdapter(*c.local) : AdapterTable{}), opens ? 1 : 0);
    EXPECT_EQ(ui.errors, c.errors);
    EXPECT_EQ(ui.passwordDialogs, c.devicePassword.empty() ? 0 : 1);
    EXPECT_EQ(ui.settingsDialogs, opens ? 1 : 0);
    EXPECT_EQ(connectedInDialog, opens);
    EXPECT_TRUE(c.connections < 0 || simulator.ConsoleConnections(0) == c.connections);
    ExpectCleanEnd(ui);
    if (!opens) continue;
    EXPECT_EQ(session_.deviceRecord, ToRecord(simulator.Settings(0)));
    EXPECT_EQ(session_.identity.AddressText(), "127.0.0.2");
    EXPECT_EQ(session_.identity.MacText(), "02-00-00-00-00-01");
    EXPECT_EQ(session_.login.length, c.typed ? 5 + 10 + 1 : 0);  // with the line feed
  }
}

// The caller's language: the refusal and the status line in English.
TEST_F(OpenDeviceTest, WrongPasswordInEnglish) {
  sim::Simulator simulator;
  test::StartDevices(simulator, {test::Device("48", "Sec~1")});
  RecordingOpenUi ui;
  ui.password = "sec~1";
  EXPECT_EQ(OpenDevice(console_, test::OneAdapter(), session_, ui, Language::kEnglish), 0);
  EXPECT_EQ(ui.errors,
            std::vector<std::string>{" Not authenticated.\r\n The password may be wrong."});
  EXPECT_EQ(ui.statuses.front(), "Connecting...");
}

TEST_F(OpenDeviceTest, NoSelectedRowOnlyShowsItsMessage) {
  RecordingOpenUi ui(std::nullopt);
  EXPECT_EQ(Open(ui), 0);
  EXPECT_EQ(ui.errors, std::vector<std::string>{
                           "デバイスが選択されていません。\r\nIPアドレスを選択してください。"});
  EXPECT_TRUE(ui.statuses.empty());
}

TEST_F(OpenDeviceTest, AnswerLargerThanTheSettingsTextIsRefused) {
  test::ScriptedPeer peer("127.0.0.2", [](test::ScriptedPeer& device) {
    device.Send(">\r\n");
    device.ReceiveUntil("GETPARAM\r\n");
    device.Send("MODEL\r\n48\r\nX\r\n" + std::string(2100, 'x') + "\r\nEND\r\n");
  });
  RecordingOpenUi ui;
  EXPECT_EQ(Open(ui), 0);
  EXPECT_EQ(ui.errors, std::vector<std::string>{kNotComplete});
  ExpectCleanEnd(ui);
}

TEST_F(OpenDeviceTest, EmptyValueOfTheNextDeviceDoesNotKeepThePreviousValue) {
  sim::Simulator simulator;
  sim::DeviceConfig second = test::Device();
  second.settings = sim::DefaultSettings("48", "127.0.0.3");
  second.settings->Set("GWAY", "");
  test::StartDevices(simulator, {test::Device(), second});
  RecordingOpenUi first;
  ASSERT_EQ(Open(first), 1);
  ASSERT_NE(ReadField(session_.deviceRecord, SettingKey::GWAY), "");
  RecordingOpenUi next(OpenDeviceUi::Row{"127.0.0.3", ""});
  ASSERT_EQ(Open(next), 1);
  EXPECT_EQ(ReadField(session_.deviceRecord, SettingKey::GWAY), "");
  EXPECT_EQ(ReadField(session_.deviceRecord, SettingKey::IP), "127.0.0.3");
}

// A channel password whose scrambled form happens to end in "END", from a console that sends a
// key and its value at a time: only the end marker ends the settings, every field is read. The
// slow answer gets a longer limit than the others.
TEST_F(OpenDeviceTest, ValueEndingInEndIsNoEndOfTheSettings) {
  ConsoleConnection console(test::ShortLimits(3000ms));
  console.Startup();
  for (const char* key : {"PASS1", "PASS2"}) {
    sim::Simulator simulator;
    sim::DeviceConfig config = test::Device();
    config.settings = sim::DefaultSettings("48", "127.0.0.2");
    const std::string scrambled = sim::Scramble("line-1", sim::kStoredPasswordShift);
    config.settings->Set(key, scrambled.substr(0, scrambled.size() - 3) + "END");
    config.faults.slowAnswer = true;
    test::StartDevices(simulator, {config});
    RecordingOpenUi ui;
    EXPECT_EQ(OpenDevice(console, test::OneAdapter(), session_, ui), 1) << key;
    EXPECT_EQ(ui.errors, std::vector<std::string>{});
    EXPECT_EQ(session_.deviceRecord, ToRecord(simulator.Settings(0))) << key;
  }
}

// The password command on a console opened by hand: nothing goes out without a password.
TEST_F(OpenDeviceTest, PasswordCommandReachesTheDevice) {
  sim::Simulator simulator;
  test::StartDevices(simulator, {test::Device()});
  ASSERT_EQ(console_.OpenAndAwaitPrompt("127.0.0.2", "127.0.0.1"), console::kReplySeen);
  EXPECT_EQ(SetDevicePassword(console_, ScrambledPassword{}), 0);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(simulator.LastPasswordBlock(0), "");
  ScrambledPassword password;
  ScramblePassword("Line-7", kStoredPasswordShift, password);
  EXPECT_EQ(SetDevicePassword(console_, password), 1);
  EXPECT_EQ(simulator.LastPasswordBlock(0),
            "P_SET\r\n" + std::string(password.Scrambled()) + "\r\nENDR\r\n");
  EXPECT_EQ(simulator.Password(0), "Line-7");
}

TEST_F(OpenDeviceTest, MissingAcknowledgementAndClosedConnection) {
  sim::Simulator simulator;
  sim::DeviceConfig config = test::Device();
  config.faults.neverAck = true;
  test::StartDevices(simulator, {config});
  ASSERT_EQ(console_.OpenAndAwaitPrompt("127.0.0.2", "127.0.0.1"), console::kReplySeen);
  ScrambledPassword password;
  ScramblePassword("x", kStoredPasswordShift, password);
  for (const int result : {console::kTimedOut, console::kNotConnected}) {
    EXPECT_EQ(WriteSettingsText(console_, WriteKind::kSaveAndEnd, "ENDR\r\n", 6), result);
    EXPECT_EQ(SetDevicePassword(console_, password), result);
    console_.Close();
  }
}

TEST(FormatSocketError, TimedOutConnection) {
  EXPECT_EQ(FormatSocketError("ソケットエラー", 10060),
            "ソケットエラー : 10060 \r\n"
            "接続先が一定の時間を過ぎても正しく応答しなかったため、接続できませんでした。");
}

}  // namespace
}  // namespace calbrin
