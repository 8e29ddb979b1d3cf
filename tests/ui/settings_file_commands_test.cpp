// The two file commands of the settings dialog on its real pages: the file dialogs' start, the
// saved bytes, loading into every page, and every refusal with its message and no page changed.
#include <windows.h>
// After windows.h, which it needs.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "file/settings_file.h"
#include "resources/resource.h"
#include "settings/settings_text.h"
#include "tests/support/sim_settings.h"
#include "tests/ui/settings_dialog_fixture.h"
#include "tests/support/file_bytes.h"
#include "ui/main/wide_text.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;

class SettingsFileCommandsTest : public test::SettingsDialogFixture {
 protected:
  SettingsFileCommandsTest() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = fs::path(temp) / ("calbrin-files-" + std::to_string(GetTickCount64()));
    fs::create_directories(folder_);
    constexpr std::string_view kMac = "02-00-00-00-00-07";
    kMac.copy(app_.session.identity.mac.data(), kMac.size());
  }
  ~SettingsFileCommandsTest() override { fs::remove_all(folder_); }

  void UseDevice(std::string_view model) {
    record_ = ToRecord(sim::DefaultSettings(model, "10.1.1.20"));
  }

  void Save(const fs::path& path) {
    chosenFile_ = path.wstring();
    SendMessageW(dialog_->Window(), WM_COMMAND, MAKEWPARAM(IDM_SAVE_SETTINGS_FILE, 0), 0);
  }
  void Load(const fs::path& path) {
    chosenFile_ = path.wstring();
    SendMessageW(dialog_->Window(), WM_COMMAND, MAKEWPARAM(IDM_OPEN_SETTINGS_FILE, 0), 0);
  }
  fs::path Put(const std::string& name, std::string_view bytes) {
    return test::WriteFileBytes(folder_ / name, bytes);
  }
  void Enter(int tab, int id, const wchar_t* text) { SetWindowTextW(Control(tab, id), text); }
  int CurrentTab() const { return TabCtrl_GetCurSel(GetDlgItem(dialog_->Window(), IDC_TAB)); }

  fs::path folder_;
};

TEST_F(SettingsFileCommandsTest, SaveProposesModelAndMacInTheApplicationFolder) {
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  Save(folder_ / "saved.qvs");
  ASSERT_EQ(fileDialogs_.size(), 1u);
  EXPECT_EQ(fileDialogs_[0].kind, SettingsFileDialog::kSave);
  EXPECT_EQ(fileDialogs_[0].folder, L"C:\\calbrin");
  EXPECT_EQ(fileDialogs_[0].proposedName, L"QV-48R2_02-00-00-00-00-07.qvs");
  EXPECT_TRUE(messages_.empty());

  // The bytes: the settings text with all 65 pairs, nothing before or after; the passwords of
  // the two channels hold fresh random fillers, so they are compared unscrambled.
  const std::string saved = test::ReadFileBytes(folder_ / "saved.qvs");
  SettingsRecord read;
  ASSERT_EQ(ParseSettings(saved, read), kSettingKeyCount);
  EXPECT_EQ(saved.size(), test::SettingsFileText(read).size());
  EXPECT_EQ(saved, test::SettingsFileText(read));
  for (int i = 0; i < kSettingKeyCount; ++i) {
    if (i == Index(SettingKey::PASS1) || i == Index(SettingKey::PASS2)) continue;
    EXPECT_EQ(ReadField(read, i), ReadField(record_, i)) << KeyText(i);
  }
  std::string password = "x";
  EXPECT_EQ(UnscramblePassword(ReadField(read, SettingKey::PASS1), password), 0);
}

TEST_F(SettingsFileCommandsTest, WithoutAMacTheNameIsTheModelAlone) {
  UseDevice("57");
  app_.session.identity.mac.fill('\0');
  ASSERT_NE(Open(), nullptr);
  chosenFile_.reset();
  SendMessageW(dialog_->Window(), WM_COMMAND, MAKEWPARAM(IDM_SAVE_SETTINGS_FILE, 0), 0);
  ASSERT_EQ(fileDialogs_.size(), 1u);
  EXPECT_EQ(fileDialogs_[0].proposedName, L"QV-57R.qvs");
  EXPECT_TRUE(fs::is_empty(folder_));
}

TEST_F(SettingsFileCommandsTest, LoadingRefillsEveryPageAndKeepsTheTab) {
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  SelectTab(4);
  Enter(1, IDC_RECEIVE_PORT, L"4101");
  Enter(4, IDC_BAUD_RATE, L"19200");
  SendMessageW(Control(3, IDC_PACKING), BM_CLICK, 0, 0);
  Save(folder_ / "plant.qvs");
  ASSERT_TRUE(messages_.empty());

  Enter(1, IDC_RECEIVE_PORT, L"5555");
  Enter(4, IDC_BAUD_RATE, L"300");
  Enter(0, IDC_MSS, L"600");
  SendMessageW(Control(3, IDC_PACKING), BM_CLICK, 0, 0);
  Load(folder_ / "plant.qvs");
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Text(1, IDC_RECEIVE_PORT), L"4101");
  EXPECT_EQ(Text(4, IDC_BAUD_RATE), L"19200");
  EXPECT_EQ(Text(0, IDC_MSS), L"1460");
  EXPECT_EQ(IsDlgButtonChecked(dialog_->PageAt(3)->Window(), IDC_PACKING), BST_CHECKED);
  EXPECT_TRUE(IsWindowEnabled(Control(3, IDC_PACKING_TIME)));
  EXPECT_EQ(CurrentTab(), 4);
  EXPECT_EQ(VisiblePages(), std::vector<int>{4});
  // The device record is never changed by a load.
  EXPECT_EQ(ReadField(record_, SettingKey::PORT1), "10001");
}

