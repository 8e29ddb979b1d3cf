// calbrin-cli against the simulator: its outputs, exit codes and failure messages, where
// passwords come from, and files that match the windows' save.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <algorithm>
#include <deque>
#include <filesystem>
#include <map>
#include <numeric>
#include <regex>
#include <set>
#include <sstream>

#include "cli/cli_texts.h"
#include "cli/commands.h"
#include "cli/fleet.h"
#include "cli/fleet_writes.h"
#include "cli/json_output.h"
#include "cli/platform_io.h"
#include "cli/user_language.h"
#include "file/change_log.h"
#include "file/settings_file.h"
#include "net/wire_trace.h"
#include "pages/page_fields.h"
#include "pages/settings_view.h"
#include "settings/messages.h"
#include "settings/password_scrambling.h"
#include "sim/password_codec.h"
#include "tests/support/device_test_support.h"
#include "tests/support/discovery_responder.h"
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
    setup_.language = Language::kEnglish;  // as main takes it from LANG=en_US.UTF-8
    FromAdapter("127.0.0.1", 8);
  }

  void Out(std::string_view text) override { out_ += text; }
  void Err(std::string_view text) override {
    err_ += text;
    if (watchErr_) watchErr_(text);
  }
  bool Interactive() override { return interactive_; }
  std::optional<std::string> ReadLine(std::string_view prompt, bool hidden) override {
    prompts_.push_back(std::string(prompt) + (hidden ? " (hidden)" : ""));
    if (const auto beforeAnswer = std::exchange(beforeAnswer_, nullptr)) beforeAnswer();
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
  std::function<void(std::string_view)> watchErr_;
  std::function<void()> beforeAnswer_;  // once, when the next question is asked
};

TEST_F(CliTest, SearchListsTheDevicesAndMarksThoseOutsideTheSubnet) {
  sim::DeviceConfig far = Device("57");
  far.address = "127.0.1.2";
  test::StartDevices(simulator_, {Device("48"), far});
  FromAdapter("127.0.0.1", 24);
  EXPECT_EQ(Run({"search"}, {"unused"}), 0);
  EXPECT_NE(err_.find("Searching... 1"), std::string::npos) << err_;  // on a terminal
  EXPECT_EQ(out_,
            "127.0.0.2  02-00-00-00-00-01  QV-48R2  1.00\n"
            "127.0.1.2  02-00-00-00-00-02  QV-57R  1.00  (outside subnet)\n");
  EXPECT_EQ(Run({"search", "--json"}), 0);
  EXPECT_EQ(out_,
            "[\n"
            "  {\"address\": \"127.0.0.2\", \"mac\": \"02-00-00-00-00-01\", \"model\": "
            "\"QV-48R2\", \"version\": \"1.00\", \"outsideSubnet\": false, \"adapter\": "
            "\"127.0.0.1\", \"sharedAddress\": false},\n"
            "  {\"address\": \"127.0.1.2\", \"mac\": \"02-00-00-00-00-02\", \"model\": "
            "\"QV-57R\", \"version\": \"1.00\", \"outsideSubnet\": true, \"adapter\": "
            "\"127.0.0.1\", \"sharedAddress\": false}\n"
            "]\n");
  EXPECT_EQ(err_, "");  // no countdown into a pipe

  // Every adapter with an address broadcasts once, in one window; a device is listed once, by
  // the first adapter that heard it, and says which.
  setup_.fillAdapters = [](AdapterTable& table) {
    table.entries[0] = {0, "lo", "127.0.0.10", 24, "255.255.255.0"};
    table.entries[1] = {0, "eth-none", "", 0, ""};
    table.entries[2] = {1, "lo", "127.0.0.1", 8, "255.0.0.0"};
    return table.count = 3;
  };
  EXPECT_EQ(Run({"search", "--all-adapters"}), 0);
  EXPECT_EQ(out_,
            "127.0.0.2  02-00-00-00-00-01  QV-48R2  1.00  via 127.0.0.10\n"
            "127.0.1.2  02-00-00-00-00-02  QV-57R  1.00  (outside subnet)  via 127.0.0.10\n");
  EXPECT_EQ(simulator_.DiscoveryRequests(), 4);
}

TEST_F(CliTest, DevicesSharingAnAddressAreEachListedAndMarkedAndNotSavedAsOne) {
  // Two units fresh from the factory at one address, the second answering twice; one elsewhere.
  std::vector<test::Reply> replies;
  for (const int last : {0xA1, 0xA2, 0xA2, 0xA3})
    replies.push_back({last == 0xA3 ? "127.0.0.3" : "127.0.0.2", 100, last == 0xA2 ? 2 : 1, last});
  std::string outs;
  for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
           {"search"}, {"search", "--json"}, {"backup", (folder_ / "b").string()}}) {
    test::Responder responder(replies);
    EXPECT_EQ(Run(args), args[0] == "backup" ? 1 : 0) << err_;
    outs += out_;
  }
  for (const std::string part : {"127.0.0.2 (shared)  02-03-04-05-06-A1  QV-48R2  1.00\n"
                                 "127.0.0.2 (shared)  02-03-04-05-06-A2  QV-57R  1.00\n"
                                 "127.0.0.3  02-03-04-05-06-A3  QV-48R2  1.00\n[\n",
                                 "\"127.0.0.1\", \"sharedAddress\": true},\n",
                                 "\n127.0.0.2: 2 devices share this address (02-03-04-05-06-A1, "
                                 "02-03-04-05-06-A2): not saved"})
    EXPECT_NE(outs.find(part), std::string::npos) << part << "\nin\n" << outs;
}

TEST_F(CliTest, ADeviceNamedByItsMacIsSearchedForAndOpenedWhereItAnswers) {
  test::StartDevices(simulator_, {Device("48"), Device("57")});
  EXPECT_EQ(Run({"set", "02:00:00:00:00:02", "02-00-00-00-00-01", "MSS=1200", "--yes", "--json"}),
            0)
      << err_;
  EXPECT_NE(out_.find("{\"address\": \"127.0.0.3\", \"mac\": \"02-00-00-00-00-02\", \"result\": "
                      "\"written\""),
            std::string::npos)
      << out_;
  EXPECT_EQ(Stored(0, SettingKey::MSS), "1200");
  EXPECT_EQ(Stored(1, SettingKey::MSS), "1200");
  // Mixed separators name no device: the MAC is taken for a pair and refused before any search.
  EXPECT_EQ(Run({"set", "02-00:00-00-00-01", "MSS=1300"}), 2);
  EXPECT_EQ(Run({"get", "02-00-00-00-00-0a"}), 1);
  EXPECT_EQ(err_, "02-00-00-00-00-0A: no device answered the search with this MAC\n");
}

TEST_F(CliTest, GetPrintsTheSettingsOrWritesTheFileThatTheWindowsSave) {
  test::StartDevices(simulator_, {Device("57")});
  setup_.language = Language::kJapanese;
  EXPECT_EQ(Run({"get", "127.0.0.2"}), 0);
  EXPECT_NE(out_.find("  MODEL: QV-57R\n\n[共通]\n  IPアドレス: 127.0.0.2\n"), std::string::npos);
  for (const char* line : {"\n[LAN(2)]\n  プロトコル: TCP\n", "  パスワード: (なし)\n",
                           "\n[シリアルポート(2)]\n", "  ドライバ制御: 常にアクティブ\n"})
    EXPECT_NE(out_.find(line), std::string::npos) << line;
  setup_.language = Language::kEnglish;  // as main takes it from LANG=en_US.UTF-8
  EXPECT_EQ(Run({"get", "127.0.0.2"}), 0);
  for (const char* line : {"\n[General]\n  IP address: 127.0.0.2\n", "  Password: (none)\n",
                           "\n[Serial port(2)]\n", "  Driver control: Always active\n"})
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
  EXPECT_EQ(err_, "The file could not be created.\n");  // in the setup's language, English
  EXPECT_EQ(test::ReadFileBytes(file), saved);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_.Path()), fs::directory_iterator()), 1);
}

