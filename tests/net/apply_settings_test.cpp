// Apply against the simulator: what reaches the device, the questions in their order and their
// answers, every failure message, the status line, the report and the real settle time.
#include "net/apply_settings.h"

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <thread>

#include "net/device_messages.h"
#include "net/device_operations.h"
#include "settings/device_model.h"
#include "sim/simulator.h"
#include "tests/unit/test_records.h"

namespace calbrin {
namespace {

using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

const std::string kAddressQuestion = "IPアドレスが変更されます。よろしいですか?";
const std::string kPasswordQuestion = "パスワードが変更されます。よろしいですか?";
const std::string kRemovalQuestion = "パスワードが無効化されます。よろしいですか?";
const std::string kMismatch = "パスワード入力と再入力の値が異なります";
const std::string kNoAnswer = "書込みに失敗しました。\r\n一定時間内に応答がありませんでした。";
const std::string kClosed = "書込みに失敗しました。\r\n接続が切断されました。";
const std::string kDone = "  書込みが完了しました。";
const Texts kWriteStatuses{"書き込み中...", " "};

// One simulated device and the windows around Apply: the main window that opens the device and
// the settings dialog, recording every question, message, report and status text of Apply.
class Bench : public OpenDeviceUi, public ApplyUi {
 public:
  explicit Bench(std::string model = "48", std::string password = "", sim::Faults faults = {}) {
    ConsoleTimeLimits limits;
    limits.prompt = limits.loginAnswer = limits.settings = limits.acknowledgement = 500ms;
    console_.emplace(limits);
    console_->Startup();
    adapters_.entries[0] = {1, "lo", "127.0.0.1", 8, "255.0.0.0"};
    adapters_.count = 1;
    sim::DeviceConfig config;
    config.model = std::move(model);
    config.password = std::move(password);
    config.faults = faults;
    simulator.AddDevice(std::move(config));
    std::string error;
    EXPECT_TRUE(simulator.Start(error)) << error;
  }

  // Opens the device (with `login` when it asks) and applies its record as `edit` changes it;
  // `meanwhile` runs while the dialog is open, before Apply. -1 when the opening failed.
  int Apply(const std::function<void(SettingsRecord&)>& edit, PasswordChangeRequest change = {},
            std::chrono::milliseconds settle = 10ms, const std::function<void()>& meanwhile = {}) {
    int applied = -1;
    dialog_ = [&] {
      if (meanwhile) meanwhile();
      SettingsRecord collected = session_.deviceRecord;
      if (edit) edit(collected);
      SettingsText text;
      SerializeSettings(collected, false,
                        SecondChannelReduced(ReadField(collected, SettingKey::MODEL)), text);
      applying_ = true;
      applied =
          ApplySettings(*console_, session_.deviceRecord, collected, text, change, *this, settle);
      applying_ = false;
    };
    OpenDevice(*console_, adapters_, session_, *this);
    return applied;
  }

  std::optional<Row> SelectedRow() override { return Row{"127.0.0.2", ""}; }
  void DeselectAllRows() override {}
  void AskPassword(ScrambledPassword& scrambled) override {
    if (login) ScramblePassword(*login, kLoginShift, scrambled);
  }
  void ShowSettingsDialog() override { dialog_(); }
  void ShowError(std::string_view message) override { errors.emplace_back(message); }
  bool AskYesNo(std::string_view question) override {
    questions.emplace_back(question);
    const bool answer = answers.empty() || answers.front();
    if (!answers.empty()) answers.pop_front();
    return answer;
  }
  void ShowReport(std::string_view message) override { reports.emplace_back(message); }
  void SetStatusText(std::string_view text) override {
    if (applying_) statuses.emplace_back(text);
  }
  bool Connected() const { return console_->Connected(); }

  sim::Simulator simulator;
  std::optional<std::string> login;
  std::deque<bool> answers;  // Yes when it runs out
  Texts errors, questions, reports, statuses;

