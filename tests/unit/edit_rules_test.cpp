// The edit rules on text, and which rule and limit each edit of the pages carries.
#include "pages/edit_rules.h"

#include <gtest/gtest.h>

#include "pages/page_fields.h"

namespace calbrin {
namespace {

TEST(EditRules, DecimalAndHexadecimalReading) {
  // clang-format off
  const std::pair<const char*, long long> decimals[] = {{"9600", 9600}, {"  \t42abc", 42},
      {"+7", 7}, {"-12", -12}, {"", 0}, {"abc", 0}, {"- 5", 0}, {"0x1F", 0}, {"007", 7}};
  const std::pair<const char*, long long> hex[] = {{"0D", 13}, {"ff", 255}, {"", 0}, {"1g", 1},
      {"g1", 0}, {"Ab", 171}};
  const std::pair<long long, const char*> shown[] = {{13, "0D"}, {17, "11"}, {0, "00"}, {255, "FF"},
      {256, "00"}, {-1, "00"}};
  // clang-format on
  for (const auto& [text, number] : decimals)
    EXPECT_EQ(ReadDecimalNumber(text), number) << text;
  EXPECT_GT(ReadDecimalNumber("99999999999999999999999999"), 1'000'000'000'000LL);
  EXPECT_LT(ReadDecimalNumber("-99999999999999999999999999"), -1'000'000'000'000LL);
  for (const auto& [text, number] : hex)
    EXPECT_EQ(HexEntryValue(text), number) << text;
  EXPECT_GT(HexEntryValue("ffffffffffffffffffffffff"), 0);
  for (const auto& [code, text] : shown)
    EXPECT_EQ(HexCharacterText(code), text) << code;
}

// Every edit of the pages with its rule, range and character limit, as the user meets them.
TEST(EditRules, EachEditCarriesItsRuleAndLimit) {
  struct Row {
    PageKind page;
    int control;
    EditRule rule;
    int low, high, limit;
  } rows[] = {
      // clang-format off
      {PageKind::kNetwork, IDC_MSS, EditRule::kClamp, 536, 1460, 4},
      {PageKind::kNetwork, IDC_KEEP_ALIVE, EditRule::kClamp, 0, 255, 3},
      {PageKind::kNetwork, IDC_NEW_PASSWORD, EditRule::kPrintable, 0, 0, 32},
      {PageKind::kNetwork, IDC_NEW_PASSWORD_AGAIN, EditRule::kPrintable, 0, 0, 32},
      {PageKind::kLan, IDC_RECEIVE_PORT, EditRule::kClamp, 0, 65535, 5},
      {PageKind::kLan, IDC_UDP_PORT, EditRule::kClamp, 0, 65535, 0},
      {PageKind::kLan, IDC_CLIENT_PORT, EditRule::kNone, 0, 0, 0},
      {PageKind::kLan, IDC_IDLE_TIME, EditRule::kClamp, 1, 3600, 4},
      {PageKind::kLan, IDC_CLIENT_CHAR, EditRule::kHex, 0, 0, 2},
      {PageKind::kLan, IDC_DISCONNECT_CHAR, EditRule::kHex, 0, 0, 2},
      {PageKind::kLan, IDC_LAN_PASSWORD, EditRule::kPrintable, 0, 0, 32},
      {PageKind::kSerial, IDC_BAUD_RATE, EditRule::kBaud, 300, 921600, 7},
      {PageKind::kSerial, IDC_PACKING_TIME, EditRule::kClamp, 1, 5000, 4},
      {PageKind::kSerial, IDC_DATA_COUNT_VALUE, EditRule::kClamp, 6, 1460, 5},
      {PageKind::kSerial, IDC_XON, EditRule::kHex, 0, 0, 2},
      {PageKind::kSerial, IDC_XOFF, EditRule::kHex, 0, 0, 2},
      {PageKind::kSerial, IDC_CHAR_1, EditRule::kHex, 0, 0, 2},
      {PageKind::kSerial, IDC_CHAR_2, EditRule::kHex, 0, 0, 2},
      // clang-format on
  };
  std::size_t limited[3] = {};
  for (const Row& row : rows) {
    SCOPED_TRACE(row.control);
    EXPECT_EQ(std::pair(EditRuleOf(row.page, row.control), EditLimitOf(row.page, row.control)),
              std::pair(row.rule, row.limit));
    limited[static_cast<int>(row.page)] += row.limit > 0 ? 1 : 0;
    const auto lost = [&](std::string text) {
      return FocusLossText(row.page, row.control, text).value_or("none");
    };
    const bool clamps = row.rule == EditRule::kClamp || row.rule == EditRule::kBaud;
    const std::string low = clamps ? std::to_string(row.low) : "none";
    const std::string high = clamps ? std::to_string(row.high) : "none";
    EXPECT_EQ(std::tuple(lost(std::to_string(row.low - 1)), lost(low), lost(""), lost(high),
                         lost(std::to_string(row.high + 1))),
              std::tuple(low, low, low, high, high));
    const char* changed = row.rule == EditRule::kHex         ? "AB"
                          : row.rule == EditRule::kPrintable ? "ab"
                                                             : "none";
    EXPECT_EQ(ChangedText(row.page, row.control, "ab c\x7f").value_or("none"), changed);
  }
  for (const PageKind page : {PageKind::kNetwork, PageKind::kLan, PageKind::kSerial})
    EXPECT_EQ(EditLimits(page).size(), limited[static_cast<int>(page)]);
  EXPECT_EQ(FocusLossText(PageKind::kLan, IDC_MSS, "1"), std::nullopt);  // not on that page
}

TEST(EditRules, ClampBaudHexAndPasswordTexts) {
  // clang-format off
  const std::tuple<const char*, int, int, const char*> clamps[] = {{"0080", 0, 255, "80"},
      {"-5", 0, 255, "0"}, {"12ab", 0, 255, "12"}, {"0000000051", 0, 65535, "5"}};
  const std::pair<const char*, const char*> bauds[] = {{"1234567", "921600"}, {"50", "300"},
      {"14400", "14400"}, {"0009600", "9600"}, {"-1", "921600"}, {"-0", "300"},
      {"4294967296", "921600"}, {"9999999999999999999", "921600"}};
  const std::pair<const char*, const char*> hex[] = {{"1g", "1"}, {"ab", "AB"}, {"a", "A"},
      {"g1", ""}, {"f ", "F"}, {"", "-"}, {"0D", "-"}, {"7", "-"}, {"FF", "-"}};
  // clang-format on
  for (const auto& [text, low, high, expected] : clamps)
    EXPECT_EQ(ClampEditNumber(text, low, high), expected) << text;
  for (const auto& [text, expected] : bauds)
    EXPECT_EQ(ClampBaudRate(text), expected) << text;
  for (unsigned int c = 0; c < 0x10000; ++c)
    ASSERT_EQ(BaudDigitAccepted(c), c == '\b' || (c >= '0' && c <= '9')) << c;
  for (const auto& [text, expected] : hex)
    EXPECT_EQ(FilterHexText(text).value_or("-"), expected) << text;
  EXPECT_EQ(FilterPrintableText("!~\x7f"), "!~");
  EXPECT_EQ(FilterPrintableText(std::string(40, 'x')), std::string(32, 'x'));
}

}  // namespace
}  // namespace calbrin