TEST_F(CliTest, PasswordsComeFromAFileAnEnvironmentVariableOrTheTerminal) {
  test::StartDevices(simulator_, {Device("48", "Secret-9")});
  const fs::path secret = test::WriteFileBytes(folder_ / "pw", "Secret-9\r\nignored\n");
  EXPECT_EQ(Run({"get", "127.0.0.2", "--password-file", secret.string()}), 0) << err_;
  EXPECT_EQ(Run({"get", "127.0.0.2", "--password-env", "PW"}, {}, {{"PW", "Secret-9"}}), 0);
  EXPECT_EQ(Run({"get", "127.0.0.2"}, {"Secret-9"}), 0);
  EXPECT_EQ(prompts_, std::vector<std::string>{"Password (127.0.0.2):  (hidden)"});
  EXPECT_EQ((out_ + err_).find("Secret-9"), std::string::npos);  // never printed
}

TEST_F(CliTest, TraceHoldsTheDialogueWithEveryPasswordMaskedAndEveryByteEscaped) {
  sim::DeviceConfig device = Device("48", "Secret-9");
  device.settings = sim::DefaultSettings("48", "127.0.0.2");
  device.settings->Set("PASS1", sim::Scramble("Chan1-pw", sim::kStoredPasswordShift));
  device.settings->Set("PASS2", sim::Scramble("Chan2-pw", sim::kStoredPasswordShift));
  device.settings->Set("HIP1", "\x1b[2J\x80\xff");
  test::StartDevices(simulator_, {device});
  const std::map<std::string, std::string> env{{"PW", "Secret-9"}, {"NEW", "Newer-77"}};
  const fs::path trace = folder_ / "trace.txt";
  ASSERT_EQ(Run({"get", "127.0.0.2", "--password-env", "PW", "--trace", trace.string()}, {}, env),
            0)
      << err_;
  EXPECT_EQ(fs::status(trace).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  std::string text = test::ReadFileBytes(trace);
  EXPECT_EQ(text.find("closed by the peer"), std::string::npos);  // get closes, not the device
  EXPECT_TRUE(std::regex_search(text, std::regex("^[0-9]+\\.[0-9]{6} 127\\.0\\.0\\.2:9998 connect\n"
                                                 "[0-9]+\\.[0-9]{6} 127\\.0\\.0\\.2:9998 < ")));
  ASSERT_EQ(Run({"passwd", "127.0.0.2", "--password-env", "PW", "--new-password-env", "NEW",
                 "--trace", trace.string()},
                {}, env),
            0)
      << err_;
  text += test::ReadFileBytes(trace);
  for (const char* line : {" 127.0.0.2:9998 > ********\\n\n", " 127.0.0.2:9998 > GETPARAM\\r\\n\n",
                           "\\r\\nPASS1\\r\\n********\\r\\n", "\\r\\nPASS2\\r\\n********\\r\\n",
                           " > P_SET\\r\\n********\\r\\nENDR\\r\\n\n",
                           "HIP1\\r\\n\\x1b[2J\\x80\\xff\\r\\n", " 127.0.0.2:9998 close\n"})
    EXPECT_NE(text.find(line), std::string::npos) << line << text;
  // No password in any form: plain, nor rotated as the login or as a stored password.
  for (const std::string password : {"Secret-9", "Chan1-pw", "Chan2-pw", "Newer-77"}) {
    for (const int shift : {0, kLoginShift, kStoredPasswordShift}) {
      ScrambledPassword scrambled;
      ScramblePassword(password, shift, scrambled);
      const std::string form(shift == 0 ? password : scrambled.Scrambled().substr(5, 8));
      EXPECT_EQ(text.find(TraceText(form)), std::string::npos) << password << " " << shift;
    }
  }
  EXPECT_TRUE(std::all_of(text.begin(), text.end(),
                          [](char c) { return c == '\n' || (c >= ' ' && c <= '~'); }));
  ASSERT_EQ(Run({"search", "--trace", trace.string()}), 0);
  text = test::ReadFileBytes(trace);  // a new trace, not the end of the last one
  EXPECT_EQ(text.find(":9998"), std::string::npos);
  EXPECT_NE(text.find(" 255.255.255.255:30718 > VQ\n"), std::string::npos);
  EXPECT_TRUE(std::regex_search(text, std::regex("\n[0-9.]+ 127\\.0\\.0\\.2:[0-9]+ < \\\\x00")))
      << text;
}

TEST_F(CliTest, OpenFailuresSayWhy) {
  test::StartDevices(simulator_, {Device("48", "Secret-9")});
  const std::string asks = "the device asks for its settings password: give --password-file or ";
  const std::string wrong = test::WriteFileBytes(folder_ / "pw", "wrong\n").string();
  const std::pair<std::vector<std::string>, std::string> cases[] = {
      {{"127.0.0.2"}, "127.0.0.2: " + asks + "--password-env\n"},
      {{"127.0.0.2", "--password-env", "PW"}, "127.0.0.2: the variable PW is not set\n"},
      {{"127.0.0.2", "--password-file", "/nonexistent/pw"},
       "127.0.0.2: the password file /nonexistent/pw cannot be read\n"},
      {{"127.0.0.9", "--lang", "ja"},
       "127.0.0.9: ソケットエラー : 10061 \r\n接続先から拒否されたため、接続できませんでした。\n"},
      {{"127.0.0.2", "--password-file", wrong, "--lang", "en"},
       "127.0.0.2:  Not authenticated.\r\n The password may be wrong.\n"},
      {{"127.0.0.9", "--lang", "en"},
       "127.0.0.9: Socket error : 10061 \r\nCould not connect: the connection was refused.\n"}};
  for (auto [args, err] : cases) {
    args.insert(args.begin(), "get");
    EXPECT_EQ(Run(args), 1) << err;
    EXPECT_EQ(err_, err);
  }
}

// Each device's connection leaves from the adapter whose subnet holds it, else from the
// preselected one (the first: the route probe finds no route here); --from names one for all.
TEST_F(CliTest, EachDeviceIsOpenedFromTheAdapterOfItsSubnetUnlessFromNamesOne) {
  std::vector<sim::DeviceConfig> devices(3, Device("48"));
  devices[0].address = "127.0.0.5";
  devices[1].address = "127.0.1.5";
  devices[2].address = "127.0.2.5";  // in no adapter's subnet
  test::StartDevices(simulator_, devices);
  setup_.fillAdapters = [](AdapterTable& table) {
    table.entries[0] = {0, "lo", "127.0.0.10", 24, "255.255.255.0"};
    table.entries[1] = {0, "lo", "127.0.1.1", 24, "255.255.255.0"};
    return table.count = 2;
  };
  const std::string backup = (folder_ / "backup").string();
  const struct {
    std::vector<std::string> args;
    int code;
    std::vector<std::string> from;  // the source of each device's one connection; "": none
  } cases[] = {
      {{"set", "127.0.0.5", "127.0.1.5", "127.0.2.5", "MSS=1200", "--yes"},
       0,
       {"127.0.0.10", "127.0.1.1", "127.0.0.10"}},
      {{"get", "127.0.1.5"}, 0, {"", "127.0.1.1", ""}},
      {{"diff", "127.0.1.5", "127.0.0.5"}, 1, {"127.0.0.10", "127.0.1.1", ""}},
      {{"backup", backup, "127.0.1.5", "127.0.2.5"}, 0, {"", "127.0.1.1", "127.0.0.10"}},
      {{"get", "127.0.1.5", "--from", "127.0.0.10"}, 0, {"", "127.0.0.10", ""}},
      {{"set", "127.0.0.5", "127.0.1.5", "MSS=1300", "--yes", "--from", "127.0.1.1"},
       0,
       {"127.0.1.1", "127.0.1.1", ""}},
      {{"get", "127.0.1.5", "--from", "192.0.2.7"}, 2, {"", "", ""}},
  };
  for (const auto& c : cases) {
    std::vector<std::vector<std::string>> before;
    for (int i = 0; i < 3; ++i)
      before.push_back(simulator_.ConsolePeers(i));
    EXPECT_EQ(Run(c.args), c.code) << c.args[0] << ": " << err_;
    for (int i = 0; i < 3; ++i) {
      if (!c.from[i].empty()) before[i].push_back(c.from[i]);
      EXPECT_EQ(simulator_.ConsolePeers(i), before[i]) << c.args[0] << " device " << i;
    }
  }
  EXPECT_EQ(err_,
            "--from 192.0.2.7: no adapter has this address (the adapters: 127.0.0.10, "
            "127.0.1.1)\n");
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
  setup_.language = Language::kJapanese;

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
  EXPECT_EQ(Run({"diff", "127.0.0.3", other.string(), "--lang", "en"}), 1) << err_;
  EXPECT_EQ(out_, "LAN(2)  Password: (different)\n");
  EXPECT_EQ(Run({"diff", "127.0.0.2", "127.0.0.3", "--lang", "en"}), 1);
  EXPECT_EQ(out_,
            "General  IP address: 127.0.0.2 -> 127.0.0.3\n"
            "LAN(1)  Receive port: 10001 -> 4001\n"
            "LAN(2)  Password: (none) -> (set)\n"
            "Serial port(2)  Parity: None -> Even\n");

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
  setup_.language = Language::kJapanese;
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
                      "5 台中 2 台のデバイスに書込みました\n");
  EXPECT_EQ(err_, "");             // no progress line into a pipe
  for (const int device : {0, 2})  // each keeps its own address
    EXPECT_EQ(std::tuple(Stored(device, SettingKey::PORT1), Stored(device, SettingKey::CBPS2),
                         Stored(device, SettingKey::IP)),
              std::tuple("4001", "38400", device == 0 ? "127.0.0.2" : "127.0.0.4"));
  EXPECT_EQ(simulator_.LastWriteBlock(1), "");

  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2", "--yes"}), 0);
  EXPECT_EQ(out_, "127.0.0.2: 変更なし (nothing to change)\n1 台中 1 台のデバイスに書込みました\n");
}