 private:
  std::optional<ConsoleConnection> console_;
  AdapterTable adapters_;
  DeviceSession session_;
  std::function<void()> dialog_;
  bool applying_ = false;
};

TEST(ApplySettings, TheCollectedTextReachesTheDeviceClosedByItsSaveCommand) {
  for (const std::string model : {"48", "57"}) {
    Bench bench(model);
    EXPECT_EQ(bench.Apply([](SettingsRecord& record) {
      SetField(record, SettingKey::MSS, "1000");
      SetField(record, SettingKey::CDRV2, "1");
    }),
              1);
    EXPECT_EQ(ReadField(bench.simulator.Settings(0), SettingKey::MSS), "1000");
    const std::string block = bench.simulator.LastWriteBlock(0);
    EXPECT_EQ(test::CountPairs(block), model == "57" ? 63 : 62) << model;
    EXPECT_EQ(block.find("CDRV2\r\n1\r\n") != std::string::npos, model == "57") << model;
    EXPECT_TRUE(block.ends_with("\r\nENDR\r\n"));
    EXPECT_EQ(bench.simulator.LastPasswordBlock(0), "");
    EXPECT_EQ(std::tuple(bench.questions, bench.errors, bench.statuses, bench.reports),
              std::tuple(Texts{}, Texts{}, kWriteStatuses, Texts{kDone}));
  }
}

TEST(ApplySettings, NewSettingsPasswordIsNeededAtTheNextOpeningAndAnEmptyOneRemovesIt) {
  Bench bench("48", "old-one");
  bench.login = "old-one";
  EXPECT_EQ(bench.Apply({}, {true, "Line-7", "Line-7"}), 1);
  EXPECT_EQ(bench.questions, Texts{kPasswordQuestion});
  EXPECT_TRUE(bench.simulator.LastWriteBlock(0).ends_with("\r\nSAVE\r\n"));
  EXPECT_TRUE(bench.simulator.LastPasswordBlock(0).starts_with("P_SET\r\n"));
  EXPECT_EQ(bench.simulator.Password(0), "Line-7");
  EXPECT_EQ(bench.Apply({}), -1);
  EXPECT_EQ(bench.errors, Texts{std::string(messages::kPasswordRefused)});
  bench.login = "Line-7";
  EXPECT_EQ(bench.Apply({}, {true, "", ""}), 1);
  EXPECT_EQ(bench.questions, (Texts{kPasswordQuestion, kRemovalQuestion}));
  EXPECT_EQ(bench.simulator.Password(0), "");
  bench.login.reset();
  EXPECT_EQ(bench.Apply({}), 1);
}

// The address question comes first, then the password's; a No or a mismatch writes nothing.
TEST(ApplySettings, QuestionsInTheirOrderAndWhatTheAnswersDo) {
  // clang-format off
  struct Row { bool newAddress; PasswordChangeRequest change; std::deque<bool> answers;
               Texts questions, errors; bool written; } rows[] = {
      {true, {}, {false}, {kAddressQuestion}, {}, false},
      {true, {true, "abc", "abcd"}, {}, {kAddressQuestion}, {kMismatch}, false},
      {false, {true, "", "abc"}, {}, {}, {kMismatch}, false},
      {false, {true, "abc", ""}, {}, {}, {kMismatch}, false},
      {true, {true, "abc", "abc"}, {true, false}, {kAddressQuestion, kPasswordQuestion}, {}, false},
      {false, {true, "", ""}, {false}, {kRemovalQuestion}, {}, false},
      {false, {false, "abc", "x"}, {}, {}, {}, true},
      {true, {true, "", ""}, {}, {kAddressQuestion, kRemovalQuestion}, {}, true},
  };
  // clang-format on
  for (const Row& row : rows) {
    Bench bench;
    bench.answers = row.answers;
    const int applied = bench.Apply(
        [&](SettingsRecord& record) {
          if (row.newAddress) SetField(record, SettingKey::IP, "127.0.0.2 ");
        },
        row.change);
    const std::string report =
        row.newAddress ? kDone + "\r\n  IPアドレスを変更された場合は再度検索してください。" : kDone;
    EXPECT_EQ(std::tuple(applied, bench.questions, bench.errors),
              std::tuple(row.written ? 1 : 0, row.questions, row.errors))
        << &row - rows;
    EXPECT_EQ(std::tuple(bench.simulator.LastWriteBlock(0).empty(), bench.statuses, bench.reports),
              std::tuple(!row.written, row.written ? kWriteStatuses : Texts{},
                         row.written ? Texts{report} : Texts{}))
        << &row - rows;
  }
}

// A failed write keeps the dialog open: one message, no report, the status line back to blank.
TEST(ApplySettings, FailedWrites) {
  const std::tuple<sim::Faults, bool, std::string> rows[] = {
      {{.neverAck = true}, false, kNoAnswer},
      {{.closeAfterSettings = true}, false, kClosed},
      {{.neverAck = true, .passwordBlockOnly = true}, true, "書込みに失敗しました。"},
  };
  for (const auto& [faults, changePassword, message] : rows) {
    Bench bench("48", "", faults);
    // The user takes a moment: long enough for a connection that the device closed to be seen.
    const auto wait = [&] {
      for (int i = 0; i < 200 && bench.Connected(); ++i)
        std::this_thread::sleep_for(5ms);
    };
    EXPECT_EQ(bench.Apply({}, {changePassword, "pw", "pw"}, 10ms, wait), 0);
    EXPECT_EQ(std::tuple(bench.errors, bench.reports, bench.statuses),
              std::tuple(Texts{message}, Texts{}, kWriteStatuses));
  }
}

TEST(ApplySettings, EveryStepResultHasItsMessage) {
  const std::string socketError = "書込みに失敗しました。\r\nソケットエラー : 10054 \r\n";
  const std::tuple<int, std::string, std::string> rows[] = {
      {1, "", ""},
      {0, socketError, kNoAnswer},
      {-1, socketError, socketError},
      {-2, kClosed, kClosed},
      {-3, kNoAnswer, "書込みに失敗しました。"}};
  for (const auto& [result, settings, password] : rows) {
    EXPECT_EQ(SettingsStepFailure(result, 10054), settings) << result;
    EXPECT_EQ(PasswordStepFailure(result, 10054), password) << result;
  }
  EXPECT_EQ(SettingsStepFailure(-1, 10061),
            "書込みに失敗しました。\r\nソケットエラー : 10061 \r\n" +
                std::string(messages::kRefusedText));
}

// The device is given its full five seconds after a write, with the dialog blocked.
TEST(ApplySettings, WriteIsFollowedByTheRealSettleTime) {
  Bench bench;
  std::chrono::steady_clock::time_point start;
  EXPECT_EQ(
      bench.Apply({}, {}, kWriteSettleTime, [&] { start = std::chrono::steady_clock::now(); }), 1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 5000ms);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 6500ms);
}

}  // namespace
}  // namespace calbrin
