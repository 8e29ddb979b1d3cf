// The LAN port page's lists, record mapping and rules.
#include "pages/lan_page_state.h"

#include <array>

#include "settings/password_scrambling.h"
#include "pages/edit_rules.h"
#include "resources/resource.h"
#include "settings/settings_record.h"

namespace calbrin {
namespace {

constexpr std::array<const char*, 2> kProtocols{"TCP", "UDP"};
constexpr std::array<const char*, 2> kServerConditions{"常時", "DSRアクティブ"};
constexpr std::array<const char*, 1> kReducedServerConditions{"常時"};
constexpr std::array<const char*, 4> kClientConditions{"常時", "DSRアクティブ", "任意のキャラクタ",
                                                       "指定キャラクタ"};
constexpr std::array<const char*, 3> kReducedClientConditions{"常時", "任意のキャラクタ",
                                                              "指定キャラクタ"};
constexpr std::array<const char*, 4> kDisconnectConditions{"無効", "無通信時間", "指定キャラクタ",
                                                           "DSRノンアクティブ"};
constexpr std::array<const char*, 3> kReducedDisconnectConditions{"無効", "無通信時間",
                                                                  "指定キャラクタ"};

// Client condition codes by list item; code 3 is never offered, and channel 2 of a QV-57R has no
// DSR condition.
constexpr std::array kClientCodes{1, 2, 4, 5};
constexpr std::array kReducedClientCodes{1, 4, 5};

std::span<const int> ClientCodes(bool reduced) {
  if (reduced) return kReducedClientCodes;
  return kClientCodes;
}

long long Number(const SettingsRecord& record, SettingKey channelOneKey, int channel) {
  return ReadDecimalNumber(ReadField(record, ChannelKey(channelOneKey, channel)));
}

std::string Text(const SettingsRecord& record, SettingKey channelOneKey, int channel) {
  return std::string(ReadField(record, ChannelKey(channelOneKey, channel)));
}

int AcceptedServerCode(long long code, bool reduced) {
  return code == 1 || (code == 2 && !reduced) ? static_cast<int>(code) : 0;
}

int AcceptedClientCode(long long code, bool reduced) {
  for (const int accepted : ClientCodes(reduced)) {
    if (accepted == code) return accepted;
  }
  return 0;
}

bool ShowsClientMode(const LanConnectionState& connection) {
  return connection.serverCode == 0 && connection.clientCode != 0;
}

bool ModePassword(const LanPageState& state) {
  return state.clientMode ? state.connection.clientPassword : state.connection.serverPassword;
}

}  // namespace

ChoiceItems ProtocolItems() {
  return kProtocols;
}

ChoiceItems ServerConditionItems(bool reduced) {
  if (reduced) return kReducedServerConditions;
  return kServerConditions;
}

ChoiceItems ClientConditionItems(bool reduced) {
  if (reduced) return kReducedClientConditions;
  return kClientConditions;
}

ChoiceItems DisconnectConditionItems(bool reduced) {
  if (reduced) return kReducedDisconnectConditions;
  return kDisconnectConditions;
}

int ServerItemOfCode(long long code, bool reduced) {
  // 0 (server mode off) and 1 both show "常時".
  return code == 2 && !reduced ? 1 : 0;
}

int ClientItemOfCode(long long code, bool reduced) {
  const std::span<const int> codes = ClientCodes(reduced);
  for (std::size_t item = 0; item < codes.size(); ++item) {
    if (codes[item] == code) return static_cast<int>(item);
  }
  return 0;
}

int DisconnectItemOfCode(long long code, bool reduced) {
  const int items = static_cast<int>(DisconnectConditionItems(reduced).size());
  return code >= 0 && code < items ? static_cast<int>(code) : 0;
}

int ClientCodeOfItem(int item, bool reduced) {
  const std::span<const int> codes = ClientCodes(reduced);
  if (item < 0 || item >= static_cast<int>(codes.size())) return 0;
  return codes[static_cast<std::size_t>(item)];
}

int ClientSpecifiedCharacterItem(bool reduced) {
  return ClientItemOfCode(5, reduced);
}

void FillLanPage(const SettingsRecord& record, LanPageState& state) {
  const int channel = state.channel;
  const bool reduced = state.reduced;
  LanConnectionState& connection = state.connection;

  state.protocol = Number(record, SettingKey::PRT1, channel) == 1 ? kUdpItem : kTcpItem;
  state.receivePort = Text(record, SettingKey::PORT1, channel);

  // A code that the list cannot show is loaded as 0: the mode is off.
  connection.serverCode = AcceptedServerCode(Number(record, SettingKey::SMODE1, channel), reduced);
  state.serverCondition = ServerItemOfCode(connection.serverCode, reduced);

  // The UDP destination and the TCP client's connect-to address are one setting shown twice.
  state.udpAddress = Text(record, SettingKey::HIP1, channel);
  state.udpPort = Text(record, SettingKey::HPORT1, channel);
  state.clientAddress = state.udpAddress;
  state.clientPort = state.udpPort;

  connection.clientCode = AcceptedClientCode(Number(record, SettingKey::CMODE1, channel), reduced);
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
