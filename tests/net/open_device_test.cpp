// The open flow against the simulator, through a user interface that records what it was asked
// to show: every path ends with the connection closed, no row selected and an empty status line.
#include <gtest/gtest.h>

#include <chrono>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "net/device_messages.h"
#include "net/device_operations.h"
#include "scripted_peer.h"
#include "tests/support/sim_settings.h"

namespace calbrin {
namespace {

using namespace std::chrono_literals;

class RecordingUi : public OpenDeviceUi {
 public:
  RecordingUi(ConsoleConnection& console, std::optional<Row> row) : console_(console), row_(row) {}

  std::optional<Row> SelectedRow() override { return selected_ ? row_ : std::nullopt; }
  void SetStatusText(std::string_view text) override { statuses.emplace_back(text); }
  void DeselectAllRows() override { selected_ = false; }
  void AskPassword(ScrambledPassword& login) override {
    ++passwordDialogs;
    // The user takes a moment to type, long enough for a device that hangs up to be noticed.
    if (waitForDisconnect) {
      for (int i = 0; i < 200 && console_.Connected(); ++i)
        std::this_thread::sleep_for(5ms);
    }
    if (password) ScramblePassword(*password, kLoginShift, login);
  }
  void ShowSettingsDialog() override {
    ++settingsDialogs;
    connectedDuringDialog = console_.Connected();
  }
  void ShowError(std::string_view message) override { errors.emplace_back(message); }

  bool RowSelected() const { return selected_; }

  std::optional<std::string> password;  // what the user types; none: Cancel
  bool waitForDisconnect = false;
  std::vector<std::string> statuses;
  std::vector<std::string> errors;
  int passwordDialogs = 0;
  int settingsDialogs = 0;
  bool connectedDuringDialog = false;

 private:
  ConsoleConnection& console_;
  std::optional<Row> row_;
  bool selected_ = true;
};

sim::DeviceConfig Config(std::string model = "48", std::string password = "") {
  sim::DeviceConfig config;
  config.model = std::move(model);
  config.password = std::move(password);
  return config;
}

AdapterTable LoopbackAdapter() {
  AdapterTable table;
  table.entries[0] = {1, "lo", "127.0.0.1", 8, "255.0.0.0"};
  table.count = 1;
  return table;
}

class OpenDeviceTest : public ::testing::Test {
 protected:
  OpenDeviceTest() {
    ConsoleTimeLimits limits;
    limits.prompt = limits.loginAnswer = limits.settings = limits.acknowledgement = 500ms;
    console_.emplace(limits);
    console_->Startup();
  }

  // Starts the simulator with one device per config, on 127.0.0.2 and up.
  void StartDevices(std::vector<sim::DeviceConfig> configs) {
    for (sim::DeviceConfig& config : configs)
      simulator_.AddDevice(std::move(config));
    std::string error;
    ASSERT_TRUE(simulator_.Start(error)) << error;
  }

  RecordingUi& Ui(std::string address = "127.0.0.2", std::string mac = "02-00-00-00-00-01") {
    ui_.emplace(*console_, OpenDeviceUi::Row{std::move(address), std::move(mac)});
    return *ui_;
  }

  int Open(const AdapterTable& adapters = LoopbackAdapter()) {
    return OpenDevice(*console_, adapters, session_, *ui_);
  }

  // Every path after a row was chosen ends the same way.
  void ExpectCleanEnd() {
    EXPECT_FALSE(console_->Connected());
    EXPECT_FALSE(ui_->RowSelected());
    ASSERT_FALSE(ui_->statuses.empty());
    EXPECT_EQ(ui_->statuses.front(), messages::kConnecting);
    EXPECT_EQ(ui_->statuses.back(), "");
  }

  void ExpectOneError(std::string_view message) {
    EXPECT_EQ(ui_->errors, std::vector<std::string>{std::string(message)});
    EXPECT_EQ(ui_->settingsDialogs, 0);
  }

