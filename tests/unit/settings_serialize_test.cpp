// Serialising records for a device write and for a file, and reading them back.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/settings_text.h"
#include "test_records.h"

namespace calbrin {
namespace {

bool HasPair(std::string_view text, std::string_view key) {
  const std::string line = "\r\n" + std::string(key) + "\r\n";
  return text.substr(0, key.size() + 2) == std::string(key) + "\r\n" ||
         text.find(line) != std::string_view::npos;
}

TEST(SerializeSettings, FileTextHoldsAllPairsInKeyOrder) {
  const SettingsRecord record = test::FullWidthRecord();
  SettingsText text;
  SerializeSettings(record, /*includeFileOnlyKeys=*/true, /*secondChannelReduced=*/false, text);
  EXPECT_EQ(test::CountPairs(text.View()), 65);
  EXPECT_EQ(text.length, 1026);  // every field at its full width
  EXPECT_EQ(text.View().substr(0, 13), "MODEL\r\nxxxx\r\n");
  std::size_t previous = 0;
  for (int i = 1; i < kSettingKeyCount; ++i) {
    const std::size_t at = text.View().find("\r\n" + std::string(KeyText(i)) + "\r\n");
    ASSERT_NE(at, std::string_view::npos) << KeyText(i);
    EXPECT_GT(at, previous) << KeyText(i);
    previous = at;
  }
  EXPECT_EQ(text.bytes[static_cast<std::size_t>(text.length)], '\0');
}

TEST(SerializeSettings, DeviceWriteLeavesOutModelAndDriverControl) {
  const SettingsRecord record = test::FullWidthRecord();
  SettingsText text;
  SerializeSettings(record, false, false, text);
  EXPECT_EQ(test::CountPairs(text.View()), 62);
  EXPECT_FALSE(HasPair(text.View(), "MODEL"));
  EXPECT_FALSE(HasPair(text.View(), "CDRV1"));
  EXPECT_FALSE(HasPair(text.View(), "CDRV2"));
  EXPECT_EQ(text.View().substr(0, 4), "IP\r\n");

  SerializeSettings(record, false, true, text);
  EXPECT_EQ(test::CountPairs(text.View()), 63);
  EXPECT_FALSE(HasPair(text.View(), "MODEL"));
  EXPECT_FALSE(HasPair(text.View(), "CDRV1"));
  EXPECT_TRUE(HasPair(text.View(), "CDRV2"));
}

TEST(SerializeSettings, EmptyFieldGivesAnEmptyValueLine) {
  SettingsRecord record = test::FullWidthRecord();
  SettingsText full;
  SerializeSettings(record, true, false, full);
  SetField(record, SettingKey::GWAY, "");
  SettingsText text;
  SerializeSettings(record, true, false, text);
  EXPECT_NE(text.View().find("\r\nGWAY\r\n\r\nNEGOS\r\n"), std::string_view::npos);
  EXPECT_EQ(text.length, full.length - 18);

  SettingsRecord empty;
  SerializeSettings(empty, true, false, text);
  int keyBytes = 0;
  for (int i = 0; i < kSettingKeyCount; ++i)
    keyBytes += static_cast<int>(KeyText(i).size()) + 4;
  EXPECT_EQ(text.length, keyBytes);
}

TEST(SerializeSettings, ReserializingStartsFromAnEmptyText) {
  SettingsText text;
  SerializeSettings(test::FullWidthRecord(), true, false, text);
  SerializeSettings(SettingsRecord{}, false, false, text);
  EXPECT_EQ(text.View().find('x'), std::string_view::npos);
  EXPECT_EQ(text.bytes[static_cast<std::size_t>(text.length)], '\0');
}

TEST(SettingsRoundTrip, RandomRecordsSurviveAFileTextForBothVariants) {
  std::mt19937 rng(20261206);
  for (bool reduced : {false, true}) {
    for (int round = 0; round < 300; ++round) {
      const SettingsRecord original = test::RandomRecord(rng);
      SettingsText text;
      SerializeSettings(original, true, reduced, text);
      SettingsRecord parsed;
      ASSERT_EQ(ParseSettings(text.View(), parsed), kSettingKeyCount);
      // A value left empty keeps the old field, and the parsed record started cleared.
      ASSERT_EQ(parsed, original) << "round " << round << " reduced " << reduced;
    }
  }
}

TEST(SettingsRoundTrip, DeviceWriteCarriesEveryWrittenField) {
  std::mt19937 rng(7);
  const SettingsRecord original = test::RandomRecord(rng);
  SettingsText text;
  SerializeSettings(original, false, true, text);
  // A device write starts with the IP key line; the parser finds keys after a line break.
  SettingsRecord parsed;
  ASSERT_EQ(ParseSettings("\r\n" + std::string(text.View()), parsed), kSettingKeyCount);
  for (int i = 0; i < kSettingKeyCount; ++i) {
    if (i == Index(SettingKey::MODEL) || i == Index(SettingKey::CDRV1)) {
      EXPECT_EQ(ReadField(parsed, i), "") << KeyText(i);
    } else {
      EXPECT_EQ(ReadField(parsed, i), ReadField(original, i)) << KeyText(i);
    }
  }
}

TEST(SettingsText, AppendStopsBeforeTheTerminator) {
  SettingsText text;
  EXPECT_TRUE(text.Append(std::string(2000, 'a')));
  EXPECT_FALSE(text.Append(std::string(100, 'b')));
  EXPECT_EQ(text.length, SettingsText::kCapacity - 1);
  EXPECT_EQ(text.bytes.back(), '\0');
  EXPECT_FALSE(text.Append("c"));
  EXPECT_EQ(text.length, SettingsText::kCapacity - 1);
}

}  // namespace
}  // namespace calbrin
