// The LAN port page's lists, record mapping and rules, without windows.
#include "pages/lan_page_state.h"

#include <gtest/gtest.h>

#include <map>

#include "settings/password_scrambling.h"
#include "resources/resource.h"
#include "settings/settings_record.h"
#include "tests/unit/page_test_support.h"

namespace calbrin {
namespace {

using test::ControlsNot;
using test::EnabledOf;

constexpr std::initializer_list<int> kUdpGroup{IDC_UDP_GROUP,         IDC_UDP_CAPTION,
                                               IDC_UDP_ADDRESS_LABEL, IDC_UDP_ADDRESS,
                                               IDC_UDP_PORT_LABEL,    IDC_UDP_PORT};
constexpr std::initializer_list<int> kTcpFrame{IDC_TCP_GROUP,
                                               IDC_TCP_CAPTION,
                                               IDC_SERVER_GROUP,
                                               IDC_SERVER_MODE,
                                               IDC_CLIENT_GROUP,
                                               IDC_CLIENT_MODE,
                                               IDC_PASSWORD_REQUIRED,
                                               IDC_DISCONNECT_CONDITION_LABEL,
                                               IDC_DISCONNECT_CONDITION,
                                               IDC_FLUSH};
constexpr std::initializer_list<int> kClientGroup{IDC_CLIENT_CONDITION_LABEL, IDC_CLIENT_CONDITION,
                                                  IDC_CLIENT_ADDRESS_LABEL,   IDC_CLIENT_ADDRESS,
                                                  IDC_CLIENT_PORT_LABEL,      IDC_CLIENT_PORT};
// Every control that the enable rules govern.
constexpr std::initializer_list<int> kAllRuled{IDC_UDP_GROUP,
                                               IDC_UDP_CAPTION,
                                               IDC_UDP_ADDRESS_LABEL,
                                               IDC_UDP_ADDRESS,
                                               IDC_UDP_PORT_LABEL,
                                               IDC_UDP_PORT,
                                               IDC_RECEIVE_PORT_LABEL,
                                               IDC_RECEIVE_PORT,
                                               IDC_TCP_GROUP,
                                               IDC_TCP_CAPTION,
                                               IDC_SERVER_GROUP,
                                               IDC_SERVER_MODE,
                                               IDC_CLIENT_GROUP,
                                               IDC_CLIENT_MODE,
                                               IDC_PASSWORD_REQUIRED,
                                               IDC_DISCONNECT_CONDITION_LABEL,
                                               IDC_DISCONNECT_CONDITION,
                                               IDC_FLUSH,
                                               IDC_SERVER_CONDITION_LABEL,
                                               IDC_SERVER_CONDITION,
                                               IDC_CLIENT_CONDITION_LABEL,
                                               IDC_CLIENT_CONDITION,
                                               IDC_CLIENT_ADDRESS_LABEL,
                                               IDC_CLIENT_ADDRESS,
                                               IDC_CLIENT_PORT_LABEL,
                                               IDC_CLIENT_PORT,
                                               IDC_CLIENT_CHAR_LABEL,
                                               IDC_CLIENT_CHAR,
                                               IDC_LAN_PASSWORD,
                                               IDC_IDLE_TIME_LABEL,
                                               IDC_IDLE_TIME,
                                               IDC_IDLE_TIME_RANGE,
                                               IDC_DISCONNECT_CHAR_LABEL,
                                               IDC_DISCONNECT_CHAR};

// A page of `channel` filled from a record whose channel keys hold `values` (keys given by their
// channel-1 names).
LanPageState Filled(const std::map<SettingKey, std::string>& values, int channel = 1,
                    bool reduced = false) {
  SettingsRecord record;
  for (const auto& [key, value] : values)
    SetField(record, ChannelKey(key, channel), value);
  LanPageState state;
  state.channel = channel;
  state.reduced = reduced;
  FillLanPage(record, state);
  return state;
}

TEST(LanPageLists, StandardAndReduced) {
  EXPECT_EQ(test::JoinedItems(ProtocolItems()), "TCP|UDP|");
  EXPECT_EQ(test::JoinedItems(ServerConditionItems(false)), "常時|DSRアクティブ|");
  EXPECT_EQ(test::JoinedItems(ServerConditionItems(true)), "常時|");
  EXPECT_EQ(test::JoinedItems(ClientConditionItems(false)),
            "常時|DSRアクティブ|任意のキャラクタ|指定キャラクタ|");
  EXPECT_EQ(test::JoinedItems(ClientConditionItems(true)), "常時|任意のキャラクタ|指定キャラクタ|");
  EXPECT_EQ(test::JoinedItems(DisconnectConditionItems(false)),
            "無効|無通信時間|指定キャラクタ|DSRノンアクティブ|");
  EXPECT_EQ(test::JoinedItems(DisconnectConditionItems(true)), "無効|無通信時間|指定キャラクタ|");
}

TEST(FillLanPage, ConditionCodesAndTheItemsThatShowThem) {
  struct Case {
    SettingKey key;
    const char* code;
    bool reduced;
    int item;      // selected item of the key's list
    int modeCode;  // server or client code kept in the connection state (-1: not a mode key)
  } cases[] = {
      {SettingKey::SMODE1, "0", false, 0, 0},  {SettingKey::SMODE1, "1", false, 0, 1},
      {SettingKey::SMODE1, "2", false, 1, 2},  {SettingKey::SMODE1, "2", true, 0, 0},
      {SettingKey::SMODE1, "3", false, 0, 0},  {SettingKey::SMODE1, "-1", false, 0, 0},
      {SettingKey::CMODE1, "1", false, 0, 1},  {SettingKey::CMODE1, "2", false, 1, 2},
      {SettingKey::CMODE1, "3", false, 0, 0},  {SettingKey::CMODE1, "4", false, 2, 4},
      {SettingKey::CMODE1, "5", false, 3, 5},  {SettingKey::CMODE1, "9", false, 0, 0},
      {SettingKey::CMODE1, "2", true, 0, 0},   {SettingKey::CMODE1, "4", true, 1, 4},
      {SettingKey::CMODE1, "5", true, 2, 5},   {SettingKey::CMODE1, "3", true, 0, 0},
      {SettingKey::DMODE1, "1", false, 1, -1}, {SettingKey::DMODE1, "2", false, 2, -1},
      {SettingKey::DMODE1, "3", false, 3, -1}, {SettingKey::DMODE1, "3", true, 0, -1},
      {SettingKey::DMODE1, "4", false, 0, -1}, {SettingKey::DMODE1, "2", true, 2, -1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(KeyText(Index(c.key))) + " \"" + c.code + "\"" +
                 (c.reduced ? " reduced" : ""));
    const LanPageState state = Filled({{c.key, c.code}}, 2, c.reduced);
    switch (c.key) {
      case SettingKey::SMODE1:
        EXPECT_EQ(state.serverCondition, c.item);
        EXPECT_EQ(state.connection.serverCode, c.modeCode);
        break;
      case SettingKey::CMODE1:
        EXPECT_EQ(state.clientCondition, c.item);
        EXPECT_EQ(state.connection.clientCode, c.modeCode);
        EXPECT_EQ(state.clientMode, c.modeCode != 0);
        break;
      default:
        EXPECT_EQ(state.disconnectCondition, c.item);
    }
  }
}

TEST(FillLanPage, ReadsOnlyItsOwnChannel) {
  SettingsRecord record;
  SetField(record, SettingKey::PRT1, "1");
  SetField(record, SettingKey::PORT1, "10001");
  SetField(record, SettingKey::PRT2, "0");
  SetField(record, SettingKey::PORT2, "10002");
  SetField(record, SettingKey::HIP2, "10.0.0.2");
  SetField(record, SettingKey::HPORT2, "2000");
  LanPageState second;
  second.channel = 2;
  FillLanPage(record, second);
  EXPECT_EQ(second.protocol, kTcpItem);
  EXPECT_EQ(second.receivePort, "10002");
  // The remote address and port show in both the UDP and the client group.
  EXPECT_EQ(second.udpAddress, "10.0.0.2");
  EXPECT_EQ(second.clientAddress, "10.0.0.2");
  EXPECT_EQ(second.udpPort, "2000");
  EXPECT_EQ(second.clientPort, "2000");
  LanPageState first;
  FillLanPage(record, first);
  EXPECT_EQ(first.protocol, kUdpItem);
  EXPECT_EQ(first.receivePort, "10001");
}

TEST(FillLanPage, CharactersFlushAndPassword) {
  ScrambledPassword scrambled;
  ASSERT_GT(ScramblePassword("s3cret", kStoredPasswordShift, scrambled), 0);
  const LanPageState state = Filled({{SettingKey::CCHAR1, "13"},
                                     {SettingKey::DCHAR1, "300"},
                                     {SettingKey::FLUSH1, "1"},
                                     {SettingKey::DTIME1, "0"},
                                     {SettingKey::PASS1, std::string(scrambled.Scrambled())}});
  EXPECT_EQ(state.clientCharacter, "0D");
  EXPECT_EQ(state.disconnectCharacter, "00");
  EXPECT_TRUE(state.flush);
  EXPECT_EQ(state.idleTime, "0");
  EXPECT_EQ(state.password, "s3cret");

  for (const char* bad : {"", "ab", "               "}) {
    EXPECT_EQ(Filled({{SettingKey::PASS1, bad}}).password, "") << bad;
  }
  EXPECT_FALSE(Filled({{SettingKey::FLUSH1, "2"}}).flush);
}

TEST(FillLanPage, CheckBoxShowsThePasswordFlagOfTheShownMode) {
  LanPageState server = Filled({{SettingKey::SMODE1, "1"}, {SettingKey::SPASS1, "1"}});
  EXPECT_FALSE(server.clientMode);
  EXPECT_TRUE(server.passwordRequired);
  LanPageState client =
      Filled({{SettingKey::SMODE1, "0"}, {SettingKey::CMODE1, "5"}, {SettingKey::SPASS1, "1"}});
  EXPECT_TRUE(client.clientMode);
  EXPECT_FALSE(client.passwordRequired);
  EXPECT_TRUE(client.connection.serverPassword);
}

TEST(LanPageRules, UdpDisablesTheWholeTcpFrame) {
  LanPageState state = Filled({{SettingKey::PRT1, "1"},
                               {SettingKey::SPASS1, "1"},
                               {SettingKey::DMODE1, "1"},
                               {SettingKey::CMODE1, "5"}});
  const EnabledStates enabled = LanPageEnabled(state);
  EXPECT_EQ(ControlsNot(enabled, kUdpGroup, true), "");
  EXPECT_TRUE(EnabledOf(enabled, IDC_RECEIVE_PORT));
  // Everything of the TCP group, whatever its check boxes and lists hold.
  std::initializer_list<int> tcpGroup{
      IDC_SERVER_CONDITION, IDC_CLIENT_CONDITION, IDC_CLIENT_CHAR,     IDC_LAN_PASSWORD,
      IDC_IDLE_TIME,        IDC_IDLE_TIME_RANGE,  IDC_DISCONNECT_CHAR, IDC_CLIENT_ADDRESS};
  EXPECT_EQ(ControlsNot(enabled, kTcpFrame, false), "");
  EXPECT_EQ(ControlsNot(enabled, tcpGroup, false), "");
  state.passwordRequired = true;
  EXPECT_FALSE(EnabledOf(LanPageEnabled(state), IDC_LAN_PASSWORD));
}

// The enable table: each row a situation and the controls it enables; every other ruled control
// must be disabled.
TEST(LanPageRules, EnableTable) {
  struct Row {
    const char* name;
    std::map<SettingKey, std::string> values;
    bool reduced;
    std::initializer_list<int> enabled;
  };
  const Row rows[] = {
      {"TCP server, nothing else",
       {{SettingKey::SMODE1, "1"}},
       false,
       {IDC_RECEIVE_PORT_LABEL, IDC_RECEIVE_PORT, IDC_TCP_GROUP, IDC_TCP_CAPTION, IDC_SERVER_GROUP,
        IDC_SERVER_MODE, IDC_CLIENT_GROUP, IDC_CLIENT_MODE, IDC_PASSWORD_REQUIRED,
        IDC_DISCONNECT_CONDITION_LABEL, IDC_DISCONNECT_CONDITION, IDC_FLUSH,
        IDC_SERVER_CONDITION_LABEL, IDC_SERVER_CONDITION}},
      {"TCP client on a specified character, idle time, password",
       {{SettingKey::CMODE1, "5"}, {SettingKey::CPASS1, "1"}, {SettingKey::DMODE1, "1"}},
       false,
       {IDC_TCP_GROUP,
        IDC_TCP_CAPTION,
        IDC_SERVER_GROUP,
        IDC_SERVER_MODE,
        IDC_CLIENT_GROUP,
        IDC_CLIENT_MODE,
        IDC_PASSWORD_REQUIRED,
        IDC_DISCONNECT_CONDITION_LABEL,
        IDC_DISCONNECT_CONDITION,
        IDC_FLUSH,
        IDC_CLIENT_CONDITION_LABEL,
        IDC_CLIENT_CONDITION,
        IDC_CLIENT_ADDRESS_LABEL,
        IDC_CLIENT_ADDRESS,
        IDC_CLIENT_PORT_LABEL,
        IDC_CLIENT_PORT,
        IDC_CLIENT_CHAR_LABEL,
        IDC_CLIENT_CHAR,
        IDC_LAN_PASSWORD,
        IDC_IDLE_TIME_LABEL,
        IDC_IDLE_TIME,
        IDC_IDLE_TIME_RANGE}},
      {"reduced TCP client on a specified character, ended by a character",
       {{SettingKey::CMODE1, "5"}, {SettingKey::DMODE1, "2"}},
       true,
       {IDC_TCP_GROUP,
        IDC_TCP_CAPTION,
        IDC_SERVER_GROUP,
        IDC_SERVER_MODE,
        IDC_CLIENT_GROUP,
        IDC_CLIENT_MODE,
        IDC_PASSWORD_REQUIRED,
        IDC_DISCONNECT_CONDITION_LABEL,
        IDC_DISCONNECT_CONDITION,
        IDC_FLUSH,
        IDC_CLIENT_CONDITION_LABEL,
        IDC_CLIENT_CONDITION,
        IDC_CLIENT_ADDRESS_LABEL,
        IDC_CLIENT_ADDRESS,
        IDC_CLIENT_PORT_LABEL,
        IDC_CLIENT_PORT,
        IDC_CLIENT_CHAR_LABEL,
        IDC_CLIENT_CHAR,
        IDC_DISCONNECT_CHAR_LABEL,
        IDC_DISCONNECT_CHAR}},
      {"TCP client on any character",
       {{SettingKey::CMODE1, "4"}},
       false,
       {IDC_TCP_GROUP, IDC_TCP_CAPTION, IDC_SERVER_GROUP, IDC_SERVER_MODE, IDC_CLIENT_GROUP,
        IDC_CLIENT_MODE, IDC_PASSWORD_REQUIRED, IDC_DISCONNECT_CONDITION_LABEL,
        IDC_DISCONNECT_CONDITION, IDC_FLUSH, IDC_CLIENT_CONDITION_LABEL, IDC_CLIENT_CONDITION,
        IDC_CLIENT_ADDRESS_LABEL, IDC_CLIENT_ADDRESS, IDC_CLIENT_PORT_LABEL, IDC_CLIENT_PORT}},
      {"UDP",
       {{SettingKey::PRT1, "1"}},
       false,
       {IDC_UDP_GROUP, IDC_UDP_CAPTION, IDC_UDP_ADDRESS_LABEL, IDC_UDP_ADDRESS, IDC_UDP_PORT_LABEL,
        IDC_UDP_PORT, IDC_RECEIVE_PORT_LABEL, IDC_RECEIVE_PORT}},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.name);
    const EnabledStates enabled = LanPageEnabled(Filled(row.values, 1, row.reduced));
    for (const int id : kAllRuled) {
      const bool expected =
          std::find(row.enabled.begin(), row.enabled.end(), id) != row.enabled.end();
      EXPECT_EQ(EnabledOf(enabled, id), expected) << "control " << id;
    }
  }
}

TEST(LanPageRules, ModeClicksSetTheCodesAndShowEachModesOwnPasswordFlag) {
  LanPageState state = Filled({{SettingKey::SMODE1, "2"}, {SettingKey::SPASS1, "1"}});
  EXPECT_TRUE(state.passwordRequired);

  state.clientMode = true;
  state.clientCondition = 2;  // "任意のキャラクタ"
  OnModeClicked(state);
  EXPECT_EQ(state.connection.clientCode, 4);
  EXPECT_EQ(state.connection.serverCode, 0);
  EXPECT_FALSE(state.passwordRequired);
  EXPECT_EQ(ControlsNot(LanPageEnabled(state), kClientGroup, true), "");
  EXPECT_FALSE(EnabledOf(LanPageEnabled(state), IDC_RECEIVE_PORT));

  state.passwordRequired = true;
  OnPasswordRequiredClicked(state);
  EXPECT_TRUE(state.connection.clientPassword);

  state.clientMode = false;
  state.serverCondition = 1;  // "DSRアクティブ"
  state.connection.serverPassword = false;
  OnModeClicked(state);
  EXPECT_EQ(state.connection.serverCode, 2);
  EXPECT_EQ(state.connection.clientCode, 0);
  EXPECT_FALSE(state.passwordRequired);
  state.clientMode = true;
  OnModeClicked(state);
  EXPECT_TRUE(state.passwordRequired);
}

TEST(LanPageRules, ReducedClientItemsStandForTheirCodes) {
  LanPageState state = Filled({}, 2, true);
  state.clientMode = true;
  for (const auto& [item, code] : {std::pair{0, 1}, {1, 4}, {2, 5}}) {
    state.clientCondition = item;
    OnModeClicked(state);
    EXPECT_EQ(state.connection.clientCode, code) << "item " << item;
  }
}

TEST(LanPageRules, BackToTcpShowsTheModeOfTheCodes) {
  // Both codes 0: server mode shows although server mode is off.
  LanPageState state = Filled({{SettingKey::PRT1, "1"}});
  EXPECT_EQ(state.connection.serverCode, 0);
  EXPECT_FALSE(state.clientMode);
  state.protocol = kTcpItem;
  OnProtocolChanged(state);
  EXPECT_FALSE(state.clientMode);
  EXPECT_FALSE(EnabledOf(LanPageEnabled(state), IDC_LAN_PASSWORD));

  LanPageState client = Filled({{SettingKey::PRT1, "1"}, {SettingKey::CMODE1, "4"}});
  client.clientMode = false;  // as the radio buttons could show after edits in UDP
  client.protocol = kTcpItem;
  OnProtocolChanged(client);
  EXPECT_TRUE(client.clientMode);

  // Changing to UDP leaves the mode alone.
  client.protocol = kUdpItem;
  client.clientMode = false;
  OnProtocolChanged(client);
  EXPECT_FALSE(client.clientMode);
}

}  // namespace
}  // namespace calbrin
