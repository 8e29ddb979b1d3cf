// Field layout and bounded access of SettingsRecord.
#include <gtest/gtest.h>

#include <set>
#include <string>

#include "settings/settings_record.h"
#include "test_records.h"

namespace calbrin {
namespace {

TEST(SettingKeyTable, KeysAreUniqueAndNoneIsAPrefixOfAnother) {
  std::set<std::string_view> seen;
  for (int i = 0; i < kSettingKeyCount; ++i) {
    EXPECT_TRUE(seen.insert(KeyText(i)).second) << KeyText(i);
    for (int j = 0; j < kSettingKeyCount; ++j) {
      if (i != j) {
        EXPECT_NE(KeyText(j).find(KeyText(i)), 0u) << KeyText(i) << " / " << KeyText(j);
      }
    }
  }
}

TEST(SettingKeyTable, ChannelTwoMirrorsChannelOneWithTheSameWidths) {
  for (int i = Index(SettingKey::PORT1); i <= Index(SettingKey::PTRAL1); ++i) {
    std::string expected(KeyText(i));
    expected.back() = '2';
    EXPECT_EQ(KeyText(i + kChannelStride), expected);
    EXPECT_EQ(FieldWidth(i + kChannelStride), FieldWidth(i));
  }
}

TEST(SettingsRecordFields, FullWidthModelStaysWholeAndNeverRunsIntoIp) {
  SettingsRecord record;
  SetField(record, SettingKey::MODEL, "48AB");
  SetField(record, SettingKey::IP, "192.168.0.10");
  EXPECT_EQ(ReadField(record, SettingKey::MODEL), "48AB");
  EXPECT_EQ(ReadField(record, SettingKey::IP), "192.168.0.10");
}

TEST(SettingsRecordFields, OverlongTextIsCutAndTheNextFieldIsUntouched) {
  SettingsRecord record = test::FullWidthRecord('y');
  EXPECT_FALSE(SetField(record, SettingKey::PORT1, "123456789"));
  EXPECT_EQ(ReadField(record, SettingKey::PORT1), "1234567");
  EXPECT_EQ(ReadField(record, SettingKey::HIP1), std::string(18, 'y'));
  EXPECT_EQ(ReadField(record, SettingKey::KEEP_A), "yyyy");
}

TEST(SettingsRecordFields, ShorterTextClearsTheRestOfTheField) {
  SettingsRecord record;
  SetField(record, SettingKey::HIP1, "192.168.100.200");
  SetField(record, SettingKey::HIP1, "10.0.0.1");
  EXPECT_EQ(ReadField(record, SettingKey::HIP1), "10.0.0.1");
  ClearField(record, Index(SettingKey::HIP1));
  EXPECT_EQ(ReadField(record, SettingKey::HIP1), "");
}

TEST(SettingsRecordFields, LastFieldOfFullWidthEndsAtTheRecordEnd) {
  SettingsRecord record = test::FullWidthRecord();
  EXPECT_EQ(ReadField(record, SettingKey::PTRAL2), "xxx");
  ClearRecord(record);
  for (int i = 0; i < kSettingKeyCount; ++i)
    EXPECT_EQ(ReadField(record, i), "");
}

}  // namespace
}  // namespace calbrin
