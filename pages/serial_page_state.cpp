// The serial port page's lists, record mapping and enable rules.
#include "pages/serial_page_state.h"

#include <array>

#include "pages/edit_rules.h"
#include "pages/page_fields.h"
#include "resources/resource.h"
#include "settings/settings_record.h"

namespace calbrin {
namespace {

constexpr int kOneStopBitItem = 0;
constexpr int kTwoStopBitsItem = 1;
constexpr int kXonXoffItem = 2;
constexpr int kTwoCharactersItem = 1;

const PageField& Field(int control) {
  return PageFieldOf(PageKind::kSerial, control);
}

}  // namespace

ChoiceItems BaudRateItems() {
  return ItemTexts(Field(IDC_BAUD_RATE), false);
}
ChoiceItems DataBitsItems() {
  return ItemTexts(Field(IDC_DATA_BITS), false);
}
ChoiceItems ParityItems() {
  return ItemTexts(Field(IDC_PARITY), false);
}
ChoiceItems StopBitsItems() {
  return ItemTexts(Field(IDC_STOP_BITS), false);
}
ChoiceItems FlowItems(bool reduced) {
  return ItemTexts(Field(IDC_FLOW), reduced);
}
ChoiceItems CharacterCountItems() {
  return ItemTexts(Field(IDC_CHAR_COUNT), false);
}
ChoiceItems TrailingCountItems() {
  return ItemTexts(Field(IDC_TRAILING_COUNT), false);
}

void FillSerialPage(const SettingsRecord& record, SerialPageState& state) {
  const int port = state.variant.port;
  const bool reducedFlow = state.variant.reduced;
  const auto text = [&](SettingKey portOneKey) {
    return std::string(ReadField(record, ChannelKey(portOneKey, port)));
  };
  const auto number = [&](SettingKey portOneKey) { return ReadDecimalNumber(text(portOneKey)); };

  // The driver buttons are set on every port-2 load, also while they are hidden; only the exact
  // text "0" means always active, so this stays apart from the table's number reading.
  if (port == 2) state.driverOnSend = text(SettingKey::CDRV1) != "0";

  // The baud rate is shown as stored; it is corrected only when the user leaves the field.
  state.baudRate = text(SettingKey::CBPS1);
  const auto item = [&](int control, SettingKey portOneKey, bool reducedList = false) {
    return ItemShowing(Field(control), reducedList, number(portOneKey));
  };
  state.dataBits = item(IDC_DATA_BITS, SettingKey::CBIT1);
  state.parity = item(IDC_PARITY, SettingKey::CPAR1);
  // The two ports read a stored stop-bit value differently: only an explicit 2 (or 3) means two
  // stop bits on port 1, only an explicit 1 means one stop bit on port 2.
  if (port == 1) {
    state.stopBits = item(IDC_STOP_BITS, SettingKey::CSTOP1);
  } else {
    state.stopBits = number(SettingKey::CSTOP1) == 1 ? kOneStopBitItem : kTwoStopBitsItem;
  }
  state.flow = item(IDC_FLOW, SettingKey::CFLOW1, reducedFlow);
  state.xon = HexCharacterText(number(SettingKey::CXON1));
  state.xoff = HexCharacterText(number(SettingKey::CXOFF1));

  state.packing = number(SettingKey::P_EN1) > 0;
  state.packingTime = ClampEditNumber(text(SettingKey::PTIME1), kPackingTimeLow, kPackingTimeHigh);
  state.dataCount = number(SettingKey::PSIZE1) > 0;
  state.dataCountValue = ClampEditNumber(text(SettingKey::PSIZE1), kDataCountLow, kDataCountHigh);
  state.specifiedCharacter = number(SettingKey::PCHAR1) > 0;
  state.characterCount = item(IDC_CHAR_COUNT, SettingKey::PCHAR1);
  state.character1 = HexCharacterText(number(SettingKey::PMOJ11));
  state.character2 = HexCharacterText(number(SettingKey::PMOJ21));
  state.trailingCount = item(IDC_TRAILING_COUNT, SettingKey::PTRAL1);
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
