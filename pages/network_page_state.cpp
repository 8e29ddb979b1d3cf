// The network page's record mapping and rules.
#include "pages/network_page_state.h"

#include <array>

#include "resources/resource.h"
#include "settings/settings_record.h"

namespace calbrin {

void FillNetworkPage(const SettingsRecord& record, NetworkPageState& state) {
  state.address = ReadField(record, SettingKey::IP);
  state.subnetMask = ReadField(record, SettingKey::SUBM);
  state.gateway = ReadField(record, SettingKey::GWAY);
  state.autoAddress = state.address == "0.0.0.0";

  // "0" to "3" are fixed speed and duplex pairs; the device reports auto-negotiation as "7", and
  // anything else is shown as auto-negotiation too.
  const std::string_view negotiation = ReadField(record, SettingKey::NEGOS);
  const bool fixed = negotiation.size() == 1 && negotiation[0] >= '0' && negotiation[0] <= '3';
  const int code = fixed ? negotiation[0] - '0' : 0;
  state.autoNegotiation = !fixed;
  state.speed100 = (code & 2) != 0;
  state.fullDuplex = (code & 1) != 0;
  state.speed100Checked = state.speed100;
  state.fullDuplexChecked = state.fullDuplex;

  state.mss = ReadField(record, SettingKey::MSS);
  state.keepAlive = ReadField(record, SettingKey::KEEP_A);

  // The device's password is never shown; a new one is typed only when the user asks for it.
  state.changePassword = false;
  state.newPassword.clear();
  state.newPasswordAgain.clear();
}

void OnAutoNegotiationClicked(NetworkPageState& state) {
  state.speed100Checked = state.speed100;
  state.fullDuplexChecked = state.fullDuplex;
}

void OnSpeedOrDuplexClicked(NetworkPageState& state) {
  state.speed100 = state.speed100Checked;
  state.fullDuplex = state.fullDuplexChecked;
}

EnabledStates NetworkPageEnabled(const NetworkPageState& state) {
  static constexpr std::array kAddressControls{
      IDC_IP_LABEL, IDC_IP, IDC_SUBNET_MASK_LABEL, IDC_SUBNET_MASK, IDC_GATEWAY_LABEL, IDC_GATEWAY};
  static constexpr std::array kEthernetControls{IDC_SPEED_LABEL,  IDC_SPEED_10M,   IDC_SPEED_100M,
                                                IDC_DUPLEX_LABEL, IDC_HALF_DUPLEX, IDC_FULL_DUPLEX};
  static constexpr std::array kPasswordControls{IDC_NEW_PASSWORD_LABEL, IDC_NEW_PASSWORD,
                                                IDC_NEW_PASSWORD_AGAIN_LABEL,
                                                IDC_NEW_PASSWORD_AGAIN};
  EnabledStates states;
  SetEnabled(states, kAddressControls, !state.autoAddress);
  SetEnabled(states, kEthernetControls, !state.autoNegotiation);
  SetEnabled(states, kPasswordControls, state.changePassword);
  return states;
}

}  // namespace calbrin
