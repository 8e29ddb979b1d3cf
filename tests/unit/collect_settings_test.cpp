// The pages and their collection as one round trip, record to pages to record: every code of every
// list in both variants, the codes read their own way, numbers at and beyond their bounds, texts
// at their field widths; then the checks A to E in their order and the passwords.
#include "pages/collect_settings.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "settings/device_model.h"
#include "settings/password_scrambling.h"
#include "tests/unit/test_records.h"

namespace calbrin {
namespace {

using K = SettingKey;

// clang-format off
struct Collected : CollectUi {
  void ShowError(std::string_view message) override { messages.emplace_back(message); }
  void ShowPage(int tab) override { tabs.push_back(tab); }
  int result = 0;
  SettingsRecord record;
  SettingsText text;
  std::vector<std::string> messages;
  std::vector<int> tabs;
};

// A record that collects without complaint: distinct receive ports, no mode on, no password;
// channel 2 on UDP, so that its remote address travels through the UDP group.
SettingsRecord Base(std::string_view model) {
  SettingsRecord record;
  for (const auto& [key, value] : {std::pair{K::MODEL, model}, {K::SMODE1, "0"}, {K::CMODE1, "0"},
       {K::SMODE2, "0"}, {K::CMODE2, "0"}, {K::PSIZE1, "0"}, {K::PSIZE2, "0"}, {K::PRT2, "1"},
       {K::PORT1, "4001"}, {K::PORT2, "4002"}})
    SetField(record, key, value);
  return record;
}

// The pages collected for a file or the device of `model` (whose record is Base's).
Collected Collect(const PageStates& pages, std::string_view model, bool forFile = true) {
  Collected out;
  out.text.Append("untouched");
  out.result = CollectSettings(pages, Base(model), forFile, SecondChannelReduced(model), out.record, out.text, out);
  return out;
}

// `key` stored as `value`, shown by the pages and collected again for a file.
std::string RoundTrip(std::string_view model, K key, std::string_view value) {
  SettingsRecord record = Base(model);
  SetField(record, key, value);
  const Collected collected = Collect(ShownPages(record, SecondChannelReduced(model)), model);
  EXPECT_EQ(collected.result, 0);
  return std::string(ReadField(collected.record, key));
}

// Every list as "code:text|...", standard and on channel 2 of a QV-57R: each code shows its item
// and comes back from it.
TEST(PagesRoundTrip, EveryCodeOfEveryListInBothVariants) {
  struct List { PageKind page; int control; K key; const char *standard, *reduced; } lists[] = {
      {PageKind::kLan, IDC_PROTOCOL, K::PRT1, "0:TCP|1:UDP", nullptr},
      {PageKind::kLan, IDC_SERVER_CONDITION, K::SMODE1, "1:常時|2:DSRアクティブ", "1:常時"},
      {PageKind::kLan, IDC_CLIENT_CONDITION, K::CMODE1,
       "1:常時|2:DSRアクティブ|4:任意のキャラクタ|5:指定キャラクタ", "1:常時|4:任意のキャラクタ|5:指定キャラクタ"},
      {PageKind::kLan, IDC_DISCONNECT_CONDITION, K::DMODE1,
       "0:無効|1:無通信時間|2:指定キャラクタ|3:DSRノンアクティブ", "0:無効|1:無通信時間|2:指定キャラクタ"},
      {PageKind::kSerial, IDC_DATA_BITS, K::CBIT1, "2:7 ビット|3:8 ビット", nullptr},
      {PageKind::kSerial, IDC_PARITY, K::CPAR1, "0:無し|2:偶数|3:奇数", nullptr},
      {PageKind::kSerial, IDC_STOP_BITS, K::CSTOP1, "1:1 ビット|3:2 ビット", nullptr},
      {PageKind::kSerial, IDC_FLOW, K::CFLOW1, "0:無し|1:RTS/CTS|2:Xon/Xoff", "0:無し|2:Xon/Xoff"},
      {PageKind::kSerial, IDC_CHAR_COUNT, K::PCHAR1, "1:1 バイト|2:2 バイト", nullptr},
      {PageKind::kSerial, IDC_TRAILING_COUNT, K::PTRAL1, "0:無し|1:1 バイト|2:2 バイト", nullptr},
  };
  for (const List& list : lists) {
    for (const auto& [model, channel] : {std::pair{"48", 1}, {"48", 2}, {"57", 1}, {"57", 2}}) {
      const K key = ChannelKey(list.key, channel);
      const bool reduced = channel == 2 && SecondChannelReduced(model);
      const std::string expected = reduced && list.reduced ? list.reduced : list.standard;
      const PageField& field = PageFieldOf(list.page, list.control);
      const ChoiceItems texts = ItemTexts(field, reduced);
      std::string shown;
      for (std::size_t at = 0; at < expected.size(); at = expected.find('|', at) + 1) {
        const std::string code = expected.substr(at, expected.find(':', at) - at);
        EXPECT_EQ(RoundTrip(model, key, code), code) << KeyText(Index(key)) << " of " << model;
        const auto item = static_cast<std::size_t>(ItemShowing(field, reduced, std::stoi(code)));
        shown += (at > 0 ? "|" : "") + code + ":" + (item < texts.size() ? texts[item] : "-");
        if (expected.find('|', at) == std::string::npos) break;
      }
      EXPECT_EQ(shown, expected) << KeyText(Index(key)) << " of " << model;
      EXPECT_EQ(texts.size(), static_cast<std::size_t>(std::count(expected.begin(), expected.end(), '|')) + 1);
    }
  }
  std::string rates;
  for (const char* rate : BaudRateItems()) rates += std::string(rate) + " ";
  EXPECT_EQ(rates, "300 600 1200 2400 4800 9600 19200 38400 57600 115200 230400 460800 921600 ");
}

// Values that a page reads its own way, numbers at and beyond their bounds, texts at full width.
TEST(PagesRoundTrip, StoredValueAndWhatComesBack) {
  struct Row { K key; const char *model, *stored, *collected; } rows[] = {
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
      {K::PSIZE1, "48", "5", "6"}, {K::PSIZE1, "48", "0", "0"}, {K::PSIZE2, "48", "1460", "1460"},
      {K::PSIZE2, "48", "1461", "1460"}, {K::PTIME1, "48", "0", "1"}, {K::PTIME1, "48", "1", "1"},
      {K::PTIME2, "48", "5000", "5000"}, {K::PTIME2, "48", "5001", "5000"},
      {K::CXON1, "48", "13", "13"}, {K::CXOFF2, "48", "256", "0"}, {K::PMOJ22, "48", "255", "255"},
      {K::CCHAR1, "48", "-1", "0"}, {K::DCHAR2, "57", "10", "10"}, {K::PMOJ11, "48", "x", "0"},
      {K::P_EN1, "48", "-1", "0"}, {K::FLUSH2, "48", "2", "0"}, {K::SPASS1, "48", "1", "1"},
      {K::CPASS2, "48", "3", "0"}, {K::MSS, "48", "100", "100"}, {K::KEEP_A, "48", "999", "999"},
      {K::DTIME1, "48", "0", "0"}, {K::CBPS1, "48", "12", "12"}, {K::GWAY, "48", "1.2.3.4", "1.2.3.4"},
      {K::DTIME2, "48", "360000", "360000"}, {K::CBPS2, "48", "12345678", "1234567"},
      {K::HPORT1, "48", "1234567", "1234567"}, {K::HIP1, "48", "1.2.3.4", "1.2.3.4"}, {K::HPORT2, "48", "7", "7"}, {K::HIP2, "48", "255.255.255.255.25", "255.255.255.255.25"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(RoundTrip(row.model, row.key, row.stored), row.collected)
        << KeyText(Index(row.key)) << " \"" << row.stored << "\" of " << row.model;
}

// The remote address and port are one setting shown twice: the protocol decides which is read.
TEST(CollectSettings, RemoteAddressFollowsTheProtocolAndIsCutToItsField) {
  PageStates pages = ShownPages(Base("48"), false);
  for (LanPageState& lan : pages.lan) {
    lan.udpAddress = "1.1.1." + std::to_string(lan.channel);
    lan.udpPort = "1";
    lan.clientAddress = "2.2.2." + std::to_string(lan.channel);
    lan.clientPort = std::string(60, '2');
  }
  const SettingsRecord& record = Collect(pages, "48").record;
  EXPECT_EQ(std::tuple(ReadField(record, K::HIP1), ReadField(record, K::HPORT1), ReadField(record, K::HIP2),
                       ReadField(record, K::HPORT2)),
            std::tuple("2.2.2.1", "2222222", "1.1.1.2", "1"));
}

void RequirePassword(LanPageState& lan) {
  lan.connection = {1, 0, true, false};
  lan.password.clear();
}

TEST(CollectSettings, ChecksAToEInOrderOnlyTheFirstReported) {
  const auto port = [](int lan, const char* number) {
    return "LAN(" + std::to_string(lan) + ")の受信ポート番号" + number + "は設定できません。\r\n値を変更してください。";
  };
  const auto password = [](int lan) {
    return "LAN(" + std::to_string(lan) + ")のTCPパスワードが設定されていません。\r\n入力してください。";
  };
  const std::string same = "LAN(1)とLAN(2)の受信ポート番号が同じです。\r\n異なる値に変更してください。";
  struct Case { void (*edit)(PageStates&); std::string message; int tab; } cases[] = {
      {[](PageStates& p) { p.lan[0].receivePort = p.lan[1].receivePort = "9998"; }, port(1, "9998"), 1},
      {[](PageStates& p) { p.lan[0].receivePort = ""; }, port(1, "0"), 1},
      {[](PageStates& p) { p.lan[0].receivePort = "30718", RequirePassword(p.lan[0]); }, port(1, "30718"), 1},
      {[](PageStates& p) { RequirePassword(p.lan[0]), p.lan[1].receivePort = "0"; }, password(1), 1},
      {[](PageStates& p) { p.lan[1].receivePort = "9998", RequirePassword(p.lan[1]); }, port(2, "9998"), 2},
      {[](PageStates& p) { p.lan[1].receivePort = "4001"; }, same, 2},  // although on UDP
      {[](PageStates& p) { p.lan[1].receivePort = "4001", RequirePassword(p.lan[1]); }, same, 2},
      {[](PageStates& p) { RequirePassword(p.lan[1]); }, password(2), 2},
  };
  for (const Case& c : cases) {
    PageStates pages = ShownPages(Base("48"), false);
    c.edit(pages);
    const Collected collected = Collect(pages, "48", false);
    EXPECT_EQ(std::tuple(collected.result, collected.messages, collected.tabs, collected.text.View()),
              std::tuple(-1, std::vector{c.message}, std::vector{c.tab}, "untouched"));
  }
}

TEST(CollectSettings, PasswordsForTheDeviceAndForAFile) {
  ScrambledPassword scrambled;
  ScramblePassword("line-1", kStoredPasswordShift, scrambled);
  SettingsRecord record = Base("57");
  for (const char* unreadable : {"", "ab", "               "}) {
    SetField(record, K::PASS1, unreadable);
    EXPECT_EQ(ShownPages(record, true).lan[0].password, "") << unreadable;
  }
  SetField(record, K::PASS1, scrambled.Scrambled());
  PageStates pages = ShownPages(record, true);
  pages.lan[0].connection = {0, 5, false, true};  // required, and given
  const Collected write = Collect(pages, "57", false);
  ASSERT_EQ(write.result, 0);
  std::string password;
  EXPECT_EQ(std::pair(UnscramblePassword(ReadField(write.record, K::PASS1), password), password), std::pair(6, std::string("line-1")));
  // An empty password that no mode needs removes it on the device: "D E L" between fillers.
  ScrambledPassword removal;
  ScramblePassword("D E L", kStoredPasswordShift, removal);
  const std::string_view stored = ReadField(write.record, K::PASS2);
  EXPECT_EQ(std::pair(stored.size(), stored.substr(5, 5)), std::pair(std::size_t{15}, removal.Scrambled().substr(5, 5)));
  const Collected file = Collect(pages, "57", true);
  EXPECT_EQ(ReadField(file.record, K::PASS2).size(), 10u);
  EXPECT_EQ(UnscramblePassword(ReadField(file.record, K::PASS2), password), 0);
  EXPECT_EQ(ReadField(file.record, K::MODEL), "57");
  // A file holds all 65 pairs; a device write leaves out the file-only keys but keeps CDRV2.
  const auto pairs = [](std::string_view text) { return std::ranges::count(text, '\n') / 2; };
  EXPECT_EQ(std::tuple(pairs(file.text.View()), pairs(write.text.View()),
                       write.text.View().substr(0, 4)), std::tuple(65, 63, "IP\r\n"));
  const std::pair<LanConnectionState, bool> required[] = {{{1, 0, true, false}, true}, {{1, 0, false, true}, false},
      {{0, 5, false, true}, true}, {{0, 5, true, false}, false}, {{0, 0, true, true}, false}, {{1, 4, true, true}, false}};
  for (const auto& [connection, expected] : required)
    EXPECT_EQ(LanPasswordRequired(connection), expected) << &connection - &required[0].first;
}
// clang-format on

}  // namespace
}  // namespace calbrin
