// calbrin-cli against the simulator: search, get and diff, their outputs, exit codes and failure
// messages, and files that match the windows' save.
#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <map>
#include <random>

#include "cli/commands.h"
#include "cli/settings_view.h"
#include "file/settings_file.h"
#include "settings/password_scrambling.h"
#include "tests/support/sim_settings.h"
#include "tests/unit/file_bytes.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

class RecordingIo final : public CliIo {
 public:
  void Out(std::string_view text) override { out += text; }
  void Err(std::string_view text) override { err += text; }
  bool Interactive() override { return interactive; }
  std::optional<std::string> ReadLine(std::string_view prompt, bool hidden) override {
    prompts.push_back(std::string(prompt) + (hidden ? " (hidden)" : ""));
    if (lines.empty()) return std::nullopt;
    std::string line = lines.front();
    lines.pop_front();
    return line;
  }
  std::optional<std::string> Environment(const std::string& name) override {
    const auto found = environment.find(name);
    if (found == environment.end()) return std::nullopt;
    return found->second;
  }

  std::string out, err;
  bool interactive = false;
  std::deque<std::string> lines;
  std::vector<std::string> prompts;
  std::map<std::string, std::string> environment;
};

class CliTest : public ::testing::Test {
 protected:
  CliTest() {
    setup_.limits.prompt = setup_.limits.loginAnswer = setup_.limits.settings = 1000ms;
    setup_.limits.acknowledgement = 1000ms;
    setup_.searchWindow = 600ms;
    setup_.settleTime = 10ms;
    // The loopback adapter only: the route probe finds no route in the test's namespace.
    setup_.fillAdapters = [](AdapterTable& table) {
      table = {};
      table.entries[0] = {0, "lo", "127.0.0.1", 8, "255.0.0.0"};
      table.count = 1;
      return 1;
    };
    std::random_device random;
    folder_ = fs::temp_directory_path() / ("calbrin-cli-test-" + std::to_string(random()));
    fs::create_directories(folder_);
  }
  ~CliTest() override { fs::remove_all(folder_); }

  void Start(std::vector<sim::DeviceConfig> devices) {
    for (sim::DeviceConfig& device : devices)
      simulator_.AddDevice(std::move(device));
    std::string error;
    ASSERT_TRUE(simulator_.Start(error)) << error;
  }

  static sim::DeviceConfig Device(std::string model, std::string password = "") {
    sim::DeviceConfig config;
    config.model = std::move(model);
    config.password = std::move(password);
    return config;
  }

  int Run(std::vector<std::string> args) {
    io_ = {};
    return RunCli(args, io_, setup_);
  }

  CliSetup setup_;
  sim::Simulator simulator_;
  RecordingIo io_;
  fs::path folder_;
};

TEST_F(CliTest, SearchListsTheDevicesAsATableOrJson) {
  Start({Device("48"), Device("57")});
  EXPECT_EQ(Run({"search"}), 0);
  EXPECT_EQ(io_.out,
            "127.0.0.2  02-00-00-00-00-01  QV-48R2  1.00\n"
            "127.0.0.3  02-00-00-00-00-02  QV-57R  1.00\n");
  EXPECT_EQ(io_.err, "");  // no countdown into a pipe
  EXPECT_EQ(Run({"search", "--json"}), 0);
  EXPECT_EQ(io_.out,
            "[\n"
            "  {\"address\": \"127.0.0.2\", \"mac\": \"02-00-00-00-00-01\", \"model\": "
            "\"QV-48R2\", \"version\": \"1.00\", \"outsideSubnet\": false},\n"
            "  {\"address\": \"127.0.0.3\", \"mac\": \"02-00-00-00-00-02\", \"model\": "
            "\"QV-57R\", \"version\": \"1.00\", \"outsideSubnet\": false}\n"
            "]\n");
}

