// The three kinds of settings page on their real controls: what a device's record shows, and what
// clicks, list choices, typing and leaving an edit do.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "pages/lan_page_state.h"
#include "pages/network_page_state.h"
#include "pages/serial_page_state.h"
#include "settings/password_scrambling.h"
#include "tests/support/sim_settings.h"
#include "tests/ui/settings_dialog_fixture.h"
#include "ui/editor/lan_page.h"
#include "ui/editor/settings_dialog.h"
#include "ui/editor/settings_page.h"

namespace calbrin {
namespace {

using enum test::Tab;

class SettingsPagesTest : public test::SettingsDialogFixture {
 protected:
  // Starts from the settings that a fresh device of `model` reports.
  void UseDevice(std::string_view model) {
    record_ = ToRecord(sim::DefaultSettings(model, "192.168.1.20"));
  }
  void Set(SettingKey key, std::string_view value) { SetField(record_, key, value); }
};

// ---- Network page ----

TEST_F(SettingsPagesTest, NetworkPageShowsTheRecord) {
  UseDevice("48");
  Set(SettingKey::GWAY, "192.168.1.254");
  Set(SettingKey::MSS, "100");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(Address(kNetworkTab, IDC_IP), "192.168.1.20");
  EXPECT_EQ(Address(kNetworkTab, IDC_SUBNET_MASK), "255.0.0.0");
  EXPECT_EQ(Address(kNetworkTab, IDC_GATEWAY), "192.168.1.254");
  EXPECT_FALSE(Checked(kNetworkTab, IDC_AUTO_ADDRESS));
  EXPECT_TRUE(Enabled(kNetworkTab, IDC_IP));
  // Shown as stored until the user leaves the edit.
  EXPECT_EQ(Text(kNetworkTab, IDC_MSS), L"100");
  EXPECT_EQ(Text(kNetworkTab, IDC_KEEP_ALIVE), L"0");
  // The device's "7": auto-negotiation, 10M and half duplex shown greyed.
  EXPECT_TRUE(Checked(kNetworkTab, IDC_AUTO_NEGOTIATION));
  EXPECT_TRUE(Checked(kNetworkTab, IDC_SPEED_10M));
  EXPECT_TRUE(Checked(kNetworkTab, IDC_HALF_DUPLEX));
  EXPECT_FALSE(Enabled(kNetworkTab, IDC_SPEED_100M));
  EXPECT_FALSE(Checked(kNetworkTab, IDC_CHANGE_PASSWORD));
  EXPECT_FALSE(Enabled(kNetworkTab, IDC_NEW_PASSWORD));
  EXPECT_FALSE(Enabled(kNetworkTab, IDC_NEW_PASSWORD_AGAIN_LABEL));
}

TEST_F(SettingsPagesTest, AutomaticAddressGreysTheAddressesAndClickingBringsThemBack) {
  UseDevice("48");
  Set(SettingKey::IP, "0.0.0.0");
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(Checked(kNetworkTab, IDC_AUTO_ADDRESS));
  for (const int id : {IDC_IP_LABEL, IDC_IP, IDC_SUBNET_MASK_LABEL, IDC_SUBNET_MASK,
                       IDC_GATEWAY_LABEL, IDC_GATEWAY}) {
    EXPECT_FALSE(Enabled(kNetworkTab, id)) << id;
  }
  Click(kNetworkTab, IDC_AUTO_ADDRESS);
  EXPECT_FALSE(Checked(kNetworkTab, IDC_AUTO_ADDRESS));
  EXPECT_TRUE(Enabled(kNetworkTab, IDC_IP));
  EXPECT_TRUE(Enabled(kNetworkTab, IDC_GATEWAY_LABEL));
}

TEST_F(SettingsPagesTest, AutoNegotiationKeepsTheExplicitSpeedAndDuplex) {
  UseDevice("48");
  Set(SettingKey::NEGOS, "2");
  ASSERT_NE(Open(), nullptr);
  EXPECT_FALSE(Checked(kNetworkTab, IDC_AUTO_NEGOTIATION));
  EXPECT_TRUE(Checked(kNetworkTab, IDC_SPEED_100M));
  EXPECT_TRUE(Checked(kNetworkTab, IDC_HALF_DUPLEX));
  EXPECT_TRUE(Enabled(kNetworkTab, IDC_SPEED_100M));

  Click(kNetworkTab, IDC_AUTO_NEGOTIATION);
  EXPECT_TRUE(Checked(kNetworkTab, IDC_SPEED_100M));
  EXPECT_TRUE(Checked(kNetworkTab, IDC_HALF_DUPLEX));
  EXPECT_FALSE(Enabled(kNetworkTab, IDC_SPEED_100M));
  EXPECT_FALSE(Enabled(kNetworkTab, IDC_DUPLEX_LABEL));

  Click(kNetworkTab, IDC_AUTO_NEGOTIATION);
  EXPECT_TRUE(Checked(kNetworkTab, IDC_SPEED_100M));
  EXPECT_FALSE(Checked(kNetworkTab, IDC_SPEED_10M));
  EXPECT_TRUE(Checked(kNetworkTab, IDC_HALF_DUPLEX));
  EXPECT_TRUE(Enabled(kNetworkTab, IDC_SPEED_10M));

  // A new choice is remembered through the next round.
  Click(kNetworkTab, IDC_FULL_DUPLEX);
  Click(kNetworkTab, IDC_SPEED_10M);
  Click(kNetworkTab, IDC_AUTO_NEGOTIATION);
  Click(kNetworkTab, IDC_AUTO_NEGOTIATION);
  EXPECT_TRUE(Checked(kNetworkTab, IDC_SPEED_10M));
  EXPECT_TRUE(Checked(kNetworkTab, IDC_FULL_DUPLEX));
  EXPECT_FALSE(Checked(kNetworkTab, IDC_HALF_DUPLEX));
}

TEST_F(SettingsPagesTest, PasswordEditsKeepOnlyPrintableCharacters) {
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  Click(kNetworkTab, IDC_CHANGE_PASSWORD);
  EXPECT_TRUE(Enabled(kNetworkTab, IDC_NEW_PASSWORD));
  EXPECT_TRUE(Enabled(kNetworkTab, IDC_NEW_PASSWORD_AGAIN_LABEL));
  // Pasted: the blank ends the text.
  SetWindowTextW(Control(kNetworkTab, IDC_NEW_PASSWORD), L"ab cd");
  EXPECT_EQ(Text(kNetworkTab, IDC_NEW_PASSWORD), L"ab");
  // Typed: the blank goes, the caret stays at the end, and typing goes on.
  SetWindowTextW(Control(kNetworkTab, IDC_NEW_PASSWORD), L"");
  Type(kNetworkTab, IDC_NEW_PASSWORD, L"abc ");
  EXPECT_EQ(Text(kNetworkTab, IDC_NEW_PASSWORD), L"abc");
  Type(kNetworkTab, IDC_NEW_PASSWORD,
       L"\u3042"
       L"d");
  EXPECT_EQ(Text(kNetworkTab, IDC_NEW_PASSWORD), L"abcd");
  Type(kNetworkTab, IDC_NEW_PASSWORD_AGAIN, std::wstring(40, L'x'));
  EXPECT_EQ(Text(kNetworkTab, IDC_NEW_PASSWORD_AGAIN), std::wstring(32, L'x'));
}

// ---- LAN pages ----

TEST_F(SettingsPagesTest, LanPageShowsItsOwnChannel) {
  UseDevice("48");
  ScrambledPassword scrambled;
  ScramblePassword("plant7", kStoredPasswordShift, scrambled);
  Set(SettingKey::PASS2, scrambled.Scrambled());
  Set(SettingKey::SPASS2, "1");
  Set(SettingKey::HIP2, "10.1.2.3");
  Set(SettingKey::HPORT2, "5000");
  Set(SettingKey::CCHAR2, "13");
  Set(SettingKey::DCHAR2, "300");
  Set(SettingKey::DMODE2, "1");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(SelectedText(kLan2Tab, IDC_PROTOCOL), L"TCP");
  EXPECT_EQ(Text(kLan2Tab, IDC_RECEIVE_PORT), L"10002");
  EXPECT_EQ(Text(kLan1Tab, IDC_RECEIVE_PORT), L"10001");
  EXPECT_EQ(Address(kLan2Tab, IDC_UDP_ADDRESS), "10.1.2.3");
  EXPECT_EQ(Address(kLan2Tab, IDC_CLIENT_ADDRESS), "10.1.2.3");
  EXPECT_EQ(Text(kLan2Tab, IDC_UDP_PORT), L"5000");
  EXPECT_EQ(Text(kLan2Tab, IDC_CLIENT_PORT), L"5000");
  EXPECT_EQ(Text(kLan2Tab, IDC_CLIENT_CHAR), L"0D");
  EXPECT_EQ(Text(kLan2Tab, IDC_DISCONNECT_CHAR), L"00");
  EXPECT_EQ(Text(kLan2Tab, IDC_LAN_PASSWORD), L"plant7");
  EXPECT_TRUE(Checked(kLan2Tab, IDC_SERVER_MODE));
  EXPECT_TRUE(Checked(kLan2Tab, IDC_PASSWORD_REQUIRED));
  EXPECT_TRUE(Enabled(kLan2Tab, IDC_LAN_PASSWORD));
  EXPECT_EQ(SelectedText(kLan2Tab, IDC_DISCONNECT_CONDITION), L"無通信時間");
  EXPECT_TRUE(Enabled(kLan2Tab, IDC_IDLE_TIME));
  // Channel 1 holds the device's empty password and no password flag.
  EXPECT_EQ(Text(kLan1Tab, IDC_LAN_PASSWORD), L"");
  EXPECT_FALSE(Enabled(kLan1Tab, IDC_LAN_PASSWORD));
  EXPECT_FALSE(Visible(kLan1Tab, IDC_RFC2217));
}

TEST_F(SettingsPagesTest, UdpDisablesTheWholeTcpFrame) {
  UseDevice("48");
  Set(SettingKey::PRT1, "1");
  Set(SettingKey::SPASS1, "1");
  Set(SettingKey::DMODE1, "1");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(SelectedText(kLan1Tab, IDC_PROTOCOL), L"UDP");
  EXPECT_TRUE(Checked(kLan1Tab, IDC_PASSWORD_REQUIRED));
  for (const int id : {IDC_UDP_GROUP, IDC_UDP_ADDRESS, IDC_UDP_PORT, IDC_RECEIVE_PORT})
    EXPECT_TRUE(Enabled(kLan1Tab, id)) << id;
  for (const int id :
       {IDC_TCP_GROUP, IDC_TCP_CAPTION, IDC_SERVER_MODE, IDC_CLIENT_MODE, IDC_SERVER_CONDITION,
        IDC_CLIENT_CONDITION, IDC_CLIENT_ADDRESS, IDC_PASSWORD_REQUIRED, IDC_LAN_PASSWORD,
        IDC_DISCONNECT_CONDITION, IDC_IDLE_TIME, IDC_IDLE_TIME_RANGE, IDC_FLUSH}) {
    EXPECT_FALSE(Enabled(kLan1Tab, id)) << id;
  }

  // Back to TCP: the mode and the password box as they were.
  Choose(kLan1Tab, IDC_PROTOCOL, kTcpItem);
  EXPECT_TRUE(Checked(kLan1Tab, IDC_SERVER_MODE));
  EXPECT_TRUE(Checked(kLan1Tab, IDC_PASSWORD_REQUIRED));
  EXPECT_TRUE(Enabled(kLan1Tab, IDC_LAN_PASSWORD));
  EXPECT_TRUE(Enabled(kLan1Tab, IDC_IDLE_TIME));
  EXPECT_FALSE(Enabled(kLan1Tab, IDC_UDP_PORT));
}

TEST_F(SettingsPagesTest, EachModeShowsItsOwnPasswordFlag) {
  UseDevice("48");
  Set(SettingKey::SPASS1, "1");
  Set(SettingKey::CPASS1, "0");
  ASSERT_NE(Open(), nullptr);
  ASSERT_TRUE(Checked(kLan1Tab, IDC_SERVER_MODE));
  EXPECT_TRUE(Checked(kLan1Tab, IDC_PASSWORD_REQUIRED));

  Click(kLan1Tab, IDC_CLIENT_MODE);
  EXPECT_TRUE(Checked(kLan1Tab, IDC_CLIENT_MODE));
  EXPECT_FALSE(Checked(kLan1Tab, IDC_SERVER_MODE));
  EXPECT_FALSE(Checked(kLan1Tab, IDC_PASSWORD_REQUIRED));
  EXPECT_FALSE(Enabled(kLan1Tab, IDC_LAN_PASSWORD));
  EXPECT_FALSE(Enabled(kLan1Tab, IDC_RECEIVE_PORT));
  EXPECT_TRUE(Enabled(kLan1Tab, IDC_CLIENT_ADDRESS));

  Click(kLan1Tab, IDC_PASSWORD_REQUIRED);
  EXPECT_TRUE(Enabled(kLan1Tab, IDC_LAN_PASSWORD));
  Click(kLan1Tab, IDC_SERVER_MODE);
  EXPECT_TRUE(Checked(kLan1Tab, IDC_PASSWORD_REQUIRED));
  Click(kLan1Tab, IDC_PASSWORD_REQUIRED);
  EXPECT_FALSE(Checked(kLan1Tab, IDC_PASSWORD_REQUIRED));
  Click(kLan1Tab, IDC_CLIENT_MODE);
  EXPECT_TRUE(Checked(kLan1Tab, IDC_PASSWORD_REQUIRED));
}

TEST_F(SettingsPagesTest, SpecifiedCharacterOfTheClientFollowsItsCondition) {
  UseDevice("48");
  Set(SettingKey::SMODE1, "0");
  Set(SettingKey::CMODE1, "5");
  Set(SettingKey::CCHAR1, "3");
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(Checked(kLan1Tab, IDC_CLIENT_MODE));
  EXPECT_EQ(SelectedText(kLan1Tab, IDC_CLIENT_CONDITION), L"指定キャラクタ");
  EXPECT_EQ(Text(kLan1Tab, IDC_CLIENT_CHAR), L"03");
  EXPECT_TRUE(Enabled(kLan1Tab, IDC_CLIENT_CHAR));
  EXPECT_FALSE(Enabled(kLan1Tab, IDC_RECEIVE_PORT));
  Choose(kLan1Tab, IDC_CLIENT_CONDITION, 2);
  EXPECT_FALSE(Enabled(kLan1Tab, IDC_CLIENT_CHAR));
  EXPECT_FALSE(Enabled(kLan1Tab, IDC_CLIENT_CHAR_LABEL));
}

TEST_F(SettingsPagesTest, ReducedSecondChannelOfAQv57r) {
  UseDevice("57");
  Set(SettingKey::CMODE2, "2");
  Set(SettingKey::DMODE2, "3");
  Set(SettingKey::CMODE1, "2");
  Set(SettingKey::SMODE1, "0");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(ItemCount(kLan2Tab, IDC_SERVER_CONDITION), 1);
  ASSERT_EQ(ItemCount(kLan2Tab, IDC_CLIENT_CONDITION), 3);
  EXPECT_EQ(ItemText(kLan2Tab, IDC_CLIENT_CONDITION, 1), L"任意のキャラクタ");
  EXPECT_EQ(ItemCount(kLan2Tab, IDC_DISCONNECT_CONDITION), 3);
  // "DSRアクティブ" is not offered: the client code is loaded as 0, so server mode shows.
  EXPECT_TRUE(Checked(kLan2Tab, IDC_SERVER_MODE));
  EXPECT_EQ(Selection(kLan2Tab, IDC_CLIENT_CONDITION), 0);
  EXPECT_EQ(SelectedText(kLan2Tab, IDC_DISCONNECT_CONDITION), L"無効");
  // Channel 1 keeps the full lists and its DSR condition.
  EXPECT_EQ(ItemCount(kLan1Tab, IDC_CLIENT_CONDITION), 4);
  EXPECT_EQ(ItemCount(kLan1Tab, IDC_DISCONNECT_CONDITION), 4);
  EXPECT_TRUE(Checked(kLan1Tab, IDC_CLIENT_MODE));
  EXPECT_EQ(SelectedText(kLan1Tab, IDC_CLIENT_CONDITION), L"DSRアクティブ");

  // A reduced item stands for its own code: "任意のキャラクタ" is code 4, shown again by a refill.
  Choose(kLan2Tab, IDC_CLIENT_CONDITION, 1);
  Click(kLan2Tab, IDC_CLIENT_MODE);
  EXPECT_EQ(dialog_->Lan(2).Read().connection.clientCode, 4);
}

// Every numeric edit of every page, corrected when the user leaves it.
TEST_F(SettingsPagesTest, NumbersAreClampedWhenTheEditIsLeft) {
  UseDevice("48");
  Set(SettingKey::DMODE1, "1");
  Set(SettingKey::PRT2, "1");
  Set(SettingKey::P_EN2, "1");
  Set(SettingKey::PSIZE2, "10");
  ASSERT_NE(Open(), nullptr);
  const struct {
    int tab, id;
    const wchar_t* typed;
    const wchar_t* shown;
  } cases[] = {
      {kNetworkTab, IDC_MSS, L"300", L"536"},
      {kNetworkTab, IDC_MSS, L"9999", L"1460"},
      {kNetworkTab, IDC_MSS, L"", L"536"},
      {kNetworkTab, IDC_MSS, L"0800", L"800"},
      {kNetworkTab, IDC_KEEP_ALIVE, L"", L"0"},
      {kNetworkTab, IDC_KEEP_ALIVE, L"999", L"255"},
      {kLan1Tab, IDC_RECEIVE_PORT, L"70000", L"65535"},
      {kLan1Tab, IDC_RECEIVE_PORT, L"", L"0"},
      {kLan1Tab, IDC_IDLE_TIME, L"0", L"1"},
      {kLan1Tab, IDC_IDLE_TIME, L"4000", L"3600"},
      {kLan2Tab, IDC_UDP_PORT, L"99999", L"65535"},
      {kLan2Tab, IDC_UDP_PORT, L"007", L"7"},
      {kSerial2Tab, IDC_PACKING_TIME, L"0", L"1"},
      {kSerial2Tab, IDC_PACKING_TIME, L"9999", L"5000"},
      {kSerial2Tab, IDC_DATA_COUNT_VALUE, L"2", L"6"},
      {kSerial2Tab, IDC_DATA_COUNT_VALUE, L"20000", L"1460"},
  };
  for (const auto& c : cases) {
    EnterAndLeave(c.tab, c.id, c.typed);
    EXPECT_EQ(Text(c.tab, c.id), c.shown) << c.id << " \"" << c.typed << '"';
  }
  // The connect-to port takes any text, and nothing corrects it.
  EnterAndLeave(kLan1Tab, IDC_CLIENT_PORT, L"port 80 of the host");
  EXPECT_EQ(Text(kLan1Tab, IDC_CLIENT_PORT), L"port 80 of the host");
}

TEST_F(SettingsPagesTest, HexadecimalEditsKeepUpperCaseDigits) {
  UseDevice("48");
  Set(SettingKey::DMODE1, "2");
  ASSERT_NE(Open(), nullptr);
  HWND edit = Control(kLan1Tab, IDC_DISCONNECT_CHAR);
  SetWindowTextW(edit, L"");
  Type(kLan1Tab, IDC_DISCONNECT_CHAR, L"1g");
  EXPECT_EQ(Text(kLan1Tab, IDC_DISCONNECT_CHAR), L"1");
  SetWindowTextW(edit, L"");
  Type(kLan1Tab, IDC_DISCONNECT_CHAR, L"a");
  EXPECT_EQ(Text(kLan1Tab, IDC_DISCONNECT_CHAR), L"A");
  Type(kLan1Tab, IDC_DISCONNECT_CHAR, L"b");
  EXPECT_EQ(Text(kLan1Tab, IDC_DISCONNECT_CHAR), L"AB");
  // The caret stays where the typing left it.
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  EXPECT_EQ(start, 2u);
  EXPECT_EQ(end, 2u);

  SetWindowTextW(Control(kSerial1Tab, IDC_XON), L"");
  Type(kSerial1Tab, IDC_XON, L"ab");
  EXPECT_EQ(Text(kSerial1Tab, IDC_XON), L"AB");
}

TEST_F(SettingsPagesTest, AHiddenPageKeepsItsEditsAcrossTabChanges) {
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  EnterAndLeave(kLan2Tab, IDC_RECEIVE_PORT, L"2101");
  Click(kLan2Tab, IDC_FLUSH);
  EnterAndLeave(kSerial2Tab, IDC_BAUD_RATE, L"38400");
  for (const int tab : {0, 3, 1, 4, 0})
    SelectTab(tab);
  SelectTab(kLan2Tab);
  EXPECT_EQ(Text(kLan2Tab, IDC_RECEIVE_PORT), L"2101");
  EXPECT_TRUE(Checked(kLan2Tab, IDC_FLUSH));
  EXPECT_EQ(Text(kSerial2Tab, IDC_BAUD_RATE), L"38400");
}

// ---- Serial pages ----

TEST_F(SettingsPagesTest, SerialPageShowsTheRecord) {
  UseDevice("48");
  Set(SettingKey::CBPS1, "14400");
  Set(SettingKey::CBIT1, "2");
  Set(SettingKey::CPAR1, "3");
  Set(SettingKey::CSTOP1, "0");
  Set(SettingKey::CSTOP2, "0");
  Set(SettingKey::CFLOW1, "2");
  Set(SettingKey::P_EN1, "1");
  Set(SettingKey::PTIME1, "9999");
  Set(SettingKey::PSIZE1, "0");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(Text(kSerial1Tab, IDC_BAUD_RATE), L"14400");
  EXPECT_EQ(SelectedText(kSerial1Tab, IDC_DATA_BITS), L"7 ビット");
  EXPECT_EQ(SelectedText(kSerial1Tab, IDC_PARITY), L"奇数");
  // A stored 0 reads as one stop bit on port 1 and two on port 2.
  EXPECT_EQ(SelectedText(kSerial1Tab, IDC_STOP_BITS), L"1 ビット");
  EXPECT_EQ(SelectedText(kSerial2Tab, IDC_STOP_BITS), L"2 ビット");
  EXPECT_EQ(SelectedText(kSerial1Tab, IDC_FLOW), L"Xon/Xoff");
  EXPECT_EQ(Text(kSerial1Tab, IDC_XON), L"11");
  EXPECT_EQ(Text(kSerial1Tab, IDC_XOFF), L"13");
  EXPECT_TRUE(Enabled(kSerial1Tab, IDC_XON));
  EXPECT_FALSE(Enabled(kSerial2Tab, IDC_XOFF_LABEL));
  EXPECT_EQ(Text(kSerial1Tab, IDC_PACKING_TIME), L"5000");
  EXPECT_FALSE(Checked(kSerial1Tab, IDC_DATA_COUNT));
  EXPECT_EQ(Text(kSerial1Tab, IDC_DATA_COUNT_VALUE), L"6");
  EXPECT_FALSE(Enabled(kSerial1Tab, IDC_DATA_COUNT_VALUE));
  EXPECT_EQ(ItemCount(kSerial1Tab, IDC_BAUD_RATE), 13);
  EXPECT_EQ(ItemText(kSerial1Tab, IDC_BAUD_RATE, 12), L"921600");
}

TEST_F(SettingsPagesTest, DriverControlAndFlowListByModelAndPort) {
  UseDevice("57");
  Set(SettingKey::CFLOW2, "1");
  Set(SettingKey::CDRV2, "0");
  ASSERT_NE(Open(), nullptr);
  EXPECT_TRUE(secondChannelReduced_);
  ASSERT_EQ(ItemCount(kSerial2Tab, IDC_FLOW), 2);
  EXPECT_EQ(SelectedText(kSerial2Tab, IDC_FLOW), L"Xon/Xoff");
  EXPECT_TRUE(Enabled(kSerial2Tab, IDC_XON));
  EXPECT_TRUE(Enabled(kSerial2Tab, IDC_XOFF));
  for (const int id : {IDC_DRIVER_LABEL, IDC_DRIVER_ON_SEND, IDC_DRIVER_ALWAYS}) {
    EXPECT_TRUE(Visible(kSerial2Tab, id)) << id;
    EXPECT_FALSE(Visible(kSerial1Tab, id)) << id;
  }
  EXPECT_TRUE(Checked(kSerial2Tab, IDC_DRIVER_ALWAYS));
  EXPECT_FALSE(Checked(kSerial2Tab, IDC_DRIVER_ON_SEND));
  EXPECT_EQ(ItemCount(kSerial1Tab, IDC_FLOW), 3);
  Choose(kSerial2Tab, IDC_FLOW, 0);
  EXPECT_FALSE(Enabled(kSerial2Tab, IDC_XON));
  dialog_.reset();

  UseDevice("48");
  Set(SettingKey::CDRV2, "1");
  ASSERT_NE(Open(), nullptr);
  EXPECT_FALSE(secondChannelReduced_);
  ASSERT_EQ(ItemCount(kSerial2Tab, IDC_FLOW), 3);
  EXPECT_EQ(ItemText(kSerial2Tab, IDC_FLOW, 1), L"RTS/CTS");
  for (const int id : {IDC_DRIVER_LABEL, IDC_DRIVER_ON_SEND, IDC_DRIVER_ALWAYS})
    EXPECT_FALSE(Visible(kSerial2Tab, id)) << id;
  EXPECT_TRUE(Checked(kSerial2Tab, IDC_DRIVER_ON_SEND));
}

TEST_F(SettingsPagesTest, BaudRateTakesOnlyDigitsAndIsClampedWhenLeft) {
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  SetWindowTextW(Control(kSerial1Tab, IDC_BAUD_RATE), L"");
  Type(kSerial1Tab, IDC_BAUD_RATE, L"1a4-4.0x0 ");
  EXPECT_EQ(Text(kSerial1Tab, IDC_BAUD_RATE), L"14400");
  Leave();
  EXPECT_EQ(Text(kSerial1Tab, IDC_BAUD_RATE), L"14400");

  SetWindowTextW(Control(kSerial1Tab, IDC_BAUD_RATE), L"");
  Type(kSerial1Tab, IDC_BAUD_RATE, L"123456789");
  EXPECT_EQ(Text(kSerial1Tab, IDC_BAUD_RATE), L"1234567");
  Leave();
  EXPECT_EQ(Text(kSerial1Tab, IDC_BAUD_RATE), L"921600");

  EnterAndLeave(kSerial1Tab, IDC_BAUD_RATE, L"50");
  EXPECT_EQ(Text(kSerial1Tab, IDC_BAUD_RATE), L"300");
  EnterAndLeave(kSerial1Tab, IDC_BAUD_RATE, L"");
  EXPECT_EQ(Text(kSerial1Tab, IDC_BAUD_RATE), L"300");
}

TEST_F(SettingsPagesTest, PackingGreysItsControlsAndRestoresWhatTheBoxesCallFor) {
  UseDevice("48");
  Set(SettingKey::P_EN1, "1");
  Set(SettingKey::PSIZE1, "100");
  Set(SettingKey::PCHAR1, "1");
  ASSERT_NE(Open(), nullptr);
  const int packingControls[] = {IDC_PACKING_TIME_LABEL,
                                 IDC_PACKING_TIME,
                                 IDC_PACKING_TIME_RANGE,
                                 IDC_DATA_COUNT,
                                 IDC_DATA_COUNT_VALUE,
                                 IDC_DATA_COUNT_RANGE,
                                 IDC_SPECIFIED_CHAR,
                                 IDC_CHAR_COUNT,
                                 IDC_CHAR_COUNT_LABEL,
                                 IDC_CHAR_1_LABEL,
                                 IDC_CHAR_1,
                                 IDC_CHAR_2_LABEL,
                                 IDC_CHAR_2,
                                 IDC_TRAILING_COUNT_LABEL,
                                 IDC_TRAILING_COUNT};
  // "1 バイト": only the second character is greyed.
  for (const int id : packingControls) {
    const bool secondCharacter = id == IDC_CHAR_2 || id == IDC_CHAR_2_LABEL;
    EXPECT_EQ(Enabled(kSerial1Tab, id), !secondCharacter) << id;
  }
  Click(kSerial1Tab, IDC_PACKING);
  for (const int id : packingControls)
    EXPECT_FALSE(Enabled(kSerial1Tab, id)) << id;

  Click(kSerial1Tab, IDC_PACKING);
  for (const int id : packingControls) {
    const bool secondCharacter = id == IDC_CHAR_2 || id == IDC_CHAR_2_LABEL;
    EXPECT_EQ(Enabled(kSerial1Tab, id), !secondCharacter) << id;
  }

  Choose(kSerial1Tab, IDC_CHAR_COUNT, 1);
  EXPECT_TRUE(Enabled(kSerial1Tab, IDC_CHAR_2));
  Click(kSerial1Tab, IDC_SPECIFIED_CHAR);
  for (const int id : {IDC_CHAR_COUNT, IDC_CHAR_1, IDC_CHAR_2, IDC_TRAILING_COUNT})
    EXPECT_FALSE(Enabled(kSerial1Tab, id)) << id;
  Click(kSerial1Tab, IDC_DATA_COUNT);
  EXPECT_FALSE(Enabled(kSerial1Tab, IDC_DATA_COUNT_VALUE));
  EXPECT_TRUE(Enabled(kSerial1Tab, IDC_PACKING_TIME));
}

// However large the pages' font, no control is cut off by the tab strip: the strip and the dialog
// grow to hold the pages, and the buttons stay below the strip.
TEST_F(SettingsPagesTest, EveryControlOfEveryPageIsOnScreen) {
  UseDevice("57");
  ASSERT_NE(Open(), nullptr);
  for (int tab = 0; tab < SettingsDialog::kPageCount; ++tab) {
    RECT page{};
    GetClientRect(Page(tab), &page);
    for (HWND child = GetWindow(Page(tab), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      RECT rect{};
      GetWindowRect(child, &rect);
      MapWindowPoints(HWND_DESKTOP, Page(tab), reinterpret_cast<POINT*>(&rect), 2);
      EXPECT_LE(rect.bottom, page.bottom) << "tab " << tab << " control " << GetDlgCtrlID(child);
      EXPECT_LE(rect.right, page.right) << "tab " << tab << " control " << GetDlgCtrlID(child);
    }
  }
  RECT strip{};
  GetWindowRect(GetDlgItem(dialog_->Window(), IDC_TAB), &strip);
  for (const int id : {IDOK, IDCANCEL, IDC_SETTINGS_STATUS}) {
    RECT rect{};
    GetWindowRect(GetDlgItem(dialog_->Window(), id), &rect);
    EXPECT_GE(rect.top, strip.bottom) << id;
  }
  RECT client{};
  GetClientRect(dialog_->Window(), &client);
  RECT cancel{};
  GetWindowRect(GetDlgItem(dialog_->Window(), IDCANCEL), &cancel);
  MapWindowPoints(HWND_DESKTOP, dialog_->Window(), reinterpret_cast<POINT*>(&cancel), 2);
  EXPECT_LE(cancel.bottom, client.bottom);
}

// Every control that a rule greys exists on its page, so no rule silently misses its control.
TEST_F(SettingsPagesTest, EveryRuledControlIsOnItsPage) {
  UseDevice("57");
  ASSERT_NE(Open(), nullptr);
  const auto expectAll = [this](int tab, const EnabledStates& states) {
    for (const ControlEnabled& state : states)
      EXPECT_NE(Control(tab, state.id), nullptr) << "tab " << tab << " control " << state.id;
  };
  expectAll(kNetworkTab, NetworkPageEnabled(NetworkPageState{}));
  expectAll(kLan1Tab, LanPageEnabled(LanPageState{}));
  expectAll(kLan2Tab, LanPageEnabled(LanPageState{}));
  expectAll(kSerial1Tab, SerialPageEnabled(SerialPageState{}));
  expectAll(kSerial2Tab, SerialPageEnabled(SerialPageState{}));
  // No list sorts its entries: their order is their meaning.
  for (const int tab : {1, 2, 3, 4}) {
    for (HWND child = GetWindow(Page(tab), GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
      wchar_t className[32] = {};
      GetClassNameW(child, className, 32);
      if (std::wstring(className) != L"ComboBox") continue;
      EXPECT_FALSE(GetWindowLongPtrW(child, GWL_STYLE) & CBS_SORT) << GetDlgCtrlID(child);
    }
  }
}

}  // namespace
}  // namespace calbrin
