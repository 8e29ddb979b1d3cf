// The network page ("共通") without its windows: what its controls show, how a settings record
// fills them, and the enable and click rules.
#pragma once

#include <string>

#include "pages/control_states.h"

namespace calbrin {

struct SettingsRecord;

struct NetworkPageState {
  // Controls.
  std::string address;             // 1006
  std::string subnetMask;          // 1008
  std::string gateway;             // 1009
  bool autoAddress = false;        // 1014
  bool autoNegotiation = false;    // 1015
  bool speed100Checked = false;    // 1017 checked; 1016 (10M) otherwise
  bool fullDuplexChecked = false;  // 1019 checked; 1018 (half duplex) otherwise
  std::string mss;                 // 1020
  std::string keepAlive;           // 1021
  bool changePassword = false;     // 1022
  std::string newPassword;         // 1012
  std::string newPasswordAgain;    // 1013

  // The last explicit speed and duplex choice, brought back when auto-negotiation is unchecked.
  bool speed100 = false;
  bool fullDuplex = false;
};

// Loads every control and both remembered choices from `record`.
void FillNetworkPage(const SettingsRecord& record, NetworkPageState& state);

// 1015 clicked: the radio buttons show the remembered choice.
void OnAutoNegotiationClicked(NetworkPageState& state);
// A speed or duplex radio button clicked: the choice is remembered.
void OnSpeedOrDuplexClicked(NetworkPageState& state);

// The address, Ethernet and password rules.
EnabledStates NetworkPageEnabled(const NetworkPageState& state);

}  // namespace calbrin