TEST_F(CliTest, PutAsksBeforeItWritesAndChecksLikeApply) {
  test::StartDevices(simulator_, {Device("48"), Device("48")});
  setup_.language = Language::kJapanese;
  const fs::path file =
      SettingsFile(folder_ / "a.qvs", "48", "127.0.0.20", {{SettingKey::MSS, "1000"}});
  // Several devices: every difference first, then one question for all of them.
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.3", "127.0.0.2"}, {"n"}), 1);
  EXPECT_EQ(simulator_.LastWriteBlock(1), "");
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.3", "127.0.0.2"}, {"y"}), 0);
  EXPECT_EQ(prompts_, std::vector<std::string>{"2 台のデバイスに書き込みますか? [y/N] "});
  EXPECT_EQ(out_,
            "127.0.0.3:\n共通  MSSサイズ: 1460 -> 1000\n127.0.0.2:\n共通  MSSサイズ: 1460 -> 1000\n"
            "127.0.0.3: 書込みが完了しました。 (1 settings)\n"
            "127.0.0.2: 書込みが完了しました。 (1 settings)\n"
            "2 台中 2 台のデバイスに書込みました\n");
  EXPECT_EQ(Stored(1, SettingKey::MSS), "1000");
  // A device whose settings change while the question waits is not written.
  const fs::path other = SettingsFile(folder_ / "b.qvs", "48", "", {{SettingKey::KEEP_A, "5"}});
  beforeAnswer_ = [&] { RunCli({"set", "127.0.0.3", "MSS=1200", "--yes"}, *this, setup_); };
  EXPECT_EQ(Run({"put", other.string(), "127.0.0.2", "127.0.0.3"}, {"y"}), 1);
  EXPECT_TRUE(
      out_.ends_with("127.0.0.3: 書込みませんでした: 表示した後にデバイスの設定が変わりました\n"
                     "2 台中 1 台のデバイスに書込みました\n"))
      << out_;
  EXPECT_EQ(std::pair(Stored(0, SettingKey::KEEP_A), Stored(1, SettingKey::KEEP_A)),
            std::pair(std::string("5"), std::string("0")));

  EXPECT_EQ(Run({"set", "127.0.0.2", "MSS=1460", "--yes"}), 0);
  const std::string written = simulator_.LastWriteBlock(0);
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2"}), 1);
  EXPECT_NE(
      out_.find("127.0.0.2: 書込みませんでした: 確認なしに書込むには --yes を指定してください\n"),
      std::string::npos);
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2"}, {"n"}), 1);
  EXPECT_EQ(simulator_.LastWriteBlock(0), written);
  // --lang over the setup's language: the differences and the question in English, written after
  // the yes.
  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2", "--lang", "en"}, {"yes"}), 0) << out_;
  EXPECT_TRUE(out_.starts_with("127.0.0.2:\nGeneral  MSS (bytes): 1460 -> 1000\n")) << out_;
  EXPECT_EQ(prompts_, std::vector<std::string>{"Write to 127.0.0.2? [y/N] "});
  EXPECT_EQ(Stored(0, SettingKey::MSS), "1000");
  EXPECT_EQ(Stored(0, SettingKey::IP), "127.0.0.2");
  EXPECT_TRUE(simulator_.LastWriteBlock(0).ends_with("\r\nENDR\r\n"));

  EXPECT_EQ(Run({"put", file.string(), "127.0.0.2", "--yes", "--with-address"}), 0) << out_;
  EXPECT_NE(out_.find("共通  IPアドレス: 127.0.0.2 -> 127.0.0.20\n"), std::string::npos);
  EXPECT_EQ(simulator_.Address(0), "127.0.0.20");
}

TEST_F(CliTest, PutTakesPairsOverTheFileInOneWrite) {
  test::StartDevices(simulator_, {Device("57")});
  setup_.language = Language::kJapanese;
  // The file's values beyond the controls' ranges are written as the windows would write them,
  // with a warning; a value that a pair replaces is not the file's.
  const fs::path file = SettingsFile(folder_ / "plant.qvs", "57", "10.9.9.9",
                                     {{SettingKey::PORT1, "4001"},
                                      {SettingKey::CBPS1, "38400"},
                                      {SettingKey::MSS, "99999"},
                                      {SettingKey::KEEP_A, "300"}});
  const auto put = [&](std::string option) {
    return Run({"put", file.string(), "127.0.0.2", "MSS=1200", "PORT1=4002", option});
  };
  const std::string warning =
      "ファイルの KEEP_A (TCPキープアライブ (x5秒)) = 300: 0 から 255 までの数値";
  EXPECT_EQ(put("--yes"), 0) << out_ << err_;
  EXPECT_EQ(out_,
            "127.0.0.2:\n共通  MSSサイズ: 1460 -> 1200\n共通  TCPキープアライブ (x5秒): 0 -> 300\n"
            "LAN(1)  受信ポート番号: 10001 -> 4002\nシリアルポート(1)  ボーレート (bps): 9600 -> "
            "38400\n警告: " +
                warning +
                "\n127.0.0.2: 書込みが完了しました。 (4 settings)\n1 台中 1 "
                "台のデバイスに書込みました\n");
  EXPECT_EQ(std::tuple(Stored(0, SettingKey::MSS), Stored(0, SettingKey::PORT1),
                       Stored(0, SettingKey::CBPS1), Stored(0, SettingKey::IP),
                       Stored(0, SettingKey::KEEP_A)),
            std::tuple("1200", "4002", "38400", "127.0.0.2", "300"));
  // Nothing left to change: the warning still shows, in --json as the device's "warnings".
  EXPECT_EQ(put("--no-history"), 0);
  EXPECT_EQ(out_,
            "127.0.0.2:\n警告: " + warning +
                "\n127.0.0.2: 変更なし (nothing to change)\n1 台中 1 台のデバイスに書込みました\n");
  EXPECT_EQ(put("--json"), 0);
  EXPECT_NE(out_.find("\"changes\": [], \"warnings\": [" + JsonString(warning) + "]}"),
            std::string::npos)
      << out_;
  const std::string written = simulator_.LastWriteBlock(0);
  // Pairs are checked as set checks them, before anything is written; here in English.
  setup_.language = Language::kEnglish;
  const struct {
    std::vector<std::string> pairs;
    int code;
    const char* message;
  } refused[] = {
      {{"NOSUCH=1"}, 2, "NOSUCH: no such setting\n"},
      {{"PASS1=x"}, 2, "PASS1: passwords are never taken from the command line; use put\n"},
      {{"MSS=99999"}, 2, "MSS (MSS (bytes)) = 99999: a number from 536 to 1460\n"},
      {{"CFLOW2=1"}, 1, "127.0.0.2: CFLOW2 (Flow control) = 1: one of 0 (None), 2 (Xon/Xoff) on"},
  };
  for (const auto& [pairs, code, message] : refused) {
    std::vector<std::string> args{"put", file.string(), "127.0.0.2"};
    args.insert(args.end(), pairs.begin(), pairs.end());
    args.push_back("--yes");
    EXPECT_EQ(Run(args), code) << pairs[0];
    EXPECT_NE((out_ + err_).find(message), std::string::npos) << out_ << err_;
  }
  EXPECT_EQ(simulator_.LastWriteBlock(0), written);
}

