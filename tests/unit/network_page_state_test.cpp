// The network page's record mapping and rules, without windows.
#include "pages/network_page_state.h"

#include <gtest/gtest.h>

#include "resources/resource.h"
#include "settings/settings_record.h"
#include "tests/unit/page_test_support.h"

namespace calbrin {
namespace {

using test::ControlsNot;

constexpr std::initializer_list<int> kAddressControls{
    IDC_IP_LABEL, IDC_IP, IDC_SUBNET_MASK_LABEL, IDC_SUBNET_MASK, IDC_GATEWAY_LABEL, IDC_GATEWAY};
constexpr std::initializer_list<int> kEthernetControls{IDC_SPEED_LABEL, IDC_SPEED_10M,
                                                       IDC_SPEED_100M,  IDC_DUPLEX_LABEL,
                                                       IDC_HALF_DUPLEX, IDC_FULL_DUPLEX};
constexpr std::initializer_list<int> kPasswordControls{
    IDC_NEW_PASSWORD_LABEL, IDC_NEW_PASSWORD, IDC_NEW_PASSWORD_AGAIN_LABEL, IDC_NEW_PASSWORD_AGAIN};

NetworkPageState Filled(std::string_view negotiation, std::string_view address = "192.168.1.20") {
  SettingsRecord record;
  SetField(record, SettingKey::IP, address);
  SetField(record, SettingKey::SUBM, "255.255.255.0");
  SetField(record, SettingKey::GWAY, "192.168.1.1");
  SetField(record, SettingKey::NEGOS, negotiation);
  SetField(record, SettingKey::MSS, "100");
  SetField(record, SettingKey::KEEP_A, "999");
  NetworkPageState state;
  FillNetworkPage(record, state);
  return state;
}

TEST(FillNetworkPage, SpeedAndDuplexByNegotiationCode) {
  struct Case {
    const char* code;
    bool autoNegotiation, speed100, fullDuplex;
  } cases[] = {
      {"0", false, false, false}, {"1", false, false, true},  {"2", false, true, false},
      {"3", false, true, true},   {"7", true, false, false},  {"5", true, false, false},
      {"", true, false, false},   {"23", true, false, false}, {"-1", true, false, false},
  };
  for (const Case& c : cases) {
    const NetworkPageState state = Filled(c.code);
    SCOPED_TRACE(std::string("NEGOS \"") + c.code + '"');
    EXPECT_EQ(state.autoNegotiation, c.autoNegotiation);
    EXPECT_EQ(state.speed100Checked, c.speed100);
    EXPECT_EQ(state.fullDuplexChecked, c.fullDuplex);
    EXPECT_EQ(state.speed100, c.speed100);
    EXPECT_EQ(state.fullDuplex, c.fullDuplex);
    EXPECT_EQ(ControlsNot(NetworkPageEnabled(state), kEthernetControls, !c.autoNegotiation), "");
  }
}

TEST(FillNetworkPage, AutomaticAddressOnlyForAllZeros) {
  const NetworkPageState automatic = Filled("7", "0.0.0.0");
  EXPECT_TRUE(automatic.autoAddress);
  EXPECT_EQ(automatic.address, "0.0.0.0");
  EXPECT_EQ(ControlsNot(NetworkPageEnabled(automatic), kAddressControls, false), "");

  for (const char* address : {"", "10.0.0.1", "0.0.0.0 ", "0.0.0"}) {
    const NetworkPageState fixed = Filled("7", address);
    EXPECT_FALSE(fixed.autoAddress) << address;
    EXPECT_EQ(ControlsNot(NetworkPageEnabled(fixed), kAddressControls, true), "") << address;
  }
}

TEST(FillNetworkPage, TextsAsStoredAndNoPassword) {
  NetworkPageState state;
  state.changePassword = true;
  state.newPassword = "old";
  state.newPasswordAgain = "old";
  SettingsRecord record;
  SetField(record, SettingKey::IP, "192.168.1.20");
  SetField(record, SettingKey::SUBM, "255.255.0.0");
  SetField(record, SettingKey::GWAY, "192.168.1.254");
  SetField(record, SettingKey::MSS, "100");
  SetField(record, SettingKey::KEEP_A, "999");
  FillNetworkPage(record, state);
  EXPECT_EQ(state.address, "192.168.1.20");
  EXPECT_EQ(state.subnetMask, "255.255.0.0");
  EXPECT_EQ(state.gateway, "192.168.1.254");
  // Out-of-range values are corrected only when the user leaves the edit.
  EXPECT_EQ(state.mss, "100");
  EXPECT_EQ(state.keepAlive, "999");
  EXPECT_FALSE(state.changePassword);
  EXPECT_EQ(state.newPassword, "");
  EXPECT_EQ(state.newPasswordAgain, "");
  EXPECT_EQ(ControlsNot(NetworkPageEnabled(state), kPasswordControls, false), "");
}

TEST(NetworkPageRules, AutoNegotiationBringsBackTheLastExplicitChoice) {
  NetworkPageState state = Filled("2");
  // Checking auto-negotiation keeps 100M and half duplex shown, greyed.
  state.autoNegotiation = true;
  OnAutoNegotiationClicked(state);
  EXPECT_TRUE(state.speed100Checked);
  EXPECT_FALSE(state.fullDuplexChecked);
  EXPECT_EQ(ControlsNot(NetworkPageEnabled(state), kEthernetControls, false), "");
  state.autoNegotiation = false;
  OnAutoNegotiationClicked(state);
  EXPECT_TRUE(state.speed100Checked);
  EXPECT_FALSE(state.fullDuplexChecked);
  EXPECT_EQ(ControlsNot(NetworkPageEnabled(state), kEthernetControls, true), "");

  // A new explicit choice is what comes back next time.
  state.speed100Checked = false;
  state.fullDuplexChecked = true;
  OnSpeedOrDuplexClicked(state);
  state.autoNegotiation = true;
  OnAutoNegotiationClicked(state);
  state.autoNegotiation = false;
  OnAutoNegotiationClicked(state);
  EXPECT_FALSE(state.speed100Checked);
  EXPECT_TRUE(state.fullDuplexChecked);
}

TEST(NetworkPageRules, EachCheckBoxRulesItsOwnControls) {
  NetworkPageState state = Filled("0");
  state.changePassword = true;
  EnabledStates enabled = NetworkPageEnabled(state);
  EXPECT_EQ(ControlsNot(enabled, kPasswordControls, true), "");
  EXPECT_EQ(ControlsNot(enabled, kAddressControls, true), "");
  EXPECT_EQ(ControlsNot(enabled, kEthernetControls, true), "");
  state.autoAddress = true;
  enabled = NetworkPageEnabled(state);
  EXPECT_EQ(ControlsNot(enabled, kAddressControls, false), "");
  EXPECT_EQ(ControlsNot(enabled, kEthernetControls, true), "");
  EXPECT_EQ(ControlsNot(enabled, kPasswordControls, true), "");
}

}  // namespace
}  // namespace calbrin
