// The pages and their collection as one round trip, record to pages to record: every code of every
// list in both variants, the codes read their own way, numbers at and beyond their bounds, texts
// at their field widths; then the checks A to E in their order and the passwords.
#include "pages/collect_settings.h"

#include <gtest/gtest.h>

#include <memory>

#include "settings/device_model.h"
#include "settings/password_scrambling.h"
#include "tests/unit/test_records.h"

namespace calbrin {
namespace {

using K = SettingKey;

struct Collected : CollectUi {
  void ShowError(std::string_view message) override { messages.emplace_back(message); }
  void ShowPage(int tab) override { tabs.push_back(tab); }
  int result = 0;
  SettingsRecord record;
  SettingsText text;
  std::vector<std::string> messages;
  std::vector<int> tabs;
};

std::unique_ptr<Collected> Collect(const PageStates& pages, std::string_view model,
                                   bool forFile = true) {
  auto out = std::make_unique<Collected>();
  out->text.Append("untouched");
  SettingsRecord device;
  SetField(device, K::MODEL, model);
  out->result = CollectSettings(pages, device, forFile, SecondChannelReduced(model), out->record,
                                out->text, *out);
  return out;
}

// A record that collects without complaint: distinct receive ports, no mode on, no password.
SettingsRecord Base(std::string_view model) {
  SettingsRecord record;
  SetField(record, K::MODEL, model);
  for (const K key : {K::SMODE1, K::CMODE1, K::SMODE2, K::CMODE2, K::PSIZE1, K::PSIZE2})
    SetField(record, key, "0");
  SetField(record, K::PORT1, "4001");
  SetField(record, K::PORT2, "4002");
  return record;
}

// `key` stored as `value`, shown by the pages and collected again for a file.
std::string RoundTrip(std::string_view model, K key, std::string_view value,
                      PageStates* shown = nullptr) {
  SettingsRecord record = Base(model);
  SetField(record, key, value);
  const PageStates pages = ShownPages(record, SecondChannelReduced(model));
  if (shown != nullptr) *shown = pages;
  const auto collected = Collect(pages, model);
  EXPECT_EQ(collected->result, 0);
  return std::string(ReadField(collected->record, key));
}

int Selected(const PageStates& pages, int channel, int control) {
  const LanPageState& lan = pages.lan[static_cast<std::size_t>(channel - 1)];
  const SerialPageState& serial = pages.serial[static_cast<std::size_t>(channel - 1)];
  // clang-format off
  switch (control) {
    case IDC_PROTOCOL: return lan.protocol;
    case IDC_SERVER_CONDITION: return lan.serverCondition;
    case IDC_CLIENT_CONDITION: return lan.clientCondition;
    case IDC_DISCONNECT_CONDITION: return lan.disconnectCondition;
    case IDC_DATA_BITS: return serial.dataBits;
    case IDC_PARITY: return serial.parity;
    case IDC_STOP_BITS: return serial.stopBits;
    case IDC_FLOW: return serial.flow;
    case IDC_CHAR_COUNT: return serial.characterCount;
    default: return serial.trailingCount;
  }
  // clang-format on
}

// Every list as "code:text|...", standard and on channel 2 of a QV-57R: each code shows its item
// and comes back from it.
TEST(PagesRoundTrip, EveryCodeOfEveryListInBothVariants) {
  struct List {
    PageKind page;
    int control;
    K key;
    const char *standard, *reduced;
  } lists[] = {
      // clang-format off
      {PageKind::kLan, IDC_PROTOCOL, K::PRT1, "0:TCP|1:UDP", nullptr},
      {PageKind::kLan, IDC_SERVER_CONDITION, K::SMODE1, "1:常時|2:DSRアクティブ", "1:常時"},
      {PageKind::kLan, IDC_CLIENT_CONDITION, K::CMODE1,
       "1:常時|2:DSRアクティブ|4:任意のキャラクタ|5:指定キャラクタ",
       "1:常時|4:任意のキャラクタ|5:指定キャラクタ"},
      {PageKind::kLan, IDC_DISCONNECT_CONDITION, K::DMODE1,
       "0:無効|1:無通信時間|2:指定キャラクタ|3:DSRノンアクティブ",
       "0:無効|1:無通信時間|2:指定キャラクタ"},
      {PageKind::kSerial, IDC_DATA_BITS, K::CBIT1, "2:7 ビット|3:8 ビット", nullptr},
      {PageKind::kSerial, IDC_PARITY, K::CPAR1, "0:無し|2:偶数|3:奇数", nullptr},
      {PageKind::kSerial, IDC_STOP_BITS, K::CSTOP1, "1:1 ビット|3:2 ビット", nullptr},
      {PageKind::kSerial, IDC_FLOW, K::CFLOW1, "0:無し|1:RTS/CTS|2:Xon/Xoff", "0:無し|2:Xon/Xoff"},
      {PageKind::kSerial, IDC_CHAR_COUNT, K::PCHAR1, "1:1 バイト|2:2 バイト", nullptr},
      {PageKind::kSerial, IDC_TRAILING_COUNT, K::PTRAL1, "0:無し|1:1 バイト|2:2 バイト", nullptr},
      // clang-format on
  };
  for (const List& list : lists) {
    for (const auto& [model, channel] : {std::pair{"48", 1}, {"48", 2}, {"57", 1}, {"57", 2}}) {
      const K key = ChannelKey(list.key, channel);
      const bool reduced = channel == 2 && SecondChannelReduced(model);
      const std::string expected = reduced && list.reduced ? list.reduced : list.standard;
      const ChoiceItems texts = ItemTexts(PageFieldOf(list.page, list.control), reduced);
      std::string shown;
      for (std::size_t at = 0; at < expected.size(); at = expected.find('|', at) + 1) {
        const std::string code = expected.substr(at, expected.find(':', at) - at);
        PageStates pages;
        EXPECT_EQ(RoundTrip(model, key, code, &pages), code) << KeyText(Index(key)) << model;
        const auto item = static_cast<std::size_t>(Selected(pages, channel, list.control));
        shown += (at > 0 ? "|" : "") + code + ":" + (item < texts.size() ? texts[item] : "-");
        if (expected.find('|', at) == std::string::npos) break;
      }
      EXPECT_EQ(shown, expected) << KeyText(Index(key)) << " of " << model;
      EXPECT_EQ(texts.size(),
                static_cast<std::size_t>(std::count(expected.begin(), expected.end(), '|')) + 1);
    }
  }
  std::string rates;
  for (const char* rate : BaudRateItems())
    rates += std::string(rate) + " ";
  EXPECT_EQ(rates, "300 600 1200 2400 4800 9600 19200 38400 57600 115200 230400 460800 921600 ");
}

// Values that a page reads its own way, numbers at and beyond their bounds, texts at full width.
TEST(PagesRoundTrip, StoredValueAndWhatComesBack) {
  struct Row {
    K key;
    const char *model, *stored, *collected;
  } rows[] = {
      // clang-format off
      {K::NEGOS, "48", "5", "7"}, {K::NEGOS, "48", "", "7"}, {K::NEGOS, "48", "1", "1"},
      {K::NEGOS, "48", "2", "2"}, {K::NEGOS, "48", "3", "3"}, {K::NEGOS, "48", "0", "0"},
      {K::IP, "48", "0.0.0.0", "0.0.0.0"}, {K::CSTOP1, "48", "2", "3"}, {K::CSTOP1, "48", "0", "1"},
      {K::CSTOP2, "48", "0", "3"}, {K::CSTOP2, "57", "2", "3"}, {K::CFLOW2, "57", "1", "2"},
      {K::CFLOW2, "57", "3", "0"}, {K::CFLOW1, "57", "1", "1"}, {K::SMODE2, "57", "2", "1"},
      {K::CMODE2, "57", "2", "0"}, {K::DMODE2, "57", "3", "0"}, {K::CMODE1, "48", "3", "0"},
      {K::SMODE1, "48", "0", "1"}, {K::CBIT1, "48", "", "3"}, {K::CPAR1, "48", "1", "0"},
      {K::PTRAL2, "48", "3", "0"}, {K::PCHAR1, "48", "5", "1"}, {K::PCHAR1, "48", "0", "0"},
      {K::PRT1, "48", "2", "0"}, {K::CDRV1, "48", "1", "0"}, {K::CDRV2, "57", "00", "1"},
      {K::CDRV2, "57", "0", "0"}, {K::CDRV2, "48", "0", "0"}, {K::CDRV2, "48", "", "1"},
      {K::PSIZE1, "48", "5", "6"}, {K::PSIZE1, "48", "6", "6"}, {K::PSIZE2, "48", "1460", "1460"},
      {K::PSIZE2, "48", "1461", "1460"}, {K::PTIME1, "48", "0", "1"}, {K::PTIME1, "48", "1", "1"},
      {K::PTIME2, "48", "5000", "5000"}, {K::PTIME2, "48", "5001", "5000"},
      {K::CXON1, "48", "13", "13"}, {K::CXOFF2, "48", "256", "0"}, {K::PMOJ22, "48", "255", "255"},
      {K::CCHAR1, "48", "-1", "0"}, {K::DCHAR2, "57", "10", "10"}, {K::PMOJ11, "48", "x", "0"},
      {K::P_EN1, "48", "-1", "0"}, {K::FLUSH2, "48", "2", "0"}, {K::SPASS1, "48", "1", "1"},
      {K::CPASS2, "48", "3", "0"}, {K::MSS, "48", "100", "100"}, {K::KEEP_A, "48", "999", "999"},
      {K::DTIME1, "48", "0", "0"}, {K::CBPS1, "48", "12", "12"}, {K::GWAY, "48", "1.2.3.4", "1.2.3.4"},
      {K::DTIME2, "48", "360000", "360000"},
      {K::CBPS2, "48", "12345678", "1234567"}, {K::HPORT1, "48", "1234567", "1234567"},
      {K::HIP2, "48", "255.255.255.255.25", "255.255.255.255.25"},
      // clang-format on
  };
  for (const Row& row : rows) {
    EXPECT_EQ(RoundTrip(row.model, row.key, row.stored), row.collected)
        << KeyText(Index(row.key)) << " \"" << row.stored << "\" of " << row.model;
  }
}

TEST(CollectSettings, TextsAreCutToTheirFieldsAndTheRemoteAddressFollowsTheProtocol) {
  PageStates pages = ShownPages(Base("48"), false);
  const std::string ones(60, '1'), twos(60, '2');
  pages.network.address = pages.network.subnetMask = pages.network.gateway = ones;
  pages.network.mss = pages.network.keepAlive = ones;
  for (std::size_t i = 0; i < 2; ++i) {
    const std::string& text = i == 0 ? ones : twos;
    pages.lan[i].receivePort = pages.lan[i].idleTime = text;
    pages.lan[i].udpAddress = pages.lan[i].udpPort = "9";
    pages.lan[i].clientAddress = pages.lan[i].clientPort = text;
    pages.serial[i].baudRate = pages.serial[i].packingTime = pages.serial[i].dataCountValue = text;
    pages.serial[i].dataCount = true;
  }
  pages.lan[1].protocol = kUdpItem;
  const auto collected = Collect(pages, "48");
  ASSERT_EQ(collected->result, 0);
  for (const K key : {K::IP, K::SUBM, K::GWAY, K::MSS, K::KEEP_A, K::PORT1, K::DTIME1, K::HIP1,
                      K::HPORT1, K::PTIME1, K::PSIZE1, K::PORT2, K::PTIME2}) {
    EXPECT_EQ(ReadField(collected->record, key).size(), FieldWidth(Index(key))) << Index(key);
  }
  EXPECT_EQ(ReadField(collected->record, K::CBPS1), "1111111");  // the combo's limit
  EXPECT_EQ(ReadField(collected->record, K::HIP2), "9");
  EXPECT_EQ(ReadField(collected->record, K::HPORT2), "9");
}

void RequirePassword(LanPageState& lan) {
  lan.connection = {1, 0, true, false};
  lan.password.clear();
}

TEST(CollectSettings, ChecksAToEInOrderOnlyTheFirstReported) {
  const auto port = [](int lan, const char* number) {
    return "LAN(" + std::to_string(lan) + ")の受信ポート番号" + number +
           "は設定できません。\r\n値を変更してください。";
  };
  const auto password = [](int lan) {
    return "LAN(" + std::to_string(lan) +
           ")のTCPパスワードが設定されていません。\r\n入力してください。";
  };
  struct Case {
    void (*edit)(PageStates&);
    std::string message;
    int tab;
  } cases[] = {
      {[](PageStates& p) { p.lan[0].receivePort = p.lan[1].receivePort = "9998"; }, port(1, "9998"),
       1},
      {[](PageStates& p) { p.lan[0].receivePort = ""; }, port(1, "0"), 1},
      {[](PageStates& p) { p.lan[0].receivePort = "30718", RequirePassword(p.lan[0]); },
       port(1, "30718"), 1},
      {[](PageStates& p) { RequirePassword(p.lan[0]), p.lan[1].receivePort = "0"; }, password(1),
       1},
      {[](PageStates& p) { p.lan[1].receivePort = "9998", RequirePassword(p.lan[1]); },
       port(2, "9998"), 2},
      {[](PageStates& p) { p.lan[1].receivePort = "4001", p.lan[1].protocol = kUdpItem; },
       "LAN(1)とLAN(2)の受信ポート番号が同じです。\r\n異なる値に変更してください。", 2},
      {[](PageStates& p) { p.lan[1].receivePort = "4001", RequirePassword(p.lan[1]); },
       "LAN(1)とLAN(2)の受信ポート番号が同じです。\r\n異なる値に変更してください。", 2},
      {[](PageStates& p) { RequirePassword(p.lan[1]); }, password(2), 2},
  };
  for (const Case& c : cases) {
    PageStates pages = ShownPages(Base("48"), false);
    c.edit(pages);
    const auto collected = Collect(pages, "48", false);
    EXPECT_EQ(collected->result, -1);
    EXPECT_EQ(collected->messages, std::vector<std::string>{c.message});
    EXPECT_EQ(collected->tabs, std::vector<int>{c.tab}) << c.message;
    EXPECT_EQ(collected->text.View(), "untouched");
  }
}

TEST(CollectSettings, PasswordsForTheDeviceAndForAFile) {
  PageStates pages = ShownPages(Base("57"), true);
  pages.lan[0].password = "line-1";
  pages.lan[0].connection = {0, 5, false, true};  // required, and given
  const auto write = Collect(pages, "57", false);
  ASSERT_EQ(write->result, 0);
  std::string password;
  UnscramblePassword(ReadField(write->record, K::PASS1), password);
  EXPECT_EQ(password, "line-1");
  // An empty password that no mode needs removes it on the device: "D E L" between fillers.
  ScrambledPassword removal;
  ScramblePassword("D E L", kStoredPasswordShift, removal);
  const std::string_view stored = ReadField(write->record, K::PASS2);
  EXPECT_EQ(stored.size(), 15u);
  EXPECT_EQ(stored.substr(5, 5), removal.Scrambled().substr(5, 5));
  const auto file = Collect(pages, "57", true);
  EXPECT_EQ(ReadField(file->record, K::PASS2).size(), 10u);
  EXPECT_EQ(UnscramblePassword(ReadField(file->record, K::PASS2), password), 0);
  EXPECT_EQ(ReadField(file->record, K::MODEL), "57");
  // A file holds all 65 pairs; a device write leaves out the file-only keys but keeps CDRV2.
  EXPECT_EQ(test::CountPairs(file->text.View()), 65);
  EXPECT_EQ(test::CountPairs(write->text.View()), 63);
  EXPECT_EQ(write->text.View().substr(0, 4), "IP\r\n");
  const std::pair<LanConnectionState, bool> required[] = {
      {{1, 0, true, false}, true},  {{1, 0, false, true}, false}, {{0, 5, false, true}, true},
      {{0, 5, true, false}, false}, {{0, 0, true, true}, false},  {{1, 4, true, true}, false}};
  for (const auto& [connection, expected] : required)
    EXPECT_EQ(LanPasswordRequired(connection), expected) << &connection - &required[0].first;
}

}  // namespace
}  // namespace calbrin
