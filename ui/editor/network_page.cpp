// NetworkPage: the device-wide settings on their controls.
#include "ui/editor/network_page.h"

#include "resources/resource.h"
#include "settings/password_scrambling.h"
#include "ui/controls/dialog_controls.h"

namespace calbrin {
namespace {

// Enough for any text these edits can hold; their own limits are far lower.
constexpr int kTextRead = 64;

}  // namespace

void NetworkPage::Fill(const SettingsRecord& record) {
  FillNetworkPage(record, state_);
  Show(state_);
}

NetworkPageState NetworkPage::Read() const {
  HWND page = Window();
  NetworkPageState state = state_;
  state.address = AddressControlText(GetDlgItem(page, IDC_IP));
  state.subnetMask = AddressControlText(GetDlgItem(page, IDC_SUBNET_MASK));
  state.gateway = AddressControlText(GetDlgItem(page, IDC_GATEWAY));
  state.autoAddress = IsChecked(page, IDC_AUTO_ADDRESS);
  state.autoNegotiation = IsChecked(page, IDC_AUTO_NEGOTIATION);
  state.speed100Checked = !IsChecked(page, IDC_SPEED_10M);
  state.fullDuplexChecked = !IsChecked(page, IDC_HALF_DUPLEX);
  state.mss = ControlText(page, IDC_MSS, kTextRead);
  state.keepAlive = ControlText(page, IDC_KEEP_ALIVE, kTextRead);
  state.changePassword = IsChecked(page, IDC_CHANGE_PASSWORD);
  state.newPassword = ControlText(page, IDC_NEW_PASSWORD, kMaxPasswordLength);
  state.newPasswordAgain = ControlText(page, IDC_NEW_PASSWORD_AGAIN, kMaxPasswordLength);
  return state;
}

void NetworkPage::Show(const NetworkPageState& state) {
  HWND page = Window();
  SetAddressControlText(GetDlgItem(page, IDC_IP), state.address);
  SetAddressControlText(GetDlgItem(page, IDC_SUBNET_MASK), state.subnetMask);
  SetAddressControlText(GetDlgItem(page, IDC_GATEWAY), state.gateway);
  SetControlText(page, IDC_MSS, state.mss);
  SetControlText(page, IDC_KEEP_ALIVE, state.keepAlive);
  SetControlText(page, IDC_NEW_PASSWORD, state.newPassword);
  SetControlText(page, IDC_NEW_PASSWORD_AGAIN, state.newPasswordAgain);
  ShowChoices();
}

void NetworkPage::ShowChoices() {
  HWND page = Window();
  SetChecked(page, IDC_AUTO_ADDRESS, state_.autoAddress);
  SetChecked(page, IDC_AUTO_NEGOTIATION, state_.autoNegotiation);
  CheckRadioButton(page, IDC_SPEED_10M, IDC_SPEED_100M,
                   state_.speed100Checked ? IDC_SPEED_100M : IDC_SPEED_10M);
  CheckRadioButton(page, IDC_HALF_DUPLEX, IDC_FULL_DUPLEX,
                   state_.fullDuplexChecked ? IDC_FULL_DUPLEX : IDC_HALF_DUPLEX);
  SetChecked(page, IDC_CHANGE_PASSWORD, state_.changePassword);
  ApplyEnabled(page, NetworkPageEnabled(state_));
}

bool NetworkPage::OnCommand(int id, int code) {
  switch (id) {
    case IDC_AUTO_ADDRESS:
    case IDC_CHANGE_PASSWORD:
      if (code != BN_CLICKED) return false;
      state_ = Read();
      ShowChoices();
      return true;
    case IDC_AUTO_NEGOTIATION:
      if (code != BN_CLICKED) return false;
      state_ = Read();
      OnAutoNegotiationClicked(state_);
      ShowChoices();
      return true;
    case IDC_SPEED_10M:
    case IDC_SPEED_100M:
    case IDC_HALF_DUPLEX:
    case IDC_FULL_DUPLEX:
      if (code != BN_CLICKED) return false;
      state_ = Read();
      OnSpeedOrDuplexClicked(state_);
      return true;
    default:
      return false;
  }
}

}  // namespace calbrin
