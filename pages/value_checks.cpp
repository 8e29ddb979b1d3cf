// Checks of single setting values by the pages' field table.
#include "pages/value_checks.h"

#include <algorithm>
#include <cstdint>

#include "pages/dotted_address.h"
#include "pages/edit_rules.h"
#include "pages/page_fields.h"
#include "settings/device_text.h"
#include "settings/messages.h"
#include "settings/setting_key.h"

namespace calbrin {
namespace {

bool IsControl(char c) {
  return static_cast<unsigned char>(c) < 0x20 || c == 0x7F;
}

bool AllDigits(std::string_view value) {
  return !value.empty() &&
         std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Decimal digits as a number edit leaves them: no leading zero but in "0" itself.
bool PlainDecimal(std::string_view value) {
  return AllDigits(value) && (value.size() == 1 || value[0] != '0');
}

// The row that calbrin-cli labels a key by; every key but the model has one.
const PageField* LabelledRow(SettingKey channelOneKey) {
  for (const PageField& field : kPageFields) {
    if (field.key == channelOneKey && !field.label.empty()) return &field;
  }
  return nullptr;
}

// What a number edit leaves after losing the focus: plain decimal within the row's range.
std::optional<std::string> NumberProblem(const PageField& row, std::string_view value,
                                         Language language) {
  if (!row.offValue.empty() && value == row.offValue) return std::nullopt;
  const bool leadingZero = AllDigits(value) && !PlainDecimal(value);
  if (PlainDecimal(value)) {
    const long long number = ReadDecimalNumber(value);
    if (number >= row.low && number <= row.high) return std::nullopt;
  }
  std::string allowed = FormatMessageText(MessageId::kNumberFromTo, language,
                                          {std::to_string(row.low), std::to_string(row.high)});
  if (!row.offValue.empty())
    allowed = FormatMessageText(MessageId::kOffOr, language, {row.offValue, allowed});
  if (!leadingZero) return allowed;
  return FormatMessageText(MessageId::kWithoutLeadingZeros, language, {allowed});
}

// What an IP address control renders: four numbers of 0 to 255 without leading zeros; a subnet
// mask's bits are ones, then zeros.
std::optional<std::string> AddressProblem(bool mask, std::string_view value, Language language) {
  const std::optional<std::uint32_t> address = ParseDottedAddress(value);
  bool good = address && DottedAddressText(*address) == value;
  if (good && mask) {
    const std::uint32_t hostBits = ~*address;
    good = (hostBits & (hostBits + 1)) == 0;
  }
  if (good) return std::nullopt;
  return std::string(
      MessageText(mask ? MessageId::kDottedMask : MessageId::kDottedAddress, language));
}

// The codes that the row's list stores, as far as the channel offers them, and its off value.
std::optional<std::string> ChoiceProblem(const PageField& row, bool reduced, std::string_view value,
                                         Language language) {
  std::string allowed =
      row.offValue.empty() ? "" : FormatMessageText(MessageId::kOffCode, language, {row.offValue});
  bool fewer = false;
  for (const ChoiceItem& item : row.items) {
    if (reduced && !item.inReducedList) {
      fewer = true;
      continue;
    }
    if (value == item.code) return std::nullopt;
    allowed += (allowed.empty() ? "" : ", ") + std::string(item.code) + " (" +
               std::string(item.text.In(language)) + ")";
  }
  if (!row.offValue.empty() && value == row.offValue) return std::nullopt;
  allowed = FormatMessageText(MessageId::kOneOf, language, {allowed});
  if (!fewer) return allowed;
  return FormatMessageText(MessageId::kOnReducedChannel, language, {allowed});
}

std::optional<std::string> TextProblem(const PageField& row, int index, std::string_view value,
                                       Language language) {
  const std::size_t limit = row.editLimit > 0
                                ? std::min<std::size_t>(FieldWidth(index), row.editLimit)
                                : FieldWidth(index);
  if (value.size() <= limit && std::none_of(value.begin(), value.end(), IsControl))
    return std::nullopt;
  return FormatMessageText(MessageId::kTextUpTo, language, {std::to_string(limit)});
}

// What the pages store for the key at `index`, whose row is `row`, on `channel` (0: none).
std::optional<std::string> Problem(const PageField& row, int index, int channel, bool reduced,
                                   std::string_view value, Language language) {
  const SettingKey key = *row.key;
  // The Ethernet mode is a check box and two pairs of radio buttons, stored as one code.
  if (key == SettingKey::NEGOS) {
    std::string allowed = "7 (" + EthernetModeText("7", language) + ")";
    for (const std::string_view code : {"0", "1", "2", "3"}) {
      if (value == code) return std::nullopt;
      allowed += ", " + std::string(code) + " (" + EthernetModeText(code, language) + ")";
    }
    if (value == "7") return std::nullopt;
    return FormatMessageText(MessageId::kOneOf, language, {allowed});
  }
  // Port 1 has no driver control: its collection always stores 0.
  if (key == SettingKey::CDRV1 && channel == 1) {
    if (value == "0") return std::nullopt;
    return std::string(MessageText(MessageId::kNoDriverControl, language));
  }
  switch (row.kind) {
    case FieldKind::kNumber:
      return NumberProblem(row, value, language);
    case FieldKind::kAddress:
      return AddressProblem(key == SettingKey::SUBM, value, language);
    case FieldKind::kChoice:
      return ChoiceProblem(row, reduced && channel == 2, value, language);
    case FieldKind::kCheck:
      if (value == "0" || value == "1") return std::nullopt;
      return std::string(MessageText(MessageId::kZeroOrOne, language));
    case FieldKind::kHexCharacter:
      if (PlainDecimal(value) && ReadDecimalNumber(value) <= 255) return std::nullopt;
      return std::string(MessageText(MessageId::kCharacterCode, language));
    case FieldKind::kText:
      return TextProblem(row, index, value, language);
    case FieldKind::kPassword:
      break;
  }
  return std::nullopt;
}

}  // namespace

std::optional<ValueProblem> CheckSettingValue(int index, std::string_view value,
                                              bool secondChannelReduced, Language language) {
  const bool secondChannel = index >= Index(SettingKey::PORT2);
  const int channel = secondChannel ? 2 : index >= Index(SettingKey::PORT1) ? 1 : 0;
  const auto channelOneKey =
      static_cast<SettingKey>(secondChannel ? index - kChannelStride : index);
  const PageField* row = LabelledRow(channelOneKey);
  if (row == nullptr) return std::nullopt;
  std::optional<std::string> allowed =
      Problem(*row, index, channel, secondChannelReduced, value, language);
  if (!allowed) return std::nullopt;
  return ValueProblem{std::string(KeyText(index)) + " (" + std::string(row->label.In(language)) +
                          ") = " + TerminalText(value),
                      std::move(*allowed)};
}

std::string EthernetModeText(std::string_view code, Language language) {
  const bool english = language == Language::kEnglish;
  if (code.size() != 1 || code[0] < '0' || code[0] > '3')
    return english ? "Auto-negotiation" : "オートネゴシエーション";
  const int bits = code[0] - '0';
  const BilingualText duplex =
      bits & 1 ? BilingualText{"全二重", "full duplex"} : BilingualText{"半二重", "half duplex"};
  return std::string(bits & 2 ? "100M" : "10M") + " " + std::string(duplex.In(language));
}

}  // namespace calbrin
