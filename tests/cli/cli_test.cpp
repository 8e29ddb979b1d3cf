// calbrin-cli against the simulator: its outputs, exit codes and failure messages, where
// passwords come from, and files that match the windows' save.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <deque>
#include <filesystem>
#include <map>

#include "cli/commands.h"
#include "cli/settings_view.h"
#include "file/settings_file.h"
#include "settings/password_scrambling.h"
#include "tests/support/device_test_support.h"
#include "tests/support/file_bytes.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using test::Device;

// Plays calbrin-cli's terminal and environment and records what the command said.
class CliTest : public ::testing::Test, public CliIo {
 protected:
  CliTest() {
    setup_.limits = test::ShortLimits(1000ms);
    setup_.searchWindow = 600ms;
    setup_.settleTime = 10ms;
    FromAdapter("127.0.0.1", 8);
  }

  void Out(std::string_view text) override { out_ += text; }
  void Err(std::string_view text) override { err_ += text; }
  bool Interactive() override { return interactive_; }
  std::optional<std::string> ReadLine(std::string_view prompt, bool hidden) override {
    prompts_.push_back(std::string(prompt) + (hidden ? " (hidden)" : ""));
    if (lines_.empty()) return std::nullopt;
    const std::string line = lines_.front();
    lines_.pop_front();
    return line;
  }
  std::optional<std::string> Environment(const std::string& name) override {
    return environment_.contains(name) ? std::optional(environment_[name]) : std::nullopt;
  }

  // What device `device` of the simulator holds for `key`.
  std::string Stored(int device, SettingKey key) {
    return std::string(ReadField(ToRecord(simulator_.Settings(device)), key));
  }

  // The one adapter that the system lists (the route probe finds no route in this namespace).
  void FromAdapter(std::string address, int prefixLength) {
    setup_.fillAdapters = [=](AdapterTable& table) {
      table = test::OneAdapter(address, prefixLength);
      table.entries[0].selected = 0;
      return 1;
    };
  }

  // Runs the command with fresh output, the given lines typed at a terminal (none: no terminal)
  // and the given environment.
  int Run(std::vector<std::string> args, std::deque<std::string> lines = {},
          std::map<std::string, std::string> environment = {}) {
    out_.clear();
    err_.clear();
    prompts_.clear();
    interactive_ = !lines.empty();
    lines_ = std::move(lines);
    environment_ = std::move(environment);
    return RunCli(args, *this, setup_);
  }

  CliSetup setup_;
  sim::Simulator simulator_;
  test::ScratchFolder folder_;
  std::string out_, err_;
  bool interactive_ = false;
  std::deque<std::string> lines_;
  std::vector<std::string> prompts_;
  std::map<std::string, std::string> environment_;
};

TEST_F(CliTest, SearchListsTheDevicesAndMarksThoseOutsideTheSubnet) {
  sim::DeviceConfig far = Device("57");
  far.address = "127.0.1.2";
  test::StartDevices(simulator_, {Device("48"), far});
  FromAdapter("127.0.0.1", 24);
  EXPECT_EQ(Run({"search"}, {"unused"}), 0);
  EXPECT_NE(err_.find("検索中... 1"), std::string::npos) << err_;  // on a terminal
  EXPECT_EQ(out_,
            "127.0.0.2  02-00-00-00-00-01  QV-48R2  1.00\n"
            "127.0.1.2  02-00-00-00-00-02  QV-57R  1.00  (サブネット外)\n");
  EXPECT_EQ(Run({"search", "--json"}), 0);
  EXPECT_EQ(out_,
            "[\n"
            "  {\"address\": \"127.0.0.2\", \"mac\": \"02-00-00-00-00-01\", \"model\": "
            "\"QV-48R2\", \"version\": \"1.00\", \"outsideSubnet\": false},\n"
            "  {\"address\": \"127.0.1.2\", \"mac\": \"02-00-00-00-00-02\", \"model\": "
            "\"QV-57R\", \"version\": \"1.00\", \"outsideSubnet\": true}\n"
            "]\n");
  EXPECT_EQ(err_, "");  // no countdown into a pipe
}

