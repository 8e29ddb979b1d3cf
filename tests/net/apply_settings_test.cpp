// Apply against the simulator: what reaches the device, the questions in their order and their
// answers, every failure message, the status line, the report and the real settle time.
#include "net/apply_settings.h"

#include <gtest/gtest.h>

#include <functional>
#include <thread>

#include "net/device_operations.h"
#include "settings/device_model.h"
#include "tests/support/device_test_support.h"

namespace calbrin {
namespace {

using namespace std::chrono_literals;
using Texts = std::vector<std::string>;

// clang-format off
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
class Bench : public test::RecordingOpenUi, public ApplyUi {
 public:
  explicit Bench(std::string model = "48", std::string devicePassword = "", sim::Faults faults = {})
      : console_(test::ShortLimits(500ms)) {
    console_.Startup();
    sim::DeviceConfig device = test::Device(std::move(model), std::move(devicePassword));
    device.faults = faults;
    test::StartDevices(simulator, {device});
  }

  // Opens the device (with `password` when it asks) and applies its own record, with `address`
  // as its IP address when given; `meanwhile` runs while the dialog is open. -1: not opened.
  int Apply(const char* address = nullptr, PasswordChangeRequest change = {},
            std::chrono::milliseconds settle = 10ms, const std::function<void()>& meanwhile = {}) {
    int applied = -1;
    selected = true;
    whileOpen = [&] {
      if (meanwhile) meanwhile();
      SettingsRecord collected = session_.deviceRecord;
      if (address != nullptr) SetField(collected, SettingKey::IP, address);
      SettingsText text;
      SerializeSettings(collected, false, SecondChannelReduced(ReadField(collected, SettingKey::MODEL)), text);
      sent = text.View();
      statuses.clear();
      applied = ApplySettings(console_, session_.deviceRecord, collected, text, change, *this, settle);
      applyStatuses = statuses;
    };
    OpenDevice(console_, test::OneAdapter(), session_, *this);
    return applied;
  }

  void ShowError(std::string_view message) override { RecordingOpenUi::ShowError(message); }
  void SetStatusText(std::string_view text) override { RecordingOpenUi::SetStatusText(text); }
  bool AskYesNo(std::string_view question) override {
    questions.emplace_back(question);
    return questions.size() > answers.size() || answers[questions.size() - 1];
  }
  void ShowReport(std::string_view message) override { reports.emplace_back(message); }
  bool Connected() const { return console_.Connected(); }

  sim::Simulator simulator;
  std::vector<bool> answers;  // Yes when it runs out
  Texts questions, reports, applyStatuses;
  std::string sent;  // the collected text that Apply was given

