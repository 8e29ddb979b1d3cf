// The real open and save dialogs of settings files: the filter, the proposed name, the default
// extension and the path they hand back.
#include "ui/editor/settings_file_dialogs.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "tests/ui/modal_driver.h"
#include "tests/support/file_bytes.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;

// Control identifiers of the common file dialog's name field and file type list.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
constexpr int kFileTypeList = 0x470;

std::wstring NameField(HWND dialog) {
  wchar_t text[300] = {};
  if (GetDlgItemTextW(dialog, kFileNameCombo, text, 300) == 0)
    GetDlgItemTextW(dialog, kFileNameEdit, text, 300);
  return text;
}

void SetNameField(HWND dialog, const std::wstring& name) {
  SetDlgItemTextW(dialog, kFileNameCombo, name.c_str());
  SetDlgItemTextW(dialog, kFileNameEdit, name.c_str());
}

class SettingsFileDialogsTest : public ::testing::Test {
 protected:
  SettingsFileDialogsTest() {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    folder_ = fs::path(temp) / ("calbrin-dialogs-" + std::to_string(GetTickCount64()));
    fs::create_directories(folder_);
  }
  ~SettingsFileDialogsTest() override {
    std::error_code error;
    fs::remove_all(folder_, error);
    EXPECT_FALSE(error) << error.message();
  }

  fs::path folder_;
};

TEST_F(SettingsFileDialogsTest, SaveProposesTheNameAndAddsTheExtension) {
  std::wstring proposed;
  std::wstring firstType;
  std::optional<std::wstring> chosen;
  const bool ran = testing::DriveModal(
      L"",
      [&](HWND dialog) {
        proposed = NameField(dialog);
        wchar_t type[64] = {};
        SendDlgItemMessageW(dialog, kFileTypeList, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(type));
        firstType = type;
        SetNameField(dialog, (folder_ / L"plant").wstring());
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
      },
      [&] {
        chosen = ChooseSettingsFile(nullptr, SettingsFileDialog::kSave, folder_.wstring(),
                                    L"QV-48R2_02-00-00-00-00-01.qvs");
      });
  ASSERT_TRUE(ran);
  EXPECT_EQ(proposed, L"QV-48R2_02-00-00-00-00-01.qvs");
  EXPECT_EQ(firstType, L"QV Setup Files(*.qvs)");
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(fs::path(*chosen), folder_ / L"plant.qvs");
}

TEST_F(SettingsFileDialogsTest, OpenHandsBackTheChosenFileAndCancelHandsBackNothing) {
  const fs::path file = test::WriteFileBytes(folder_ / "plant.qvs", "MODEL\r\n48\r\n");
  std::optional<std::wstring> chosen;
  ASSERT_TRUE(testing::DriveModal(
      L"",
      [&](HWND dialog) {
        SetNameField(dialog, file.wstring());
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
      },
      [&] {
        chosen = ChooseSettingsFile(nullptr, SettingsFileDialog::kOpen, folder_.wstring(), L"");
      }));
  ASSERT_TRUE(chosen.has_value());
  EXPECT_EQ(fs::path(*chosen), file);

  ASSERT_TRUE(testing::DriveModal(
      L"", [](HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); },
      [&] {
        chosen = ChooseSettingsFile(nullptr, SettingsFileDialog::kOpen, folder_.wstring(), L"");
      }));
  EXPECT_FALSE(chosen.has_value());
}

}  // namespace
}  // namespace calbrin