TEST_F(CliTest, GetPrintsTheSettingsOrWritesTheFileThatTheWindowsSave) {
  test::StartDevices(simulator_, {Device("57")});
  EXPECT_EQ(Run({"get", "127.0.0.2"}), 0);
  EXPECT_NE(out_.find("  MODEL: QV-57R\n\n[共通]\n  IPアドレス: 127.0.0.2\n"), std::string::npos);
  for (const char* line : {"\n[LAN(2)]\n  プロトコル: TCP\n", "  パスワード: (なし)\n",
                           "\n[シリアルポート(2)]\n", "  ドライバ制御: 常にアクティブ\n"})
    EXPECT_NE(out_.find(line), std::string::npos) << line;

  const fs::path file = folder_ / "QV-57R_02-00-00-00-00-01.qvs";
  ASSERT_EQ(Run({"get", "127.0.0.2", "-o", file.string()}), 0) << err_;
  // The windows' save: the pages filled from the device and collected for a file. The two
  // channel passwords carry fresh random fillers, so they are compared unscrambled.
  SettingsRecord read;
  ASSERT_EQ(ReadSettingsFile(file, true, read), SettingsFileRead::kLoaded);
  const std::string saved = test::ReadFileBytes(file);
  EXPECT_EQ(saved, test::SettingsFileText(read));
  const SettingsRecord windows = NormalisedSettings(ToRecord(simulator_.Settings(0)));
  EXPECT_TRUE(DifferentSettings(windows, read).empty());
  for (int i = 0; i < kSettingKeyCount; ++i) {
    const bool password = i == Index(SettingKey::PASS1) || i == Index(SettingKey::PASS2);
    EXPECT_TRUE(password || ReadField(read, i) == ReadField(windows, i)) << KeyText(i);
  }

  // A save that cannot be written whole leaves the file that was there whole: no file of this
  // process may grow beyond 512 bytes while it runs.
  rlimit limit{};
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &limit), 0);
  const rlimit small{512, limit.rlim_max};
  signal(SIGXFSZ, SIG_IGN);
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
  const int result = Run({"get", "127.0.0.2", "-o", file.string()});
  setrlimit(RLIMIT_FSIZE, &limit);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(err_, "ファイルを作成できませんでした。\n");
  EXPECT_EQ(test::ReadFileBytes(file), saved);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.Path()), fs::directory_iterator()), 1);
}

TEST_F(CliTest, PasswordsComeFromAFileAnEnvironmentVariableOrTheTerminal) {
  test::StartDevices(simulator_, {Device("48", "Secret-9")});
  const fs::path secret = test::WriteFileBytes(folder_ / "pw", "Secret-9\r\nignored\n");
  EXPECT_EQ(Run({"get", "127.0.0.2", "--password-file", secret.string()}), 0) << err_;
  EXPECT_EQ(Run({"get", "127.0.0.2", "--password-env", "PW"}, {}, {{"PW", "Secret-9"}}), 0);
  EXPECT_EQ(Run({"get", "127.0.0.2"}, {"Secret-9"}), 0);
  EXPECT_EQ(prompts_, std::vector<std::string>{"パスワード (127.0.0.2):  (hidden)"});
  EXPECT_EQ((out_ + err_).find("Secret-9"), std::string::npos);  // never printed
}

TEST_F(CliTest, OpenFailuresSayWhy) {
  test::StartDevices(simulator_, {Device("48", "Secret-9")});
  const std::string asks = "the device asks for its settings password: give --password-file or ";
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"127.0.0.2"}, "127.0.0.2: " + asks + "--password-env\n"},
      {{"127.0.0.2", "--password-env", "PW"}, "127.0.0.2: the variable PW is not set\n"},
      {{"127.0.0.2", "--password-file", "/nonexistent/pw"},
       "127.0.0.2: the password file /nonexistent/pw cannot be read\n"},
      {{"127.0.0.9"},
       "127.0.0.9: ソケットエラー : 10061 \r\n接続先から拒否されたため、接続できませんでした。\n"}};
  for (auto [args, err] : cases) {
    args.insert(args.begin(), "get");
    EXPECT_EQ(Run(args), 1) << err;
    EXPECT_EQ(err_, err);
  }
}