TEST_F(CliTest, SetTakesWhatThePagesWouldStoreAndRefusesTheRestBeforeSending) {
  test::StartDevices(simulator_, {Device("57")});
  // The ends of each range are taken.
  const std::vector<SettingKey> keys{SettingKey::MSS,    SettingKey::HPORT1, SettingKey::PSIZE1,
                                     SettingKey::CXON1,  SettingKey::SUBM,   SettingKey::CFLOW2,
                                     SettingKey::SMODE1, SettingKey::NEGOS};
  const auto stored = [&] {
    std::vector<std::string> values;
    for (const SettingKey key : keys)
      values.push_back(Stored(0, key));
    return values;
  };
  EXPECT_EQ(Run({"set", "127.0.0.2", "MSS=536", "HPORT1=65535", "PSIZE1=1460", "CXON1=255",
                 "SUBM=255.255.255.255", "CFLOW2=2", "SMODE1=2", "NEGOS=3", "--yes"}),
            0)
      << err_;
  EXPECT_EQ(stored(), (std::vector<std::string>{"536", "65535", "1460", "255", "255.255.255.255",
                                                "2", "2", "3"}));
  EXPECT_EQ(Run({"set", "127.0.0.2", "MSS=1460", "HPORT1=0", "PSIZE1=6", "CXON1=0", "SUBM=0.0.0.0",
                 "CFLOW2=0", "SMODE1=0", "NEGOS=7", "CMODE1=5", "--yes"}),
            0)
      << err_;
  EXPECT_EQ(stored(), (std::vector<std::string>{"1460", "0", "6", "0", "0.0.0.0", "0", "0", "7"}));
  EXPECT_EQ(Run({"set", "127.0.0.2", "PSIZE1=0", "--yes"}), 0) << err_;

  const std::string kAddress = "an address: four numbers from 0 to 255 joined by dots (192.0.2.1)";
  const struct {
    const char* pair;
    std::string message;
    int code;
  } refused[] = {
      {"MSS=12a4", "MSS (MSS (bytes)) = 12a4: a number from 536 to 1460", 2},
      {"MSS=1461", "MSS (MSS (bytes)) = 1461: a number from 536 to 1460", 2},
      {"PORT1=70000", "PORT1 (Receive port) = 70000: a number from 0 to 65535", 2},
      {"PSIZE2=5", "PSIZE2 (Packing data count (0=off)) = 5: 0 (off) or a number from 6 to 1460",
       2},
      {"DTIME1=060",
       "DTIME1 (Disconnect idle time (s)) = 060: a number from 1 to 3600, without leading zeros",
       2},
      {"IP=1.2.3", "IP (IP address) = 1.2.3: " + kAddress, 2},
      {"HIP2=10.0.0.256", "HIP2 (Destination / remote IP address) = 10.0.0.256: " + kAddress, 2},
      {"SUBM=255.0.255.0",
       "SUBM (Subnet mask) = 255.0.255.0: a subnet mask: four numbers from 0 to 255 joined by "
       "dots, its bits ones then zeros (255.255.255.0)",
       2},
      {"CSTOP1=2", "CSTOP1 (Stop bits) = 2: one of 1 (1 bit), 3 (2 bits)", 2},
      {"PCHAR2=3", "PCHAR2 (Delimiter count (0=off)) = 3: one of 0 (off), 1 (1 byte), 2 (2 bytes)",
       2},
      {"NEGOS=4",
       "NEGOS (Speed / duplex) = 4: one of 7 (Auto-negotiation), 0 (10M half duplex), 1 (10M full "
       "duplex), 2 (100M half duplex), 3 (100M full duplex)",
       2},
      {"CDRV1=1", "CDRV1 (Driver control) = 1: 0 only: port 1 has no driver control", 2},
      {"FLUSH1=2", "FLUSH1 (Clear serial receive buffer on TCP connect) = 2: 0 or 1", 2},
      {"CXON2=256", "CXON2 (Xon) = 256: a decimal character code from 0 to 255", 2},
      {"PORT1=12345678", "PORT1=12345678: longer than its field (7)", 2},
      {"IP=10.0.0.9\nMSS=1", "IP: a value cannot hold a line break", 2},
      {"GWAY=10.0.0.9\r", "GWAY: a value cannot hold a line break", 2},
      {"NOPE=1", "NOPE: no such setting", 2},
      {"MSS", "MSS: give KEY=VALUE", 2},
      {"PASS1=x", "PASS1: passwords are never taken from the command line; use put", 2},
      {"MODEL=48", "MODEL cannot be set", 2},
      // What only a QV-57R's channel 2 lacks refuses the device, before its write.
      {"CFLOW2=1",
       "127.0.0.2: CFLOW2 (Flow control) = 1: one of 0 (None), 2 (Xon/Xoff) on channel 2 of a "
       "QV-57R",
       1},
      {"CMODE2=2",
       "127.0.0.2: CMODE2 (TCP client connect condition) = 2: one of 0 (off), 1 (Always), 4 (Any "
       "character), 5 (Specified character) on channel 2 of a QV-57R",
       1},
  };
  const std::string written = simulator_.LastWriteBlock(0);
  const SettingsRecord before = ToRecord(simulator_.Settings(0));
  for (const auto& c : refused) {
    EXPECT_EQ(Run({"set", "127.0.0.2", "MSS=1000", c.pair, "--yes"}), c.code) << c.pair;
    EXPECT_EQ(err_, c.message + "\n");
    EXPECT_TRUE(ToRecord(simulator_.Settings(0)) == before) << c.pair;
  }
  EXPECT_EQ(simulator_.LastWriteBlock(0), written);
}

TEST_F(CliTest, PasswdChangesAndRemovesTheSettingsPassword) {
  test::StartDevices(simulator_, {Device("48")});
  EXPECT_EQ(Run({"passwd", "127.0.0.2", "--new-password-env", "NEW"}, {}, {{"NEW", "Line-7"}}), 0)
      << err_;
  EXPECT_EQ(out_, "127.0.0.2: Password changed.\n");
  EXPECT_EQ(simulator_.Password(0), "Line-7");
  EXPECT_TRUE(simulator_.LastWriteBlock(0).ends_with("\r\nSAVE\r\n"));
  EXPECT_EQ(Run({"passwd", "127.0.0.2"}, {"abc", "abd"}), 1);
  EXPECT_EQ(err_, "The password and its re-entry differ\n");
  EXPECT_EQ(Run({"passwd", "127.0.0.2", "--new-password-env", "NEW"}, {}, {{"NEW", "two words"}}),
            1);
  EXPECT_EQ(err_, "a password is 1 to 32 characters from '!' to '~'\n");
  EXPECT_EQ(Run({"passwd", "127.0.0.2", "--remove"}, {"Line-7"}), 0) << err_;
  EXPECT_EQ(out_, "127.0.0.2: Password removed.\n");
  EXPECT_EQ(simulator_.Password(0), "");
}

