// The serial port page's lists, record mapping and enable rules, without windows.
#include "pages/serial_page_state.h"

#include <gtest/gtest.h>

#include <map>

#include "resources/resource.h"
#include "settings/settings_record.h"
#include "tests/unit/page_test_support.h"

namespace calbrin {
namespace {

using test::ControlsNot;
using test::EnabledOf;

SerialPageState Filled(const std::map<SettingKey, std::string>& values, int port = 1,
                       bool reduced = false) {
  SettingsRecord record;
  for (const auto& [key, value] : values)
    SetField(record, ChannelKey(key, port), value);
  SerialPageState state;
  state.variant = {port, reduced};
  FillSerialPage(record, state);
  return state;
}

TEST(SerialPageLists, EntriesInTheirOrder) {
  EXPECT_EQ(test::JoinedItems(BaudRateItems()),
            "300|600|1200|2400|4800|9600|19200|38400|57600|115200|230400|460800|921600|");
  EXPECT_EQ(test::JoinedItems(DataBitsItems()), "7 ビット|8 ビット|");
  EXPECT_EQ(test::JoinedItems(ParityItems()), "無し|偶数|奇数|");
  EXPECT_EQ(test::JoinedItems(StopBitsItems()), "1 ビット|2 ビット|");
  EXPECT_EQ(test::JoinedItems(FlowItems(false)), "無し|RTS/CTS|Xon/Xoff|");
  EXPECT_EQ(test::JoinedItems(FlowItems(true)), "無し|Xon/Xoff|");
  EXPECT_EQ(test::JoinedItems(CharacterCountItems()), "1 バイト|2 バイト|");
  EXPECT_EQ(test::JoinedItems(TrailingCountItems()), "無し|1 バイト|2 バイト|");
}

// Each row: a field value on a port and the list item it selects.
TEST(FillSerialPage, ListItemsByStoredValue) {
  struct Case {
    SettingKey key;
    const char* value;
    int port;
    bool reduced;
    int item;
  } cases[] = {
      {SettingKey::CBIT1, "3", 1, false, 1},  {SettingKey::CBIT1, "2", 1, false, 0},
      {SettingKey::CBIT1, "", 1, false, 1},   {SettingKey::CPAR1, "2", 1, false, 1},
      {SettingKey::CPAR1, "3", 2, false, 2},  {SettingKey::CPAR1, "1", 1, false, 0},
      {SettingKey::CPAR1, "4", 1, false, 0},  {SettingKey::CSTOP1, "0", 1, false, 0},
      {SettingKey::CSTOP1, "0", 2, false, 1}, {SettingKey::CSTOP1, "1", 1, false, 0},
      {SettingKey::CSTOP1, "1", 2, false, 0}, {SettingKey::CSTOP1, "2", 1, false, 1},
      {SettingKey::CSTOP1, "2", 2, false, 1}, {SettingKey::CSTOP1, "3", 1, false, 1},
      {SettingKey::CSTOP1, "", 2, false, 1},  {SettingKey::CFLOW1, "0", 1, false, 0},
      {SettingKey::CFLOW1, "1", 1, false, 1}, {SettingKey::CFLOW1, "2", 2, false, 2},
      {SettingKey::CFLOW1, "3", 1, false, 0}, {SettingKey::CFLOW1, "-1", 1, false, 0},
      {SettingKey::CFLOW1, "1", 2, true, 1},  {SettingKey::CFLOW1, "2", 2, true, 1},
      {SettingKey::CFLOW1, "0", 2, true, 0},  {SettingKey::CFLOW1, "3", 2, true, 0},
      {SettingKey::PCHAR1, "2", 1, false, 1}, {SettingKey::PCHAR1, "1", 1, false, 0},
      {SettingKey::PCHAR1, "5", 1, false, 0}, {SettingKey::PTRAL1, "2", 1, false, 2},
      {SettingKey::PTRAL1, "1", 2, false, 1}, {SettingKey::PTRAL1, "3", 1, false, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(KeyText(Index(ChannelKey(c.key, c.port)))) + " \"" + c.value + "\"" +
                 (c.reduced ? " reduced" : ""));
    const SerialPageState state = Filled({{c.key, c.value}}, c.port, c.reduced);
    switch (c.key) {
      case SettingKey::CBIT1:
        EXPECT_EQ(state.dataBits, c.item);
        break;
      case SettingKey::CPAR1:
        EXPECT_EQ(state.parity, c.item);
        break;
      case SettingKey::CSTOP1:
        EXPECT_EQ(state.stopBits, c.item);
        break;
      case SettingKey::CFLOW1:
        EXPECT_EQ(state.flow, c.item);
        break;
      case SettingKey::PCHAR1:
        EXPECT_EQ(state.characterCount, c.item);
        break;
      default:
        EXPECT_EQ(state.trailingCount, c.item);
    }
  }
}

TEST(FillSerialPage, TextsAndChecks) {
  const SerialPageState state = Filled({{SettingKey::CBPS1, "14400"},
                                        {SettingKey::CXON1, "17"},
                                        {SettingKey::CXOFF1, "300"},
                                        {SettingKey::P_EN1, "1"},
                                        {SettingKey::PTIME1, "9999"},
                                        {SettingKey::PSIZE1, "0"},
                                        {SettingKey::PCHAR1, "1"},
                                        {SettingKey::PMOJ11, "13"},
                                        {SettingKey::PMOJ21, "10"}});
  EXPECT_EQ(state.baudRate, "14400");
  EXPECT_EQ(state.xon, "11");
  EXPECT_EQ(state.xoff, "00");
  EXPECT_TRUE(state.packing);
  EXPECT_EQ(state.packingTime, "5000");
  EXPECT_FALSE(state.dataCount);
  EXPECT_EQ(state.dataCountValue, "6");
  EXPECT_TRUE(state.specifiedCharacter);
  EXPECT_EQ(state.character1, "0D");
  EXPECT_EQ(state.character2, "0A");

  // The baud rate is not corrected on loading; the idle time and data count are.
  const SerialPageState low = Filled(
      {{SettingKey::CBPS1, "12"}, {SettingKey::PTIME1, "0"}, {SettingKey::PSIZE1, "2000"}}, 2);
  EXPECT_EQ(low.baudRate, "12");
  EXPECT_EQ(low.packingTime, "1");
  EXPECT_EQ(low.dataCountValue, "1460");
  EXPECT_TRUE(low.dataCount);
  EXPECT_FALSE(low.packing);
  EXPECT_FALSE(Filled({{SettingKey::P_EN1, "-1"}}).packing);
}

TEST(FillSerialPage, DriverControlOfPortTwo) {
  EXPECT_FALSE(Filled({{SettingKey::CDRV1, "0"}}, 2, true).driverOnSend);
  EXPECT_TRUE(Filled({{SettingKey::CDRV1, "1"}}, 2, true).driverOnSend);
  EXPECT_TRUE(Filled({{SettingKey::CDRV1, ""}}, 2, true).driverOnSend);
  EXPECT_TRUE(Filled({{SettingKey::CDRV1, "00"}}, 2, true).driverOnSend);
  // Set while hidden too.
  EXPECT_FALSE(Filled({{SettingKey::CDRV1, "0"}}, 2, false).driverOnSend);

  EXPECT_TRUE((SerialPortVariant{2, true}).DriverControlShown());
  EXPECT_FALSE((SerialPortVariant{2, false}).DriverControlShown());
  EXPECT_FALSE((SerialPortVariant{1, true}).DriverControlShown());
}

TEST(SerialPageRules, XonXoffFieldsFollowTheFlowList) {
  const std::initializer_list<int> fields{IDC_XON_LABEL, IDC_XON, IDC_XOFF_LABEL, IDC_XOFF};
  EXPECT_EQ(ControlsNot(SerialPageEnabled(Filled({{SettingKey::CFLOW1, "2"}})), fields, true), "");
  EXPECT_EQ(ControlsNot(SerialPageEnabled(Filled({{SettingKey::CFLOW1, "1"}})), fields, false), "");
  EXPECT_EQ(
      ControlsNot(SerialPageEnabled(Filled({{SettingKey::CFLOW1, "1"}}, 2, true)), fields, true),
      "");
  EXPECT_EQ(
      ControlsNot(SerialPageEnabled(Filled({{SettingKey::CFLOW1, "0"}}, 2, true)), fields, false),
      "");
}

TEST(SerialPageRules, PackingGreysEverythingAndRestoresWhatTheOtherBoxesCallFor) {
  const std::initializer_list<int> packingControls{IDC_PACKING_TIME_LABEL,
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
  SerialPageState state =
      Filled({{SettingKey::P_EN1, "1"}, {SettingKey::PSIZE1, "0"}, {SettingKey::PCHAR1, "2"}});
  EXPECT_EQ(
      ControlsNot(SerialPageEnabled(state), packingControls, true),
      std::to_string(IDC_DATA_COUNT_VALUE) + " " + std::to_string(IDC_DATA_COUNT_RANGE) + " ");

  state.packing = false;
  EXPECT_EQ(ControlsNot(SerialPageEnabled(state), packingControls, false), "");

  state.packing = true;
  state.characterCount = 0;
  state.dataCount = true;
  const EnabledStates enabled = SerialPageEnabled(state);
  EXPECT_TRUE(EnabledOf(enabled, IDC_DATA_COUNT_VALUE));
  EXPECT_TRUE(EnabledOf(enabled, IDC_CHAR_1));
  EXPECT_FALSE(EnabledOf(enabled, IDC_CHAR_2));
  EXPECT_FALSE(EnabledOf(enabled, IDC_CHAR_2_LABEL));

  state.specifiedCharacter = false;
  state.characterCount = 1;
  EXPECT_EQ(
      ControlsNot(SerialPageEnabled(state),
                  {IDC_CHAR_COUNT, IDC_CHAR_COUNT_LABEL, IDC_CHAR_1_LABEL, IDC_CHAR_1,
                   IDC_CHAR_2_LABEL, IDC_CHAR_2, IDC_TRAILING_COUNT_LABEL, IDC_TRAILING_COUNT},
                  false),
      "");
}

}  // namespace
}  // namespace calbrin
