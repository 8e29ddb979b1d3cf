// The settings pages' wiring. The rules are the pure page rules, tested natively; here, after each
// click or list choice, the controls must equal those rules applied to what the page reads back,
// the channel-2 variant must reach the lists, and each edit must carry its edit rule.
#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "pages/lan_page_state.h"
#include "pages/network_page_state.h"
#include "pages/serial_page_state.h"
#include "tests/ui/settings_dialog_fixture.h"
#include "ui/editor/lan_page.h"
#include "ui/editor/network_page.h"
#include "ui/editor/serial_page.h"

namespace calbrin {
namespace {

using enum test::Tab;

// What the click rules decide, as one text, so that a difference shows which part differs.
std::string Ruled(const NetworkPageState& s) {
  std::ostringstream out;
  out << s.speed100Checked << s.fullDuplexChecked << s.speed100 << s.fullDuplex;
  return out.str();
}
std::string Ruled(const LanPageState& s) {
  std::ostringstream out;
  out << s.protocol << s.clientMode << s.passwordRequired << ' ' << s.connection.serverCode
      << s.connection.clientCode << s.connection.serverPassword << s.connection.clientPassword;
  return out.str();
}
std::string Ruled(const SerialPageState&) {
  return "";
}
EnabledStates Rules(const NetworkPageState& s) {
  return NetworkPageEnabled(s);
}
EnabledStates Rules(const LanPageState& s) {
  return LanPageEnabled(s);
}
EnabledStates Rules(const SerialPageState& s) {
  return SerialPageEnabled(s);
}

class SettingsPagesTest : public test::SettingsDialogFixture {
 protected:
  // A click (item -1) or a list choice on `page`, shown on `tab`; then the page shows what `rule`
  // and the enable rules make of what it reads back.
  template <typename Page, typename State>
  void Step(const Page& page, int tab, int id, int item, void (*rule)(State&) = nullptr) {
    SCOPED_TRACE(testing::Message() << "tab " << tab << " control " << id << " item " << item);
    if (item < 0) {
      Click(tab, id);
    } else {
      Choose(tab, id, item);
    }
    const State read = page.Read();
    State expected = read;
    if (rule != nullptr) rule(expected);
    EXPECT_EQ(Ruled(read), Ruled(expected));
    for (const ControlEnabled& control : Rules(expected))
      EXPECT_EQ(Enabled(tab, control.id), control.enabled) << "control " << control.id;
  }
};

TEST_F(SettingsPagesTest, ClicksAndChoicesShowWhatThePageRulesSay) {
  UseDevice("57", "NEGOS=2 SPASS2=1");
  ASSERT_NE(Open(), nullptr);
  const NetworkPage& network = dialog_->Network();
  for (const int id : {IDC_AUTO_NEGOTIATION, IDC_AUTO_NEGOTIATION, IDC_AUTO_ADDRESS,
                       IDC_CHANGE_PASSWORD, IDC_AUTO_ADDRESS})
    Step(network, kNetworkTab, id, -1, OnAutoNegotiationClicked);
  for (const int id : {IDC_FULL_DUPLEX, IDC_SPEED_10M, IDC_SPEED_100M})
    Step(network, kNetworkTab, id, -1, OnSpeedOrDuplexClicked);

  const LanPage& lan = dialog_->Lan(2);
  Step(lan, kLan2Tab, IDC_PROTOCOL, kUdpItem, OnProtocolChanged);
  Step(lan, kLan2Tab, IDC_PROTOCOL, kTcpItem, OnProtocolChanged);
  Step(lan, kLan2Tab, IDC_CLIENT_MODE, -1, OnModeClicked);
  Step<LanPage, LanPageState>(lan, kLan2Tab, IDC_CLIENT_CONDITION, 2);
  Step(lan, kLan2Tab, IDC_PASSWORD_REQUIRED, -1, OnPasswordRequiredClicked);
  Step(lan, kLan2Tab, IDC_SERVER_MODE, -1, OnModeClicked);
  Step<LanPage, LanPageState>(lan, kLan2Tab, IDC_DISCONNECT_CONDITION, 2);
  Step<LanPage, LanPageState>(lan, kLan2Tab, IDC_DISCONNECT_CONDITION, 1);
  Step(lan, kLan2Tab, IDC_CLIENT_MODE, -1, OnModeClicked);

  const SerialPage& serial = dialog_->Serial(1);
  for (const auto& [id, item] : {std::pair{IDC_FLOW, 2},
                                 {IDC_PACKING, -1},
                                 {IDC_SPECIFIED_CHAR, -1},
                                 {IDC_CHAR_COUNT, 1},
                                 {IDC_DATA_COUNT, -1},
                                 {IDC_PACKING, -1},
                                 {IDC_PACKING, -1},
                                 {IDC_SPECIFIED_CHAR, -1},
                                 {IDC_FLOW, 0}})
    Step<SerialPage, SerialPageState>(serial, kSerial1Tab, id, item);
  Step<SerialPage, SerialPageState>(dialog_->Serial(2), kSerial2Tab, IDC_FLOW, 1);
}

// The variant decided from the device record reaches the channel-2 pages, and only them.
TEST_F(SettingsPagesTest, TheSecondChannelOfAQv57rOffersTheReducedChoices) {
  for (const bool reduced : {false, true}) {
    UseDevice(reduced ? "57" : "48", "CDRV2=0 CFLOW2=1");
    ASSERT_NE(Open(), nullptr);
    const auto count = [](ChoiceItems items) { return static_cast<int>(items.size()); };
    for (const int tab : {kLan1Tab, kLan2Tab}) {
      const bool tabReduced = reduced && tab == kLan2Tab;
      EXPECT_EQ(ItemCount(tab, IDC_SERVER_CONDITION), count(ServerConditionItems(tabReduced)));
      EXPECT_EQ(ItemCount(tab, IDC_CLIENT_CONDITION), count(ClientConditionItems(tabReduced)));
      EXPECT_EQ(ItemCount(tab, IDC_DISCONNECT_CONDITION),
                count(DisconnectConditionItems(tabReduced)));
      EXPECT_FALSE(Visible(tab, IDC_RFC2217));
    }
    for (const int tab : {kSerial1Tab, kSerial2Tab}) {
      const bool tabReduced = reduced && tab == kSerial2Tab;
      EXPECT_EQ(ItemCount(tab, IDC_FLOW), count(FlowItems(tabReduced)));
      for (const int id : {IDC_DRIVER_LABEL, IDC_DRIVER_ON_SEND, IDC_DRIVER_ALWAYS})
        EXPECT_EQ(Visible(tab, id), tabReduced) << id;
    }
    // CFLOW2 1 is Xon/Xoff on the reduced list, RTS/CTS on the full one.
    EXPECT_EQ(Enabled(kSerial2Tab, IDC_XON), reduced);
    EXPECT_EQ(IsDlgButtonChecked(Page(kSerial2Tab), IDC_DRIVER_ALWAYS), BST_CHECKED);
    dialog_.reset();
  }
}

// Each edit: its length limit, and what typing into it or leaving it shows. A filter that
// replaces the text leaves the caret at the end of what was typed.
TEST_F(SettingsPagesTest, EveryEditCarriesItsRule) {
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  enum How { kTyped, kLeft };
  const struct {
    int tab, id, limit;
    How how;
    const wchar_t* input;
    const wchar_t* shown;
  } cases[] = {
      {kNetworkTab, IDC_MSS, 4, kLeft, L"99999", L"1460"},
      {kNetworkTab, IDC_KEEP_ALIVE, 3, kLeft, L"999", L"255"},
      {kNetworkTab, IDC_NEW_PASSWORD, 32, kTyped, L"ab c", L"abc"},
      {kNetworkTab, IDC_NEW_PASSWORD_AGAIN, 32, kTyped, L"x\u3042y", L"xy"},
      {kLan1Tab, IDC_RECEIVE_PORT, 5, kLeft, L"70000", L"65535"},
      {kLan1Tab, IDC_UDP_PORT, 0, kLeft, L"99999", L"65535"},
      {kLan1Tab, IDC_IDLE_TIME, 4, kLeft, L"0", L"1"},
      {kLan1Tab, IDC_CLIENT_CHAR, 2, kTyped, L"a b", L"AB"},
      {kLan1Tab, IDC_DISCONNECT_CHAR, 2, kTyped, L"1g", L"1"},
      {kLan1Tab, IDC_LAN_PASSWORD, 32, kTyped, L"p w", L"pw"},
      {kLan1Tab, IDC_CLIENT_PORT, 0, kLeft, L"port 80 of the host", L"port 80 of the host"},
      {kSerial1Tab, IDC_BAUD_RATE, 7, kTyped, L"1a4-4.0x0 ", L"14400"},
      {kSerial1Tab, IDC_BAUD_RATE, 7, kLeft, L"1234567", L"921600"},
      {kSerial1Tab, IDC_XON, 2, kTyped, L"ab", L"AB"},
      {kSerial1Tab, IDC_XOFF, 2, kTyped, L"-", L""},
      {kSerial1Tab, IDC_PACKING_TIME, 4, kLeft, L"0", L"1"},
      {kSerial1Tab, IDC_DATA_COUNT_VALUE, 5, kLeft, L"2", L"6"},
      {kSerial1Tab, IDC_CHAR_1, 2, kTyped, L"0d", L"0D"},
      {kSerial2Tab, IDC_CHAR_2, 2, kTyped, L"x", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << "tab " << c.tab << " control " << c.id);
    HWND target = KeyTarget(c.tab, c.id);
    if (c.limit > 0) {
      EXPECT_EQ(SendMessageW(target, EM_GETLIMITTEXT, 0, 0), c.limit);
    }
    // Leaving needs the focus, which a greyed edit does not take.
    EnableWindow(Control(c.tab, c.id), TRUE);
    if (c.how == kTyped) {
      Type(c.tab, c.id, c.input);
      DWORD start = 0;
      SendMessageW(target, EM_GETSEL, reinterpret_cast<WPARAM>(&start), 0);
      EXPECT_EQ(start, std::wstring_view(c.shown).size());
    } else {
      EnterAndLeave(c.tab, c.id, c.input);
    }
    EXPECT_EQ(Text(c.tab, c.id), c.shown);
  }
}

// However large the pages' font, no control is cut off: the strip and the dialog grow to hold the
// pages, and the buttons stay below the strip.
TEST_F(SettingsPagesTest, EveryControlOfEveryPageIsOnScreen) {
  UseDevice("57");
  ASSERT_NE(Open(), nullptr);
  const auto rectIn = [](HWND parent, HWND child) {
    RECT rect{};
    GetWindowRect(child, &rect);
    MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
  };
  for (int tab = 0; tab < SettingsDialog::kPageCount; ++tab) {
    RECT page{};
    GetClientRect(Page(tab), &page);
    for (HWND child = GetWindow(Page(tab), GW_CHILD); child;
         child = GetWindow(child, GW_HWNDNEXT)) {
      const RECT rect = rectIn(Page(tab), child);
      EXPECT_LE(rect.bottom, page.bottom) << "tab " << tab << " control " << GetDlgCtrlID(child);
      EXPECT_LE(rect.right, page.right) << "tab " << tab << " control " << GetDlgCtrlID(child);
    }
  }
  HWND window = dialog_->Window();
  RECT client{};
  GetClientRect(window, &client);
  const RECT strip = rectIn(window, GetDlgItem(window, IDC_TAB));
  for (const int id : {IDOK, IDCANCEL, IDC_SETTINGS_STATUS}) {
    const RECT rect = rectIn(window, GetDlgItem(window, id));
    EXPECT_GE(rect.top, strip.bottom) << id;
    EXPECT_LE(rect.bottom, client.bottom) << id;
  }
}

}  // namespace
}  // namespace calbrin