TEST(SideBySide, TheDefaultJobsFollowTheOpenFileLimitRaisedToTheSystemsMost) {
  rlimit before{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &before), 0);
  const rlimit low{256, before.rlim_max};
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  EXPECT_EQ(static_cast<rlim_t>(RaiseOpenFileLimit()), before.rlim_max);
  setrlimit(RLIMIT_NOFILE, &before);
  // A socket and a history file each, and 64 files of the program's own.
  for (const auto& [files, jobs] : {std::pair{1 << 20, 1024}, {2112, 1024}, {1024, 480}, {65, 1}})
    EXPECT_EQ(DefaultJobs(files), jobs) << files;
}

TEST(SideBySide, OneJobWorksInOrderAndNoMoreThanTheLimitRunAtOnce) {
  for (const int jobs : {1, 4}) {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<int> order;
    int running = 0, most = 0, ticks = 0;
    RunSideBySide(
        12, jobs,
        [&](int i) {
          std::unique_lock lock(mutex);
          order.push_back(i);
          most = std::max(most, ++running);
          changed.notify_all();
          // Each stays until the limit is reached, or long enough to show that it cannot be.
          changed.wait_for(lock, 300ms, [&] { return most == jobs; });
          --running;
          return i != 5;
        },
        [&](int done, int failed) { ticks += done == 12 && failed == 1 ? 1 : 0; }, 10ms);
    EXPECT_EQ(most, jobs);
    EXPECT_EQ(ticks, 1);
    if (jobs == 1) {
      EXPECT_EQ(order, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11}));
    }
  }
}

// A device whose settings differ from its neighbours' in every page field and between its two
// channels: numbers, choices, characters and addresses shifted, its own channel passwords, the
// model alternating.
sim::DeviceConfig DistinctDevice(int n) {
  sim::DeviceConfig config = Device(n % 2 == 0 ? "48" : "57", "Secret-9");
  SettingsRecord record = ToRecord(sim::DefaultSettings(config.model, ""));
  for (const PageField& field : kPageFields) {
    if (!field.key || field.label.empty() || field.key == SettingKey::NEGOS) continue;
    for (const int channel : {1, 2}) {
      const int shift = n + 7 * channel;
      std::string value = std::to_string(field.low + shift);
      if (!field.items.empty() || field.kind == FieldKind::kCheck) {
        const std::size_t items = field.items.empty() ? 2 : field.items.size();
        const std::size_t item = static_cast<std::size_t>(n + channel) % items;
        value = field.items.empty() ? std::to_string(item) : std::string(field.items[item].code);
      }
      if (field.kind == FieldKind::kHexCharacter) value = std::to_string(40 + shift);
      if (field.kind == FieldKind::kAddress) value = "10.1." + std::to_string(shift) + ".1";
      if (field.kind == FieldKind::kPassword)
        value = sim::Scramble("line-" + std::to_string(shift), sim::kStoredPasswordShift);
      SetField(record,
               field.page == PageKind::kNetwork ? *field.key : ChannelKey(*field.key, channel),
               value);
    }
  }
  SetField(record, SettingKey::IP, "127.0.0." + std::to_string(2 + n));
  config.settings = ToSimSettings(NormalisedSettings(record));
  return config;
}

// What a simulated device holds, its channel passwords unscrambled by the simulator's own codec.
std::vector<std::string> Held(const sim::Simulator& simulator, int device) {
  const sim::DeviceSettings settings = simulator.Settings(device);
  std::vector<std::string> held{simulator.Password(device)};
  for (const sim::DeviceKey& key : sim::DeviceKeys()) {
    const std::string_view value = settings.Get(key.name);
    held.emplace_back(key.name.starts_with("PASS")
                          ? sim::Unscramble(value, sim::kStoredPasswordShift).value_or("?")
                          : std::string(value));
  }
  return held;
}

TEST_F(CliTest, WritesToManyDevicesRunSideBySideAndEachDeviceGetsItsOwnText) {
  // Devices that differ in every field get one change side by side and must end as they end when
  // written one after another; the fifth never acknowledges its save.
  constexpr int kDevices = 6;
  std::vector<sim::DeviceConfig> devices;
  std::vector<std::string> args{"set"};
  for (int n = 0; n < kDevices; ++n) {
    devices.push_back(DistinctDevice(n));
    args.push_back("127.0.0." + std::to_string(2 + n));
  }
  devices[4].faults.neverAck = true;
  for (const char* more : {"MSS=1200", "--yes", "--password-env", "PW"})
    args.emplace_back(more);
  std::vector<std::vector<std::string>> before, oneByOne;
  std::string outputs;
  for (const char* jobs : {"1", "2", "8"}) {
    sim::Simulator fresh;
    test::StartDevices(fresh, devices);
    for (int n = 0; n < kDevices && before.size() < kDevices; ++n)
      before.push_back(Held(fresh, n));
    // On a terminal the progress line counts the finished devices: by the first, every healthy
    // device must have had its write, which only a side by side run can do.
    int writtenAtFirstDone = -1;
    watchErr_ = [&](std::string_view text) {
      if (writtenAtFirstDone >= 0 || !text.starts_with("\rdone ") || text.starts_with("\rdone 0"))
        return;
      writtenAtFirstDone = 0;
      for (int n = 0; n < kDevices; ++n)
        writtenAtFirstDone += fresh.LastWriteBlock(n).empty() ? 0 : 1;
    };
    setup_.settleTime = jobs == std::string("8") ? 1500ms : 10ms;
    std::vector<std::string> run = args;
    run.insert(run.end(), {"--jobs", jobs});
    EXPECT_EQ(Run(run, {"unused"}, {{"PW", "Secret-9"}}), 1);
    if (jobs == std::string("8")) {
      EXPECT_EQ(writtenAtFirstDone, kDevices) << err_;
    }
    // A worker opens its next device only once its last write was answered, so however the
    // threads run, no more than --jobs devices are open without their write.
    EXPECT_LE(fresh.MostConnectionsBeforeWrite(), std::stoi(jobs)) << jobs;
    outputs += out_;
    for (int n = 0; n < kDevices; ++n) {
      std::vector<std::string> held = Held(fresh, n);
      if (oneByOne.size() < kDevices)
        oneByOne.push_back(held);
      else
        EXPECT_EQ(held, oneByOne[static_cast<std::size_t>(n)]) << n;
    }
    fresh.Stop();
  }
  const std::size_t mss = 1 + static_cast<std::size_t>(sim::DeviceKeyIndex("MSS"));
  for (int n = 0; n < kDevices; ++n) {
    std::vector<std::string> expected = before[static_cast<std::size_t>(n)];
    if (n != 4) expected[mss] = "1200";
    EXPECT_EQ(oneByOne[static_cast<std::size_t>(n)], expected) << n;
    // The data's own check: neighbours share no more than the login password and a few
    // fields that the pages show alike.
    const auto& mine = before[static_cast<std::size_t>(n)];
    const auto& previous = before[static_cast<std::size_t>(n > 0 ? n - 1 : 1)];
    EXPECT_LE(std::inner_product(mine.begin(), mine.end(), previous.begin(), 0, std::plus<>(),
                                 std::equal_to<>()),
              6);
  }
  // The same lines, in address order, from every run; the silent save fails its own device only.
  EXPECT_EQ(outputs, out_ + out_ + out_);
  EXPECT_TRUE(out_.starts_with("127.0.0.2:\nGeneral  MSS (bytes): ")) << out_;
  EXPECT_TRUE(out_.ends_with("127.0.0.7: Write complete.\n5 of 6 devices written\n"));
  EXPECT_NE(err_.find("127.0.0.6: "), std::string::npos);
}

TEST_F(CliTest, OneYesWritesEachDifferingDeviceWithItsOwnSettingsAndLeavesTheRest) {
  // The first device holds the new value already; the other two differ from it in their own way.
  test::StartDevices(simulator_, {DistinctDevice(0), DistinctDevice(1), DistinctDevice(2)});
  std::vector<std::vector<std::string>> expected;
  for (int n = 0; n < 3; ++n)
    expected.push_back(Held(simulator_, n));
  const std::size_t mss = 1 + static_cast<std::size_t>(sim::DeviceKeyIndex("MSS"));
  expected[1][mss] = expected[2][mss] = expected[0][mss];
  EXPECT_EQ(Run({"set", "127.0.0.2", "127.0.0.3", "127.0.0.4", "MSS=" + expected[0][mss],
                 "--password-env", "PW"},
                {"y"}, {{"PW", "Secret-9"}}),
            0)
      << out_ << err_;
  EXPECT_EQ(prompts_, std::vector<std::string>{"Write to 2 devices? [y/N] "});
  EXPECT_EQ(simulator_.LastWriteBlock(0), "");
  for (int n = 0; n < 3; ++n)
    EXPECT_EQ(Held(simulator_, n), expected[static_cast<std::size_t>(n)]) << n;
}

