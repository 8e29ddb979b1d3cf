// Apply against the simulator: what reaches the device, the questions and their answers, every
// failure message, the status line and the completion report.
#include "pages/apply_settings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "net/device_messages.h"
#include "settings/device_model.h"
#include "tests/support/sim_settings.h"
#include "tests/unit/test_records.h"

namespace calbrin {
namespace {

using namespace std::chrono_literals;

// Opens the device and, while the settings dialog would be open, runs `whileOpen`.
class DialogUi : public OpenDeviceUi {
 public:
  std::optional<Row> SelectedRow() override { return Row{address, ""}; }
  void SetStatusText(std::string_view) override {}
  void DeselectAllRows() override {}
  void AskPassword(ScrambledPassword& login) override {
    if (password) ScramblePassword(*password, kLoginShift, login);
  }
  void ShowSettingsDialog() override {
    ++dialogs;
    if (whileOpen) whileOpen();
  }
  void ShowError(std::string_view message) override { errors.emplace_back(message); }

  std::string address = "127.0.0.2";
  std::optional<std::string> password;
  std::function<void()> whileOpen;
  std::vector<std::string> errors;
  int dialogs = 0;
};

class RecordingApplyUi : public ApplyUi {
 public:
  void ShowError(std::string_view message) override { errors.emplace_back(message); }
  void ShowPage(int tab) override { pages.push_back(tab); }
  bool AskYesNo(std::string_view question) override {
    questions.emplace_back(question);
    if (answers.empty()) return true;
    const bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void ShowReport(std::string_view message) override { reports.emplace_back(message); }
  void SetStatusText(std::string_view text) override { statuses.emplace_back(text); }

  std::deque<bool> answers;  // Yes when it runs out
  std::vector<std::string> errors, questions, reports, statuses;
  std::vector<int> pages;
};

constexpr std::string_view kAddressQuestion = "IPアドレスが変更されます。よろしいですか?";
constexpr std::string_view kDone = "  書込みが完了しました。";

class ApplySettingsTest : public ::testing::Test {
 protected:
  ApplySettingsTest() {
    ConsoleTimeLimits limits;
    limits.prompt = limits.loginAnswer = limits.settings = limits.acknowledgement = 500ms;
    console_.emplace(limits);
    console_->Startup();
  }

  void StartDevice(std::string model = "48", std::string password = "", sim::Faults faults = {}) {
    sim::DeviceConfig config;
    config.model = std::move(model);
    config.password = std::move(password);
    config.faults = faults;
    simulator_.AddDevice(std::move(config));
    std::string error;
    ASSERT_TRUE(simulator_.Start(error)) << error;
  }

  // The pages as the dialog shows the open device.
  PageStates Shown() const {
    return ShownPages(session_.deviceRecord,
                      SecondChannelReduced(ReadField(session_.deviceRecord, SettingKey::MODEL)));
  }

  // Opens the device, lets `edit` change the shown pages, and applies them.
  bool OpenAndApply(const std::function<void(PageStates&)>& edit,
                    std::chrono::milliseconds settle = 10ms) {
    bool applied = false;
    dialog_.whileOpen = [&] {
      PageStates pages = Shown();
      edit(pages);
      const bool reduced =
          SecondChannelReduced(ReadField(session_.deviceRecord, SettingKey::MODEL));
      applied = ApplySettings(*console_, session_, pages, reduced, ui_, settle);
    };
    EXPECT_EQ(OpenDevice(*console_, adapters_, session_, dialog_), 1);
    EXPECT_EQ(dialog_.errors, std::vector<std::string>{});
    return applied;
  }

  // Opens the device again, as a user would after the write, with `password` if asked.
  DialogUi Reopen(std::optional<std::string> password) {
    DialogUi again;
    again.password = std::move(password);
    OpenDevice(*console_, adapters_, session_, again);
    return again;
  }

  void ExpectWriteFailure(sim::Faults faults, bool changePassword, std::string_view message);

  void ExpectNothingWritten() {
    EXPECT_EQ(simulator_.LastWriteBlock(0), "");
    EXPECT_EQ(simulator_.LastPasswordBlock(0), "");
    EXPECT_TRUE(ui_.reports.empty());
  }

