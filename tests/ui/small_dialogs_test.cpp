// The password and add-address dialogs, driven the way a user fills them in.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "modal_driver.h"
#include "settings/password_scrambling.h"
#include "resources/resource.h"
#include "ui/main/small_dialogs.h"

namespace calbrin {
namespace {

using testing::DriveModal;
using testing::TypeAddress;

constexpr wchar_t kPasswordTitle[] = L"パスワード入力";
constexpr wchar_t kAddTitle[] = L"IPアドレスの追加";

struct ShownMessage {
  std::wstring text;
  std::wstring caption;
  UINT type;
};

std::wstring ItemText(HWND dialog, int id) {
  wchar_t text[128] = {};
  GetDlgItemTextW(dialog, id, text, 128);
  return text;
}

void Click(HWND dialog, int id) {
  SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
}

class SmallDialogsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_INTERNET_CLASSES};
    InitCommonControlsEx(&controls);
    password.login = &login;
    password.showMessage = [this](HWND, const std::wstring& text, const std::wstring& caption,
                                  UINT type) {
      messages.push_back({text, caption, type});
      return IDOK;
    };
  }

  // Opens the password dialog, lets `drive` act on it, and returns whether it ran.
  bool RunPassword(const std::function<void(HWND)>& drive) {
    return DriveModal(kPasswordTitle, drive, [this] { ShowPasswordDialog(nullptr, password); });
  }

  ScrambledPassword login;
  PasswordDialogData password;
  std::vector<ShownMessage> messages;
};

TEST_F(SmallDialogsTest, PasswordDialogOpensEmptyWithItsTitleAndScramblesOnOk) {
  const bool ran = RunPassword([](HWND dialog) {
    EXPECT_EQ(ItemText(dialog, IDC_PASSWORD), L"");
    SetDlgItemTextW(dialog, IDC_PASSWORD, L"secret");
    Click(dialog, IDOK);
  });
  ASSERT_TRUE(ran);
  EXPECT_EQ(login.present, 1);
  EXPECT_STREQ(login.password.data(), "secret");
  std::string unscrambled;
  UnscramblePasswordWithShift(login.Scrambled(), kLoginShift, unscrambled);
  EXPECT_EQ(unscrambled, "secret");
  EXPECT_TRUE(messages.empty());
}

TEST_F(SmallDialogsTest, PasswordFieldStopsAtTheFirstCharacterOutsideThePrintableRange) {
  RunPassword([](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_PASSWORD, L"ab cd");
    EXPECT_EQ(ItemText(dialog, IDC_PASSWORD), L"ab");
    SetDlgItemTextW(dialog, IDC_PASSWORD, L"xyあz");
    EXPECT_EQ(ItemText(dialog, IDC_PASSWORD), L"xy");
    SetDlgItemTextW(dialog, IDC_PASSWORD, L"tab\there");
    EXPECT_EQ(ItemText(dialog, IDC_PASSWORD), L"tab");
    Click(dialog, IDCANCEL);
  });
}

TEST_F(SmallDialogsTest, PasswordFieldTakesAtMost32Characters) {
  RunPassword([](HWND dialog) {
    HWND edit = GetDlgItem(dialog, IDC_PASSWORD);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 32);
    for (int i = 0; i < 33; ++i)
      SendMessageW(edit, WM_CHAR, L'a' + i % 26, 0);
    EXPECT_EQ(ItemText(dialog, IDC_PASSWORD).size(), 32u);
    // A pasted or set text is cut as well.
    SetWindowTextW(edit, std::wstring(40, L'k').c_str());
    EXPECT_EQ(ItemText(dialog, IDC_PASSWORD), std::wstring(32, L'k'));
    Click(dialog, IDOK);
  });
  EXPECT_EQ(login.present, 1);
  EXPECT_EQ(std::string(login.password.data()), std::string(32, 'k'));
}

