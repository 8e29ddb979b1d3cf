// The edit rules of the settings pages, on text.
#include "pages/edit_rules.h"

#include <gtest/gtest.h>

namespace calbrin {
namespace {

TEST(ReadDecimalNumber, ReadsTheWayTheCLibraryDoes) {
  EXPECT_EQ(ReadDecimalNumber("9600"), 9600);
  EXPECT_EQ(ReadDecimalNumber("  \t42abc"), 42);
  EXPECT_EQ(ReadDecimalNumber("+7"), 7);
  EXPECT_EQ(ReadDecimalNumber("-12"), -12);
  EXPECT_EQ(ReadDecimalNumber(""), 0);
  EXPECT_EQ(ReadDecimalNumber("abc"), 0);
  EXPECT_EQ(ReadDecimalNumber("- 5"), 0);
  EXPECT_EQ(ReadDecimalNumber("0x1F"), 0);
  EXPECT_EQ(ReadDecimalNumber("007"), 7);
}

TEST(ReadDecimalNumber, SaturatesInsteadOfWrapping) {
  EXPECT_GT(ReadDecimalNumber("99999999999999999999999999"), 1'000'000'000'000LL);
  EXPECT_LT(ReadDecimalNumber("-99999999999999999999999999"), -1'000'000'000'000LL);
}

TEST(ClampEditNumber, LimitsAndRewritesInPlainDecimal) {
  struct Case {
    const char* text;
    int low, high;
    const char* expected;
  } cases[] = {
      {"300", 536, 1460, "536"},
      {"9999", 536, 1460, "1460"},
      {"", 536, 1460, "536"},
      {"1000", 536, 1460, "1000"},
      {"", 0, 255, "0"},
      {"999", 0, 255, "255"},
      {"0", 1, 3600, "1"},
      {"4000", 1, 3600, "3600"},
      {"70000", 0, 65535, "65535"},
      {"0080", 0, 255, "80"},
      {"-5", 0, 255, "0"},
      {"12ab", 0, 255, "12"},
      // Only the first 9 characters count: the tenth digit is not read.
      {"0000000051", 0, 65535, "5"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ClampEditNumber(c.text, c.low, c.high), c.expected)
        << '"' << c.text << "\" in " << c.low << ".." << c.high;
  }
}

TEST(FilterHexText, KeepsUpperCaseDigitsUpToTheFirstOtherCharacter) {
  EXPECT_EQ(FilterHexText("1g"), "1");
  EXPECT_EQ(FilterHexText("ab"), "AB");
  EXPECT_EQ(FilterHexText("a"), "A");
  EXPECT_EQ(FilterHexText("g1"), "");
  EXPECT_EQ(FilterHexText("f "), "F");
}

TEST(FilterHexText, LeavesRightTextAlone) {
  EXPECT_EQ(FilterHexText(""), std::nullopt);
  EXPECT_EQ(FilterHexText("0D"), std::nullopt);
  EXPECT_EQ(FilterHexText("7"), std::nullopt);
  EXPECT_EQ(FilterHexText("FF"), std::nullopt);
}

TEST(HexEntryValue, ReadsHexadecimalDigitsUpToTheFirstOther) {
  EXPECT_EQ(HexEntryValue("0D"), 13);
  EXPECT_EQ(HexEntryValue("ff"), 255);
  EXPECT_EQ(HexEntryValue(""), 0);
  EXPECT_EQ(HexEntryValue("1g"), 1);
  EXPECT_EQ(HexEntryValue("g1"), 0);
  EXPECT_GT(HexEntryValue("ffffffffffffffffffffffff"), 0);
}

TEST(HexCharacterText, TwoUpperCaseDigitsOr00) {
  EXPECT_EQ(HexCharacterText(13), "0D");
  EXPECT_EQ(HexCharacterText(17), "11");
  EXPECT_EQ(HexCharacterText(0), "00");
  EXPECT_EQ(HexCharacterText(255), "FF");
  EXPECT_EQ(HexCharacterText(256), "00");
  EXPECT_EQ(HexCharacterText(300), "00");
  EXPECT_EQ(HexCharacterText(-1), "00");
}

TEST(BaudDigitAccepted, OnlyDigitsAndBackspace) {
  for (unsigned int c = 0; c < 0x10000; ++c) {
    const bool expected = c == '\b' || (c >= '0' && c <= '9');
    ASSERT_EQ(BaudDigitAccepted(c), expected) << c;
  }
}

TEST(ClampBaudRate, LimitsAsAnUnsignedNumber) {
  EXPECT_EQ(ClampBaudRate("1234567"), "921600");
  EXPECT_EQ(ClampBaudRate("50"), "300");
  EXPECT_EQ(ClampBaudRate(""), "300");
  EXPECT_EQ(ClampBaudRate("14400"), "14400");
  EXPECT_EQ(ClampBaudRate("921600"), "921600");
  EXPECT_EQ(ClampBaudRate("300"), "300");
  EXPECT_EQ(ClampBaudRate("0009600"), "9600");
  EXPECT_EQ(ClampBaudRate("-1"), "921600");
  EXPECT_EQ(ClampBaudRate("-0"), "300");
  // Far beyond 32 bits: never wraps round to a small rate.
  EXPECT_EQ(ClampBaudRate("4294967296"), "921600");
  EXPECT_EQ(ClampBaudRate("9999999999999999999"), "921600");
}

}  // namespace
}  // namespace calbrin