TEST_F(CliTest, RestoreLastUndoesTheLastWriteOfEveryDeviceFromItsHistory) {
  std::vector<sim::DeviceConfig> devices;
  std::vector<std::string> addresses;
  for (const int n : {0, 2, 4}) {
    devices.push_back(DistinctDevice(n));
    addresses.push_back(devices.back().address = "127.0.0." + std::to_string(2 + n));
  }
  test::StartDevices(simulator_, devices);
  const fs::path history = folder_ / "data" / "calbrin" / "history";
  const mode_t umaskBefore = umask(002);  // a group that may write what the umask allows
  // Runs the command on every device, with the history folder and the password.
  const auto onAll = [&](std::vector<std::string> args) {
    args.insert(args.end(), addresses.begin(), addresses.end());
    args.insert(args.end(), {"--yes", "--history", history.string(), "--password-env", "PW"});
    return Run(args, {}, {{"PW", "Secret-9"}});
  };
  const fs::path first = SettingsFile(folder_ / "a.qvs", "48", "", {{SettingKey::PORT1, "4001"}});
  const fs::path second = SettingsFile(folder_ / "b.qvs", "48", "", {{SettingKey::CBPS2, "38400"}});
  ASSERT_EQ(onAll({"put", first.string()}), 0) << out_;
  std::vector<std::vector<std::string>> afterFirst;
  for (int n = 0; n < 3; ++n)
    afterFirst.push_back(Held(simulator_, n));
  ASSERT_EQ(onAll({"put", second.string()}), 0) << out_;
  ASSERT_EQ(onAll({"restore", "--last"}), 0) << out_;
  for (int n = 0; n < 3; ++n) {
    EXPECT_EQ(Held(simulator_, n), afterFirst[static_cast<std::size_t>(n)]) << n;
    // Each write kept one file that the windows' reader loads, readable by the user alone.
    EXPECT_EQ(
        Run({"history", addresses[static_cast<std::size_t>(n)], "--history", history.string()}), 0);
    EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), 3) << out_;
    for (const auto& entry :
         fs::directory_iterator(history / addresses[static_cast<std::size_t>(n)])) {
      SettingsRecord kept;
      EXPECT_EQ(ReadSettingsFile(entry.path(), false, kept), SettingsFileRead::kLoaded);
      EXPECT_EQ(fs::status(entry.path()).permissions(),
                fs::perms::owner_read | fs::perms::owner_write);
    }
  }
  umask(umaskBefore);
  // Every folder that the history made is the user's alone; one that others may write, or a file
  // in it, is never restored from.
  for (const fs::path& made : {folder_ / "data", folder_ / "data" / "calbrin", history})
    EXPECT_EQ(fs::status(made).permissions(), fs::perms::owner_all) << made;
  const fs::path device = history / addresses[0];
  std::vector<fs::path> kept(fs::directory_iterator(device), {});
  std::sort(kept.begin(), kept.end());
  const fs::path newest = kept.back();
  for (const fs::path& shared : {history, device, newest}) {
    const fs::perms before = fs::status(shared).permissions();
    fs::permissions(shared, fs::perms::group_write, fs::perm_options::add);
    const std::vector<std::string> held = Held(simulator_, 0);
    EXPECT_EQ(Run({"restore", addresses[0], "--last", "--yes", "--history", history.string(),
                   "--password-env", "PW"},
                  {}, {{"PW", "Secret-9"}}),
              1);
    EXPECT_EQ(out_, addresses[0] + ": the history " + (shared == newest ? "file " : "folder ") +
                        shared.string() +
                        " can be written by others: not used\n0 of 1 devices written\n");
    EXPECT_EQ(Held(simulator_, 0), held);
    fs::permissions(shared, before);
  }
}

TEST_F(CliTest, DeviceWhoseHistoryCannotBeKeptIsNotWritten) {
  test::StartDevices(simulator_, {Device("48")});
  // No folder can be made below a regular file, not even by root.
  const fs::path history = test::WriteFileBytes(folder_ / "plain", "") / "history";
  EXPECT_EQ(Run({"set", "127.0.0.2", "MSS=1200", "--yes", "--history", history.string()}), 1);
  EXPECT_TRUE(err_.starts_with("127.0.0.2: not written: the history file " +
                               (history / "127.0.0.2").string() + "/"))
      << err_;
  EXPECT_TRUE(err_.ends_with(".qvs cannot be written (--no-history writes without it)\n")) << err_;
  EXPECT_EQ(simulator_.LastWriteBlock(0), "");
  EXPECT_EQ(Stored(0, SettingKey::MSS), "1460");
}

