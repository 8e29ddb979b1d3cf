// The serial port page's lists, record mapping and enable rules.
#include "pages/serial_page_state.h"

#include <array>

#include "pages/edit_rules.h"
#include "resources/resource.h"
#include "settings/settings_record.h"

namespace calbrin {
namespace {

constexpr std::array<const char*, 13> kBaudRates{"300",    "600",    "1200",  "2400",  "4800",
                                                 "9600",   "19200",  "38400", "57600", "115200",
                                                 "230400", "460800", "921600"};
constexpr std::array<const char*, 2> kDataBits{"7 ビット", "8 ビット"};
constexpr std::array<const char*, 3> kParities{"無し", "偶数", "奇数"};
constexpr std::array<const char*, 2> kStopBits{"1 ビット", "2 ビット"};
constexpr std::array<const char*, 3> kFlows{"無し", "RTS/CTS", "Xon/Xoff"};
constexpr std::array<const char*, 2> kReducedFlows{"無し", "Xon/Xoff"};
constexpr std::array<const char*, 2> kCharacterCounts{"1 バイト", "2 バイト"};
constexpr std::array<const char*, 3> kTrailingCounts{"無し", "1 バイト", "2 バイト"};

constexpr int kSevenBitsItem = 0;
constexpr int kEightBitsItem = 1;
constexpr int kOneStopBitItem = 0;
constexpr int kTwoStopBitsItem = 1;
constexpr int kXonXoffItem = 2;
constexpr int kReducedXonXoffItem = 1;
constexpr int kTwoCharactersItem = 1;

// A number that names an item directly, or item 0.
int ItemOrFirst(long long number, int items) {
  return number >= 0 && number < items ? static_cast<int>(number) : 0;
}

}  // namespace

ChoiceItems BaudRateItems() {
  return kBaudRates;
}
ChoiceItems DataBitsItems() {
  return kDataBits;
}
ChoiceItems ParityItems() {
  return kParities;
}
ChoiceItems StopBitsItems() {
  return kStopBits;
}
ChoiceItems FlowItems(bool reduced) {
  if (reduced) return kReducedFlows;
  return kFlows;
}
ChoiceItems CharacterCountItems() {
  return kCharacterCounts;
}
ChoiceItems TrailingCountItems() {
  return kTrailingCounts;
}

void FillSerialPage(const SettingsRecord& record, SerialPageState& state) {
  const int port = state.variant.port;
  const bool reducedFlow = state.variant.reduced;
  const auto text = [&](SettingKey portOneKey) {
    return std::string(ReadField(record, ChannelKey(portOneKey, port)));
  };
  const auto number = [&](SettingKey portOneKey) { return ReadDecimalNumber(text(portOneKey)); };

  // The driver buttons are set on every port-2 load, also while they are hidden.
  if (port == 2) state.driverOnSend = text(SettingKey::CDRV1) != "0";

  // The baud rate is shown as stored; it is corrected only when the user leaves the field.
  state.baudRate = text(SettingKey::CBPS1);
  state.dataBits = number(SettingKey::CBIT1) == 2 ? kSevenBitsItem : kEightBitsItem;
  switch (number(SettingKey::CPAR1)) {
    case 2:
      state.parity = 1;
      break;
    case 3:
      state.parity = 2;
      break;
    default:
      state.parity = 0;
  }
  // The two ports read a stored stop-bit value differently: only an explicit 2 (or 3) means two
  // stop bits on port 1, only an explicit 1 means one stop bit on port 2.
  const long long stopBits = number(SettingKey::CSTOP1);
  if (port == 1) {
    state.stopBits = stopBits == 2 || stopBits == 3 ? kTwoStopBitsItem : kOneStopBitItem;
  } else {
    state.stopBits = stopBits == 1 ? kOneStopBitItem : kTwoStopBitsItem;
  }
  const long long flow = number(SettingKey::CFLOW1);
  if (reducedFlow) {
    state.flow = flow == 1 || flow == 2 ? kReducedXonXoffItem : 0;
  } else {
    state.flow = ItemOrFirst(flow, static_cast<int>(kFlows.size()));
  }
  state.xon = HexCharacterText(number(SettingKey::CXON1));
  state.xoff = HexCharacterText(number(SettingKey::CXOFF1));

  state.packing = number(SettingKey::P_EN1) > 0;
  state.packingTime = ClampEditNumber(text(SettingKey::PTIME1), kPackingTimeLow, kPackingTimeHigh);
  state.dataCount = number(SettingKey::PSIZE1) > 0;
  state.dataCountValue = ClampEditNumber(text(SettingKey::PSIZE1), kDataCountLow, kDataCountHigh);
  state.specifiedCharacter = number(SettingKey::PCHAR1) > 0;
  state.characterCount = number(SettingKey::PCHAR1) == 2 ? kTwoCharactersItem : 0;
  state.character1 = HexCharacterText(number(SettingKey::PMOJ11));
  state.character2 = HexCharacterText(number(SettingKey::PMOJ21));
  state.trailingCount =
      ItemOrFirst(number(SettingKey::PTRAL1), static_cast<int>(kTrailingCounts.size()));
}

EnabledStates SerialPageEnabled(const SerialPageState& state) {
  static constexpr std::array kXonXoff{IDC_XON_LABEL, IDC_XON, IDC_XOFF_LABEL, IDC_XOFF};
  static constexpr std::array kPackingChoices{IDC_PACKING_TIME_LABEL, IDC_PACKING_TIME,
                                              IDC_PACKING_TIME_RANGE, IDC_DATA_COUNT,
                                              IDC_SPECIFIED_CHAR};
  static constexpr std::array kDataCount{IDC_DATA_COUNT_VALUE, IDC_DATA_COUNT_RANGE};
  static constexpr std::array kSpecifiedCharacter{IDC_CHAR_COUNT,           IDC_CHAR_COUNT_LABEL,
                                                  IDC_CHAR_1_LABEL,         IDC_CHAR_1,
                                                  IDC_TRAILING_COUNT_LABEL, IDC_TRAILING_COUNT};
  static constexpr std::array kSecondCharacter{IDC_CHAR_2_LABEL, IDC_CHAR_2};

  const bool xonXoff = state.variant.reduced ? state.flow != 0 : state.flow == kXonXoffItem;
  const bool specified = state.packing && state.specifiedCharacter;
  EnabledStates states;
  SetEnabled(states, kXonXoff, xonXoff);
  SetEnabled(states, kPackingChoices, state.packing);
  SetEnabled(states, kDataCount, state.packing && state.dataCount);
  SetEnabled(states, kSpecifiedCharacter, specified);
  SetEnabled(states, kSecondCharacter, specified && state.characterCount == kTwoCharactersItem);
  return states;
}

}  // namespace calbrin
