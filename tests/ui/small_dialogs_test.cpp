// The password and add-address dialogs, and the common file dialogs of settings files, driven the
// way a user fills them in.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "settings/password_scrambling.h"
#include "tests/ui/ui_support.h"
#include "ui/editor/settings_file_dialogs.h"
#include "ui/main/small_dialogs.h"

namespace calbrin {
namespace {

namespace fs = std::filesystem;
using test::DriveModal;

std::wstring ItemText(HWND dialog, int id) {
  return WindowText(GetDlgItem(dialog, id));
}

// Refuses an empty field, keeps printable characters up to 32, scrambles the password on OK and
// leaves the login alone on cancel.
TEST(PasswordDialog, KeepsPrintableCharactersAndScramblesThemOnOkOnly) {
  ScrambledPassword login;
  test::MessageRecorder messages;
  PasswordDialogData data{&login, messages.Function()};
  const auto run = [&](const std::function<void(HWND edit)>& type, int button) {
    EXPECT_TRUE(DriveModal(
        L"パスワード入力",
        [&](HWND dialog) {
          EXPECT_EQ(ItemText(dialog, IDC_PASSWORD), L"");
          type(GetDlgItem(dialog, IDC_PASSWORD));
          SendDlgItemMessageW(dialog, button, BM_CLICK, 0, 0);
          if (button == IDOK && login.present == 0)
            SendDlgItemMessageW(dialog, IDCANCEL, BM_CLICK, 0, 0);
        },
        [&] { ShowPasswordDialog(nullptr, data); }));
  };
  run([](HWND edit) { SetWindowTextW(edit, L"typed"); }, IDCANCEL);
  run([](HWND) {}, IDOK);
  EXPECT_EQ(login.present, 0);
  EXPECT_EQ(messages.shown,
            std::vector<std::wstring>{test::ErrorBox(L"パスワードが入力されていません")});
  run(
      [](HWND edit) {
        EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 32);
        SetWindowTextW(edit, std::wstring(40, L'k').c_str());
        EXPECT_EQ(WindowText(edit), std::wstring(32, L'k'));
        SetWindowTextW(edit, L"sec ret");
      },
      IDOK);
  std::string unscrambled;
  UnscramblePasswordWithShift(login.Scrambled(), kLoginShift, unscrambled);
  EXPECT_EQ(unscrambled, "sec");
}

TEST(AddAddressDialog, GivesTheTypedAddressWithBlankFieldsAsZeroAndNothingWhenBlank) {
  const struct {
    const wchar_t* fields[4];
    int button;
    bool added;
    const char* address;
  } cases[] = {{{L"192", L"168", L"0", L"10"}, IDOK, true, "192.168.0.10"},
               {{L"192", L"168", L"3", L""}, IDOK, true, "192.168.3.0"},
               {{L"", L"", L"", L""}, IDOK, false, ""}};
  for (const auto& c : cases) {
    AddAddressDialogData data;
    EXPECT_TRUE(DriveModal(
        L"IPアドレスの追加",
        [&c](HWND dialog) {
          // The four fields of the address control, as a user types them.
          HWND field = GetWindow(GetDlgItem(dialog, IDC_ADDRESS), GW_CHILD);
          for (int i = 0; i < 4 && field; ++i, field = GetWindow(field, GW_HWNDNEXT))
            SetWindowTextW(field, c.fields[i]);
          SendDlgItemMessageW(dialog, c.button, BM_CLICK, 0, 0);
        },
        [&] { ShowAddAddressDialog(nullptr, data); }));
    EXPECT_EQ(data.added, c.added) << c.address;
    EXPECT_EQ(data.address, c.address);
  }
}

// Control identifiers of the common file dialog's name field and file type list.
constexpr int kFileNameCombo = 0x47c;
constexpr int kFileNameEdit = 0x480;
constexpr int kFileTypeList = 0x470;

// The real open and save dialogs: the proposed name, the filter, the default extension.
TEST(SettingsFileDialogs, SaveAddsTheExtensionOpenHandsBackTheFileAndCancelNothing) {
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  const fs::path folder = fs::path(temp) / ("calbrin-dialogs-" + std::to_string(GetTickCount64()));
  fs::create_directories(folder);
  std::ofstream(folder / "plant.qvs") << "MODEL\r\n48\r\n";
  const auto choose = [&](SettingsFileDialog kind, const std::wstring& proposed,
                          const std::wstring& name, int button) {
    std::optional<std::wstring> chosen;
    EXPECT_TRUE(DriveModal(
        L"",
        [&](HWND dialog) {
          wchar_t shown[300] = {};
          if (GetDlgItemTextW(dialog, kFileNameCombo, shown, 300) == 0)
            GetDlgItemTextW(dialog, kFileNameEdit, shown, 300);
          EXPECT_EQ(std::wstring(shown), proposed);
          wchar_t type[64] = {};
          SendDlgItemMessageW(dialog, kFileTypeList, CB_GETLBTEXT, 0,
                              reinterpret_cast<LPARAM>(type));
          EXPECT_STREQ(type, L"QV Setup Files(*.qvs)");
          SetDlgItemTextW(dialog, kFileNameCombo, name.c_str());
          SetDlgItemTextW(dialog, kFileNameEdit, name.c_str());
          SendMessageW(dialog, WM_COMMAND, button, 0);
        },
        [&] { chosen = ChooseSettingsFile(nullptr, kind, folder.wstring(), proposed); }));
    return chosen;
  };
  const auto saved = choose(SettingsFileDialog::kSave, L"QV-48R2_02-00-00-00-00-01.qvs",
                            (folder / L"plant2").wstring(), IDOK);
  EXPECT_EQ(fs::path(saved.value_or(L"")), folder / L"plant2.qvs");
  const auto opened =
      choose(SettingsFileDialog::kOpen, L"", (folder / L"plant.qvs").wstring(), IDOK);
  EXPECT_EQ(fs::path(opened.value_or(L"")), folder / L"plant.qvs");
  EXPECT_FALSE(choose(SettingsFileDialog::kOpen, L"", L"", IDCANCEL).has_value());
  fs::remove_all(folder);
}

}  // namespace
}  // namespace calbrin
