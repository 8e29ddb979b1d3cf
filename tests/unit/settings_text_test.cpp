// The settings record's bounded fields, the codec between records and settings texts, and the
// model that a MODEL code names.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "settings/device_model.h"
#include "settings/settings_text.h"
#include "test_records.h"

namespace calbrin {
namespace {

// Every text is serialised into the same area, as the application's one text is.
std::string Serialized(const SettingsRecord& record, bool forFile, bool reduced) {
  static SettingsText text;
  SerializeSettings(record, forFile, reduced, text);
  EXPECT_EQ(text.bytes[static_cast<std::size_t>(text.length)], '\0');
  return std::string(text.View());
}

// A file text whose field i holds "v<i>".
std::string NumberedText() {
  SettingsRecord record;
  for (int i = 0; i < kSettingKeyCount; ++i)
    SetField(record, i, "v" + std::to_string(i));
  return Serialized(record, true, false);
}

std::string WithValue(std::string text, std::string_view key, std::string_view value) {
  const std::string keyLine = "\n" + std::string(key) + "\r\n";
  const std::size_t start = text.find(keyLine) + keyLine.size();
  return text.replace(start, text.find('\r', start) - start, value);
}

TEST(SettingsRecord, FieldsNeverRunIntoEachOther) {
  SettingsRecord record = test::FullWidthRecord('y');
  SetField(record, SettingKey::MODEL, "48AB");
  EXPECT_FALSE(SetField(record, SettingKey::PORT1, "123456789"));
  SetField(record, SettingKey::HIP1, "192.168.100.200");
  SetField(record, SettingKey::HIP1, "10.0.0.1");
  EXPECT_EQ(ReadField(record, SettingKey::MODEL), "48AB");
  EXPECT_EQ(ReadField(record, SettingKey::IP), std::string(18, 'y'));
  EXPECT_EQ(ReadField(record, SettingKey::PORT1), "1234567");
  EXPECT_EQ(ReadField(record, SettingKey::HIP1), "10.0.0.1");
  EXPECT_EQ(ReadField(record, SettingKey::HPORT1), std::string(7, 'y'));
  EXPECT_EQ(ReadField(record, SettingKey::PTRAL2), "yyy");
  ClearRecord(record);
  EXPECT_EQ(record, SettingsRecord{});
}

TEST(SerializeSettings, FileTextHoldsEveryPairFromModelToPtral2) {
  const std::string text = Serialized(test::FullWidthRecord(), true, false);
  EXPECT_EQ(text.size(), 1026u);
  EXPECT_TRUE(text.starts_with("MODEL\r\nxxxx\r\nIP\r\n" + std::string(18, 'x') + "\r\nSUBM\r\n"));
  EXPECT_TRUE(text.ends_with("\r\nPTRAL2\r\nxxx\r\n"));
  SettingsRecord gap = test::FullWidthRecord();
  SetField(gap, SettingKey::GWAY, "");
  const std::string gapText = Serialized(gap, true, false);
  EXPECT_NE(gapText.find("\r\nGWAY\r\n\r\nNEGOS\r\n"), std::string::npos);
  EXPECT_EQ(gapText.size(), 1026u - 18);
}

// A file text carries every field; a device write starts at IP and leaves out MODEL, CDRV1 and,
// but for a reduced channel 2, CDRV2.
TEST(SerializeSettings, RandomRecordsSurviveAFileTextOrADeviceWrite) {
  std::mt19937 rng(20261206);
  for (int round = 0; round < 600; ++round) {
    const SettingsRecord original = test::RandomRecord(rng);
    const bool reduced = round % 2 == 1;
    SettingsRecord parsed;
    ASSERT_EQ(ParseSettings(Serialized(original, true, reduced), parsed), kSettingKeyCount);
    ASSERT_EQ(parsed, original) << "round " << round;
    const std::string write = Serialized(original, false, reduced);
    ASSERT_TRUE(write.starts_with("IP\r\n"));
    ASSERT_EQ(ParseSettings("\r\n" + write, parsed), kSettingKeyCount);
    SettingsRecord expected = original;
    ClearField(expected, Index(SettingKey::MODEL));
    ClearField(expected, Index(SettingKey::CDRV1));
    if (!reduced) ClearField(expected, Index(SettingKey::CDRV2));
    ASSERT_EQ(parsed, expected) << "round " << round;
  }
}

TEST(SettingsText, AppendStopsBeforeTheTerminator) {
  SettingsText text;
  EXPECT_TRUE(text.Append(std::string(2000, 'a')));
  EXPECT_FALSE(text.Append(std::string(100, 'b')));
  EXPECT_EQ(text.length, SettingsText::kCapacity - 1);
  EXPECT_EQ(text.bytes.back(), '\0');
}

TEST(ParseSettings, ValueTooLongStopsAtItsKeyAndLeavesTheRestUntouched) {
  const SettingsRecord before = test::FullWidthRecord('z');
  SettingsRecord record = before;
  EXPECT_EQ(ParseSettings(WithValue(NumberedText(), "PORT1", "12345678"), record), 7);
  EXPECT_EQ(ReadField(record, SettingKey::KEEP_A), "v6");
  for (int i = Index(SettingKey::PORT1); i < kSettingKeyCount; ++i)
    EXPECT_EQ(ReadField(record, i), ReadField(before, i)) << KeyText(i);
  record = before;
  EXPECT_EQ(ParseSettings("MODEL\r\n48ABC" + NumberedText().substr(9), record), 0);
  EXPECT_EQ(record, before);
  EXPECT_EQ(ParseSettings(WithValue(NumberedText(), "PORT1", "1234567"), record), 65);
  EXPECT_EQ(ReadField(record, SettingKey::PORT1), "1234567");
  EXPECT_EQ(ReadField(record, SettingKey::HIP1), "v8");
}

TEST(ParseSettings, EmptyValueKeepsTheFieldAndAnAbsentKeyClearsIt) {
  SettingsRecord record = test::FullWidthRecord('z');
  std::string text = WithValue(NumberedText(), "GWAY", "");
  EXPECT_EQ(ParseSettings(text, record), 65);
  EXPECT_EQ(ReadField(record, SettingKey::GWAY), std::string(18, 'z'));
  EXPECT_EQ(ReadField(record, SettingKey::NEGOS), "v4");
  text.erase(text.find("GWAY\r\n"), 8);
  EXPECT_EQ(ParseSettings(text, record), 65);
  EXPECT_EQ(ReadField(record, SettingKey::GWAY), "");
  // Only inside other keys: IP in HIP1, PORT1 in HPORT1, PASS1 in SPASS1. Not at a line start:
  // HIP1 as the text's first line.
  record = test::FullWidthRecord('z');
  EXPECT_EQ(
      ParseSettings("HIP1\r\n9\r\nHPORT1\r\n4001\r\nSPASS1\r\n1\r\nSUBM\r\n255.0.0.0", record), 65);
  for (const SettingKey kept :
       {SettingKey::IP, SettingKey::HIP1, SettingKey::PORT1, SettingKey::PASS1})
    EXPECT_EQ(ReadField(record, kept), std::string(FieldWidth(Index(kept)), 'z'));
  EXPECT_EQ(ReadField(record, SettingKey::HPORT1), "4001");
  EXPECT_EQ(ReadField(record, SettingKey::SUBM), "255.0.0.0");  // runs to the end of the text
  EXPECT_EQ(ReadField(record, SettingKey::HIP2), "");
}

TEST(ParseSettings, QuirksThatCallersMeet) {
  SettingsRecord record;
  // The two characters after a key are skipped unread.
  EXPECT_EQ(ParseSettings("MODEL=48\r\nIP=192.168.0.5\r\n", record), 65);
  EXPECT_EQ(ReadField(record, SettingKey::MODEL), "8");
  EXPECT_EQ(ReadField(record, SettingKey::IP), "92.168.0.5");
  // The first line of a repeated key counts, and the text ends at its first NUL.
  std::string text = NumberedText() + "MSS\r\n999\r\n";
  EXPECT_EQ(ParseSettings(text, record), 65);
  EXPECT_EQ(ReadField(record, SettingKey::MSS), "v5");
  text.insert(text.find("MSS"), 1, '\0');
  EXPECT_EQ(ParseSettings(text, record), 65);
  EXPECT_EQ(ReadField(record, SettingKey::NEGOS), "v4");
  EXPECT_EQ(ReadField(record, SettingKey::MSS), "");
}

TEST(DeviceModel, FirstTwoCharactersOfTheCode) {
  const struct {
    std::string_view code, name;
    bool reduced;
  } cases[] = {{"48", "QV-48R2", false}, {"48A", "QV-48R2", false},
               {"57xx", "QV-57R", true}, {"4", "", true},
               {"", "", true},           {"84", "", true}};
  for (const auto& c : cases) {
    EXPECT_EQ(ModelNameText(ModelOf(c.code)), c.name) << c.code;
    EXPECT_EQ(SecondChannelReduced(c.code), c.reduced) << c.code;
  }
}

}  // namespace
}  // namespace calbrin
