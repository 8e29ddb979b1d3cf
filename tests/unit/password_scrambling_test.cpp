// Password scrambling and unscrambling.
#include <gtest/gtest.h>

#include <cctype>
#include <string>

#include "net/trace_masking.h"
#include "pages/edit_rules.h"
#include "settings/password_scrambling.h"
#include "settings/setting_key.h"

namespace calbrin {
namespace {

void ExpectFiller(std::string_view text) {
  for (const char c : text)
    EXPECT_TRUE(std::isalnum(static_cast<unsigned char>(c))) << int(c);
}

// The password rotated between five filler characters each side; a length that no password has
// only clears the record. The longest password and the login reply's line feed fit.
TEST(ScramblePassword, PasswordRotatedBetweenFiveFillerCharactersEachSide) {
  const struct {
    std::string password;
    int shift, result, present, length;
    std::string rotated;
  } cases[] = {{"!A~", kStoredPasswordShift, 3, 1, 13, "PpO"},
               {"", kStoredPasswordShift, 0, 1, 10, ""},
               {std::string(32, 'Q'), kLoginShift, 32, 1, 42, std::string(32, 'd')},
               {std::string(33, 'a'), kLoginShift, -1, 0, 0, ""}};
  for (const auto& c : cases) {
    ScrambledPassword record;
    EXPECT_EQ(ScramblePassword(c.password, c.shift, record), c.result) << c.password;
    EXPECT_EQ(std::pair(record.present, record.length), std::pair(c.present, c.length));
    if (c.present == 0) continue;
    ExpectFiller(record.Scrambled().substr(0, 5));
    EXPECT_EQ(record.Scrambled().substr(5, c.password.size()), c.rotated);
    ExpectFiller(record.Scrambled().substr(5 + c.password.size()));
  }
  ScrambledPassword record;
  ScramblePassword(std::string(32, 'Q'), kLoginShift, record);
  record.scrambled[static_cast<std::size_t>(record.length++)] = '\n';
  EXPECT_EQ(record.scrambled.back(), '\0');
  EXPECT_EQ(std::string_view(record.password.data()), std::string(32, 'Q'));
  EXPECT_EQ(ScramblePassword("x", -1, kLoginShift, record), -1);
  EXPECT_EQ(std::pair(record.present, record.length), std::pair(0, 0));
}

// A channel password's scrambled line must never begin like a key's line: "PRT2..." under PASS1
// would be read as PRT2's line and the whole settings text refused. With random fillers from
// letters and digits, a few thousand scrambles would begin with a key's letter many times over.
TEST(ScramblePassword, ScrambledTextNeverBeginsWithTheLetterOfAKey) {
  std::string leading;
  for (const SettingKeyInfo& info : kSettingKeys)
    leading += info.key[0];
  for (int i = 0; i < 3000; ++i) {
    ScrambledPassword record;
    ScramblePassword("Line-7", kStoredPasswordShift, record);
    ASSERT_EQ(leading.find(record.scrambled[0]), std::string::npos) << record.Scrambled();
  }
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

// A trace sees the console's stream in the chunks the socket gives: a key line and its value may
// arrive apart, and every split must mask the same bytes.
TEST(TraceMasking, PasswordValuesAreMaskedWhereverTheChunksSplit) {
  const std::string stream =
      "SPASS1\r\n1\r\nPASS1\r\nab\\cd\r\nPASS2\r\n\r\nP_SET\r\nxyz\r\nENDR\r\n";
  const std::string masked =
      "SPASS1\r\n1\r\nPASS1\r\n********\r\nPASS2\r\n\r\nP_SET\r\n********\r\nENDR\r\n";
  for (std::size_t split = 0; split <= stream.size(); ++split) {
    ConsoleTraceMask mask;
    const std::string first = mask.Mask(stream.substr(0, split));
    EXPECT_EQ(first + mask.Mask(stream.substr(split)), masked) << split;
  }
}

}  // namespace
}  // namespace calbrin