TEST_F(CliTest, DiffShowsTheDifferingSettingsByPageAndLabel) {
  sim::DeviceConfig changed = Device("48");
  SettingsRecord settings = ToRecord(sim::DefaultSettings("48", "127.0.0.3"));
  SetField(settings, SettingKey::PORT1, "4001");
  SetField(settings, SettingKey::CPAR2, "2");
  ScrambledPassword scrambled;
  ScramblePassword("line-2", kStoredPasswordShift, scrambled);
  SetField(settings, SettingKey::PASS2, scrambled.Scrambled());
  changed.settings = ToSimSettings(settings);
  test::StartDevices(simulator_, {Device("48"), changed, Device("57")});

  const fs::path own = folder_ / "own.qvs";
  ASSERT_EQ(Run({"get", "127.0.0.2", "-o", own.string()}), 0);
  EXPECT_EQ(Run({"diff", "127.0.0.2", own.string()}), 0);
  EXPECT_EQ(out_, "");

  EXPECT_EQ(Run({"diff", "127.0.0.2", "127.0.0.3"}), 1);
  EXPECT_EQ(out_,
            "共通  IPアドレス: 127.0.0.2 -> 127.0.0.3\n"
            "LAN(1)  受信ポート番号: 10001 -> 4001\n"
            "LAN(2)  パスワード: (なし) -> (設定あり)\n"
            "シリアルポート(2)  パリティ: 無し -> 偶数\n");
  EXPECT_EQ(out_.find("line-2"), std::string::npos);

  // Both set: that they differ is all that is said.
  const fs::path other = folder_ / "other.qvs";
  ASSERT_EQ(Run({"get", "127.0.0.3", "-o", other.string()}), 0);
  std::string text = test::ReadFileBytes(other);
  ScramblePassword("line-3", kStoredPasswordShift, scrambled);
  const std::size_t at = text.find("\r\nPASS2\r\n") + 9;  // not SPASS2
  text.replace(at, text.find("\r\n", at) - at, scrambled.Scrambled());
  test::WriteFileBytes(other, text);
  EXPECT_EQ(Run({"diff", "127.0.0.3", other.string()}), 1) << err_;
  EXPECT_EQ(out_, "LAN(2)  パスワード: (異なる)\n");

  EXPECT_EQ(Run({"diff", "127.0.0.4", own.string()}), 2);
  EXPECT_EQ(err_, own.string() +
                      ":  設定情報が読込めませんでした。\r\n"
                      " 設定ファイルのモデルが異なる可能性があります。\n");
  EXPECT_EQ(Run({"diff", "127.0.0.9", own.string()}), 2);
}

// A settings file as a device of `model` at `address` with `changes` would save it.
fs::path SettingsFile(const fs::path& path, std::string_view model, std::string_view address,
                      const std::map<SettingKey, std::string>& changes) {
  SettingsRecord record = NormalisedSettings(ToRecord(sim::DefaultSettings(model, address)));
  for (const auto& [key, value] : changes)
    SetField(record, key, value);
  return test::WriteFileBytes(path, test::SettingsFileText(record));
}

TEST_F(CliTest, PutWritesTheFileToEveryDeviceAndReportsEachOne) {
  sim::DeviceConfig silent = Device("48");
  silent.faults.silentAfterConnect = true;
  test::StartDevices(simulator_, {Device("48"), Device("57"), Device("48"), silent});
  const fs::path file = SettingsFile(folder_ / "plant.qvs", "48", "10.9.9.9",
                                     {{SettingKey::PORT1, "4001"}, {SettingKey::CBPS2, "38400"}});
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2", "127.0.0.3", "127.0.0.4", "127.0.0.5",
                 "127.0.0.9", "--yes"}),
            1);
  const std::string changes =
      "LAN(1)  受信ポート番号: 10001 -> 4001\nシリアルポート(2)  ボーレート (bps): 9600 -> 38400\n";
  EXPECT_EQ(out_, "127.0.0.2:\n" + changes + "127.0.0.2: 書込みが完了しました。 (2 settings)\n" +
                      "127.0.0.3: 設定情報が読込めませんでした。 / "
                      "設定ファイルのモデルが異なる可能性があります。\n"
                      "127.0.0.4:\n" +
                      changes + "127.0.0.4: 書込みが完了しました。 (2 settings)\n" +
                      "127.0.0.5: デバイスからの応答がありませんでした。\n"
                      "127.0.0.9: ソケットエラー : 10061 / "
                      "接続先から拒否されたため、接続できませんでした。\n"
                      "2 of 5 devices written\n");
  for (const int device : {0, 2})  // each keeps its own address
    EXPECT_EQ(std::tuple(Stored(device, SettingKey::PORT1), Stored(device, SettingKey::CBPS2),
                         Stored(device, SettingKey::IP)),
              std::tuple("4001", "38400", device == 0 ? "127.0.0.2" : "127.0.0.4"));
  EXPECT_EQ(simulator_.LastWriteBlock(1), "");

  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2", "--yes"}), 0);
  EXPECT_EQ(out_, "127.0.0.2: 変更なし (nothing to change)\n1 of 1 devices written\n");
}

TEST_F(CliTest, PutAsksBeforeItWritesAndChecksLikeApply) {
  test::StartDevices(simulator_, {Device("48")});
  const fs::path file =
      SettingsFile(folder_ / "a.qvs", "48", "127.0.0.20", {{SettingKey::MSS, "1000"}});
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2"}), 1);
  EXPECT_NE(out_.find("127.0.0.2: not written: give --yes to write without asking\n"),
            std::string::npos);
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2"}, {"n"}), 1);
  EXPECT_EQ(simulator_.LastWriteBlock(0), "");
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2"}, {"y"}), 0);
  EXPECT_EQ(prompts_, std::vector<std::string>{"127.0.0.2 に書き込みますか? [y/N] "});
  EXPECT_EQ(Stored(0, SettingKey::MSS), "1000");
  EXPECT_EQ(Stored(0, SettingKey::IP), "127.0.0.2");
  EXPECT_TRUE(simulator_.LastWriteBlock(0).ends_with("\r\nENDR\r\n"));

  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2", "--yes", "--with-address"}), 0) << out_;
  EXPECT_NE(out_.find("共通  IPアドレス: 127.0.0.2 -> 127.0.0.20\n"), std::string::npos);
  EXPECT_EQ(simulator_.Address(0), "127.0.0.20");
}