TEST_F(CliTest, EveryWriteLeavesOneRecordPerDeviceInTheChangeLogAndLogReadsThemBack) {
  test::StartDevices(simulator_, {Device("48"), Device("57")});
  const fs::path log = folder_ / "data" / "calbrin" / "changes.jsonl";
  const std::map<std::string, std::string> env{{"XDG_DATA_HOME", (folder_ / "data").string()},
                                               {"NEW", "Logged-Pw-9"}};
  const auto lines = [&] {
    std::vector<std::string> all;
    std::istringstream in(test::ReadFileBytes(log));
    for (std::string line; std::getline(in, line);)
      all.push_back(line);
    return all;
  };
  // Meanings in English whatever the run's language; no history, but the log all the same. The
  // MAC is known for a device named by it.
  ASSERT_EQ(Run({"set", "127.0.0.2", "02-00-00-00-00-02", "MSS=1200", "--yes", "--lang", "ja",
                 "--no-history"},
                {}, env),
            0)
      << err_;
  ASSERT_EQ(lines().size(), 2u);
  EXPECT_EQ(fs::status(log).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  for (const std::string device :
       {"127.0.0.2\", \"model\": \"QV-48R2",
        "127.0.0.3\", \"mac\": \"02-00-00-00-00-02\", \"model\": \"QV-57R"}) {
    EXPECT_NE(test::ReadFileBytes(log).find(
                  "\"command\": \"set\", \"address\": \"" + device +
                  "\", \"result\": \"written\", \"keys\": [{\"key\": \"MSS\", \"label\": \"MSS "
                  "(bytes)\", \"before\": \"1460\", \"after\": \"1200\"}]}\n"),
              std::string::npos)
        << device;
  }
  // A password is only "changed": neither its text nor its rotated form is kept.
  ASSERT_EQ(Run({"passwd", "02-00-00-00-00-02", "--new-password-env", "NEW"}, {}, env), 0) << err_;
  ASSERT_EQ(lines().size(), 3u);
  EXPECT_TRUE(lines()[2].ends_with(
      "[{\"key\": \"PASSWORD\", \"label\": \"settings password\", \"changed\": true}]}"));
  const std::string kept = test::ReadFileBytes(log),
                    rotated = sim::Scramble("Logged-Pw-9", sim::kStoredPasswordShift);
  EXPECT_EQ(kept.find("Logged-Pw-9"), kept.find(rotated.substr(5, 11)));  // both npos

  // log: by device and by time; a torn line is reported, and the next record starts its own.
  test::WriteFileBytes(log, test::ReadFileBytes(log) + "{\"time\": \"2026-");
  const std::string torn = log.string() + ":4: not a change record: skipped\n";
  EXPECT_EQ(Run({"log", "02:00:00:00:00:02", "--since", "2000-01-01"}, {}, env), 0);
  EXPECT_EQ(err_, torn);
  // Only that device's records: time, user@host, command, device, result; a line per key.
  const std::string head = R"(20\d\d-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z  [^ @]+@[^ ]+  )";
  const std::string device = R"(  127\.0\.0\.3 \(02-00-00-00-00-02\)  written\n    )";
  EXPECT_TRUE(
      std::regex_match(out_, std::regex(head + "set" + device + R"(MSS \(bytes\): 1460 -> 1200\n)" +
                                        head + "passwd" + device + "settings password: changed\n")))
      << out_;
  EXPECT_EQ(Run({"log", "--since", "2999-01-01T00:00Z"}, {}, env), 0);
  EXPECT_EQ(out_, "");
  EXPECT_EQ(Run({"log", "--since", "yesterday"}, {}, env), 2);
  ASSERT_EQ(Run({"set", "127.0.0.2", "MSS=1300", "--yes"}, {}, env), 0) << err_;
  ASSERT_EQ(lines().size(), 5u);
  EXPECT_EQ(Run({"log", "--json"}, {}, env), 0);
  EXPECT_EQ(err_, torn);
  const std::vector<std::string> all = lines();
  EXPECT_EQ(out_, all[0] + "\n" + all[1] + "\n" + all[2] + "\n" + all[4] + "\n");

  // The real bound: a log at 4 MiB moves aside whole before the next record.
  std::string full;
  while (full.size() + lines()[0].size() + 1 < kChangeLogMaxBytes)
    full += lines()[0] + "\n";
  test::WriteFileBytes(log, full);
  ASSERT_EQ(Run({"set", "127.0.0.2", "MSS=1400", "--yes"}, {}, env), 0) << err_;
  EXPECT_EQ(test::ReadFileBytes(RotatedChangeLog(log, 1)), full);
  EXPECT_EQ(lines().size(), 1u);
}

TEST(ChangeLogFiles, RotationKeepsEveryRecordInOrderAndSaysWhichFileItDrops) {
  test::ScratchFolder folder;
  const fs::path file = folder / "changes.jsonl";
  ChangeRecord record;
  record.time = "2026-12-07T05:41:12.345Z";
  const std::size_t size = ChangeRecordLine(record).size() + 4;  // numbered, and the line break
  ChangeLog log(file, size * 3, 4);
  std::vector<std::string> dropped;
  for (int n = 100; n < 120; ++n) {
    record.address = std::to_string(n);
    fs::path gone;
    ASSERT_EQ(log.Append(record, gone), ChangeLogAppend::kAppended);
    if (!gone.empty()) dropped.push_back(gone.filename().string());
  }
  // 20 records, 3 to a file: the oldest two files are dropped, and said so, when the 16th and
  // 19th records come; the 14 records after them are all kept, in order.
  EXPECT_EQ(dropped, (std::vector<std::string>{"changes.4.jsonl", "changes.4.jsonl"}));
  std::string addresses;
  for (const fs::path& kept : ChangeLogFiles(file, 4)) {
    std::istringstream in(test::ReadFileBytes(kept));
    for (std::string line; std::getline(in, line);)
      addresses += ParseChangeRecord(line).value_or(ChangeRecord{}).address + " ";
  }
  EXPECT_EQ(addresses, "106 107 108 109 110 111 112 113 114 115 116 117 118 119 ");
}

TEST_F(CliTest, BackupSavesEveryDeviceFoundAsTheWindowsSaveWould) {
  sim::DeviceConfig silent = Device("48");
  silent.faults.silentAfterConnect = true;
  test::StartDevices(simulator_, {DistinctDevice(0), DistinctDevice(1), silent});
  const fs::path backup = folder_ / "backup";
  EXPECT_EQ(Run({"backup", backup.string(), "--password-env", "PW"}, {}, {{"PW", "Secret-9"}}), 1);
  EXPECT_EQ(out_,
            "127.0.0.2: QV-48R2_02-00-00-00-00-01.qvs\n"
            "127.0.0.3: QV-57R_02-00-00-00-00-02.qvs\n"
            "127.0.0.4: The device did not respond.\n"
            "2 of 3 devices saved\n");
  for (const int n : {0, 1}) {
    SettingsRecord saved;
    const fs::path file =
        backup / (n == 0 ? "QV-48R2_02-00-00-00-00-01.qvs" : "QV-57R_02-00-00-00-00-02.qvs");
    ASSERT_EQ(ReadSettingsFile(file, n == 1, saved), SettingsFileRead::kLoaded);
    EXPECT_TRUE(
        DifferentSettings(NormalisedSettings(ToRecord(simulator_.Settings(n))), saved).empty());
    EXPECT_EQ(fs::status(file).permissions(), fs::perms::owner_read | fs::perms::owner_write);
  }
}

TEST_F(CliTest, SearchAndBackupTakeEveryDeviceThatAnswersOrSayWhichAreMissing) {
  constexpr int kDevices = 300;  // more than the command line's former 256
  test::StartDevices(simulator_, std::vector<sim::DeviceConfig>(kDevices, Device("48")));
  setup_.searchWindow = 1500ms;
  ASSERT_EQ(Run({"search"}), 0) << err_;
  EXPECT_EQ(std::count(out_.begin(), out_.end(), '\n'), kDevices);
  EXPECT_NE(out_.find("127.0.1.45  02-00-00-00-01-2C  QV-48R2"), std::string::npos);  // the last
  ASSERT_EQ(Run({"backup", (folder_ / "all").string()}), 0) << err_;
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_ / "all"), fs::directory_iterator()),
            kDevices);
  EXPECT_EQ(fs::status(folder_ / "all").permissions(), fs::perms::owner_all);

  // A bound that more devices answer than it keeps is an error, never a short list.
  setup_.searchCapacity = kDevices - 1;
  const std::string missing =
      "search from 127.0.0.1: more than 299 devices answered; the others are not listed\n";
  EXPECT_EQ(Run({"search"}), 1);
  EXPECT_EQ(err_, missing);
  EXPECT_EQ(Run({"backup", (folder_ / "some").string()}), 1);
  EXPECT_EQ(err_, missing);
}

// main's language without --lang: the first of LC_ALL, LC_MESSAGES and LANG that is set and not
// empty, Japanese for a "ja" locale, English for any other and for none.
TEST(SettingTexts, TheFirstLocaleVariableSetDecidesTheLanguage) {
  using enum Language;
  // LC_ALL, LC_MESSAGES and LANG (nullptr: unset), and the language that they give.
  // clang-format off
  const struct { const char* values[3]; Language language; } cases[] = {
      {{nullptr, nullptr, nullptr}, kEnglish}, {{nullptr, nullptr, "ja_JP.UTF-8"}, kJapanese},
      {{nullptr, nullptr, "C"}, kEnglish}, {{nullptr, "POSIX", "ja"}, kEnglish},
      {{nullptr, "ja_JP.eucJP", "en_US.UTF-8"}, kJapanese},
      {{"en_GB.UTF-8", "ja_JP.UTF-8", nullptr}, kEnglish}, {{"", "", "ja_JP.UTF-8"}, kJapanese}};
  // clang-format on
  for (const auto& c : cases) {
    const auto variable = [&c](const std::string& name) -> std::optional<std::string> {
      const char* value = c.values[name == "LC_ALL" ? 0 : name == "LC_MESSAGES" ? 1 : 2];
      return value == nullptr ? std::nullopt : std::optional<std::string>(value);
    };
    EXPECT_EQ(LocaleLanguage(variable), c.language) << c.values[2];
  }
}

bool PlainEnglish(std::string_view text) {
  return !text.empty() && std::ranges::all_of(text, [](char c) { return c >= ' ' && c <= '~'; });
}

