// The serial port page's record mapping and enable rules, without windows.
#include "pages/serial_page_state.h"

#include <gtest/gtest.h>

#include <map>

#include "settings/settings_record.h"
#include "tests/unit/page_test_support.h"

namespace calbrin {
namespace {

using test::Ids;

SerialPageState Filled(const std::map<SettingKey, std::string>& portOneValues, int port = 1,
                       bool reduced = false) {
  SettingsRecord record;
  for (const auto& [key, value] : portOneValues)
    SetField(record, ChannelKey(key, port), value);
  SerialPageState state;
  state.variant = {port, reduced};
  FillSerialPage(record, state);
  return state;
}

TEST(SerialPage, FillShowsTextsChecksAndCorrectedNumbers) {
  const SerialPageState state = Filled({{SettingKey::CBPS1, "12"},
                                        {SettingKey::CXON1, "17"},
                                        {SettingKey::CXOFF1, "300"},
                                        {SettingKey::P_EN1, "1"},
                                        {SettingKey::PTIME1, "0"},
                                        {SettingKey::PSIZE1, "2000"},
                                        {SettingKey::PCHAR1, "1"},
                                        {SettingKey::PMOJ11, "13"},
                                        {SettingKey::PMOJ21, "10"}},
                                       2);
  EXPECT_EQ(std::tuple(state.baudRate, state.xon, state.xoff, state.character1, state.character2),
            std::tuple("12", "11", "00", "0D", "0A"));
  EXPECT_EQ(std::tuple(state.packing, state.packingTime, state.dataCount, state.dataCountValue,
                       state.specifiedCharacter),
            std::tuple(true, "1", true, "1460", true));
  const SerialPageState off =
      Filled({{SettingKey::P_EN1, "-1"}, {SettingKey::PTIME1, "9999"}, {SettingKey::PSIZE1, "0"}});
  EXPECT_EQ(std::tuple(off.packing, off.packingTime, off.dataCount, off.dataCountValue,
                       off.specifiedCharacter),
            std::tuple(false, "5000", false, "6", false));
}

TEST(SerialPage, DriverControlOfPortTwoIsSetEvenWhileHidden) {
  for (const bool reduced : {false, true}) {
    for (const auto& [stored, onSend] :
         {std::pair{"0", false}, {"1", true}, {"", true}, {"00", true}}) {
      EXPECT_EQ(Filled({{SettingKey::CDRV1, stored}}, 2, reduced).driverOnSend, onSend) << stored;
    }
  }
  EXPECT_TRUE((SerialPortVariant{2, true}).DriverControlShown());
  EXPECT_FALSE((SerialPortVariant{2, false}).DriverControlShown());
  EXPECT_FALSE((SerialPortVariant{1, true}).DriverControlShown());
}

// clang-format off
const Ids kXonXoff{IDC_XON_LABEL, IDC_XON, IDC_XOFF_LABEL, IDC_XOFF};
const Ids kPacking{IDC_PACKING_TIME_LABEL, IDC_PACKING_TIME, IDC_PACKING_TIME_RANGE, IDC_DATA_COUNT,
                   IDC_SPECIFIED_CHAR};
const Ids kDataCount{IDC_DATA_COUNT_VALUE, IDC_DATA_COUNT_RANGE};
const Ids kSpecified{IDC_CHAR_COUNT, IDC_CHAR_COUNT_LABEL, IDC_CHAR_1_LABEL, IDC_CHAR_1,
                     IDC_TRAILING_COUNT_LABEL, IDC_TRAILING_COUNT};
const Ids kSecond{IDC_CHAR_2_LABEL, IDC_CHAR_2};
// clang-format on

TEST(SerialPage, EnableRules) {
  struct Row {
    bool reduced;
    int flow;
    bool packing, dataCount, specified;
    int characterCount;
    Ids enabled;
  } rows[] = {
      // clang-format off
      {false, 2, false, true, true, 1, kXonXoff},
      {false, 1, true, false, true, 1, test::Union({kPacking, kSpecified, kSecond})},
      {true, 1, true, true, true, 0, test::Union({kXonXoff, kPacking, kDataCount, kSpecified})},
      {true, 0, true, true, false, 1, test::Union({kPacking, kDataCount})},
      {false, 0, true, false, false, 0, kPacking},
      {true, 2, false, false, false, 0, kXonXoff},
      // clang-format on
  };
  for (const Row& row : rows) {
    SerialPageState state;
    state.variant = {2, row.reduced};
    state.flow = row.flow;
    state.packing = row.packing;
    state.dataCount = row.dataCount;
    state.specifiedCharacter = row.specified;
    state.characterCount = row.characterCount;
    EXPECT_EQ(test::EnabledIds(SerialPageEnabled(state)), row.enabled) << "row " << &row - rows;
  }
}

}  // namespace
}  // namespace calbrin
