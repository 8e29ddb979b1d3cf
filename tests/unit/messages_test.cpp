// The core's message catalogue: every id has a text in every language, the English texts are
// plain ASCII in the Japanese texts' shape (placeholders, line breaks), and the producers speak
// the language that their caller passes.
#include "settings/messages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "file/settings_file.h"
#include "net/apply_settings.h"
#include "net/device_operations.h"
#include "pages/collect_settings.h"
#include "pages/value_checks.h"
#include "tests/support/file_bytes.h"

namespace calbrin {
namespace {

std::multiset<std::string> Placeholders(std::string_view text) {
  std::multiset<std::string> found;
  for (std::size_t at = 0; (at = text.find('%', at)) != std::string_view::npos; ++at)
    found.insert(std::string(text.substr(at, 2)));
  return found;
}

std::size_t LineBreaks(std::string_view text) {
  std::size_t count = 0;
  for (std::size_t at = 0; (at = text.find("\r\n", at)) != std::string_view::npos; ++at)
    ++count;
  return count;
}

TEST(Messages, EveryIdHasAnEnglishTextInTheShapeOfTheJapanese) {
  for (int i = 0; i < kMessageCount; ++i) {
    SCOPED_TRACE(i);
    const std::string_view ja = MessageText(static_cast<MessageId>(i), Language::kJapanese);
    const std::string_view en = MessageText(static_cast<MessageId>(i), Language::kEnglish);
    EXPECT_FALSE(ja.empty());
    EXPECT_FALSE(en.empty());
    EXPECT_NE(en, ja);
    EXPECT_TRUE(std::all_of(en.begin(), en.end(), [](char c) {
      return (c >= 0x20 && c < 0x7F) || c == '\r' || c == '\n';
    })) << en;
    EXPECT_EQ(Placeholders(en), Placeholders(ja)) << en;
    EXPECT_EQ(LineBreaks(en), LineBreaks(ja)) << en;
  }
}

struct SilentCollect : CollectUi {
  void ShowError(std::string_view text) override { message = text; }
  void ShowPage(int) override {}
  std::string message;
};

// The message of collecting a QV-48R2's pages with these receive ports, in `language`.
std::string CollectMessage(std::string_view port1, std::string_view port2, Language language) {
  SettingsRecord record;
  for (const auto& [key, value] : {std::pair{SettingKey::MODEL, std::string_view("48")},
                                   {SettingKey::PORT1, port1},
                                   {SettingKey::PORT2, port2}})
    SetField(record, key, value);
  SettingsRecord collected;
  SettingsText text;
  SilentCollect ui;
  CollectSettings(ShownPages(record, false), record, false, false, collected, text, ui, language);
  return ui.message;
}

TEST(Messages, ProducersSpeakTheCallersLanguage) {
  const test::ScratchFolder folder;
  SettingsRecord qv57;
  SetField(qv57, SettingKey::MODEL, "57");
  SettingsText file;
  SerializeSettings(qv57, true, true, file);
  const std::filesystem::path path = test::WriteFileBytes(folder / "qv57.qvs", file.View());
  SettingsRecord read;
  const SettingsFileRead otherModel = ReadSettingsFile(path, false, read);
  const auto problem = CheckSettingValue(Index(SettingKey::CPAR1), "1", false, Language::kEnglish);
  const auto reduced = CheckSettingValue(Index(SettingKey::CFLOW2), "1", true, Language::kJapanese);
  const std::pair<std::string, std::string> cases[] = {
      {std::string(SettingsFileReadMessage(otherModel, Language::kEnglish)),
       " Could not read the settings.\r\n The settings file may be for another model."},
      {CollectMessage("4001", "4001", Language::kEnglish),
       "LAN(1) and LAN(2) have the same receive port.\r\nChange one to a different value."},
      {CollectMessage("4001", "30718", Language::kEnglish),
       "Receive port 30718 cannot be set on LAN(2).\r\nChange the value."},
      {SettingsStepFailure(-1, 10061, Language::kEnglish),
       "Writing failed.\r\nSocket error : 10061 \r\nCould not connect: the connection was "
       "refused."},
      {PasswordStepFailure(-3, 0, Language::kEnglish), "Writing failed."},
      {problem ? problem->Message() : "", "CPAR1 (Parity) = 1: one of 0 (None), 2 (Even), 3 (Odd)"},
      {reduced ? reduced->allowed : "",
       "QV-57R のチャンネル 2 では 0 (無し), 2 (Xon/Xoff) のいずれか"},
  };
  for (const auto& [produced, expected] : cases)
    EXPECT_EQ(produced, expected);
}

}  // namespace
}  // namespace calbrin
