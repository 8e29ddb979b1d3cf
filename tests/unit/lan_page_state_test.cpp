// The LAN port page's record mapping, enable rules and clicks, without windows.
#include "pages/lan_page_state.h"

#include <gtest/gtest.h>

#include <map>

#include "settings/settings_record.h"
#include "tests/unit/page_test_support.h"

namespace calbrin {
namespace {

using test::Ids;

LanPageState Filled(const std::map<SettingKey, std::string>& channelOneValues, int channel = 1,
                    bool reduced = false) {
  SettingsRecord record;
  SetField(record, SettingKey::PORT1, "10001");  // the other channel's keys stay unread
  for (const auto& [key, value] : channelOneValues)
    SetField(record, ChannelKey(key, channel), value);
  LanPageState state;
  state.channel = channel;
  state.reduced = reduced;
  FillLanPage(record, state);
  return state;
}

TEST(LanPage, FillReadsItsOwnChannel) {
  ScrambledPassword scrambled;
  ScramblePassword("s3cret", kStoredPasswordShift, scrambled);
  const LanPageState state = Filled({{SettingKey::PRT1, "0"},
                                     {SettingKey::PORT1, "10002"},
                                     {SettingKey::HIP1, "10.0.0.2"},
                                     {SettingKey::HPORT1, "20"},
                                     {SettingKey::CCHAR1, "13"},
                                     {SettingKey::DCHAR1, "300"},
                                     {SettingKey::FLUSH1, "1"},
                                     {SettingKey::DTIME1, "0"},
                                     {SettingKey::SMODE1, "0"},
                                     {SettingKey::CMODE1, "5"},
                                     {SettingKey::SPASS1, "1"},
                                     {SettingKey::CPASS1, "2"},
                                     {SettingKey::PASS1, std::string(scrambled.Scrambled())}},
                                    2);
  EXPECT_EQ(std::tuple(state.protocol, state.receivePort, state.udpAddress, state.clientAddress,
                       state.udpPort, state.clientPort),
            std::tuple(kTcpItem, "10002", "10.0.0.2", "10.0.0.2", "20", "20"));
  EXPECT_EQ(std::tuple(state.clientCharacter, state.disconnectCharacter, state.flush,
                       state.idleTime, state.password),
            std::tuple("0D", "00", true, "0", "s3cret"));
  // Client mode shows the client flag; the server flag is kept beside it.
  EXPECT_EQ(std::tuple(state.clientMode, state.passwordRequired, state.connection.serverPassword),
            std::tuple(true, false, true));
  for (const char* bad : {"", "ab", "               "})
    EXPECT_EQ(Filled({{SettingKey::PASS1, bad}}).password, "") << bad;
}

TEST(LanPage, FillKeepsTheModeCodesThatTheListsOffer) {
  struct Row {
    const char *server, *client;
    bool reduced;
    int serverCode, clientCode;
    bool clientMode;
  } rows[] = {
      // clang-format off
      {"0", "0", false, 0, 0, false}, {"2", "0", false, 2, 0, false}, {"2", "0", true, 0, 0, false},
      {"0", "3", false, 0, 0, false}, {"0", "9", false, 0, 0, false}, {"0", "2", true, 0, 0, false},
      {"0", "4", true, 0, 4, true}, {"1", "5", false, 1, 5, false}, {"-1", "2", false, 0, 2, true},
      // clang-format on
  };
  for (const Row& row : rows) {
    const LanPageState state = Filled(
        {{SettingKey::SMODE1, row.server}, {SettingKey::CMODE1, row.client}}, 2, row.reduced);
    EXPECT_EQ(
        std::tuple(state.connection.serverCode, state.connection.clientCode, state.clientMode),
        std::tuple(row.serverCode, row.clientCode, row.clientMode))
        << row.server << " " << row.client << " " << row.reduced;
  }
}

// clang-format off
const Ids kUdp{IDC_UDP_GROUP, IDC_UDP_CAPTION, IDC_UDP_ADDRESS_LABEL, IDC_UDP_ADDRESS,
               IDC_UDP_PORT_LABEL, IDC_UDP_PORT};
const Ids kReceive{IDC_RECEIVE_PORT_LABEL, IDC_RECEIVE_PORT};
const Ids kTcp{IDC_TCP_GROUP, IDC_TCP_CAPTION, IDC_SERVER_GROUP, IDC_SERVER_MODE, IDC_CLIENT_GROUP,
               IDC_CLIENT_MODE, IDC_PASSWORD_REQUIRED, IDC_DISCONNECT_CONDITION_LABEL,
               IDC_DISCONNECT_CONDITION, IDC_FLUSH};
const Ids kServer{IDC_SERVER_CONDITION_LABEL, IDC_SERVER_CONDITION};
const Ids kClient{IDC_CLIENT_CONDITION_LABEL, IDC_CLIENT_CONDITION, IDC_CLIENT_ADDRESS_LABEL,
                  IDC_CLIENT_ADDRESS, IDC_CLIENT_PORT_LABEL, IDC_CLIENT_PORT};
const Ids kClientChar{IDC_CLIENT_CHAR_LABEL, IDC_CLIENT_CHAR};
const Ids kPassword{IDC_LAN_PASSWORD};
const Ids kIdle{IDC_IDLE_TIME_LABEL, IDC_IDLE_TIME, IDC_IDLE_TIME_RANGE};
const Ids kDisconnectChar{IDC_DISCONNECT_CHAR_LABEL, IDC_DISCONNECT_CHAR};
// clang-format on

TEST(LanPage, EnableRules) {
  using test::Union;
  struct Row {
    int protocol;
    bool clientMode, reduced;
    int clientCondition;
    bool password;
    int disconnect;
    Ids enabled;
  } rows[] = {
      // clang-format off
      {kUdpItem, true, false, 3, true, 1, Union({kUdp, kReceive})},
      {kUdpItem, false, false, 0, true, 2, Union({kUdp, kReceive})},
      {kTcpItem, false, false, 3, false, 0, Union({kReceive, kTcp, kServer})},
      {kTcpItem, false, false, 3, true, 3, Union({kReceive, kTcp, kServer, kPassword})},
      {kTcpItem, true, false, 3, true, 1, Union({kTcp, kClient, kClientChar, kPassword, kIdle})},
      {kTcpItem, true, true, 2, false, 2, Union({kTcp, kClient, kClientChar, kDisconnectChar})},
      {kTcpItem, true, false, 2, false, 0, Union({kTcp, kClient})},
      {kTcpItem, true, true, 1, false, 0, Union({kTcp, kClient})},
      // clang-format on
  };
  for (const Row& row : rows) {
    LanPageState state;
    state.reduced = row.reduced;
    state.protocol = row.protocol;
    state.clientMode = row.clientMode;
    state.clientCondition = row.clientCondition;
    state.passwordRequired = row.password;
    state.disconnectCondition = row.disconnect;
    EXPECT_EQ(test::EnabledIds(LanPageEnabled(state)), row.enabled) << "row " << &row - rows;
  }
}

// Clicks one after the other on one page: the radio buttons, the password box and the protocol.
TEST(LanPage, ClicksSetTheModeCodesAndShowEachModesOwnPasswordFlag) {
  enum Action { kToClient, kToServer, kPasswordBox, kToTcp, kToUdp };
  struct Step {
    Action action;
    int item;  // the mode's selected condition, or 1101's new check
    bool reduced;
    int serverCode, clientCode;
    bool clientMode, passwordRequired;
  } steps[] = {
      // clang-format off
      {kToClient, 2, false, 0, 4, true, false},  {kPasswordBox, 1, false, 0, 4, true, true},
      {kToServer, 1, false, 2, 0, false, false}, {kPasswordBox, 1, false, 2, 0, false, true},
      {kToClient, 3, false, 0, 5, true, true},   {kToUdp, 0, false, 0, 5, true, true},
      {kToServer, 0, false, 1, 0, false, true},  {kToClient, -1, false, 0, 0, true, true},
      {kToTcp, 0, false, 0, 0, false, true},     {kToClient, 0, true, 0, 1, true, true},
      {kToClient, 1, true, 0, 4, true, true},    {kToClient, 2, true, 0, 5, true, true},
      // clang-format on
  };
  LanPageState state = Filled({{SettingKey::SMODE1, "2"}}, 2);
  for (const Step& step : steps) {
    state.reduced = step.reduced;
    if (step.action == kToClient || step.action == kToServer) {
      state.clientMode = step.action == kToClient;
      (state.clientMode ? state.clientCondition : state.serverCondition) = step.item;
      OnModeClicked(state);
    } else if (step.action == kPasswordBox) {
      state.passwordRequired = step.item != 0;
      OnPasswordRequiredClicked(state);
    } else {
      state.protocol = step.action == kToTcp ? kTcpItem : kUdpItem;
      OnProtocolChanged(state);
    }
    EXPECT_EQ(std::tuple(state.connection.serverCode, state.connection.clientCode, state.clientMode,
                         state.passwordRequired),
              std::tuple(step.serverCode, step.clientCode, step.clientMode, step.passwordRequired))
        << "step " << &step - steps;
  }
}

}  // namespace
}  // namespace calbrin