  sim::Simulator simulator_;
  std::optional<ConsoleConnection> console_;
  DeviceSession session_;
  std::optional<RecordingUi> ui_;
};

TEST_F(OpenDeviceTest, NoSelectedRowOnlyShowsItsMessage) {
  ui_.emplace(*console_, std::nullopt);
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(ui_->errors, std::vector<std::string>{std::string(messages::kNoDeviceSelected)});
  EXPECT_TRUE(ui_->statuses.empty());
}

TEST_F(OpenDeviceTest, CommandPromptOpensTheSettingsWithoutAPassword) {
  StartDevices({Config("57")});
  Ui();
  EXPECT_EQ(Open(), 1);
  EXPECT_TRUE(ui_->errors.empty());
  EXPECT_EQ(ui_->passwordDialogs, 0);
  EXPECT_EQ(ui_->settingsDialogs, 1);
  EXPECT_TRUE(ui_->connectedDuringDialog);
  EXPECT_EQ(ReadField(session_.deviceRecord, SettingKey::MODEL), "57");
  EXPECT_EQ(session_.deviceRecord, ToRecord(simulator_.Settings(0)));
  EXPECT_EQ(session_.identity.AddressText(), "127.0.0.2");
  EXPECT_EQ(session_.identity.MacText(), "02-00-00-00-00-01");
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, RightPasswordLogsIn) {
  StartDevices({Config("48", "Secret-1")});
  Ui().password = "Secret-1";
  EXPECT_EQ(Open(), 1);
  EXPECT_EQ(ui_->passwordDialogs, 1);
  EXPECT_EQ(ui_->settingsDialogs, 1);
  EXPECT_TRUE(ui_->errors.empty());
  EXPECT_EQ(session_.login.length, 8 + 10 + 1);  // the scrambled text and its line feed
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, WrongPasswordIsRefused) {
  StartDevices({Config("48", "Secret-1")});
  Ui().password = "secret-1";
  EXPECT_EQ(Open(), 0);
  ExpectOneError(messages::kPasswordRefused);
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, CancelledPasswordEndsSilently) {
  StartDevices({Config("48", "Secret-1")});
  Ui();
  EXPECT_EQ(Open(), 0);
  EXPECT_EQ(ui_->passwordDialogs, 1);
  EXPECT_TRUE(ui_->errors.empty());
  EXPECT_EQ(ui_->settingsDialogs, 0);
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, ClosedPortShowsTheRefusedSocketError) {
  Ui();
  EXPECT_EQ(Open(), 0);
  ExpectOneError(std::string(messages::kSocketErrorLabel) + " : 10061 \r\n" +
                 std::string(messages::kRefusedText));
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, SilentDeviceGivesNoResponse) {
  sim::DeviceConfig config;
  config.faults.silentAfterConnect = true;
  StartDevices({config});
  Ui();
  EXPECT_EQ(Open(), 0);
  ExpectOneError(messages::kNoResponse);
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, RefusingEveryPasswordGivesTheRefusal) {
  sim::DeviceConfig config = Config("48", "pw");
  config.faults.refusePassword = true;
  StartDevices({config});
  Ui().password = "pw";
  EXPECT_EQ(Open(), 0);
  ExpectOneError(messages::kPasswordRefused);
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, DeviceThatHangsUpDuringLogin) {
  sim::DeviceConfig config = Config("48", "pw");
  config.faults.closeAfterPrompt = true;
  StartDevices({config});
  RecordingUi& ui = Ui();
  ui.password = "pw";
  ui.waitForDisconnect = true;
  EXPECT_EQ(Open(), 0);
  ExpectOneError(messages::kDisconnectedDuringLogin);
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, TooLongValueIsNotOpened) {
  sim::DeviceConfig config;
  config.faults.longValue = true;
  StartDevices({config});
  Ui();
  EXPECT_EQ(Open(), 0);
  ExpectOneError(messages::kSettingsNotComplete);
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, MissingEndMarkerOrOversizedAnswerTimesOut) {
  sim::DeviceConfig noMarker;
  noMarker.faults.noEndMarker = true;
  sim::DeviceConfig oversized;
  oversized.faults.oversizedAnswer = true;
  StartDevices({noMarker, oversized});
  Ui("127.0.0.2");
  EXPECT_EQ(Open(), 0);
  ExpectOneError(messages::kNoSettingsInTime);
  ExpectCleanEnd();
  Ui("127.0.0.3");
  EXPECT_EQ(Open(), 0);
  ExpectOneError(messages::kNoSettingsInTime);
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, AnswerLargerThanTheSettingsTextIsRefused) {
  test::ScriptedPeer peer("127.0.0.2", [](test::PeerConnection& device) {
    device.Send(">\r\n");
    device.ReceiveUntil("GETPARAM\r\n");
    device.Send("MODEL\r\n48\r\nX\r\n" + std::string(2100, 'x') + "\r\nEND\r\n");
  });
  Ui();
  EXPECT_EQ(Open(), 0);
  ExpectOneError(messages::kSettingsNotComplete);
  ExpectCleanEnd();
}

TEST_F(OpenDeviceTest, EmptyValueOfTheNextDeviceDoesNotKeepThePreviousValue) {
  sim::DeviceConfig second;
  second.settings = sim::DefaultSettings("48", "127.0.0.3");
  second.settings->Set("GWAY", "");
  StartDevices({Config(), second});
  SettingsRecord first = ToRecord(simulator_.Settings(0));
  ASSERT_NE(ReadField(first, SettingKey::GWAY), "");
  Ui("127.0.0.2");
  ASSERT_EQ(Open(), 1);
  Ui("127.0.0.3");
  ASSERT_EQ(Open(), 1);
  EXPECT_EQ(ReadField(session_.deviceRecord, SettingKey::GWAY), "");
  EXPECT_EQ(ReadField(session_.deviceRecord, SettingKey::IP), "127.0.0.3");
}

TEST_F(OpenDeviceTest, EmptyAdapterTableConnectsFromAnyAddress) {
  StartDevices({Config()});
  Ui();
  EXPECT_EQ(Open(AdapterTable{}), 1);
  ExpectCleanEnd();
}

// The settings write and the password command, on a device opened by hand.
class DeviceWriteTest : public OpenDeviceTest {
 protected:
  void OpenConsole() {
    ASSERT_EQ(console_->OpenAndAwaitPrompt("127.0.0.2", "127.0.0.1"), console::kReplySeen);
  }