TEST_F(CliTest, SearchCountsDownOnATerminalAndMarksForeignDevices) {
  sim::DeviceConfig far = Device("48");
  far.address = "127.0.1.2";
  Start({far});
  setup_.fillAdapters = [](AdapterTable& table) {
    table = {};
    table.entries[0] = {0, "lo", "127.0.0.1", 24, "255.255.255.0"};
    table.count = 1;
    return 1;
  };
  RecordingIo terminal;
  terminal.interactive = true;
  EXPECT_EQ(RunCli({"search"}, terminal, setup_), 0);
  EXPECT_NE(terminal.err.find("検索中... 1"), std::string::npos) << terminal.err;
  EXPECT_EQ(terminal.out, "127.0.1.2  02-00-00-00-00-01  QV-48R2  1.00  (サブネット外)\n");
  EXPECT_EQ(Run({"search", "--json"}), 0);
  EXPECT_NE(io_.out.find("\"outsideSubnet\": true"), std::string::npos) << io_.out;
  EXPECT_EQ(io_.err, "");
}

TEST_F(CliTest, GetPrintsThePagesLabelsAndMeanings) {
  Start({Device("57")});
  EXPECT_EQ(Run({"get", "127.0.0.2"}), 0);
  for (const char* line : {"  MODEL: QV-57R\n", "[共通]\n", "  IPアドレス: 127.0.0.2\n",
                           "  スピード / 通信方式: オートネゴシエーション\n", "[LAN(2)]\n",
                           "  プロトコル: TCP\n", "  パスワード: (なし)\n", "[シリアルポート(2)]\n",
                           "  ドライバ制御: 常にアクティブ\n", "  Xon: 0x11\n"}) {
    EXPECT_NE(io_.out.find(line), std::string::npos) << line;
  }
}

TEST_F(CliTest, GetWritesTheFileThatTheWindowsSave) {
  Start({Device("48")});
  const fs::path file = folder_ / "QV-48R2_02-00-00-00-00-01.qvs";
  ASSERT_EQ(Run({"get", "127.0.0.2", "-o", file.string()}), 0) << io_.err;
  const SettingsRecord device = ToRecord(simulator_.Settings(0));
  // The windows' save: the pages filled from the device and collected for a file. The two
  // channel passwords carry fresh random fillers, so they are compared unscrambled.
  const std::string saved = test::ReadFileBytes(file);
  SettingsRecord read;
  ASSERT_EQ(ReadSettingsFile(file, false, read), SettingsFileRead::kLoaded);
  EXPECT_EQ(saved, test::SettingsFileText(read));
  const SettingsRecord windows = NormalisedSettings(device);
  EXPECT_TRUE(DifferentSettings(windows, read).empty());
  for (int i = 0; i < kSettingKeyCount; ++i) {
    if (i == Index(SettingKey::PASS1) || i == Index(SettingKey::PASS2)) continue;
    EXPECT_EQ(ReadField(read, i), ReadField(windows, i)) << KeyText(i);
  }
}

TEST_F(CliTest, PasswordsComeFromAFileAnEnvironmentVariableOrTheTerminal) {
  Start({Device("48", "Secret-9")});
  const fs::path secret = test::WriteFileBytes(folder_ / "pw", "Secret-9\r\nignored\n");
  EXPECT_EQ(Run({"get", "127.0.0.2", "--password-file", secret.string()}), 0) << io_.err;

  io_ = {};
  io_.environment["QV_PASSWORD"] = "Secret-9";
  EXPECT_EQ(RunCli({"get", "127.0.0.2", "--password-env", "QV_PASSWORD"}, io_, setup_), 0);

  io_ = {};
  io_.interactive = true;
  io_.lines = {"Secret-9"};
  EXPECT_EQ(RunCli({"get", "127.0.0.2"}, io_, setup_), 0);
  EXPECT_EQ(io_.prompts, std::vector<std::string>{"パスワード (127.0.0.2):  (hidden)"});
  // Never printed.
  EXPECT_EQ(io_.out.find("Secret-9"), std::string::npos);
  EXPECT_EQ(io_.err.find("Secret-9"), std::string::npos);
}