 private:
  ConsoleConnection console_;
  DeviceSession session_;
};

// The address question comes first, then the password's; a No or a mismatch writes nothing. A
// write ends with "SAVE" and the password step when the password changes, with "ENDR" otherwise.
TEST(ApplySettings, QuestionsInTheirOrderAndWhatTheAnswersDo) {
  const char* moved = "127.0.0.2 ";
  struct Row { const char* address; PasswordChangeRequest change; std::vector<bool> answers;
               Texts questions, errors; const char* ending; } rows[] = {
      {moved, {}, {false}, {kAddressQuestion}, {}, nullptr},
      {moved, {true, "abc", "abcd"}, {}, {kAddressQuestion}, {kMismatch}, nullptr},
      {nullptr, {true, "", "abc"}, {}, {}, {kMismatch}, nullptr},
      {nullptr, {true, "abc", ""}, {}, {}, {kMismatch}, nullptr},
      {moved, {true, "abc", "abc"}, {true, false}, {kAddressQuestion, kPasswordQuestion}, {}, nullptr},
      {nullptr, {true, "", ""}, {false}, {kRemovalQuestion}, {}, nullptr},
      {nullptr, {false, "abc", "x"}, {}, {}, {}, "ENDR"},
      {nullptr, {true, "Line-7", "Line-7"}, {}, {kPasswordQuestion}, {}, "SAVE"},
      {moved, {true, "", ""}, {}, {kAddressQuestion, kRemovalQuestion}, {}, "SAVE"},
  };
  for (const Row& row : rows) {
    Bench bench("48", "old-one");
    bench.password = "old-one";
    bench.answers = row.answers;
    const int applied = bench.Apply(row.address, row.change);
    const bool written = row.ending != nullptr;
    const std::string report = row.address ? kDone + "\r\n  IPアドレスを変更された場合は再度検索してください。" : kDone;
    EXPECT_EQ(std::tuple(applied, bench.questions, bench.errors, bench.applyStatuses, bench.reports),
              std::tuple(written ? 1 : 0, row.questions, row.errors, written ? kWriteStatuses : Texts{},
                         written ? Texts{report} : Texts{})) << &row - rows;
    EXPECT_EQ(bench.simulator.LastWriteBlock(0), written ? bench.sent + row.ending + "\r\n" : "");
    const bool password = written && row.change.requested;
    EXPECT_EQ(bench.simulator.LastPasswordBlock(0).starts_with("P_SET\r\n"), password);
    EXPECT_EQ(bench.simulator.Password(0), password ? row.change.password : "old-one");
    // The next opening needs the new password; after a removal it asks for none.
    bench.password = "wrong";
    EXPECT_EQ(bench.Apply(), password && row.change.password.empty() ? 1 : -1);
  }
}

// A failed write keeps the dialog open: one message, no report, the status line back to blank.
TEST(ApplySettings, FailedWrites) {
  const std::tuple<sim::Faults, bool, std::string> rows[] = {
      {{.neverAck = true}, false, kNoAnswer}, {{.closeAfterSettings = true}, false, kClosed},
      {{.neverAck = true, .passwordBlockOnly = true}, true, "書込みに失敗しました。"},
      {{.ackDelayMs = 800}, false, kNoAnswer}};  // later than the shortened 500 ms
  for (const auto& [faults, changePassword, message] : rows) {
    Bench bench("48", "", faults);
    // The user takes a moment: long enough for a connection that the device closed to be seen.
    const auto wait = [&] {
      for (int i = 0; i < 200 && bench.Connected(); ++i)
        std::this_thread::sleep_for(5ms);
    };
    EXPECT_EQ(bench.Apply(nullptr, {changePassword, "pw", "pw"}, 10ms, wait), 0);
    EXPECT_EQ(std::tuple(bench.errors, bench.reports, bench.applyStatuses), std::tuple(Texts{message}, Texts{}, kWriteStatuses));
  }
}

TEST(ApplySettings, EveryStepResultHasItsMessage) {
  const std::string socketError = "書込みに失敗しました。\r\nソケットエラー : 10054 \r\n";
  const std::tuple<int, std::string, std::string> rows[] = {{1, "", ""}, {0, socketError, kNoAnswer},
      {-1, socketError, socketError}, {-2, kClosed, kClosed}, {-3, kNoAnswer, "書込みに失敗しました。"}};
  for (const auto& [result, settings, password] : rows)
    EXPECT_EQ(std::pair(SettingsStepFailure(result, 10054), PasswordStepFailure(result, 10054)),
              std::pair(settings, password)) << result;
  EXPECT_EQ(SettingsStepFailure(-1, 10061), "書込みに失敗しました。\r\nソケットエラー : 10061 \r\n接続先から拒否されたため、接続できませんでした。");
}

// The device is given its full five seconds after a write, with the dialog blocked.
TEST(ApplySettings, WriteIsFollowedByTheRealSettleTime) {
  Bench bench;
  std::chrono::steady_clock::time_point start;
  EXPECT_EQ(bench.Apply(nullptr, {}, kWriteSettleTime, [&] { start = std::chrono::steady_clock::now(); }), 1);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 5000ms);
  EXPECT_LT(std::chrono::steady_clock::now() - start, 6500ms);
}
// clang-format on

}  // namespace
}  // namespace calbrin
