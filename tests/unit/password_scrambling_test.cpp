// Password scrambling and unscrambling.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "pages/edit_rules.h"
#include "settings/password_scrambling.h"

namespace calbrin {
namespace {

void ExpectFiller(std::string_view text) {
  for (const char c : text)
    EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << int(c);
}

TEST(ScramblePassword, PasswordRotatedBetweenFiveFillerCharactersEachSide) {
  ScrambledPassword record;
  EXPECT_EQ(ScramblePassword("!A~", kStoredPasswordShift, record), 3);
  EXPECT_EQ(record.present, 1);
  EXPECT_EQ(record.Scrambled().substr(5, 3),
            (std::string{'!' + kStoredPasswordShift, 'A' + kStoredPasswordShift,
                         '~' + kStoredPasswordShift - 94}));
  ExpectFiller(record.Scrambled().substr(0, 5));
  ExpectFiller(record.Scrambled().substr(8));
  EXPECT_EQ(record.length, 13);

  EXPECT_EQ(ScramblePassword("", kStoredPasswordShift, record), 0);
  EXPECT_EQ(record.present, 1);
  EXPECT_EQ(record.length, 10);
  ExpectFiller(record.Scrambled());

  // The longest password, and the line feed that the login reply appends, fit.
  EXPECT_EQ(ScramblePassword(std::string(32, 'Q'), kLoginShift, record), 32);
  EXPECT_EQ(record.length, 42);
  record.scrambled[static_cast<std::size_t>(record.length++)] = '\n';
  EXPECT_EQ(record.scrambled.back(), '\0');
  EXPECT_EQ(std::string_view(record.password.data()), std::string(32, 'Q'));

  // A length that no password has only clears the record.
  EXPECT_EQ(ScramblePassword("x", -1, kLoginShift, record), -1);
  EXPECT_EQ(record.present, 0);
  EXPECT_EQ(record.length, 0);
  EXPECT_EQ(ScramblePassword(std::string(33, 'a'), kLoginShift, record), -1);
  EXPECT_EQ(record.present, 0);
}

TEST(UnscramblePassword, InvertsScramblingForEveryPrintableCharacter) {
  std::string all;
  for (int c = 0x21; c <= 0x7E; ++c)
    all += static_cast<char>(c);
  for (const std::string& password : {all.substr(0, 32), all.substr(32, 32), all.substr(64),
                                      std::string(32, '~'), std::string()}) {
    ScrambledPassword record;
    ScramblePassword(password, kStoredPasswordShift, record);
    for (const char c : record.Scrambled())
      EXPECT_TRUE(IsPrintablePasswordChar(static_cast<unsigned char>(c)));
    std::string out = "stale";
    EXPECT_EQ(UnscramblePassword(record.Scrambled(), out), static_cast<int>(password.size()));
    EXPECT_EQ(out, password);
  }
}

TEST(UnscramblePassword, LengthsAndCharactersThatNoPasswordHas) {
  std::string out;
  for (const auto& [length, result] :
       {std::pair{9, -1}, std::pair{10, 0}, std::pair{42, 32}, std::pair{43, -1}, std::pair{0, -1}})
    EXPECT_EQ(UnscramblePassword(std::string(static_cast<std::size_t>(length), 'a'), out), result)
        << length;
  ScrambledPassword record;
  ScramblePassword("abcdef", kStoredPasswordShift, record);
  for (const char bad : {' ', '\x7F', '\x01', '\xE9'}) {
    std::string scrambled(record.Scrambled());
    scrambled[7] = bad;
    out = "stale";
    EXPECT_EQ(UnscramblePassword(scrambled, out), 0) << int(bad);
    EXPECT_EQ(out, "");
  }
}

}  // namespace
}  // namespace calbrin
