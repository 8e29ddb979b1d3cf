// The pages' enable and click rules, and what a fill shows beside the values, without windows.
// What each stored value shows and collects is the round trip of collect_settings_test.
#include <gtest/gtest.h>

#include <set>

#include "pages/lan_page_state.h"
#include "pages/network_page_state.h"
#include "pages/serial_page_state.h"
#include "settings/settings_record.h"

namespace calbrin {
namespace {

using Ids = std::set<int>;

// clang-format off
// The enabled controls among `states`; a control reported twice fails the test.
Ids EnabledIds(const EnabledStates& states) {
  Ids seen, enabled;
  for (const auto& [id, on] : states) {
    EXPECT_TRUE(seen.insert(id).second) << "control " << id << " reported twice";
    if (on) enabled.insert(id);
  }
  return enabled;
}

Ids Union(std::initializer_list<Ids> groups) {
  Ids all;
  for (const Ids& group : groups) all.insert(group.begin(), group.end());
  return all;
}

TEST(NetworkPage, FillSetsChecksRadiosAndRules) {
  const Ids address{IDC_IP_LABEL, IDC_IP, IDC_SUBNET_MASK_LABEL, IDC_SUBNET_MASK, IDC_GATEWAY_LABEL, IDC_GATEWAY};
  const Ids ethernet{IDC_SPEED_LABEL, IDC_SPEED_10M, IDC_SPEED_100M, IDC_DUPLEX_LABEL, IDC_HALF_DUPLEX, IDC_FULL_DUPLEX};
  const Ids password{IDC_NEW_PASSWORD_LABEL, IDC_NEW_PASSWORD, IDC_NEW_PASSWORD_AGAIN_LABEL, IDC_NEW_PASSWORD_AGAIN};
  struct Row { const char *address, *negotiation; bool autoAddress, autoNegotiation, speed100,
               fullDuplex; } rows[] = {
      {"0.0.0.0", "0", true, false, false, false}, {"10.0.0.1", "1", false, false, false, true},
      {"", "2", false, false, true, false},        {"0.0.0.0 ", "3", false, false, true, true},
      {"0.0.0", "7", false, true, false, false},   {"1.2.3.4", "-1", false, true, false, false},
  };
  for (const Row& row : rows) {
    SettingsRecord record;
    SetField(record, SettingKey::IP, row.address);
    SetField(record, SettingKey::NEGOS, row.negotiation);
    NetworkPageState state;
    state.changePassword = true;
    state.newPassword = state.newPasswordAgain = "x";
    FillNetworkPage(record, state);
    EXPECT_EQ(std::tuple(state.autoAddress, state.autoNegotiation, state.speed100Checked,
                         state.speed100, state.fullDuplexChecked, state.fullDuplex),
              std::tuple(row.autoAddress, row.autoNegotiation, row.speed100, row.speed100,
                         row.fullDuplex, row.fullDuplex)) << row.address << " " << row.negotiation;
    EXPECT_TRUE(!state.changePassword && state.newPassword.empty() && state.newPasswordAgain.empty());
    const Ids ruled = Union({row.autoAddress ? Ids{} : address, row.autoNegotiation ? Ids{} : ethernet});
    const Ids unchanged = EnabledIds(NetworkPageEnabled(state));
    state.changePassword = true;
    EXPECT_EQ(std::pair(unchanged, EnabledIds(NetworkPageEnabled(state))), std::pair(ruled, Union({ruled, password})));
  }
}

TEST(NetworkPage, AutoNegotiationBringsBackTheLastExplicitChoice) {
  SettingsRecord record;
  SetField(record, SettingKey::NEGOS, "2");
  NetworkPageState state;
  FillNetworkPage(record, state);
  const auto click = [&](bool autoNegotiation) {
    state.autoNegotiation = autoNegotiation;
    OnAutoNegotiationClicked(state);
    return std::pair(state.speed100Checked, state.fullDuplexChecked);
  };
  EXPECT_EQ(std::pair(click(true), click(false)), std::pair(std::pair(true, false), std::pair(true, false)));
  state.speed100Checked = false;
  state.fullDuplexChecked = true;
  OnSpeedOrDuplexClicked(state);
  state.speed100Checked = true;  // shown but not clicked: not remembered
  EXPECT_EQ(std::pair(click(true), click(false)), std::pair(std::pair(false, true), std::pair(false, true)));
}

const Ids kUdp{IDC_UDP_GROUP, IDC_UDP_CAPTION, IDC_UDP_ADDRESS_LABEL, IDC_UDP_ADDRESS, IDC_UDP_PORT_LABEL, IDC_UDP_PORT};
const Ids kReceive{IDC_RECEIVE_PORT_LABEL, IDC_RECEIVE_PORT}, kServer{IDC_SERVER_CONDITION_LABEL, IDC_SERVER_CONDITION};
const Ids kTcp{IDC_TCP_GROUP, IDC_TCP_CAPTION, IDC_SERVER_GROUP, IDC_SERVER_MODE, IDC_CLIENT_GROUP,
               IDC_CLIENT_MODE, IDC_PASSWORD_REQUIRED, IDC_DISCONNECT_CONDITION_LABEL,
               IDC_DISCONNECT_CONDITION, IDC_FLUSH};
const Ids kClient{IDC_CLIENT_CONDITION_LABEL, IDC_CLIENT_CONDITION, IDC_CLIENT_ADDRESS_LABEL, IDC_CLIENT_ADDRESS,
                  IDC_CLIENT_PORT_LABEL, IDC_CLIENT_PORT};
const Ids kClientChar{IDC_CLIENT_CHAR_LABEL, IDC_CLIENT_CHAR}, kPassword{IDC_LAN_PASSWORD};
const Ids kIdle{IDC_IDLE_TIME_LABEL, IDC_IDLE_TIME, IDC_IDLE_TIME_RANGE};
const Ids kDisconnectChar{IDC_DISCONNECT_CHAR_LABEL, IDC_DISCONNECT_CHAR};

TEST(LanPage, EnableRules) {
  struct Row { int protocol; bool clientMode, reduced; int clientCondition; bool password;
               int disconnect; Ids enabled; } rows[] = {
      {kUdpItem, true, false, 3, true, 1, Union({kUdp, kReceive})},
      {kUdpItem, false, false, 0, true, 2, Union({kUdp, kReceive})},
      {kTcpItem, false, false, 3, false, 0, Union({kReceive, kTcp, kServer})},
      {kTcpItem, false, false, 3, true, 3, Union({kReceive, kTcp, kServer, kPassword})},
      {kTcpItem, true, false, 3, true, 1, Union({kTcp, kClient, kClientChar, kPassword, kIdle})},
      {kTcpItem, true, true, 2, false, 2, Union({kTcp, kClient, kClientChar, kDisconnectChar})},
      {kTcpItem, true, false, 2, false, 0, Union({kTcp, kClient})},
      {kTcpItem, true, true, 1, false, 0, Union({kTcp, kClient})},
  };
  for (const Row& row : rows) {
    LanPageState state;
    std::tie(state.reduced, state.protocol, state.clientMode, state.clientCondition, state.passwordRequired,
             state.disconnectCondition) =
        std::tuple(row.reduced, row.protocol, row.clientMode, row.clientCondition, row.password, row.disconnect);
    EXPECT_EQ(EnabledIds(LanPageEnabled(state)), row.enabled) << "row " << &row - rows;
  }
}

// Clicks one after the other on one page: the radio buttons, the password box and the protocol.
TEST(LanPage, ClicksSetTheModeCodesAndShowEachModesOwnPasswordFlag) {
  enum Action { kNothing, kToClient, kToServer, kPasswordBox, kToTcp, kToUdp };
  struct Step { Action action; int item; bool reduced; int serverCode, clientCode;
                bool clientMode, passwordRequired; } steps[] = {
      // item: the mode's selected condition, or 1101's new check
      {kNothing, 0, false, 0, 5, true, false}, {kToClient, 2, false, 0, 4, true, false}, {kPasswordBox, 1, false, 0, 4, true, true},
      {kToServer, 1, false, 2, 0, false, true}, {kPasswordBox, 0, false, 2, 0, false, false}, {kToClient, 3, false, 0, 5, true, true},
      {kToUdp, 0, false, 0, 5, true, true}, {kToServer, 0, false, 1, 0, false, false}, {kToClient, -1, false, 0, 0, true, true},
      {kToTcp, 0, false, 0, 0, false, true}, {kToClient, 0, true, 0, 1, true, true}, {kToClient, 1, true, 0, 4, true, true},
      {kToClient, 2, true, 0, 5, true, true}, {kToUdp, 0, true, 0, 5, true, true}, {kToTcp, 0, true, 0, 5, true, true},
  };
  // Filled in client mode with only the server's password flag set: the box shows the client's.
  SettingsRecord record;
  for (const auto& [key, value] : {std::pair{SettingKey::SMODE2, "-1"}, {SettingKey::CMODE2, "5"},
       {SettingKey::SPASS2, "1"}, {SettingKey::CPASS2, "2"}})
    SetField(record, key, value);
  LanPageState state;
  state.channel = 2;
  FillLanPage(record, state);
  for (const Step& step : steps) {
    state.reduced = step.reduced;
    if (step.action == kNothing) {
    } else if (step.action == kToClient || step.action == kToServer) {
      state.clientMode = step.action == kToClient;
      (state.clientMode ? state.clientCondition : state.serverCondition) = step.item;
      OnModeClicked(state);
    } else if (step.action == kPasswordBox) {
      state.passwordRequired = step.item != 0;
      OnPasswordRequiredClicked(state);
    } else {
      state.protocol = step.action == kToTcp ? kTcpItem : kUdpItem;
      // Back in TCP the radio buttons follow the codes, whatever they showed before.
      if (step.action == kToTcp) state.clientMode = !step.clientMode;
      OnProtocolChanged(state);
    }
    EXPECT_EQ(std::tuple(state.connection.serverCode, state.connection.clientCode, state.clientMode, state.passwordRequired),
              std::tuple(step.serverCode, step.clientCode, step.clientMode, step.passwordRequired)) << "step " << &step - steps;
  }
}

TEST(SerialPage, EnableRules) {
  const Ids xonXoff{IDC_XON_LABEL, IDC_XON, IDC_XOFF_LABEL, IDC_XOFF};
  const Ids packing{IDC_PACKING_TIME_LABEL, IDC_PACKING_TIME, IDC_PACKING_TIME_RANGE, IDC_DATA_COUNT,
                    IDC_SPECIFIED_CHAR};
  const Ids dataCount{IDC_DATA_COUNT_VALUE, IDC_DATA_COUNT_RANGE}, second{IDC_CHAR_2_LABEL, IDC_CHAR_2};
  const Ids specified{IDC_CHAR_COUNT, IDC_CHAR_COUNT_LABEL, IDC_CHAR_1_LABEL, IDC_CHAR_1,
                      IDC_TRAILING_COUNT_LABEL, IDC_TRAILING_COUNT};
  struct Row { bool reduced; int flow; bool packing, dataCount, specified; int characterCount;
               Ids enabled; } rows[] = {
      {false, 2, false, true, true, 1, xonXoff},
      {false, 1, true, false, true, 1, Union({packing, specified, second})},
      {true, 1, true, true, true, 0, Union({xonXoff, packing, dataCount, specified})},
      {true, 0, true, true, false, 1, Union({packing, dataCount})},
      {false, 0, true, false, false, 0, packing},
      {true, 2, false, false, false, 0, xonXoff},
  };
  for (const Row& row : rows) {
    SerialPageState state;
    state.variant = {2, row.reduced};
    std::tie(state.flow, state.packing, state.dataCount, state.specifiedCharacter, state.characterCount) =
        std::tuple(row.flow, row.packing, row.dataCount, row.specified, row.characterCount);
    EXPECT_EQ(EnabledIds(SerialPageEnabled(state)), row.enabled) << "row " << &row - rows;
  }
  EXPECT_EQ(std::tuple(SerialPortVariant{2, true}.DriverControlShown(), SerialPortVariant{2, false}.DriverControlShown(),
                       SerialPortVariant{1, true}.DriverControlShown()), std::tuple(true, false, false));
}
// clang-format on

}  // namespace
}  // namespace calbrin
