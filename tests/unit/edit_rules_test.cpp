// The edit rules on text, and which rule and limit each edit of the pages carries.
#include "pages/edit_rules.h"

#include <gtest/gtest.h>

#include "pages/page_fields.h"

namespace calbrin {
namespace {

// clang-format off
// One typed text through every rule that reads it: as a decimal number (the C library's way), as
// a hexadecimal entry, through the hexadecimal filter ("-": left alone) and clamped to 0..255.
TEST(EditRules, ReadingsOfOneText) {
  struct Row { const char* text; long long decimal, hex; const char *filtered, *clamped; } rows[] = {
      {"9600", 9600, 0x9600, "-", "255"}, {"  \t42abc", 42, 0, "", "42"}, {"+7", 7, 0, "", "7"},
      {"-12", -12, 0, "", "0"}, {"", 0, 0, "-", "0"}, {"abc", 0, 0xABC, "ABC", "0"},
      {"- 5", 0, 0, "", "0"}, {"0x1F", 0, 0, "0", "0"}, {"0080", 80, 0x80, "-", "80"},
      {"0D", 0, 13, "-", "0"}, {"ff", 0, 255, "FF", "0"}, {"1g", 1, 1, "1", "1"},
      {"g1", 0, 0, "", "0"}, {"a", 0, 10, "A", "0"}, {"f ", 0, 15, "F", "0"},
      {"0000000051", 51, 0x51, "-", "5"}, {"12ab", 12, 0x12AB, "-", "12"},
  };
  for (const Row& row : rows)
    EXPECT_EQ(std::tuple(ReadDecimalNumber(row.text), HexEntryValue(row.text),
                         FilterHexText(row.text).value_or("-"), ClampEditNumber(row.text, 0, 255)),
              std::tuple(row.decimal, row.hex, row.filtered, row.clamped)) << '"' << row.text << '"';
  EXPECT_GT(ReadDecimalNumber("99999999999999999999999999"), 1'000'000'000'000LL);
  EXPECT_LT(ReadDecimalNumber("-99999999999999999999999999"), -1'000'000'000'000LL);
  EXPECT_GT(HexEntryValue("ffffffffffffffffffffffff"), 0);
  for (const auto& [code, text] : {std::pair{13, "0D"}, {0, "00"}, {255, "FF"}, {256, "00"}, {-1, "00"}})
    EXPECT_EQ(HexCharacterText(code), text) << code;
  EXPECT_EQ(FilterPrintableText("!~\x7f!"), "!~");
  EXPECT_EQ(FilterPrintableText(std::string(40, 'x')), std::string(32, 'x'));
}

TEST(EditRules, BaudRateIsLimitedAsAnUnsignedNumberAndTakesDigitsOnly) {
  const std::pair<const char*, const char*> rows[] = {{"1234567", "921600"}, {"50", "300"},
      {"14400", "14400"}, {"0009600", "9600"}, {"-1", "921600"}, {"-0", "300"},
      {"4294967296", "921600"}, {"9999999999999999999", "921600"}, {"00000000000000000009600", "300"}};
  for (const auto& [text, expected] : rows)
    EXPECT_EQ(ClampBaudRate(text), expected) << text;
  for (unsigned int c = 0; c < 0x10000; ++c)
    ASSERT_EQ(BaudDigitAccepted(c), c == '\b' || (c >= '0' && c <= '9')) << c;
}

// Every edit of the pages with its rule, range and character limit, as the user meets them.
TEST(EditRules, EachEditCarriesItsRuleAndLimit) {
  using enum PageKind;
  using enum EditRule;
  struct Row { PageKind page; int control; EditRule rule; int low, high, limit; } rows[] = {
      {kNetwork, IDC_MSS, kClamp, 536, 1460, 4}, {kNetwork, IDC_KEEP_ALIVE, kClamp, 0, 255, 3},
      {kNetwork, IDC_NEW_PASSWORD, kPrintable, 0, 0, 32},
      {kNetwork, IDC_NEW_PASSWORD_AGAIN, kPrintable, 0, 0, 32},
      {kLan, IDC_RECEIVE_PORT, kClamp, 0, 65535, 5}, {kLan, IDC_UDP_PORT, kClamp, 0, 65535, 0},
      {kLan, IDC_CLIENT_PORT, kNone, 0, 0, 0}, {kLan, IDC_IDLE_TIME, kClamp, 1, 3600, 4},
      {kLan, IDC_CLIENT_CHAR, kHex, 0, 0, 2}, {kLan, IDC_DISCONNECT_CHAR, kHex, 0, 0, 2},
      {kLan, IDC_LAN_PASSWORD, kPrintable, 0, 0, 32}, {kSerial, IDC_BAUD_RATE, kBaud, 300, 921600, 7},
      {kSerial, IDC_PACKING_TIME, kClamp, 1, 5000, 4}, {kSerial, IDC_DATA_COUNT_VALUE, kClamp, 6, 1460, 5},
      {kSerial, IDC_XON, kHex, 0, 0, 2}, {kSerial, IDC_XOFF, kHex, 0, 0, 2},
      {kSerial, IDC_CHAR_1, kHex, 0, 0, 2}, {kSerial, IDC_CHAR_2, kHex, 0, 0, 2},
      {kLan, IDC_MSS, kNone, 0, 0, 0},  // not on that page
  };
  std::size_t limited[3] = {};
  for (const Row& row : rows) {
    EXPECT_EQ(std::pair(EditRuleOf(row.page, row.control), EditLimitOf(row.page, row.control)),
              std::pair(row.rule, row.limit)) << row.control;
    limited[static_cast<int>(row.page)] += row.limit > 0 ? 1 : 0;
    const auto lost = [&](const std::string& text) { return FocusLossText(row.page, row.control, text).value_or("none"); };
    const bool clamps = row.rule == kClamp || row.rule == kBaud;
    const std::string low = clamps ? std::to_string(row.low) : "none", high = clamps ? std::to_string(row.high) : "none";
    EXPECT_EQ(std::tuple(lost(std::to_string(row.low - 1)), lost(low), lost(""), lost(high),
                         lost(std::to_string(row.high + 1))),
              std::tuple(low, low, low, high, high)) << row.control;
    const char* changed = row.rule == kHex ? "AB" : row.rule == kPrintable ? "ab" : "none";
    EXPECT_EQ(ChangedText(row.page, row.control, "ab c\x7f").value_or("none"), changed) << row.control;
  }
  for (const PageKind page : {kNetwork, kLan, kSerial})
    EXPECT_EQ(EditLimits(page).size(), limited[static_cast<int>(page)]);
}
// clang-format on

}  // namespace
}  // namespace calbrin
