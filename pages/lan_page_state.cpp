// The LAN port page's lists, record mapping and rules.
#include "pages/lan_page_state.h"

#include <array>

#include "pages/edit_rules.h"
#include "pages/page_fields.h"
#include "resources/resource.h"
#include "settings/password_scrambling.h"
#include "settings/settings_record.h"

namespace calbrin {
namespace {

const PageField& Field(int control) {
  return PageFieldOf(PageKind::kLan, control);
}

long long Number(const SettingsRecord& record, SettingKey channelOneKey, int channel) {
  return ReadDecimalNumber(ReadField(record, ChannelKey(channelOneKey, channel)));
}

std::string Text(const SettingsRecord& record, SettingKey channelOneKey, int channel) {
  return std::string(ReadField(record, ChannelKey(channelOneKey, channel)));
}

// A mode code that the page's list offers, or 0: a code the list cannot show turns the mode off.
int AcceptedCode(int control, long long code, bool reduced) {
  return ItemReading(Field(control), reduced, code) ? static_cast<int>(code) : 0;
}

bool ShowsClientMode(const LanConnectionState& connection) {
  return connection.serverCode == 0 && connection.clientCode != 0;
}

bool ModePassword(const LanPageState& state) {
  return state.clientMode ? state.connection.clientPassword : state.connection.serverPassword;
}

}  // namespace

ChoiceItems ProtocolItems() {
  return ItemTexts(Field(IDC_PROTOCOL), false);
}

ChoiceItems ServerConditionItems(bool reduced) {
  return ItemTexts(Field(IDC_SERVER_CONDITION), reduced);
}

ChoiceItems ClientConditionItems(bool reduced) {
  return ItemTexts(Field(IDC_CLIENT_CONDITION), reduced);
}

ChoiceItems DisconnectConditionItems(bool reduced) {
  return ItemTexts(Field(IDC_DISCONNECT_CONDITION), reduced);
}

int ServerItemOfCode(long long code, bool reduced) {
  // 0 (server mode off) shows "常時" like 1.
  return ItemShowing(Field(IDC_SERVER_CONDITION), reduced, code);
}

int ClientItemOfCode(long long code, bool reduced) {
  return ItemShowing(Field(IDC_CLIENT_CONDITION), reduced, code);
}

int DisconnectItemOfCode(long long code, bool reduced) {
  return ItemShowing(Field(IDC_DISCONNECT_CONDITION), reduced, code);
}

int ClientCodeOfItem(int item, bool reduced) {
  return static_cast<int>(
      ReadDecimalNumber(CodeOfItem(Field(IDC_CLIENT_CONDITION), reduced, item)));
}

int ClientSpecifiedCharacterItem(bool reduced) {
  return ClientItemOfCode(5, reduced);
}

void FillLanPage(const SettingsRecord& record, LanPageState& state) {
  const int channel = state.channel;
  const bool reduced = state.reduced;
  LanConnectionState& connection = state.connection;

  state.protocol =
      ItemShowing(Field(IDC_PROTOCOL), false, Number(record, SettingKey::PRT1, channel));
  state.receivePort = Text(record, SettingKey::PORT1, channel);

  // A code that the list cannot show is loaded as 0: the mode is off.
  connection.serverCode =
      AcceptedCode(IDC_SERVER_CONDITION, Number(record, SettingKey::SMODE1, channel), reduced);
  state.serverCondition = ServerItemOfCode(connection.serverCode, reduced);

  // The UDP destination and the TCP client's connect-to address are one setting shown twice.
  state.udpAddress = Text(record, SettingKey::HIP1, channel);
  state.udpPort = Text(record, SettingKey::HPORT1, channel);
  state.clientAddress = state.udpAddress;
  state.clientPort = state.udpPort;

  connection.clientCode =
      AcceptedCode(IDC_CLIENT_CONDITION, Number(record, SettingKey::CMODE1, channel), reduced);
  state.clientCondition = ClientItemOfCode(connection.clientCode, reduced);
  state.clientMode = ShowsClientMode(connection);

  state.clientCharacter = HexCharacterText(Number(record, SettingKey::CCHAR1, channel));
  connection.serverPassword = Number(record, SettingKey::SPASS1, channel) == 1;
  connection.clientPassword = Number(record, SettingKey::CPASS1, channel) == 1;
  state.passwordRequired = ModePassword(state);

  state.disconnectCondition =
      DisconnectItemOfCode(Number(record, SettingKey::DMODE1, channel), reduced);
  state.idleTime = Text(record, SettingKey::DTIME1, channel);
  state.disconnectCharacter = HexCharacterText(Number(record, SettingKey::DCHAR1, channel));

  // A stored password that does not decode shows as no password.
  std::string password;
  if (UnscramblePassword(ReadField(record, ChannelKey(SettingKey::PASS1, channel)), password) <= 0)
    password.clear();
  state.password = password;

  state.flush = Number(record, SettingKey::FLUSH1, channel) == 1;
}

void OnProtocolChanged(LanPageState& state) {
  if (state.protocol == kTcpItem) state.clientMode = ShowsClientMode(state.connection);
}

void OnModeClicked(LanPageState& state) {
  LanConnectionState& connection = state.connection;
  if (state.clientMode) {
    connection.clientCode = ClientCodeOfItem(state.clientCondition, state.reduced);
    connection.serverCode = 0;
  } else {
    connection.serverCode = state.serverCondition + 1;
    connection.clientCode = 0;
  }
  state.passwordRequired = ModePassword(state);
}

void OnPasswordRequiredClicked(LanPageState& state) {
  (state.clientMode ? state.connection.clientPassword : state.connection.serverPassword) =
      state.passwordRequired;
}

EnabledStates LanPageEnabled(const LanPageState& state) {
  static constexpr std::array kUdpGroup{IDC_UDP_GROUP,   IDC_UDP_CAPTION,    IDC_UDP_ADDRESS_LABEL,
                                        IDC_UDP_ADDRESS, IDC_UDP_PORT_LABEL, IDC_UDP_PORT};
  static constexpr std::array kReceivePort{IDC_RECEIVE_PORT_LABEL, IDC_RECEIVE_PORT};
  static constexpr std::array kTcpFrame{IDC_TCP_GROUP,
                                        IDC_TCP_CAPTION,
                                        IDC_SERVER_GROUP,
                                        IDC_SERVER_MODE,
                                        IDC_CLIENT_GROUP,
                                        IDC_CLIENT_MODE,
                                        IDC_PASSWORD_REQUIRED,
                                        IDC_DISCONNECT_CONDITION_LABEL,
                                        IDC_DISCONNECT_CONDITION,
                                        IDC_FLUSH};
  static constexpr std::array kServerCondition{IDC_SERVER_CONDITION_LABEL, IDC_SERVER_CONDITION};
  static constexpr std::array kClientGroup{IDC_CLIENT_CONDITION_LABEL, IDC_CLIENT_CONDITION,
                                           IDC_CLIENT_ADDRESS_LABEL,   IDC_CLIENT_ADDRESS,
                                           IDC_CLIENT_PORT_LABEL,      IDC_CLIENT_PORT};
  static constexpr std::array kClientCharacter{IDC_CLIENT_CHAR_LABEL, IDC_CLIENT_CHAR};
  static constexpr std::array kPassword{IDC_LAN_PASSWORD};
  static constexpr std::array kIdleTime{IDC_IDLE_TIME_LABEL, IDC_IDLE_TIME, IDC_IDLE_TIME_RANGE};
  static constexpr std::array kDisconnectCharacter{IDC_DISCONNECT_CHAR_LABEL, IDC_DISCONNECT_CHAR};

  const bool udp = state.protocol == kUdpItem;
  const bool tcp = !udp;
  const bool server = tcp && !state.clientMode;
  const bool client = tcp && state.clientMode;
  EnabledStates states;
  SetEnabled(states, kUdpGroup, udp);
  SetEnabled(states, kReceivePort, udp || server);
  SetEnabled(states, kTcpFrame, tcp);
  SetEnabled(states, kServerCondition, server);
  SetEnabled(states, kClientGroup, client);
  SetEnabled(states, kClientCharacter,
             client && state.clientCondition == ClientSpecifiedCharacterItem(state.reduced));
  SetEnabled(states, kPassword, tcp && state.passwordRequired);
  SetEnabled(states, kIdleTime, tcp && state.disconnectCondition == kIdleTimeItem);
  SetEnabled(states, kDisconnectCharacter,
             tcp && state.disconnectCondition == kDisconnectCharacterItem);
  return states;
}

}  // namespace calbrin