TEST_F(SettingsFileCommandsTest, RefusedFilesChangeNoPage) {
  UseDevice("48");
  SettingsRecord other = ToRecord(sim::DefaultSettings("48", "10.1.1.99"));
  SetField(other, SettingKey::PORT1, "7777");
  const std::string good = test::SettingsFileText(other);
  std::string tooLong = good;
  tooLong.insert(tooLong.find("PORT2\r\n") + 7, "12345678");
  const std::string padded = good + std::string(2049 - good.size(), '\0');
  SettingsRecord qv57 = ToRecord(sim::DefaultSettings("57", "10.1.1.98"));
  const struct {
    const char* name;
    std::string bytes;
    const wchar_t* message;
  } cases[] = {
      {"empty.qvs", "", L"ファイルが空か、サイズを取得できません。"},
      {"big.qvs", padded, L"設定情報が読込めませんでした。\r\n ファイルサイズが異なります。"},
      {"bom.qvs", "\xEF\xBB\xBF" + good,
       L" 設定情報が読込めませんでした。\r\n ファイル内容が異なる可能性があります。"},
      {"long.qvs", tooLong,
       L" 設定情報が読込めませんでした。\r\n ファイル内容が異なる可能性があります。"},
      {"57.qvs", test::SettingsFileText(qv57),
       L" 設定情報が読込めませんでした。\r\n 設定ファイルのモデルが異なる可能性があります。"},
  };
  ASSERT_NE(Open(), nullptr);
  for (const auto& c : cases) {
    messages_.clear();
    Load(Put(c.name, c.bytes));
    EXPECT_EQ(messages_, std::vector<std::wstring>{std::wstring(L"エラー|") + c.message}) << c.name;
    // PORT1 comes before the overlong PORT2: the file record has it, the page does not.
    EXPECT_EQ(Text(1, IDC_RECEIVE_PORT), L"10001") << c.name;
    EXPECT_EQ(Text(0, IDC_IP), L"10.1.1.20") << c.name;
  }
  messages_.clear();
  Load(folder_ / "missing.qvs");
  EXPECT_EQ(messages_, std::vector<std::wstring>{L"エラー|ファイルを開けませんでした。"});
  messages_.clear();
  Load(Put("full.qvs", good + std::string(2048 - good.size(), '\0')));
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(Text(1, IDC_RECEIVE_PORT), L"7777");
}

TEST_F(SettingsFileCommandsTest, Qv48r2FileIsRefusedByAQv57r) {
  UseDevice("57");
  ASSERT_NE(Open(), nullptr);
  Load(Put("48.qvs", test::SettingsFileText(ToRecord(sim::DefaultSettings("48", "10.1.1.2")))));
  EXPECT_EQ(messages_,
            std::vector<std::wstring>{L"エラー| 設定情報が読込めませんでした。\r\n "
                                      L"設定ファイルのモデルが異なる可能性があります。"});
}

TEST_F(SettingsFileCommandsTest, RefusedCollectionLeavesTheExistingFileAlone) {
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  const fs::path path = Put("kept.qvs", "the plant's file");
  Enter(2, IDC_RECEIVE_PORT, L"10001");  // the same as LAN(1)
  Save(path);
  EXPECT_EQ(
      messages_,
      std::vector<std::wstring>{
          L"エラー|LAN(1)とLAN(2)の受信ポート番号が同じです。\r\n異なる値に変更してください。"});
  EXPECT_EQ(CurrentTab(), 2);
  EXPECT_EQ(test::ReadFileBytes(path), "the plant's file");

  // Saved over it once the pages are right.
  Enter(2, IDC_RECEIVE_PORT, L"10002");
  messages_.clear();
  Save(path);
  EXPECT_TRUE(messages_.empty());
  EXPECT_TRUE(test::ReadFileBytes(path).starts_with("MODEL\r\n48\r\n"));
  EXPECT_EQ(std::distance(fs::directory_iterator(folder_), fs::directory_iterator()), 1);
}

TEST_F(SettingsFileCommandsTest, FileThatCannotBeCreatedIsReported) {
  UseDevice("48");
  ASSERT_NE(Open(), nullptr);
  Save(folder_ / "no-such-folder" / "x.qvs");
  EXPECT_EQ(messages_, std::vector<std::wstring>{L"エラー|ファイルを作成できませんでした。"});
}

}  // namespace
}  // namespace calbrin