TEST_F(CliTest, OpenFailuresGiveTheWindowsMessages) {
  sim::DeviceConfig silent = Device("48");
  silent.faults.silentAfterConnect = true;
  Start({Device("48", "Secret-9"), silent});
  EXPECT_EQ(Run({"get", "127.0.0.2"}), 1);
  EXPECT_EQ(io_.err,
            "127.0.0.2: the device asks for its settings password: give --password-file or "
            "--password-env\n");
  io_ = {};
  io_.environment["PW"] = "wrong";
  EXPECT_EQ(RunCli({"get", "127.0.0.2", "--password-env", "PW"}, io_, setup_), 1);
  EXPECT_EQ(io_.err,
            "127.0.0.2:  認証されませんでした。\r\n パスワードが異なる可能性があります。\n");
  EXPECT_EQ(Run({"get", "127.0.0.3"}), 1);
  EXPECT_EQ(io_.err, "127.0.0.3: デバイスからの応答がありませんでした。\n");
  EXPECT_EQ(Run({"get", "127.0.0.9"}), 1);
  EXPECT_EQ(io_.err.rfind("127.0.0.9: ソケットエラー : 10061 \r\n", 0), 0u) << io_.err;
  EXPECT_EQ(Run({"get", "127.0.0.2", "--password-file", (folder_ / "none").string()}), 1);
  EXPECT_NE(io_.err.find("cannot be read"), std::string::npos);
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
  Start({Device("48"), changed, Device("57")});

  const fs::path own = folder_ / "own.qvs";
  ASSERT_EQ(Run({"get", "127.0.0.2", "-o", own.string()}), 0);
  EXPECT_EQ(Run({"diff", "127.0.0.2", own.string()}), 0);
  EXPECT_EQ(io_.out, "");

  EXPECT_EQ(Run({"diff", "127.0.0.2", "127.0.0.3"}), 1);
  EXPECT_EQ(io_.out,
            "共通  IPアドレス: 127.0.0.2 -> 127.0.0.3\n"
            "LAN(1)  受信ポート番号: 10001 -> 4001\n"
            "LAN(2)  パスワード: (なし) -> (設定あり)\n"
            "シリアルポート(2)  パリティ: 無し -> 偶数\n");
  EXPECT_EQ(io_.out.find("line-2"), std::string::npos);

  // Both set: that they differ is all that is said.
  const fs::path other = folder_ / "other.qvs";
  ASSERT_EQ(Run({"get", "127.0.0.3", "-o", other.string()}), 0);
  std::string text = test::ReadFileBytes(other);
  ScrambledPassword another;
  ScramblePassword("line-3", kStoredPasswordShift, another);
  const std::size_t at = text.find("\r\nPASS2\r\n") + 9;  // not SPASS2
  text.replace(at, text.find("\r\n", at) - at, another.Scrambled());
  test::WriteFileBytes(other, text);
  EXPECT_EQ(Run({"diff", "127.0.0.3", other.string()}), 1) << io_.err;
  EXPECT_EQ(io_.out, "LAN(2)  パスワード: (異なる)\n");

  EXPECT_EQ(Run({"diff", "127.0.0.4", own.string()}), 2);
  EXPECT_EQ(
      io_.err,
      own.string() +
          ":  設定情報が読込めませんでした。\r\n 設定ファイルのモデルが異なる可能性があります。\n");
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
  Start({Device("48"), Device("57"), Device("48")});
  const fs::path file = SettingsFile(folder_ / "plant.qvs", "48", "10.9.9.9",
                                     {{SettingKey::PORT1, "4001"}, {SettingKey::CBPS2, "38400"}});
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2", "127.0.0.3", "127.0.0.4", "--yes"}), 1);
  EXPECT_NE(io_.out.find("127.0.0.2:\nLAN(1)  受信ポート番号: 10001 -> 4001\n"
                         "シリアルポート(2)  ボーレート (bps): 9600 -> 38400\n"),
            std::string::npos)
      << io_.out;
  EXPECT_NE(io_.out.find("127.0.0.2: 書込みが完了しました。 (2 settings)\n"), std::string::npos);
  EXPECT_NE(io_.out.find("127.0.0.3: 設定情報が読込めませんでした。 / "
                         "設定ファイルのモデルが異なる可能性があります。\n"),
            std::string::npos)
      << io_.out;
  EXPECT_NE(io_.out.find("127.0.0.4: 書込みが完了しました。 (2 settings)\n"), std::string::npos);
  EXPECT_TRUE(io_.out.ends_with("2 of 3 devices written\n"));
  for (const int device : {0, 2}) {
    const SettingsRecord stored = ToRecord(simulator_.Settings(device));
    EXPECT_EQ(ReadField(stored, SettingKey::PORT1), "4001");
    EXPECT_EQ(ReadField(stored, SettingKey::CBPS2), "38400");
    // Each keeps its own address.
    EXPECT_EQ(ReadField(stored, SettingKey::IP), device == 0 ? "127.0.0.2" : "127.0.0.4");
  }
  EXPECT_EQ(simulator_.LastWriteBlock(1), "");

  // Written again: nothing changes any more.
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2", "--yes"}), 0);
  EXPECT_EQ(io_.out, "127.0.0.2: 変更なし (nothing to change)\n1 of 1 devices written\n");
}

