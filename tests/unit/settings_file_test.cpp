// Settings files on disk: what is read, what is refused with which message, and how a save
// replaces a file.
#include "file/settings_file.h"

#include <gtest/gtest.h>

#include <fstream>
#include <random>

#include "settings/settings_text.h"
#include "tests/unit/file_bytes.h"
#include "tests/unit/test_records.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsFileTest() {
    std::random_device random;
    folder_ = fs::temp_directory_path() / ("calbrin-file-test-" + std::to_string(random()));
    fs::create_directories(folder_);
  }
  ~SettingsFileTest() override { fs::remove_all(folder_); }

  fs::path Put(const std::string& name, std::string_view bytes) {
    return test::WriteFileBytes(folder_ / name, bytes);
  }

  static SettingsRecord Device(std::string_view model) {
    std::mt19937 rng(7);
    SettingsRecord record = test::RandomRecord(rng);
    SetField(record, SettingKey::MODEL, model);
    return record;
  }

  fs::path folder_;
};

TEST_F(SettingsFileTest, SavedFileReadsBackIntoTheSameRecord) {
  const SettingsRecord device = Device("48");
  const fs::path path = folder_ / "QV-48R2_02-00-00-00-00-01.qvs";
  ASSERT_TRUE(WriteSettingsFile(path, test::SettingsFileText(device)));
  EXPECT_EQ(test::ReadFileBytes(path), test::SettingsFileText(device));
  SettingsRecord loaded = test::FullWidthRecord();
  EXPECT_EQ(ReadSettingsFile(path, false, loaded), SettingsFileRead::kLoaded);
  EXPECT_EQ(loaded, device);
  // Nothing but the file is left in the folder.
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileTest, SizesFromOneTo2048BytesAreRead) {
  SettingsRecord record;
  std::string text = test::SettingsFileText(Device("57"));
  const fs::path full = Put("full.qvs", text + std::string(2048 - text.size(), '\0'));
  EXPECT_EQ(ReadSettingsFile(full, true, record), SettingsFileRead::kLoaded);
  const fs::path over = Put("over.qvs", text + std::string(2049 - text.size(), '\0'));
  EXPECT_EQ(ReadSettingsFile(over, true, record), SettingsFileRead::kTooLarge);
  EXPECT_EQ(ReadSettingsFile(Put("empty.qvs", ""), true, record), SettingsFileRead::kEmptyOrNoSize);
  EXPECT_EQ(ReadSettingsFile(folder_ / "missing.qvs", true, record), SettingsFileRead::kOpenFailed);
  EXPECT_EQ(ReadSettingsFile(Put("m.qvs", "M"), true, record), SettingsFileRead::kNotSettings);
}

TEST_F(SettingsFileTest, ContentThatIsNoSettingsTextIsRefused) {
  const std::string text = test::SettingsFileText(Device("48"));
  SettingsRecord record;
  EXPECT_EQ(ReadSettingsFile(Put("bom.qvs", "\xEF\xBB\xBF" + text), false, record),
            SettingsFileRead::kNotSettings);
  EXPECT_EQ(ReadSettingsFile(Put("blank.qvs", "\r\n" + text), false, record),
            SettingsFileRead::kNotSettings);
  // A value longer than its field stops the parse.
  std::string tooLong = text;
  const std::size_t port = tooLong.find("PORT1\r\n") + 7;
  tooLong.insert(port, "12345678");
  EXPECT_EQ(ReadSettingsFile(Put("long.qvs", tooLong), false, record),
            SettingsFileRead::kNotSettings);
}

TEST_F(SettingsFileTest, FileOfTheOtherModelIsRefusedBothWays) {
  SettingsRecord record;
  const fs::path qv48 = Put("48.qvs", test::SettingsFileText(Device("48")));
  const fs::path qv57 = Put("57.qvs", test::SettingsFileText(Device("57")));
  EXPECT_EQ(ReadSettingsFile(qv57, false, record), SettingsFileRead::kOtherModel);
  EXPECT_EQ(ReadSettingsFile(qv48, true, record), SettingsFileRead::kOtherModel);
  EXPECT_EQ(ReadSettingsFile(qv48, false, record), SettingsFileRead::kLoaded);
  EXPECT_EQ(ReadSettingsFile(qv57, true, record), SettingsFileRead::kLoaded);
  // Only the first two characters of the model count.
  SettingsRecord variant = Device("48A");
  EXPECT_EQ(ReadSettingsFile(Put("48a.qvs", test::SettingsFileText(variant)), false, record),
            SettingsFileRead::kLoaded);
}

// A value line left empty in one file must not show the value of the file loaded before it.
TEST_F(SettingsFileTest, EveryLoadStartsFromAnEmptyRecord) {
  SettingsRecord first = Device("48");
  SetField(first, SettingKey::HIP1, "10.9.8.7");
  SettingsRecord second = Device("48");
  SetField(second, SettingKey::HIP1, "");
  SettingsRecord fileRecord;
  ASSERT_EQ(ReadSettingsFile(Put("first.qvs", test::SettingsFileText(first)), false, fileRecord),
            SettingsFileRead::kLoaded);
  EXPECT_EQ(ReadField(fileRecord, SettingKey::HIP1), "10.9.8.7");
  ASSERT_EQ(ReadSettingsFile(Put("second.qvs", test::SettingsFileText(second)), false, fileRecord),
            SettingsFileRead::kLoaded);
  EXPECT_EQ(ReadField(fileRecord, SettingKey::HIP1), "");
  EXPECT_EQ(fileRecord, second);
}

TEST_F(SettingsFileTest, SaveReplacesAnExistingFileOnlyWhenComplete) {
  const fs::path path = Put("plant.qvs", "old contents");
  ASSERT_TRUE(WriteSettingsFile(path, "MODEL\r\n48\r\n"));
  EXPECT_EQ(test::ReadFileBytes(path), "MODEL\r\n48\r\n");

  // A target that cannot be replaced stays as it was, and no new file is left behind.
  const fs::path folderTarget = folder_ / "taken.qvs";
  fs::create_directory(folderTarget);
  fs::path inside = folderTarget / "kept";
  Put("taken.qvs/kept", "kept");
  EXPECT_FALSE(WriteSettingsFile(folderTarget, "MODEL\r\n48\r\n"));
  EXPECT_TRUE(fs::is_directory(folderTarget));
  EXPECT_EQ(test::ReadFileBytes(inside), "kept");
  EXPECT_FALSE(WriteSettingsFile(folder_ / "no-such-folder" / "x.qvs", "MODEL"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 2);
}

TEST(SettingsFileMessages, EachRefusalHasItsText) {
  EXPECT_EQ(SettingsFileReadMessage(SettingsFileRead::kLoaded), "");
  EXPECT_EQ(SettingsFileReadMessage(SettingsFileRead::kTooLarge),
            "設定情報が読込めませんでした。\r\n ファイルサイズが異なります。");
  EXPECT_EQ(SettingsFileReadMessage(SettingsFileRead::kOtherModel),
            " 設定情報が読込めませんでした。\r\n 設定ファイルのモデルが異なる可能性があります。");
  EXPECT_EQ(SettingsFileReadMessage(SettingsFileRead::kNotSettings),
            " 設定情報が読込めませんでした。\r\n ファイル内容が異なる可能性があります。");
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