  sim::Simulator simulator_;
  std::optional<ConsoleConnection> console_;
  AdapterTable adapters_ = [] {
    AdapterTable table;
    table.entries[0] = {1, "lo", "127.0.0.1", 8, "255.0.0.0"};
    table.count = 1;
    return table;
  }();
  DeviceSession session_;
  DialogUi dialog_;
  RecordingApplyUi ui_;
};

TEST_F(ApplySettingsTest, EditsOnEveryPageReachTheDeviceAndEndTheWrite) {
  StartDevice("48");
  const bool applied = OpenAndApply([](PageStates& pages) {
    pages.network.mss = "1000";
    pages.network.autoNegotiation = false;
    pages.network.speed100Checked = true;
    pages.lan[0].receivePort = "4001";
    pages.lan[1].protocol = kUdpItem;
    pages.lan[1].udpAddress = "127.0.0.9";
    pages.lan[1].udpPort = "7000";
    pages.serial[0].baudRate = "38400";
    pages.serial[1].parity = 2;
    pages.serial[1].packing = true;
    pages.serial[1].xon = "1F";
  });
  EXPECT_TRUE(applied);
  const SettingsRecord stored = ToRecord(simulator_.Settings(0));
  EXPECT_EQ(ReadField(stored, SettingKey::MSS), "1000");
  EXPECT_EQ(ReadField(stored, SettingKey::NEGOS), "2");
  EXPECT_EQ(ReadField(stored, SettingKey::PORT1), "4001");
  EXPECT_EQ(ReadField(stored, SettingKey::PRT2), "1");
  EXPECT_EQ(ReadField(stored, SettingKey::HIP2), "127.0.0.9");
  EXPECT_EQ(ReadField(stored, SettingKey::HPORT2), "7000");
  EXPECT_EQ(ReadField(stored, SettingKey::CBPS1), "38400");
  EXPECT_EQ(ReadField(stored, SettingKey::CPAR2), "3");
  EXPECT_EQ(ReadField(stored, SettingKey::P_EN2), "1");
  EXPECT_EQ(ReadField(stored, SettingKey::CXON2), "31");
  const std::string block = simulator_.LastWriteBlock(0);
  EXPECT_EQ(test::CountPairs(block), 62);
  EXPECT_TRUE(block.ends_with("\r\nENDR\r\n"));
  EXPECT_EQ(simulator_.LastPasswordBlock(0), "");
  EXPECT_TRUE(ui_.questions.empty());
  EXPECT_EQ(ui_.statuses, (std::vector<std::string>{"書き込み中...", " "}));
  EXPECT_EQ(ui_.reports, std::vector<std::string>{std::string(kDone)});
  EXPECT_TRUE(ui_.errors.empty());
}

TEST_F(ApplySettingsTest, Qv57rWriteCarriesTheDriverControl) {
  StartDevice("57");
  EXPECT_TRUE(OpenAndApply([](PageStates& pages) { pages.serial[1].driverOnSend = true; }));
  const std::string block = simulator_.LastWriteBlock(0);
  EXPECT_EQ(test::CountPairs(block), 63);
  EXPECT_NE(block.find("CDRV2\r\n1\r\n"), std::string::npos);
  EXPECT_EQ(ReadField(ToRecord(simulator_.Settings(0)), SettingKey::CDRV2), "1");
}

TEST_F(ApplySettingsTest, NewSettingsPasswordIsNeededAtTheNextOpening) {
  StartDevice("48");
  EXPECT_TRUE(OpenAndApply([](PageStates& pages) {
    pages.network.changePassword = true;
    pages.network.newPassword = pages.network.newPasswordAgain = "Line-7";
  }));
  EXPECT_EQ(ui_.questions, std::vector<std::string>{"パスワードが変更されます。よろしいですか?"});
  EXPECT_TRUE(simulator_.LastWriteBlock(0).ends_with("\r\nSAVE\r\n"));
  EXPECT_TRUE(simulator_.LastPasswordBlock(0).starts_with("P_SET\r\n"));
  EXPECT_EQ(simulator_.Password(0), "Line-7");
  EXPECT_EQ(Reopen("wrong").errors,
            std::vector<std::string>{std::string(messages::kPasswordRefused)});
  EXPECT_EQ(Reopen("Line-7").dialogs, 1);
}

TEST_F(ApplySettingsTest, EmptyNewPasswordRemovesIt) {
  StartDevice("48", "old-one");
  dialog_.password = "old-one";
  EXPECT_TRUE(OpenAndApply([](PageStates& pages) { pages.network.changePassword = true; }));
  EXPECT_EQ(ui_.questions, std::vector<std::string>{"パスワードが無効化されます。よろしいですか?"});
  EXPECT_EQ(simulator_.Password(0), "");
  const DialogUi again = Reopen(std::nullopt);
  EXPECT_EQ(again.dialogs, 1);
  EXPECT_TRUE(again.errors.empty());
}

TEST_F(ApplySettingsTest, MismatchedOrDeclinedPasswordWritesNothing) {
  StartDevice("48");
  const std::string mismatch = "パスワード入力と再入力の値が異なります";
  EXPECT_FALSE(OpenAndApply([](PageStates& pages) {
    pages.network.changePassword = true;
    pages.network.newPassword = "abc";
    pages.network.newPasswordAgain = "abcd";
  }));
  EXPECT_FALSE(OpenAndApply([](PageStates& pages) {
    pages.network.changePassword = true;
    pages.network.newPasswordAgain = "abc";
  }));
  EXPECT_EQ(ui_.errors, (std::vector<std::string>{mismatch, mismatch}));
  EXPECT_TRUE(ui_.questions.empty());
  ui_.answers = {false};
  EXPECT_FALSE(OpenAndApply([](PageStates& pages) {
    pages.network.changePassword = true;
    pages.network.newPassword = pages.network.newPasswordAgain = "abc";
  }));
  EXPECT_EQ(ui_.questions.size(), 1u);
  ExpectNothingWritten();
  EXPECT_TRUE(ui_.statuses.empty());
}

TEST_F(ApplySettingsTest, AddressChangeAsksFirstAndDecliningSendsNothing) {
  StartDevice("48");
  ui_.answers = {false};
  EXPECT_FALSE(OpenAndApply([](PageStates& pages) { pages.network.autoAddress = true; }));
  EXPECT_EQ(ui_.questions, std::vector<std::string>{std::string(kAddressQuestion)});
  ExpectNothingWritten();

  EXPECT_TRUE(OpenAndApply([](PageStates& pages) { pages.network.address = "127.0.0.2 "; }));
  EXPECT_EQ(ui_.questions.size(), 2u);
  EXPECT_EQ(
      ui_.reports,
      std::vector<std::string>{
          "  書込みが完了しました。\r\n  IPアドレスを変更された場合は再度検索してください。"});
}

TEST_F(ApplySettingsTest, FailedCheckShowsItsPageAndWritesNothing) {
  StartDevice("48");
  EXPECT_FALSE(OpenAndApply([](PageStates& pages) {
    pages.lan[0].receivePort = "0";
    pages.lan[1].receivePort = "0";
  }));
  EXPECT_EQ(ui_.errors, std::vector<std::string>{
                            "LAN(1)の受信ポート番号0は設定できません。\r\n値を変更してください。"});
  EXPECT_EQ(ui_.pages, std::vector<int>{1});
  ExpectNothingWritten();
}

// A failed write keeps the dialog open: one message, no report, the status line back to blank.
void ApplySettingsTest::ExpectWriteFailure(sim::Faults faults, bool changePassword,
                                           std::string_view message) {
  StartDevice("48", "", faults);
  EXPECT_FALSE(OpenAndApply([this, changePassword](PageStates& pages) {
    // The user takes a moment: long enough for a connection that the device closed to be seen.
    for (int i = 0; i < 200 && console_->Connected(); ++i)
      std::this_thread::sleep_for(5ms);
    pages.network.changePassword = changePassword;
    pages.network.newPassword = pages.network.newPasswordAgain = changePassword ? "pw" : "";
  }));
  EXPECT_EQ(ui_.errors, std::vector<std::string>{std::string(message)});
  EXPECT_TRUE(ui_.reports.empty());
  EXPECT_EQ(ui_.statuses, (std::vector<std::string>{"書き込み中...", " "}));
}

TEST_F(ApplySettingsTest, SettingsNeverAcknowledged) {
  ExpectWriteFailure({.neverAck = true}, false,
                     "書込みに失敗しました。\r\n一定時間内に応答がありませんでした。");
}

TEST_F(ApplySettingsTest, DeviceThatHungUpMeanwhileGivesTheClosedConnection) {
  ExpectWriteFailure({.closeAfterSettings = true}, false,
                     "書込みに失敗しました。\r\n接続が切断されました。");
}

TEST_F(ApplySettingsTest, PasswordNeverAcknowledgedGetsTheGeneralText) {
  ExpectWriteFailure({.neverAck = true, .passwordBlockOnly = true}, true, "書込みに失敗しました。");
}

TEST(ApplyStepFailures, EveryResultHasItsMessage) {
  const std::string noAnswer = "書込みに失敗しました。\r\n一定時間内に応答がありませんでした。";
  const std::string closed = "書込みに失敗しました。\r\n接続が切断されました。";
  const std::string socketError = "書込みに失敗しました。\r\nソケットエラー : 10054 \r\n";
  EXPECT_EQ(SettingsStepFailure(1, 0), "");
  EXPECT_EQ(SettingsStepFailure(-3, 0), noAnswer);
  EXPECT_EQ(SettingsStepFailure(-2, 0), closed);
  EXPECT_EQ(SettingsStepFailure(-1, 10054), socketError);
  EXPECT_EQ(SettingsStepFailure(0, 10054), socketError);
  EXPECT_EQ(PasswordStepFailure(1, 0), "");
  EXPECT_EQ(PasswordStepFailure(0, 0), noAnswer);
  EXPECT_EQ(PasswordStepFailure(-2, 0), closed);
  EXPECT_EQ(PasswordStepFailure(-1, 10054), socketError);
  EXPECT_EQ(PasswordStepFailure(-3, 0), "書込みに失敗しました。");
  EXPECT_EQ(SettingsStepFailure(-1, 10061),
            "書込みに失敗しました。\r\nソケットエラー : 10061 \r\n" +
                std::string(messages::kRefusedText));
}

// The device is given its full five seconds after a write, with the dialog blocked.
TEST_F(ApplySettingsTest, WriteIsFollowedByTheRealSettleTime) {
  StartDevice("48");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_TRUE(OpenAndApply([](PageStates&) {}, kWriteSettleTime));
  const auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(kWriteSettleTime, 5000ms);
  EXPECT_GE(elapsed, 5000ms);
  EXPECT_LT(elapsed, 6500ms);
}

}  // namespace
}  // namespace calbrin