TEST_F(CliTest, PutAsksBeforeItWritesAndChecksLikeApply) {
  Start({Device("48")});
  const fs::path file =
      SettingsFile(folder_ / "a.qvs", "48", "127.0.0.2", {{SettingKey::MSS, "1000"}});
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2"}), 1);
  EXPECT_NE(io_.out.find("127.0.0.2: not written: give --yes to write without asking\n"),
            std::string::npos);
  io_ = {};
  io_.interactive = true;
  io_.lines = {"n"};
  EXPECT_EQ(RunCli({"put", file.string(), "127.0.0.2"}, io_, setup_), 1);
  EXPECT_EQ(simulator_.LastWriteBlock(0), "");
  io_ = {};
  io_.interactive = true;
  io_.lines = {"y"};
  EXPECT_EQ(RunCli({"put", file.string(), "127.0.0.2"}, io_, setup_), 0);
  EXPECT_EQ(io_.prompts, std::vector<std::string>{"127.0.0.2 に書き込みますか? [y/N] "});
  EXPECT_EQ(ReadField(ToRecord(simulator_.Settings(0)), SettingKey::MSS), "1000");
  EXPECT_TRUE(simulator_.LastWriteBlock(0).ends_with("\r\nENDR\r\n"));

  const fs::path console =
      SettingsFile(folder_ / "b.qvs", "48", "127.0.0.2", {{SettingKey::PORT2, "9998"}});
  EXPECT_EQ(Run({"put", console.string(), "127.0.0.2", "--yes"}), 1);
  EXPECT_NE(io_.out.find("127.0.0.2: LAN(2)の受信ポート番号9998は設定できません。 / "
                         "値を変更してください。\n"),
            std::string::npos)
      << io_.out;
  EXPECT_EQ(ReadField(ToRecord(simulator_.Settings(0)), SettingKey::PORT2), "10002");
}

TEST_F(CliTest, PutReportsABadFileAndAnUnreachableDeviceLineByLine) {
  sim::DeviceConfig silent = Device("48");
  silent.faults.silentAfterConnect = true;
  Start({Device("48"), silent});
  EXPECT_EQ(Run({"put", (folder_ / "missing.qvs").string(), "127.0.0.2", "127.0.0.3", "127.0.0.9",
                 "--yes"}),
            1);
  EXPECT_EQ(io_.out,
            "127.0.0.2: ファイルを開けませんでした。\n"
            "127.0.0.3: デバイスからの応答がありませんでした。\n"
            "127.0.0.9: ソケットエラー : 10061 / 接続先から拒否されたため、接続できませんでした。\n"
            "0 of 3 devices written\n");
  const fs::path garbled =
      test::WriteFileBytes(folder_ / "garbled.qvs", "\xEF\xBB\xBFMODEL\r\n48\r\n");
  EXPECT_EQ(Run({"put", garbled.string(), "127.0.0.2", "--yes"}), 1);
  EXPECT_EQ(io_.out,
            "127.0.0.2: 設定情報が読込めませんでした。 / ファイル内容が異なる可能性があります。\n"
            "0 of 1 devices written\n");
  EXPECT_EQ(simulator_.LastWriteBlock(0), "");
}

TEST_F(CliTest, PutWithAddressTakesTheFilesAddress) {
  Start({Device("48")});
  const fs::path file = SettingsFile(folder_ / "a.qvs", "48", "127.0.0.20", {});
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2", "--yes", "--with-address"}), 0) << io_.out;
  EXPECT_NE(io_.out.find("共通  IPアドレス: 127.0.0.2 -> 127.0.0.20\n"), std::string::npos);
  EXPECT_EQ(simulator_.Address(0), "127.0.0.20");
}

