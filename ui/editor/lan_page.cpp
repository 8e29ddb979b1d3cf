// LanPage: one LAN channel's settings on their controls.
#include "ui/editor/lan_page.h"

#include "resources/resource.h"
#include "settings/password_scrambling.h"
#include "ui/controls/dialog_controls.h"

namespace calbrin {
namespace {

// Enough for any text these edits hold; the connect-to port edit has no limit of its own, and
// whatever is read is cut to its field later.
constexpr int kTextRead = 64;

}  // namespace

void LanPage::OnInit(const SettingsRecord& record) {
  HWND page = Window();
  FillList(IDC_PROTOCOL, ProtocolItems());
  ShowControl(page, IDC_RFC2217, false);
  FillList(IDC_SERVER_CONDITION, ServerConditionItems(state_.reduced));
  FillList(IDC_CLIENT_CONDITION, ClientConditionItems(state_.reduced));
  FillList(IDC_DISCONNECT_CONDITION, DisconnectConditionItems(state_.reduced));
  Fill(record);
}

void LanPage::Fill(const SettingsRecord& record) {
  FillLanPage(record, state_);
  Show(state_);
}

LanPageState LanPage::Read() const {
  HWND page = Window();
  LanPageState state = state_;
  state.protocol = SelectedItem(page, IDC_PROTOCOL);
  state.receivePort = ControlText(page, IDC_RECEIVE_PORT, kTextRead);
  state.udpAddress = AddressControlText(GetDlgItem(page, IDC_UDP_ADDRESS));
  state.udpPort = ControlText(page, IDC_UDP_PORT, kTextRead);
  state.clientMode = IsChecked(page, IDC_CLIENT_MODE);
  state.serverCondition = SelectedItem(page, IDC_SERVER_CONDITION);
  state.clientCondition = SelectedItem(page, IDC_CLIENT_CONDITION);
  state.clientCharacter = ControlText(page, IDC_CLIENT_CHAR, kTextRead);
  state.clientAddress = AddressControlText(GetDlgItem(page, IDC_CLIENT_ADDRESS));
  state.clientPort = ControlText(page, IDC_CLIENT_PORT, kTextRead);
  state.passwordRequired = IsChecked(page, IDC_PASSWORD_REQUIRED);
  state.password = ControlText(page, IDC_LAN_PASSWORD, kMaxPasswordLength);
  state.disconnectCondition = SelectedItem(page, IDC_DISCONNECT_CONDITION);
  state.idleTime = ControlText(page, IDC_IDLE_TIME, kTextRead);
  state.disconnectCharacter = ControlText(page, IDC_DISCONNECT_CHAR, kTextRead);
  state.flush = IsChecked(page, IDC_FLUSH);
  return state;
}

void LanPage::Show(const LanPageState& state) {
  HWND page = Window();
  SetControlText(page, IDC_RECEIVE_PORT, state.receivePort);
  SelectItem(page, IDC_SERVER_CONDITION, state.serverCondition);
  SetAddressControlText(GetDlgItem(page, IDC_UDP_ADDRESS), state.udpAddress);
  SetControlText(page, IDC_UDP_PORT, state.udpPort);
  SelectItem(page, IDC_CLIENT_CONDITION, state.clientCondition);
  SetAddressControlText(GetDlgItem(page, IDC_CLIENT_ADDRESS), state.clientAddress);
  SetControlText(page, IDC_CLIENT_PORT, state.clientPort);
  SetControlText(page, IDC_CLIENT_CHAR, state.clientCharacter);
  SelectItem(page, IDC_DISCONNECT_CONDITION, state.disconnectCondition);
  SetControlText(page, IDC_IDLE_TIME, state.idleTime);
  SetControlText(page, IDC_DISCONNECT_CHAR, state.disconnectCharacter);
  SetControlText(page, IDC_LAN_PASSWORD, state.password);
  SetChecked(page, IDC_FLUSH, state.flush);
  ShowChoices();
}

void LanPage::ShowChoices() {
  HWND page = Window();
  SelectItem(page, IDC_PROTOCOL, state_.protocol);
  CheckRadioButton(page, IDC_SERVER_MODE, IDC_CLIENT_MODE,
                   state_.clientMode ? IDC_CLIENT_MODE : IDC_SERVER_MODE);
  SetChecked(page, IDC_PASSWORD_REQUIRED, state_.passwordRequired);
  ApplyEnabled(page, LanPageEnabled(state_));
}

bool LanPage::OnCommand(int id, int code) {
  switch (id) {
    case IDC_PROTOCOL:
      if (code != CBN_SELCHANGE) return false;
      state_ = Read();
      OnProtocolChanged(state_);
      ShowChoices();
      return true;
    case IDC_SERVER_MODE:
    case IDC_CLIENT_MODE:
      if (code != BN_CLICKED) return false;
      state_ = Read();
      OnModeClicked(state_);
      ShowChoices();
      return true;
    case IDC_PASSWORD_REQUIRED:
      if (code != BN_CLICKED) return false;
      state_ = Read();
      OnPasswordRequiredClicked(state_);
      ShowChoices();
      return true;
    case IDC_SERVER_CONDITION:
    case IDC_CLIENT_CONDITION:
    case IDC_DISCONNECT_CONDITION:
      if (code != CBN_SELCHANGE) return false;
      state_ = Read();
      ShowChoices();
      return true;
    default:
      return false;
  }
}

}  // namespace calbrin
