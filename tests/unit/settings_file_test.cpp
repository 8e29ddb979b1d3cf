// Settings files on disk: what is read, what is refused with which message, and how a save
// replaces a file.
#include "file/settings_file.h"

#include <gtest/gtest.h>

#include <optional>
#include <random>

#include "tests/support/file_bytes.h"
#include "tests/unit/test_records.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;

SettingsRecord Device(std::string_view model) {
  std::mt19937 rng(7);
  SettingsRecord record = test::RandomRecord(rng);
  SetField(record, SettingKey::MODEL, model);
  return record;
}

TEST(SettingsFile, SavedFileReadsBackIntoTheSameRecord) {
  const test::ScratchFolder folder;
  const SettingsRecord device = Device("48");
  const fs::path path = folder / "QV-48R2_02-00-00-00-00-01.qvs";
  ASSERT_TRUE(WriteSettingsFile(path, "old contents"));
  ASSERT_TRUE(WriteSettingsFile(path, test::SettingsFileText(device)));
  EXPECT_EQ(test::ReadFileBytes(path), test::SettingsFileText(device));
  SettingsRecord loaded = test::FullWidthRecord();
  EXPECT_EQ(ReadSettingsFile(path, false, loaded), SettingsFileRead::kLoaded);
  EXPECT_EQ(loaded, device);
  // A value line left empty must not show the value of the file loaded before.
  SettingsRecord second = device;
  SetField(second, SettingKey::HIP1, "");
  ASSERT_TRUE(WriteSettingsFile(path, test::SettingsFileText(second)));
  EXPECT_EQ(ReadSettingsFile(path, false, loaded), SettingsFileRead::kLoaded);
  EXPECT_EQ(loaded, second);
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(SettingsFile, RefusalsAndTheirMessages) {
  const std::string qv48 = test::SettingsFileText(Device("48"));
  const std::string qv57 = test::SettingsFileText(Device("57"));
  std::string tooLong = qv48;
  tooLong.insert(tooLong.find("PORT1\r\n") + 7, "12345678");
  const std::string kSize = "設定情報が読込めませんでした。\r\n ファイルサイズが異なります。";
  const std::string kContent =
      " 設定情報が読込めませんでした。\r\n ファイル内容が異なる可能性があります。";
  const std::string kModel =
      " 設定情報が読込めませんでした。\r\n 設定ファイルのモデルが異なる可能性があります。";
  const struct {
    std::optional<std::string> bytes;  // none: no such file
    bool reduced;
    SettingsFileRead result;
    std::string message;
  } cases[] = {
      {qv57 + std::string(2048 - qv57.size(), ' '), true, SettingsFileRead::kLoaded, ""},
      {qv57 + std::string(2049 - qv57.size(), ' '), true, SettingsFileRead::kTooLarge, kSize},
      {qv57.substr(0, 11) + '\0' + qv57.substr(11), true, SettingsFileRead::kNotSettings, kContent},
      {qv57 + '\0', true, SettingsFileRead::kNotSettings, kContent},
      {"", false, SettingsFileRead::kEmptyOrNoSize, "ファイルが空か、サイズを取得できません。"},
      {std::nullopt, false, SettingsFileRead::kOpenFailed, "ファイルを開けませんでした。"},
      {"M", false, SettingsFileRead::kNotSettings, kContent},
      {"\xEF\xBB\xBF" + qv48, false, SettingsFileRead::kNotSettings, kContent},
      {"\r\n" + qv48, false, SettingsFileRead::kNotSettings, kContent},
      {tooLong, false, SettingsFileRead::kNotSettings, kContent},
      {qv57, false, SettingsFileRead::kOtherModel, kModel},
      {qv48, true, SettingsFileRead::kOtherModel, kModel},
      {test::SettingsFileText(Device("48A")), false, SettingsFileRead::kLoaded, ""},
  };
  const test::ScratchFolder folder;
  int n = 0;
  for (const auto& c : cases) {
    const fs::path path = folder / ("case" + std::to_string(n++) + ".qvs");
    if (c.bytes) test::WriteFileBytes(path, *c.bytes);
    SettingsRecord record;
    const SettingsFileRead result = ReadSettingsFile(path, c.reduced, record);
    EXPECT_EQ(result, c.result) << "case " << n;
    EXPECT_EQ(SettingsFileReadMessage(result), c.message) << "case " << n;
  }
  EXPECT_EQ(SettingsFileReadMessage(SettingsFileRead::kReadFailed),
            "ファイルの読み込みに失敗しました。");
}

TEST(SettingsFile, SaveThatCannotReplaceTheTargetLeavesEverythingAsItWas) {
  const test::ScratchFolder folder;
  fs::create_directory(folder / "taken.qvs");
  test::WriteFileBytes(folder / "taken.qvs" / "kept", "kept");
  EXPECT_FALSE(WriteSettingsFile(folder / "taken.qvs", "MODEL\r\n48\r\n"));
  EXPECT_EQ(test::ReadFileBytes(folder / "taken.qvs" / "kept"), "kept");
  EXPECT_FALSE(WriteSettingsFile(folder / "no-such-folder" / "x.qvs", "MODEL"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder.Path()), fs::directory_iterator()), 1);
}

TEST(ProposedSettingsFileName, ModelAndMacOrModelAlone) {
  EXPECT_EQ(ProposedSettingsFileName("QV-48R2", "00-11-22-33-44-55"),
            "QV-48R2_00-11-22-33-44-55.qvs");
  EXPECT_EQ(ProposedSettingsFileName("QV-57R", ""), "QV-57R.qvs");
  EXPECT_EQ(ProposedSettingsFileName("", ""), ".qvs");
  EXPECT_EQ(ProposedSettingsFileName(std::string(300, 'x'), "").size(), 259u);
}

}  // namespace
}  // namespace calbrin