TEST_F(CliTest, SetChangesSingleSettingsAndRefusesWhatTheModelLacks) {
  Start({Device("57")});
  EXPECT_EQ(Run({"set", "127.0.0.2", "MSS=1200", "CFLOW2=2", "--yes"}), 0) << io_.err;
  EXPECT_EQ(ReadField(ToRecord(simulator_.Settings(0)), SettingKey::MSS), "1200");
  EXPECT_EQ(ReadField(ToRecord(simulator_.Settings(0)), SettingKey::CFLOW2), "2");
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
      {"PORT1=12345678", "PORT1=12345678: longer than its field (7)\n", 2},
      {"PASS1=x", "PASS1: passwords are never taken from the command line; use put\n", 2},
      {"MODEL=48", "MODEL cannot be set\n", 2},
  };
  const std::string written = simulator_.LastWriteBlock(0);
  for (const auto& c : refused) {
    EXPECT_EQ(Run({"set", "127.0.0.2", c.pair, "--yes"}), c.code) << c.pair;
    EXPECT_EQ(io_.err, c.message);
  }
  EXPECT_EQ(simulator_.LastWriteBlock(0), written);
}

TEST_F(CliTest, PasswdChangesAndRemovesTheSettingsPassword) {
  Start({Device("48")});
  io_ = {};
  io_.environment["NEW"] = "Line-7";
  EXPECT_EQ(RunCli({"passwd", "127.0.0.2", "--new-password-env", "NEW"}, io_, setup_), 0)
      << io_.err;
  EXPECT_EQ(io_.out, "127.0.0.2: パスワードを変更しました。\n");
  EXPECT_EQ(simulator_.Password(0), "Line-7");
  EXPECT_TRUE(simulator_.LastWriteBlock(0).ends_with("\r\nSAVE\r\n"));

  io_ = {};
  io_.interactive = true;
  io_.lines = {"abc", "abd"};
  EXPECT_EQ(RunCli({"passwd", "127.0.0.2"}, io_, setup_), 1);
  EXPECT_EQ(io_.err, "パスワード入力と再入力の値が異なります\n");

  io_ = {};
  io_.interactive = true;
  io_.lines = {"Line-7"};
  EXPECT_EQ(RunCli({"passwd", "127.0.0.2", "--remove"}, io_, setup_), 0) << io_.err;
  EXPECT_EQ(simulator_.Password(0), "");

  io_ = {};
  io_.environment["NEW"] = "two words";
  EXPECT_EQ(RunCli({"passwd", "127.0.0.2", "--new-password-env", "NEW"}, io_, setup_), 1);
  EXPECT_EQ(io_.err, "a password is 1 to 32 characters from '!' to '~'\n");
}

TEST_F(CliTest, UsageAndHelp) {
  EXPECT_EQ(Run({}), 2);
  EXPECT_NE(io_.err.find("usage: calbrin-cli COMMAND"), std::string::npos);
  EXPECT_EQ(Run({"--help"}), 0);
  EXPECT_NE(io_.out.find("search [--from ADDRESS] [--json]"), std::string::npos);
  EXPECT_EQ(Run({"frobnicate"}), 2);
  EXPECT_NE(io_.err.find("unknown command frobnicate"), std::string::npos);
  for (const char* command : {"search", "get", "diff", "put", "set", "passwd"}) {
    EXPECT_EQ(Run({command, "--help"}), 0);
    EXPECT_EQ(io_.out.rfind(std::string("usage: calbrin-cli ") + command, 0), 0u) << command;
  }
  EXPECT_EQ(Run({"get"}), 2);
  EXPECT_EQ(Run({"diff", "127.0.0.2"}), 2);
  EXPECT_EQ(Run({"get", "127.0.0.2", "-o"}), 2);
  EXPECT_EQ(io_.err.rfind("-o needs a value", 0), 0u);
  EXPECT_EQ(Run({"search", "--bogus"}), 2);
}

}  // namespace
}  // namespace calbrin