TEST_F(CliTest, SetChangesSingleSettingsAndRefusesWhatTheModelLacks) {
  test::StartDevices(simulator_, {Device("57")});
  EXPECT_EQ(Run({"set", "127.0.0.2", "MSS=1200", "CFLOW2=2", "--yes"}), 0) << err_;
  EXPECT_EQ(Stored(0, SettingKey::MSS), "1200");
  EXPECT_EQ(Stored(0, SettingKey::CFLOW2), "2");
  const struct {
    const char* pair;
    const char* message;
    int code;
  } refused[] = {
      {"CFLOW2=1",
       "127.0.0.2: CFLOW2=1: not offered by the QV-57R (it would be written as \"2\")\n", 1},
      {"CMODE2=2",
       "127.0.0.2: CMODE2=2: not offered by the QV-57R (it would be written as \"0\")\n", 1},
      {"NOPE=1", "NOPE: no such setting\n", 2},
      {"MSS", "MSS: give KEY=VALUE\n", 2},
      {"PORT1=12345678", "PORT1=12345678: longer than its field (7)\n", 2},
      {"PASS1=x", "PASS1: passwords are never taken from the command line; use put\n", 2},
      {"MODEL=48", "MODEL cannot be set\n", 2},
      {"IP=10.0.0.9\r\nMSS=1", "IP: a value cannot hold a line break\n", 2},
  };
  const std::string written = simulator_.LastWriteBlock(0);
  for (const auto& c : refused) {
    EXPECT_EQ(Run({"set", "127.0.0.2", c.pair, "--yes"}), c.code) << c.pair;
    EXPECT_EQ(err_, c.message);
  }
  EXPECT_EQ(simulator_.LastWriteBlock(0), written);
}

TEST_F(CliTest, PasswdChangesAndRemovesTheSettingsPassword) {
  test::StartDevices(simulator_, {Device("48")});
  EXPECT_EQ(Run({"passwd", "127.0.0.2", "--new-password-env", "NEW"}, {}, {{"NEW", "Line-7"}}), 0)
      << err_;
  EXPECT_EQ(out_, "127.0.0.2: パスワードを変更しました。\n");
  EXPECT_EQ(simulator_.Password(0), "Line-7");
  EXPECT_TRUE(simulator_.LastWriteBlock(0).ends_with("\r\nSAVE\r\n"));
  EXPECT_EQ(Run({"passwd", "127.0.0.2"}, {"abc", "abd"}), 1);
  EXPECT_EQ(err_, "パスワード入力と再入力の値が異なります\n");
  EXPECT_EQ(Run({"passwd", "127.0.0.2", "--new-password-env", "NEW"}, {}, {{"NEW", "two words"}}),
            1);
  EXPECT_EQ(err_, "a password is 1 to 32 characters from '!' to '~'\n");
  EXPECT_EQ(Run({"passwd", "127.0.0.2", "--remove"}, {"Line-7"}), 0) << err_;
  EXPECT_EQ(out_, "127.0.0.2: パスワードを無効化しました。\n");
  EXPECT_EQ(simulator_.Password(0), "");
}

TEST_F(CliTest, UsageAndHelp) {
  const struct {
    std::vector<std::string> args;
    int code;
    std::string text;  // the start of the output (exit 0) or the error
  } cases[] = {{{}, 2, "usage: calbrin-cli COMMAND"},
               {{"--help"}, 0, "usage: calbrin-cli COMMAND"},
               {{"frobnicate"}, 2, "unknown command frobnicate\n"},
               {{"search", "--help"}, 0, "usage: calbrin-cli search"},
               {{"passwd", "--help"}, 0, "usage: calbrin-cli passwd"},
               {{"put"}, 2, "usage: calbrin-cli put"},
               {{"diff", "127.0.0.2"}, 2, "usage: calbrin-cli diff"},
               {{"get", "127.0.0.2", "-o"}, 2, "-o needs a value\nusage: calbrin-cli get"},
               {{"search", "--bogus"}, 2, "unknown option --bogus\n"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.args), c.code) << c.text;
    EXPECT_TRUE((c.code == 0 ? out_ : err_).starts_with(c.text)) << out_ << err_;
  }
}

}  // namespace
}  // namespace calbrin
