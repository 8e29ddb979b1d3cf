// Password scrambling, unscrambling and the printable filter of password edits.
#include <gtest/gtest.h>

#include <string>

#include "pages/edit_rules.h"
#include "settings/password_scrambling.h"

namespace calbrin {
namespace {

constexpr std::string_view kFiller =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";

void ExpectFiller(std::string_view text) {
  for (char c : text)
    EXPECT_NE(kFiller.find(c), std::string_view::npos) << int(c);
}

std::string AllPrintable() {
  std::string s;
  for (int c = 0x21; c <= 0x7E; ++c)
    s += static_cast<char>(c);
  return s;
}

TEST(ScramblePassword, EmptyPasswordGivesTenFillerCharacters) {
  ScrambledPassword record;
  EXPECT_EQ(ScramblePassword("", kStoredPasswordShift, record), 0);
  EXPECT_EQ(record.present, 1);
  EXPECT_EQ(record.length, 10);
  EXPECT_EQ(record.Scrambled().size(), 10u);
  ExpectFiller(record.Scrambled());
  std::string out = "stale";
  EXPECT_EQ(UnscramblePassword(record.Scrambled(), out), 0);
  EXPECT_EQ(out, "");
}

TEST(ScramblePassword, LongestPasswordAndTheLoginLineFeedFit) {
  const std::string password(32, 'Q');
  ScrambledPassword record;
  EXPECT_EQ(ScramblePassword(password, kLoginShift, record), 32);
  EXPECT_EQ(record.length, 42);
  // The login reply appends a line feed to the scrambled text.
  record.scrambled[static_cast<std::size_t>(record.length++)] = '\n';
  EXPECT_EQ(record.Scrambled().size(), 43u);
  EXPECT_EQ(record.scrambled.back(), '\0');
  EXPECT_EQ(std::string_view(record.password.data()), password);
}

TEST(ScramblePassword, RotatesWithinThePrintableRange) {
  ScrambledPassword record;
  ScramblePassword("!A~", kStoredPasswordShift, record);
  const std::string_view body = record.Scrambled().substr(5, 3);
  EXPECT_EQ(body[0], static_cast<char>('!' + kStoredPasswordShift));
  EXPECT_EQ(body[1], static_cast<char>('A' + kStoredPasswordShift));
  EXPECT_EQ(body[2], static_cast<char>('~' + kStoredPasswordShift - 94));
  ExpectFiller(record.Scrambled().substr(0, 5));
  ExpectFiller(record.Scrambled().substr(8));

  ScramblePassword(AllPrintable().substr(0, 32), kLoginShift, record);
  for (char c : record.Scrambled())
    EXPECT_TRUE(IsPrintablePasswordChar(c));
}

TEST(ScramblePassword, ShiftsAreDifferentAndInRange) {
  EXPECT_NE(kLoginShift, kStoredPasswordShift);
  for (int shift : {kLoginShift, kStoredPasswordShift}) {
    EXPECT_GE(shift, 1);
    EXPECT_LE(shift, 93);
  }
}

TEST(ScramblePassword, InvalidLengthOnlyClearsTheRecord) {
  ScrambledPassword record;
  ScramblePassword("secret", kLoginShift, record);
  EXPECT_EQ(ScramblePassword("x", -1, kLoginShift, record), -1);
  EXPECT_EQ(record.present, 0);
  EXPECT_EQ(record.length, 0);
  EXPECT_EQ(record.scrambled[0], '\0');
  EXPECT_EQ(ScramblePassword(std::string(33, 'a'), kLoginShift, record), -1);
  EXPECT_EQ(record.present, 0);
}

TEST(UnscramblePassword, InvertsScramblingForEveryPrintableCharacter) {
  const std::string all = AllPrintable();
  for (std::size_t start = 0; start < all.size(); start += 32) {
    const std::string password = all.substr(start, 32);
    ScrambledPassword record;
    ScramblePassword(password, kStoredPasswordShift, record);
    std::string out;
    EXPECT_EQ(UnscramblePassword(record.Scrambled(), out), static_cast<int>(password.size()));
    EXPECT_EQ(out, password);
  }
  ScrambledPassword tildes;
  ScramblePassword(std::string(32, '~'), kStoredPasswordShift, tildes);
  std::string out;
  EXPECT_EQ(UnscramblePassword(tildes.Scrambled(), out), 32);
  EXPECT_EQ(out, std::string(32, '~'));
}

TEST(UnscramblePassword, RejectsLengthsThatNoPasswordHas) {
  std::string out;
  EXPECT_EQ(UnscramblePassword(std::string(9, 'a'), out), -1);
  EXPECT_EQ(UnscramblePassword(std::string(10, 'a'), out), 0);
  EXPECT_EQ(UnscramblePassword(std::string(42, 'a'), out), 32);
  EXPECT_EQ(UnscramblePassword(std::string(43, 'a'), out), -1);
  EXPECT_EQ(UnscramblePassword("", out), -1);
}

TEST(UnscramblePassword, CharacterOutsideThePrintableRangeGivesNothing) {
  ScrambledPassword record;
  ScramblePassword("abcdef", kStoredPasswordShift, record);
  for (char bad : {' ', '\x7F', '\x01', '\xE9'}) {
    std::string scrambled(record.Scrambled());
    scrambled[7] = bad;
    std::string out = "stale";
    EXPECT_EQ(UnscramblePassword(scrambled, out), 0) << int(bad);
    EXPECT_EQ(out, "");
  }
}

TEST(UnscramblePassword, LoginShiftTextDoesNotDecodeToThePassword) {
  ScrambledPassword record;
  ScramblePassword("password", kLoginShift, record);
  std::string out;
  UnscramblePassword(record.Scrambled(), out);
  EXPECT_NE(out, "password");
}

TEST(FilterPrintableText, FirstCharacterOutsideTheRangeEndsTheText) {
  EXPECT_EQ(FilterPrintableText("ab cd"), "ab");
  EXPECT_EQ(FilterPrintableText("abc "), "abc");
  EXPECT_EQ(FilterPrintableText("abc"), "abc");
  EXPECT_EQ(FilterPrintableText(" abc"), "");
  EXPECT_EQ(FilterPrintableText("pa\x83\x70ss"), "pa");  // Shift-JIS text pasted in
  EXPECT_EQ(FilterPrintableText("tab\there"), "tab");
  EXPECT_EQ(FilterPrintableText(std::string(40, 'k')), std::string(32, 'k'));
  EXPECT_EQ(FilterPrintableText(""), "");
}

}  // namespace
}  // namespace calbrin
