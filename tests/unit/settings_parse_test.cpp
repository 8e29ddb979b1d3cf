// Parsing settings texts: stop index, untouched fields and the quirks that callers rely on.
#include <gtest/gtest.h>

#include <string>

#include "settings/settings_text.h"
#include "test_records.h"

namespace calbrin {
namespace {

// A complete file text of a record whose fields all hold their key in lower case, cut to width.
std::string CompleteText(SettingsRecord* record = nullptr) {
  SettingsRecord source;
  for (int i = 0; i < kSettingKeyCount; ++i)
    SetField(source, i, "v" + std::to_string(i));
  if (record != nullptr) *record = source;
  SettingsText text;
  SerializeSettings(source, true, false, text);
  return std::string(text.View());
}

void ReplaceValue(std::string& text, std::string_view key, std::string_view value) {
  const std::string keyLine = "\n" + std::string(key) + "\r\n";
  const std::size_t at = text.find(keyLine);
  ASSERT_NE(at, std::string::npos) << key;
  const std::size_t start = at + keyLine.size();
  text.replace(start, text.find('\r', start) - start, value);
}

TEST(ParseSettings, TooLongValueStopsAtItsKeyAndLeavesLaterFieldsAlone) {
  std::string text = CompleteText();
  ReplaceValue(text, "PORT1", "12345678");
  SettingsRecord record = test::FullWidthRecord('z');
  const SettingsRecord before = record;
  EXPECT_EQ(ParseSettings(text, record), Index(SettingKey::PORT1));
  EXPECT_EQ(ReadField(record, SettingKey::KEEP_A), "v6");
  for (int i = Index(SettingKey::PORT1); i < kSettingKeyCount; ++i) {
    EXPECT_EQ(ReadField(record, i), ReadField(before, i)) << KeyText(i);
  }
}

TEST(ParseSettings, TooLongModelChangesNothing) {
  std::string text = CompleteText();
  text.replace(7, 2, "48ABC");
  SettingsRecord record = test::FullWidthRecord('z');
  const SettingsRecord before = record;
  EXPECT_EQ(ParseSettings(text, record), 0);
  EXPECT_EQ(record, before);
}

TEST(ParseSettings, ValueOfExactlyTheWidthFillsTheField) {
  std::string text = CompleteText();
  ReplaceValue(text, "PORT1", "1234567");
  SettingsRecord record;
  EXPECT_EQ(ParseSettings(text, record), kSettingKeyCount);
  EXPECT_EQ(ReadField(record, SettingKey::PORT1), "1234567");
  EXPECT_EQ(ReadField(record, SettingKey::HIP1), "v8");
}

TEST(ParseSettings, EmptyValueKeepsTheOldFieldButAnAbsentKeyClearsIt) {
  std::string text = CompleteText();
  ReplaceValue(text, "GWAY", "");
  SettingsRecord record = test::FullWidthRecord('z');
  EXPECT_EQ(ParseSettings(text, record), kSettingKeyCount);
  EXPECT_EQ(ReadField(record, SettingKey::GWAY), std::string(18, 'z'));
  EXPECT_EQ(ReadField(record, SettingKey::NEGOS), "v4");

  const std::size_t at = text.find("GWAY\r\n");
  text.erase(at, 6 + 2);  // the key line and its empty value line
  ASSERT_EQ(text.find("GWAY"), std::string::npos);
  record = test::FullWidthRecord('z');
  EXPECT_EQ(ParseSettings(text, record), kSettingKeyCount);
  EXPECT_EQ(ReadField(record, SettingKey::GWAY), "");
}

TEST(ParseSettings, KeyPresentOnlyInsideAnotherKeyIsLeftAsItWas) {
  // IP occurs inside HIP1, PORT1 inside HPORT1, PASS1 inside SPASS1: none of them is cleared.
  const std::string text = "MODEL\r\n48\r\nHIP1\r\n10.0.0.9\r\nHPORT1\r\n4001\r\nSPASS1\r\n1\r\n";
  SettingsRecord record = test::FullWidthRecord('z');
  EXPECT_EQ(ParseSettings(text, record), kSettingKeyCount);
  EXPECT_EQ(ReadField(record, SettingKey::IP), std::string(18, 'z'));
  EXPECT_EQ(ReadField(record, SettingKey::PORT1), std::string(7, 'z'));
  EXPECT_EQ(ReadField(record, SettingKey::PASS1), std::string(43, 'z'));
  EXPECT_EQ(ReadField(record, SettingKey::HIP1), "10.0.0.9");
  EXPECT_EQ(ReadField(record, SettingKey::SUBM), "");  // absent everywhere: cleared
  EXPECT_EQ(ReadField(record, SettingKey::HIP2), "");
}

TEST(ParseSettings, KeyOtherThanModelMustStartALine) {
  // Without a line break before it, "HIP1" at the very start of a text is not a key line.
  SettingsRecord record = test::FullWidthRecord('z');
  EXPECT_EQ(ParseSettings("HIP1\r\n10.0.0.9\r\nSUBM\r\n255.0.0.0\r\n", record), kSettingKeyCount);
  EXPECT_EQ(ReadField(record, SettingKey::HIP1), std::string(18, 'z'));
  EXPECT_EQ(ReadField(record, SettingKey::SUBM), "255.0.0.0");
}

TEST(ParseSettings, TwoCharactersAfterTheKeyAreSkippedUnread) {
  const std::string text = "MODEL=48\r\nIP=192.168.0.5\r\n";
  SettingsRecord record;
  EXPECT_EQ(ParseSettings(text, record), kSettingKeyCount);
  EXPECT_EQ(ReadField(record, SettingKey::MODEL), "8");
  EXPECT_EQ(ReadField(record, SettingKey::IP), "92.168.0.5");
}

TEST(ParseSettings, LastValueWithoutLineEndRunsToTheEndOfTheText) {
  std::string text = CompleteText();
  text.resize(text.size() - 2);
  ReplaceValue(text, "PTRAL2", "");
  text += "2";
  SettingsRecord record;
  EXPECT_EQ(ParseSettings(text, record), kSettingKeyCount);
  EXPECT_EQ(ReadField(record, SettingKey::PTRAL2), "2");
}

TEST(ParseSettings, OnlyTheFirstLineOfARepeatedKeyCounts) {
  std::string text = CompleteText() + "MSS\r\n999\r\n";
  SettingsRecord record;
  EXPECT_EQ(ParseSettings(text, record), kSettingKeyCount);
  EXPECT_EQ(ReadField(record, SettingKey::MSS), "v5");
}

TEST(ParseSettings, TextEndsAtItsFirstNul) {
  std::string text = CompleteText();
  text.insert(text.find("MSS"), 1, '\0');
  SettingsRecord record = test::FullWidthRecord('z');
  EXPECT_EQ(ParseSettings(text, record), kSettingKeyCount);
  EXPECT_EQ(ReadField(record, SettingKey::NEGOS), "v4");
  EXPECT_EQ(ReadField(record, SettingKey::MSS), "");
  EXPECT_EQ(ReadField(record, SettingKey::PTRAL2), "");
}

TEST(FindSettingValue, NeedleNearTheEndOfTheText) {
  EXPECT_FALSE(FindSettingValue("MODEL\r\n48\r\n", "\nIP").has_value());
  EXPECT_EQ(FindSettingValue("x\nIP", "\nIP"), "");
  EXPECT_EQ(FindSettingValue("x\nIP\r", "\nIP"), "");
  EXPECT_EQ(FindSettingValue("x\nIP\r\n", "\nIP"), "");
  EXPECT_EQ(FindSettingValue("x\nIP\r\n1", "\nIP"), "1");
  EXPECT_EQ(FindSettingValue("x\nIP\r\n1.2.3.4\r\nSUBM", "\nIP"), "1.2.3.4");
}

}  // namespace
}  // namespace calbrin