  // A device write of `record` with the save command of `kind`.
  static std::string WriteText(const SettingsRecord& record, bool reduced, WriteKind kind) {
    SettingsText text;
    SerializeSettings(record, false, reduced, text);
    text.Append(kind == WriteKind::kSaveAndEnd ? kSaveAndEndCommand : kSaveAndContinueCommand);
    return std::string(text.View());
  }
};

TEST_F(DeviceWriteTest, SaveAndEndStoresEverySettingWritten) {
  StartDevices({Config()});
  SettingsRecord record = ToRecord(simulator_.Settings(0));
  SetField(record, SettingKey::MSS, "1000");
  SetField(record, SettingKey::PORT2, "20002");
  OpenConsole();
  const std::string text = WriteText(record, false, WriteKind::kSaveAndEnd);
  EXPECT_EQ(WriteSettingsText(*console_, WriteKind::kSaveAndEnd, text.data(),
                              static_cast<int>(text.size())),
            1);
  EXPECT_EQ(simulator_.LastWriteBlock(0), text);
  EXPECT_EQ(ToRecord(simulator_.Settings(0)), record);
}

TEST_F(DeviceWriteTest, RemovingThePasswordSendsTheScrambledDel) {
  StartDevices({Config("48", "pw")});
  ASSERT_EQ(console_->OpenAndAwaitPrompt("127.0.0.2", "127.0.0.1"), console::kPasswordPrompt);
  ScrambledPassword login;
  ScramblePassword("pw", kLoginShift, login);
  login.scrambled[static_cast<std::size_t>(login.length++)] = '\n';
  ASSERT_EQ(console_->SendLoginReply(login.scrambled.data(), login.length), login.length);
  ASSERT_EQ(console_->AwaitLoginAnswer(), console::kReplySeen);

  const std::string text =
      WriteText(ToRecord(simulator_.Settings(0)), false, WriteKind::kSaveAndContinue);
  ASSERT_EQ(WriteSettingsText(*console_, WriteKind::kSaveAndContinue, text.data(),
                              static_cast<int>(text.size())),
            1);
  ScrambledPassword removal;
  ScramblePassword("D E L", kStoredPasswordShift, removal);
  EXPECT_EQ(SetDevicePassword(*console_, removal), 1);
  const std::string block = simulator_.LastPasswordBlock(0);
  EXPECT_EQ(block.size(), 30u);
  EXPECT_EQ(block.substr(0, 7), "P_SET\r\n");
  EXPECT_EQ(block.substr(7, 15), removal.Scrambled());
  EXPECT_EQ(block.substr(22), "\r\nENDR\r\n");
  EXPECT_EQ(simulator_.Password(0), "");
}

TEST_F(DeviceWriteTest, NewPasswordIsStored) {
  StartDevices({Config()});
  OpenConsole();
  ScrambledPassword next;
  ScramblePassword("n3w~Pass", kStoredPasswordShift, next);
  EXPECT_EQ(SetDevicePassword(*console_, next), 1);
  EXPECT_EQ(simulator_.Password(0), "n3w~Pass");
}

TEST_F(DeviceWriteTest, NoNewPasswordSendsNothing) {
  StartDevices({Config()});
  OpenConsole();
  EXPECT_EQ(SetDevicePassword(*console_, ScrambledPassword{}), 0);
  std::this_thread::sleep_for(50ms);
  EXPECT_EQ(simulator_.LastPasswordBlock(0), "");
}

TEST_F(DeviceWriteTest, MissingAcknowledgementAndClosedConnection) {
  sim::DeviceConfig config;
  config.faults.neverAck = true;
  StartDevices({config});
  OpenConsole();
  const std::string text =
      WriteText(ToRecord(simulator_.Settings(0)), false, WriteKind::kSaveAndEnd);
  EXPECT_EQ(WriteSettingsText(*console_, WriteKind::kSaveAndEnd, text.data(),
                              static_cast<int>(text.size())),
            console::kTimedOut);
  console_->Close();
  EXPECT_EQ(WriteSettingsText(*console_, WriteKind::kSaveAndEnd, text.data(),
                              static_cast<int>(text.size())),
            console::kNotConnected);
  ScrambledPassword next;
  ScramblePassword("x", kStoredPasswordShift, next);
  EXPECT_EQ(SetDevicePassword(*console_, next), console::kNotConnected);
}

TEST(FormatSocketError, LabelCodeAndExplanation) {
  EXPECT_EQ(FormatSocketError("L", 10054), "L : 10054 \r\n");
  EXPECT_EQ(FormatSocketError("ソケットエラー", 10060),
            "ソケットエラー : 10060 \r\n" + std::string(messages::kTimedOutText));
  EXPECT_EQ(FormatSocketError("ソケットエラー", 10061),
            "ソケットエラー : 10061 \r\n" + std::string(messages::kRefusedText));
}

}  // namespace
}  // namespace calbrin
