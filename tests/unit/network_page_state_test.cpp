// The network page's record mapping, enable rules and clicks, without windows.
#include "pages/network_page_state.h"

#include <gtest/gtest.h>

#include "settings/settings_record.h"
#include "tests/unit/page_test_support.h"

namespace calbrin {
namespace {

using test::Ids;

// clang-format off
const Ids kAddress{IDC_IP_LABEL, IDC_IP, IDC_SUBNET_MASK_LABEL, IDC_SUBNET_MASK, IDC_GATEWAY_LABEL,
                   IDC_GATEWAY};
const Ids kEthernet{IDC_SPEED_LABEL, IDC_SPEED_10M, IDC_SPEED_100M, IDC_DUPLEX_LABEL,
                    IDC_HALF_DUPLEX, IDC_FULL_DUPLEX};
const Ids kPassword{IDC_NEW_PASSWORD_LABEL, IDC_NEW_PASSWORD, IDC_NEW_PASSWORD_AGAIN_LABEL,
                    IDC_NEW_PASSWORD_AGAIN};
// clang-format on

TEST(NetworkPage, FillSetsChecksRadiosAndRules) {
  struct Row {
    const char *address, *negotiation;
    bool autoAddress, autoNegotiation, speed100, fullDuplex;
  } rows[] = {
      // clang-format off
      {"0.0.0.0", "0", true, false, false, false}, {"10.0.0.1", "1", false, false, false, true},
      {"", "2", false, false, true, false},        {"0.0.0.0 ", "3", false, false, true, true},
      {"0.0.0", "7", false, true, false, false},   {"1.2.3.4", "5", false, true, false, false},
      {"1.2.3.4", "", false, true, false, false},  {"1.2.3.4", "23", false, true, false, false},
      {"1.2.3.4", "-1", false, true, false, false},
      // clang-format on
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(std::string(row.address) + " NEGOS " + row.negotiation);
    SettingsRecord record;
    SetField(record, SettingKey::IP, row.address);
    SetField(record, SettingKey::NEGOS, row.negotiation);
    SetField(record, SettingKey::MSS, "100");
    NetworkPageState state;
    state.changePassword = true;
    state.newPassword = state.newPasswordAgain = "x";
    FillNetworkPage(record, state);
    EXPECT_EQ(std::tuple(state.address, state.mss, state.autoAddress, state.autoNegotiation),
              std::tuple(row.address, "100", row.autoAddress, row.autoNegotiation));
    EXPECT_EQ(std::tuple(state.speed100Checked, state.speed100, state.fullDuplexChecked,
                         state.fullDuplex),
              std::tuple(row.speed100, row.speed100, row.fullDuplex, row.fullDuplex));
    EXPECT_EQ(state.changePassword || !state.newPassword.empty() || !state.newPasswordAgain.empty(),
              false);
    const Ids address = row.autoAddress ? Ids{} : kAddress;
    const Ids ethernet = row.autoNegotiation ? Ids{} : kEthernet;
    EXPECT_EQ(test::EnabledIds(NetworkPageEnabled(state)), test::Union({address, ethernet}));
    state.changePassword = true;
    EXPECT_EQ(test::EnabledIds(NetworkPageEnabled(state)),
              test::Union({address, ethernet, kPassword}));
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
  EXPECT_EQ(click(true), std::pair(true, false));
  EXPECT_EQ(click(false), std::pair(true, false));
  state.speed100Checked = false;
  state.fullDuplexChecked = true;
  OnSpeedOrDuplexClicked(state);
  state.speed100Checked = true;  // shown but not clicked: not remembered
  EXPECT_EQ(click(true), std::pair(false, true));
  EXPECT_EQ(click(false), std::pair(false, true));
}

}  // namespace
}  // namespace calbrin