TEST_F(SmallDialogsTest, OkWithAnEmptyPasswordExplainsAndStaysOpen) {
  RunPassword([this](HWND dialog) {
    Click(dialog, IDOK);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0].text, L"パスワードが入力されていません");
    EXPECT_EQ(messages[0].caption, L"エラー");
    EXPECT_EQ(messages[0].type, static_cast<UINT>(MB_OK | MB_ICONINFORMATION));
    EXPECT_TRUE(IsWindowVisible(dialog));
    Click(dialog, IDCANCEL);
  });
  EXPECT_EQ(login.present, 0);
}

TEST_F(SmallDialogsTest, CancelAndTheCloseBoxLeaveTheLoginRecord) {
  ScramblePassword("before", kLoginShift, login);
  const ScrambledPassword before = login;
  RunPassword([](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_PASSWORD, L"typed");
    Click(dialog, IDCANCEL);
  });
  RunPassword([](HWND dialog) {
    SetDlgItemTextW(dialog, IDC_PASSWORD, L"typed");
    SendMessageW(dialog, WM_CLOSE, 0, 0);
  });
  EXPECT_EQ(login.Scrambled(), before.Scrambled());
  EXPECT_TRUE(messages.empty());
}

TEST_F(SmallDialogsTest, AddAddressDialogGivesTheDottedAddress) {
  AddAddressDialogData data;
  DriveModal(
      kAddTitle,
      [](HWND dialog) {
        EXPECT_NE(SendDlgItemMessageW(dialog, IDC_ADDRESS, IPM_ISBLANK, 0, 0), 0);
        TypeAddress(GetDlgItem(dialog, IDC_ADDRESS), L"192", L"168", L"0", L"10");
        Click(dialog, IDOK);
      },
      [&] { ShowAddAddressDialog(nullptr, data); });
  EXPECT_TRUE(data.added);
  EXPECT_EQ(data.address, "192.168.0.10");
}

TEST_F(SmallDialogsTest, BlankFieldsOfAPartlyFilledAddressCountAsZero) {
  AddAddressDialogData data;
  DriveModal(
      kAddTitle,
      [](HWND dialog) {
        TypeAddress(GetDlgItem(dialog, IDC_ADDRESS), L"192", L"168", L"3", L"");
        Click(dialog, IDOK);
      },
      [&] { ShowAddAddressDialog(nullptr, data); });
  EXPECT_TRUE(data.added);
  EXPECT_EQ(data.address, "192.168.3.0");
}

TEST_F(SmallDialogsTest, BlankAddressAndCancelGiveNothing) {
  AddAddressDialogData data;
  DriveModal(
      kAddTitle, [](HWND dialog) { Click(dialog, IDOK); },
      [&] { ShowAddAddressDialog(nullptr, data); });
  EXPECT_FALSE(data.added);
  DriveModal(
      kAddTitle,
      [](HWND dialog) {
        TypeAddress(GetDlgItem(dialog, IDC_ADDRESS), L"10", L"0", L"0", L"1");
        Click(dialog, IDCANCEL);
      },
      [&] { ShowAddAddressDialog(nullptr, data); });
  EXPECT_FALSE(data.added);
  EXPECT_EQ(data.address, "");
}

TEST_F(SmallDialogsTest, VersionBoxShowsMajorAndTwoDigitMinorWithoutIcon) {
  ShowVersionBox(nullptr, 1, 5, password.showMessage);
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, L"    バージョン : 1.05    ");
  EXPECT_EQ(messages[0].caption, L"バージョン情報");
  EXPECT_EQ(messages[0].type, static_cast<UINT>(MB_OK));
}

TEST_F(SmallDialogsTest, ProductVersionOfThisProgramIsOneZero) {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::array<std::uint16_t, 4> words{9, 9, 9, 9};
  EXPECT_TRUE(ReadProductVersion(path, words));
  EXPECT_EQ(words, (std::array<std::uint16_t, 4>{1, 0, 0, 0}));
  EXPECT_FALSE(ReadProductVersion(L"C:\\no\\such\\file.exe", words));
  EXPECT_EQ(words, (std::array<std::uint16_t, 4>{}));
}

}  // namespace
}  // namespace calbrin
