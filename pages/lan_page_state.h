// The LAN port pages ("LAN(1)", "LAN(2)") without their windows: the choice lists, how the
// condition codes map to list items, how a settings record fills the controls, and the rules.
#pragma once

#include <string>

#include "pages/control_states.h"
#include "pages/page_fields.h"

namespace calbrin {

struct SettingsRecord;

// Items of the protocol list.
inline constexpr int kTcpItem = 0;
inline constexpr int kUdpItem = 1;
// Items of the disconnection list that bring their own edit.
inline constexpr int kIdleTimeItem = 1;
inline constexpr int kDisconnectCharacterItem = 2;

// The lists of one page, from the field table. Channel 2 of a QV-57R offers fewer conditions; the
// choice is made when the page is created.
ChoiceItems ProtocolItems();
ChoiceItems ServerConditionItems(bool reduced);
ChoiceItems ClientConditionItems(bool reduced);
ChoiceItems DisconnectConditionItems(bool reduced);

// Condition codes and list items. A code the list cannot show is taken as 0, which shows item 0.
int ServerItemOfCode(long long code, bool reduced);
int ClientItemOfCode(long long code, bool reduced);
int DisconnectItemOfCode(long long code, bool reduced);
// The client condition code that a list item stands for; 0 for no item.
int ClientCodeOfItem(int item, bool reduced);
// The item of the client list that is "指定キャラクタ".
int ClientSpecifiedCharacterItem(bool reduced);

// The mode codes of a channel and the password flag of each mode, kept beside the controls.
struct LanConnectionState {
  int serverCode = 0;
  int clientCode = 0;
  bool serverPassword = false;
  bool clientPassword = false;
};

struct LanPageState {
  // Fixed when the page is created.
  int channel = 1;
  bool reduced = false;

  // Controls.
  int protocol = kTcpItem;          // 1023
  std::string receivePort;          // 1024
  std::string udpAddress;           // 1007
  std::string udpPort;              // 1025
  bool clientMode = false;          // 1099 checked; 1098 (server mode) otherwise
  int serverCondition = 0;          // 1026
  int clientCondition = 0;          // 1027
  std::string clientCharacter;      // 1086
  std::string clientAddress;        // 1028
  std::string clientPort;           // 1029
  bool passwordRequired = false;    // 1101
  std::string password;             // 1030
  int disconnectCondition = 0;      // 1031
  std::string idleTime;             // 1032
  std::string disconnectCharacter;  // 1033
  bool flush = false;               // 1034

  LanConnectionState connection;
};

// Loads every control and the connection state from the keys of the page's channel.
void FillLanPage(const SettingsRecord& record, LanPageState& state);

// 1023 selection changed.
void OnProtocolChanged(LanPageState& state);
// 1098 or 1099 clicked.
void OnModeClicked(LanPageState& state);
// 1101 clicked.
void OnPasswordRequiredClicked(LanPageState& state);

EnabledStates LanPageEnabled(const LanPageState& state);

}  // namespace calbrin