// Every label, choice item, page and meaning has its English text, in plain ASCII; a language
// changes the words only. The fields at codes 0 to 5 (a channel password set) reach every check
// box, choice, condition, Ethernet mode and password state that the pages name.
TEST(SettingTexts, EveryTextHasAnEnglishOneInPlainAscii) {
  for (const PageField& field : kPageFields) {
    EXPECT_TRUE(field.label.empty() || PlainEnglish(field.label.english)) << field.label.japanese;
    for (const ChoiceItem& item : field.items)
      EXPECT_TRUE(PlainEnglish(item.text.english)) << item.text.japanese;
  }
  ScrambledPassword scrambled;
  ScramblePassword("line-1", kStoredPasswordShift, scrambled);
  for (const std::string_view code : {"0", "1", "2", "3", "4", "5"}) {
    SettingsRecord record;
    for (int i = 0; i < kSettingKeyCount; ++i)
      SetField(record, i, i == Index(SettingKey::PASS1) ? scrambled.Scrambled() : code);
    const std::vector<SettingView> japanese = ViewSettings(record);
    const std::vector<SettingView> english = ViewSettings(record, Language::kEnglish);
    for (std::size_t i = 0; i < english.size(); ++i) {
      const SettingView& view = english[i];
      EXPECT_EQ(view.meaningIsValue, japanese.at(i).meaningIsValue) << view.label;
      EXPECT_TRUE(
          PlainEnglish(view.label) && (i == 0 || PlainEnglish(view.page)) &&
          (view.meaningIsValue ? view.meaning == japanese[i].meaning : PlainEnglish(view.meaning)))
          << view.label << " = " << code << ": " << view.meaning;
    }
  }
}

// The parts (%1 ... %9) that a text takes.
std::set<char> Parts(std::string_view text) {
  std::set<char> parts;
  for (std::size_t at = 0; (at = text.find('%', at)) != std::string_view::npos; ++at) {
    if (at + 1 < text.size() && text[at + 1] >= '1' && text[at + 1] <= '9')
      parts.insert(text[at + 1]);
  }
  return parts;
}

// Every text of calbrin-cli in both languages: once in each table, English in plain ASCII, and
// the same parts, so that no value is lost in either language.
TEST(CliTexts, EveryTextIsInBothLanguagesWithTheSameParts) {
  for (const auto& table : {EnglishCliTexts(), JapaneseCliTexts()}) {
    std::set<CliText> listed;
    for (const CliTextEntry& entry : table)
      EXPECT_TRUE(listed.insert(entry.id).second) << static_cast<int>(entry.id);
  }
  for (int i = 0; i < kCliTextCount; ++i) {
    const std::string_view english = Text(static_cast<CliText>(i), Language::kEnglish);
    const std::string_view japanese = Text(static_cast<CliText>(i), Language::kJapanese);
    EXPECT_TRUE(std::ranges::all_of(english, [](char c) {
      return c == '\n' || PlainEnglish({&c, 1});
    })) << english;
    EXPECT_TRUE(!english.empty() && !japanese.empty() && english != japanese) << i << english;
    EXPECT_EQ(Parts(english), Parts(japanese)) << english << "\n" << japanese;
  }
  EXPECT_EQ(FillPlaceholders("%2 台中 %1 台 %3%%", {"5", "6"}), "6 台中 5 台 %");
}

// --lang, over the user's language, gives calbrin-cli's own texts of every kind in its language.
TEST_F(CliTest, LangGivesEveryTextOfTheCommandLineInItsLanguage) {
  test::StartDevices(simulator_, {Device("48"), Device("57")});
  const std::string backup = (folder_ / "backup").string();
  const std::string sheet =
      test::WriteFileBytes(folder_ / "site.csv",
                           "mac,address,mask,gateway\n"
                           "02-00-00-00-00-09,127.0.0.20,255.0.0.0,0.0.0.0\n");
  const std::string noGateway = test::WriteFileBytes(
      folder_ / "no-gateway.csv", "mac,address,mask\n02-00-00-00-00-09,127.0.0.20,255.0.0.0\n");
  const struct {
    std::vector<std::string> args;
    std::deque<std::string> lines;  // on a terminal when any
    std::string english;            // in the output or the errors
    std::string japanese;
  } cases[] = {
      // clang-format off
      {{"--help"}, {}, "usage: calbrin-cli COMMAND", "使い方: calbrin-cli COMMAND"},
      {{"put", "--help"}, {}, "usage: calbrin-cli put", "使い方: calbrin-cli put"},
      {{"search"}, {"unused"}, "Searching... ", "検索中... "},
      {{"get", "127.0.0.2", "--from", "192.0.2.99"}, {}, "no adapter has this address",
       "このアドレスのアダプタはありません"},
      {{"set", "127.0.0.2", "127.0.0.3", "MSS=", "--yes"}, {},
       "127.0.0.3: Write complete.\n2 of 2 devices written\n",
       "127.0.0.3: 書込みが完了しました。\n2 台中 2 台のデバイスに書込みました\n"},
      {{"set", "127.0.0.2", "MSS="}, {"yes"}, "Write to 127.0.0.2? [y/N] ",
       "127.0.0.2 に書き込みますか? [y/N] "},
      {{"set", "127.0.0.2", "NOPE=1"}, {}, "NOPE: no such setting\n", "NOPE: この設定はありません\n"},
      {{"set", "127.0.0.2", "MSS=99999"}, {}, "= 99999: a number from 536 to 1460\n",
       "= 99999: 536 から 1460 までの数値\n"},
      {{"passwd", "127.0.0.2", "--remove"}, {}, "Password removed.", "パスワードを無効化しました。"},
      {{"backup", backup}, {}, "2 of 2 devices saved\n", "2 台中 2 台のデバイスを保存しました\n"},
      {{"restore", "127.0.0.2", "--last", "--history", backup}, {},
       "no history file of this device", "このデバイスの履歴ファイルはありません"},
      {{"commission", sheet, "--check"}, {}, ": extra: not in the sheet\n0 of 1 rows at their plan\n",
       ": シート外: シートにありません\n1 行中 0 行が計画どおりです\n"},
      {{"commission", noGateway}, {}, "row 1, column gateway: missing: a sheet needs the columns",
       "1 行目、gateway 列: 列がありません: シートには mac, address, mask, gateway の列"}};
  // clang-format on
  for (const auto& c : cases) {
    for (const Language language : {Language::kEnglish, Language::kJapanese}) {
      const bool english = language == Language::kEnglish;
      setup_.language = english ? Language::kJapanese : Language::kEnglish;
      std::vector<std::string> args = c.args;
      args.insert(args.begin(), {"--lang", english ? "en" : "ja"});  // before the command too
      for (std::string& arg : args)  // a value that each language's run changes
        arg += arg == "MSS=" ? (english ? "1100" : "1000") : "";
      Run(args, c.lines);
      const std::string& expected = english ? c.english : c.japanese;
      const std::string all = out_ + err_ + (prompts_.empty() ? "" : prompts_[0]);
      EXPECT_NE(all.find(expected), std::string::npos) << expected << "\nin\n" << all;
    }
  }
  EXPECT_EQ(Stored(0, SettingKey::MSS), "1000");  // the question took "yes"
}

TEST_F(CliTest, UsageAndHelp) {
  const struct {
    std::vector<std::string> args;
    int code;
    std::string text;  // the start of the output (exit 0) or the error
  } cases[] = {
      {{}, 2, "usage: calbrin-cli COMMAND"},
      {{"--help"}, 0, "usage: calbrin-cli COMMAND"},
      {{"frobnicate"}, 2, "unknown command frobnicate\n"},
      {{"search", "--help"}, 0, "usage: calbrin-cli search"},
      {{"passwd", "--help"}, 0, "usage: calbrin-cli passwd"},
      {{"put"}, 2, "usage: calbrin-cli put"},
      {{"diff", "127.0.0.2"}, 2, "usage: calbrin-cli diff"},
      {{"get", "127.0.0.2", "-o"}, 2, "-o needs a value\nusage: calbrin-cli get"},
      {{"search", "--bogus"}, 2, "unknown option --bogus\n"},
      {{"get", "127.0.0.2", "--lang", "de"}, 2, "--lang takes en or ja\nusage: calbrin-cli get"},
      {{"put", "a.qvs", "127.0.0.2", "--jobs", "0"}, 2, "--jobs takes a number from 1 to "},
      {{"restore", "127.0.0.2"}, 2, "usage: calbrin-cli restore"},
      {{"set", "MSS=1200"}, 2, "usage: calbrin-cli set"}};
  for (const auto& c : cases) {
    EXPECT_EQ(Run(c.args), c.code) << c.text;
    EXPECT_TRUE((c.code == 0 ? out_ : err_).starts_with(c.text)) << out_ << err_;
  }
}

}  // namespace
}  // namespace calbrin
