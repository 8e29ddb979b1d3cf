// Collecting the pages into a record: every field's code, the checks A to E in their order, the
// passwords, and what reaches the settings text.
#include "pages/collect_settings.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

#include "settings/password_scrambling.h"
#include "tests/unit/test_records.h"

namespace calbrin {
namespace {

// Records what the user would see of a failed check.
class RecordingUi : public CollectUi {
 public:
  void ShowError(std::string_view message) override { messages.emplace_back(message); }
  void ShowPage(int tab) override { pages.push_back(tab); }

  std::vector<std::string> messages;
  std::vector<int> pages;
};

std::string Scrambled(std::string_view password) {
  ScrambledPassword scrambled;
  ScramblePassword(password, kStoredPasswordShift, scrambled);
  return std::string(scrambled.Scrambled());
}

std::string Unscrambled(const SettingsRecord& record, SettingKey key) {
  std::string password;
  UnscramblePassword(ReadField(record, key), password);
  return password;
}

// A device whose every setting differs from the defaults, in the codes that its pages can show.
SettingsRecord BusyDevice(std::string_view model) {
  const std::map<SettingKey, std::string> values{
      {SettingKey::MODEL, std::string(model)},
      {SettingKey::IP, "192.168.10.20"},
      {SettingKey::SUBM, "255.255.255.0"},
      {SettingKey::GWAY, "192.168.10.1"},
      {SettingKey::NEGOS, "1"},
      {SettingKey::MSS, "1200"},
      {SettingKey::KEEP_A, "12"},
      {SettingKey::PORT1, "4001"},
      {SettingKey::HIP1, "10.0.0.5"},
      {SettingKey::HPORT1, "5001"},
      {SettingKey::CBPS1, "115200"},
      {SettingKey::CBIT1, "2"},
      {SettingKey::CSTOP1, "3"},
      {SettingKey::CPAR1, "2"},
      {SettingKey::CFLOW1, "1"},
      {SettingKey::CXON1, "17"},
      {SettingKey::CXOFF1, "19"},
      {SettingKey::CDRV1, "0"},
      {SettingKey::PRT1, "0"},
      {SettingKey::SMODE1, "0"},
      {SettingKey::SPASS1, "0"},
      {SettingKey::CMODE1, "5"},
      {SettingKey::CPASS1, "1"},
      {SettingKey::DMODE1, "1"},
      {SettingKey::PASS1, Scrambled("line-1")},
      {SettingKey::CCHAR1, "13"},
      {SettingKey::DCHAR1, "4"},
      {SettingKey::DTIME1, "120"},
      {SettingKey::FLUSH1, "1"},
      {SettingKey::P_EN1, "1"},
      {SettingKey::PTIME1, "250"},
      {SettingKey::PSIZE1, "512"},
      {SettingKey::PCHAR1, "2"},
      {SettingKey::PMOJ11, "2"},
      {SettingKey::PMOJ21, "3"},
      {SettingKey::PTRAL1, "1"},
      {SettingKey::PORT2, "4002"},
      {SettingKey::HIP2, "10.0.0.6"},
      {SettingKey::HPORT2, "5002"},
      {SettingKey::CBPS2, "14400"},
      {SettingKey::CBIT2, "3"},
      {SettingKey::CSTOP2, "1"},
      {SettingKey::CPAR2, "3"},
      {SettingKey::CFLOW2, "2"},
      {SettingKey::CXON2, "1"},
      {SettingKey::CXOFF2, "255"},
      {SettingKey::CDRV2, "1"},
      {SettingKey::PRT2, "1"},
      {SettingKey::SMODE2, "1"},
      {SettingKey::SPASS2, "1"},
      {SettingKey::CMODE2, "0"},
      {SettingKey::CPASS2, "0"},
      {SettingKey::DMODE2, "2"},
      {SettingKey::PASS2, Scrambled("line-2")},
      {SettingKey::CCHAR2, "0"},
      {SettingKey::DCHAR2, "10"},
      {SettingKey::DTIME2, "3600"},
      {SettingKey::FLUSH2, "0"},
      {SettingKey::P_EN2, "0"},
      {SettingKey::PTIME2, "5000"},
      {SettingKey::PSIZE2, "0"},
      {SettingKey::PCHAR2, "0"},
      {SettingKey::PMOJ12, "0"},
      {SettingKey::PMOJ22, "0"},
      {SettingKey::PTRAL2, "2"},
  };
  SettingsRecord record;
  for (const auto& [key, value] : values)
    EXPECT_TRUE(SetField(record, key, value)) << value;
  return record;
}

struct Collected {
  int result;
  SettingsRecord record;
  SettingsText text;
  RecordingUi ui;
};

Collected Collect(const PageStates& pages, const SettingsRecord& device, bool forFile = false,
                  bool reduced = false) {
  Collected out{};
  out.text.Append("untouched");
  out.result = CollectSettings(pages, device, forFile, reduced, out.record, out.text, out.ui);
  return out;
}

TEST(CollectSettings, ShownPagesGiveBackEveryField) {
  for (const char* model : {"48", "57"}) {
    SCOPED_TRACE(model);
    const bool reduced = std::string_view(model) == "57";
    SettingsRecord device = BusyDevice(model);
    if (reduced) SetField(device, SettingKey::CFLOW2, "2");
    const Collected collected = Collect(ShownPages(device, reduced), device, false, reduced);
    ASSERT_EQ(collected.result, 0);
    EXPECT_TRUE(collected.ui.messages.empty());
    for (int i = 0; i < kSettingKeyCount; ++i) {
      if (i == Index(SettingKey::PASS1) || i == Index(SettingKey::PASS2)) continue;
      EXPECT_EQ(ReadField(collected.record, i), ReadField(device, i)) << KeyText(i);
    }
    EXPECT_EQ(Unscrambled(collected.record, SettingKey::PASS1), "line-1");
    EXPECT_EQ(Unscrambled(collected.record, SettingKey::PASS2), "line-2");
  }
}

TEST(CollectSettings, ChoiceCodesOfTheControls) {
  SettingsRecord device = BusyDevice("48");
  PageStates pages = ShownPages(device, false);
  pages.network.autoAddress = true;
  pages.network.autoNegotiation = false;
  pages.network.speed100Checked = true;
  pages.network.fullDuplexChecked = false;
  pages.lan[0].clientCondition = 1;  // "DSRアクティブ"
  pages.lan[0].clientCharacter = "0d";
  pages.lan[0].clientPort = std::string(40, '9');
  pages.lan[1].clientMode = false;
  pages.lan[1].serverCondition = 1;
  pages.serial[0].stopBits = 1;
  pages.serial[0].dataCount = false;
  pages.serial[0].specifiedCharacter = false;
  pages.serial[0].xon = "";
  pages.serial[0].baudRate = "12345678";
  pages.serial[1].driverOnSend = false;
  const Collected collected = Collect(pages, device);
  ASSERT_EQ(collected.result, 0);
  const SettingsRecord& record = collected.record;
  EXPECT_EQ(ReadField(record, SettingKey::IP), "0.0.0.0");
  EXPECT_EQ(ReadField(record, SettingKey::NEGOS), "2");
  EXPECT_EQ(ReadField(record, SettingKey::CMODE1), "2");
  EXPECT_EQ(ReadField(record, SettingKey::SMODE1), "0");
  EXPECT_EQ(ReadField(record, SettingKey::CCHAR1), "13");
  // Cut to the field's width.
  EXPECT_EQ(ReadField(record, SettingKey::HPORT1),
            std::string(FieldWidth(Index(SettingKey::HPORT1)), '9'));
  EXPECT_EQ(ReadField(record, SettingKey::SMODE2), "2");
  EXPECT_EQ(ReadField(record, SettingKey::CMODE2), "0");
  EXPECT_EQ(ReadField(record, SettingKey::CSTOP1), "3");
  EXPECT_EQ(ReadField(record, SettingKey::PSIZE1), "0");
  EXPECT_EQ(ReadField(record, SettingKey::PCHAR1), "0");
  EXPECT_EQ(ReadField(record, SettingKey::CXON1), "0");
  EXPECT_EQ(ReadField(record, SettingKey::CBPS1), "1234567");
  EXPECT_EQ(ReadField(record, SettingKey::CDRV1), "0");
  EXPECT_EQ(ReadField(record, SettingKey::CDRV2), "0");
}

TEST(CollectSettings, ReducedSecondChannelCodes) {
  SettingsRecord device = BusyDevice("57");
  PageStates pages = ShownPages(device, true);
  pages.lan[1].protocol = kTcpItem;
  pages.lan[1].clientMode = true;
  pages.lan[1].clientCondition = 1;  // "任意のキャラクタ"
  pages.lan[1].disconnectCondition = 2;
  pages.serial[1].flow = 1;  // "Xon/Xoff"
  const Collected collected = Collect(pages, device, false, true);
  ASSERT_EQ(collected.result, 0);
  EXPECT_EQ(ReadField(collected.record, SettingKey::CMODE2), "4");
  EXPECT_EQ(ReadField(collected.record, SettingKey::SMODE2), "0");
  EXPECT_EQ(ReadField(collected.record, SettingKey::DMODE2), "2");
  EXPECT_EQ(ReadField(collected.record, SettingKey::CFLOW2), "2");
  // The connect-to address is read in TCP, the UDP destination in UDP.
  EXPECT_EQ(ReadField(collected.record, SettingKey::HIP2), "10.0.0.6");

  pages.lan[1].clientMode = false;
  pages.serial[1].flow = -1;  // no selection leaves its field empty
  const Collected server = Collect(pages, device, false, true);
  EXPECT_EQ(ReadField(server.record, SettingKey::SMODE2), "1");
  EXPECT_EQ(ReadField(server.record, SettingKey::CFLOW2), "");
}

TEST(CollectSettings, RemoteAddressFollowsTheProtocol) {
  SettingsRecord device = BusyDevice("48");
  PageStates pages = ShownPages(device, false);
  pages.lan[0].udpAddress = "1.1.1.1";
  pages.lan[0].clientAddress = "2.2.2.2";
  pages.lan[0].protocol = kUdpItem;
  EXPECT_EQ(ReadField(Collect(pages, device).record, SettingKey::HIP1), "1.1.1.1");
  pages.lan[0].protocol = kTcpItem;
  EXPECT_EQ(ReadField(Collect(pages, device).record, SettingKey::HIP1), "2.2.2.2");
}

TEST(CollectSettings, EmptyPasswordRemovesForTheDeviceAndIsEmptyInAFile) {
  SettingsRecord device = BusyDevice("48");
  PageStates pages = ShownPages(device, false);
  pages.lan[0].password.clear();
  pages.lan[0].connection.clientPassword = false;
  const Collected write = Collect(pages, device, false);
  ASSERT_EQ(write.result, 0);
  // "D E L" scrambled: its blanks rotate like any character, the fillers around it are random.
  const std::string_view removal = ReadField(write.record, SettingKey::PASS1);
  ASSERT_EQ(removal.size(), 15u);
  EXPECT_EQ(removal.substr(5, 5), Scrambled("D E L").substr(5, 5));
  const Collected file = Collect(pages, device, true);
  ASSERT_EQ(file.result, 0);
  EXPECT_EQ(ReadField(file.record, SettingKey::PASS1).size(), 10u);
  EXPECT_EQ(Unscrambled(file.record, SettingKey::PASS1), "");
  // The file holds all 65 pairs, the device write leaves out the file-only keys.
  EXPECT_EQ(test::CountPairs(file.text.View()), 65);
  EXPECT_EQ(test::CountPairs(write.text.View()), 62);
  EXPECT_EQ(write.text.View().substr(0, 4), "IP\r\n");
}

TEST(CollectSettings, ChecksAToEInOrderAndOnlyTheFirstIsReported) {
  const SettingsRecord device = BusyDevice("48");
  struct Case {
    const char* name;
    void (*edit)(PageStates&);
    const char* message;
    int tab;
  } cases[] = {
      {"A: console port on LAN(1), and LAN(2) the same",
       [](PageStates& p) {
         p.lan[0].receivePort = "9998";
         p.lan[1].receivePort = "9998";
       },
       "LAN(1)の受信ポート番号9998は設定できません。\r\n値を変更してください。", 1},
      {"A: none", [](PageStates& p) { p.lan[0].receivePort = ""; },
       "LAN(1)の受信ポート番号0は設定できません。\r\n値を変更してください。", 1},
      {"B before C",
       [](PageStates& p) {
         p.lan[0].password.clear();
         p.lan[1].receivePort = "30718";
       },
       "LAN(1)のTCPパスワードが設定されていません。\r\n入力してください。", 1},
      {"C: discovery port on LAN(2)", [](PageStates& p) { p.lan[1].receivePort = "30718"; },
       "LAN(2)の受信ポート番号30718は設定できません。\r\n値を変更してください。", 2},
      {"D: the same port, although the protocols differ",
       [](PageStates& p) { p.lan[1].receivePort = "4001"; },
       "LAN(1)とLAN(2)の受信ポート番号が同じです。\r\n異なる値に変更してください。", 2},
      {"E", [](PageStates& p) { p.lan[1].password.clear(); },
       "LAN(2)のTCPパスワードが設定されていません。\r\n入力してください。", 2},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    PageStates pages = ShownPages(device, false);
    c.edit(pages);
    const Collected collected = Collect(pages, device);
    EXPECT_EQ(collected.result, -1);
    EXPECT_EQ(collected.ui.messages, std::vector<std::string>{c.message});
    EXPECT_EQ(collected.ui.pages, std::vector<int>{c.tab});
    EXPECT_EQ(collected.text.View(), "untouched");
  }
}

TEST(CollectSettings, PasswordIsRequiredOnlyByTheOneModeThatIsOn) {
  struct Case {
    LanConnectionState connection;
    bool required;
  } cases[] = {
      {{1, 0, true, false}, true},  {{1, 0, false, true}, false}, {{0, 5, false, true}, true},
      {{0, 5, true, false}, false}, {{0, 0, true, true}, false},  {{1, 4, true, true}, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(LanPasswordRequired(c.connection), c.required)
        << c.connection.serverCode << " " << c.connection.clientCode;
  }
}

}  // namespace
}  // namespace calbrin
