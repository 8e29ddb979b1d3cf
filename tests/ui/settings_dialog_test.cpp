// The settings dialog under a real window manager: title, model label and variant flag, the five
// tabs and their pages, page placement and switching, and how the dialog closes.
#include "ui/editor/settings_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "resources/resource.h"
#include "settings/settings_record.h"
#include "tests/support/sim_settings.h"
#include "tests/ui/settings_dialog_fixture.h"
#include "ui/editor/lan_page.h"
#include "ui/editor/network_page.h"
#include "ui/editor/serial_page.h"
#include "ui/main/app.h"

namespace calbrin {
namespace {

using test::PumpMessages;
using test::WindowText;

std::wstring TabCaption(HWND tab, int index) {
  wchar_t buffer[64] = {};
  TCITEMW item{};
  item.mask = TCIF_TEXT;
  item.pszText = buffer;
  item.cchTextMax = 64;
  if (!TabCtrl_GetItem(tab, index, &item)) return L"<no item>";
  return buffer;
}

// The rectangle of `child` in the client coordinates of `parent`.
RECT RectIn(HWND parent, HWND child) {
  RECT rect{};
  GetWindowRect(child, &rect);
  MapWindowPoints(HWND_DESKTOP, parent, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

void ExpectSameRect(const RECT& expected, const RECT& actual) {
  EXPECT_EQ(expected.left, actual.left);
  EXPECT_EQ(expected.top, actual.top);
  EXPECT_EQ(expected.right, actual.right);
  EXPECT_EQ(expected.bottom, actual.bottom);
}

class SettingsDialogTest : public test::SettingsDialogFixture {
 protected:
  std::wstring ModelLabel() const {
    return WindowText(GetDlgItem(dialog_->Window(), IDC_MODEL_LABEL));
  }
};

TEST_F(SettingsDialogTest, TitleIsTheDeviceAddress) {
  SetModel("48");
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(WindowText(window), L"192.168.11.203");
}

TEST_F(SettingsDialogTest, Model48IsTheFullModelAndClearsTheFlag) {
  SetModel("48");
  secondChannelReduced_ = true;
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(ModelLabel(), L"MODEL: QV-48R2");
  EXPECT_EQ(dialog_->ModelNameText(), "QV-48R2");
  EXPECT_FALSE(secondChannelReduced_);
}

TEST_F(SettingsDialogTest, OnlyTheFirstTwoCharactersOfTheModelCount) {
  SetModel("48A");
  secondChannelReduced_ = true;
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(ModelLabel(), L"MODEL: QV-48R2");
  EXPECT_EQ(dialog_->ModelNameText(), "QV-48R2");
  EXPECT_FALSE(secondChannelReduced_);
}

TEST_F(SettingsDialogTest, Model57IsTheReducedModel) {
  SetModel("57");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(ModelLabel(), L"MODEL: QV-57R");
  EXPECT_EQ(dialog_->ModelNameText(), "QV-57R");
  EXPECT_TRUE(secondChannelReduced_);
}

TEST_F(SettingsDialogTest, UnknownModelShowsAQuestionMarkAndCountsAsReduced) {
  SetModel("99");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(ModelLabel(), L"MODEL: ?");
  EXPECT_EQ(dialog_->ModelNameText(), "");
  EXPECT_TRUE(secondChannelReduced_);
  EXPECT_EQ(TabCtrl_GetItemCount(GetDlgItem(dialog_->Window(), IDC_TAB)), 5);
}

TEST_F(SettingsDialogTest, FiveTabsWithTheirCaptions) {
  SetModel("48");
  ASSERT_NE(Open(), nullptr);
  HWND tab = GetDlgItem(dialog_->Window(), IDC_TAB);
  ASSERT_EQ(TabCtrl_GetItemCount(tab), 5);
  EXPECT_EQ(TabCaption(tab, 0), L"共通");
  EXPECT_EQ(TabCaption(tab, 1), L"LAN(1)");
  EXPECT_EQ(TabCaption(tab, 2), L"LAN(2)");
  EXPECT_EQ(TabCaption(tab, 3), L"シリアルポート(1)");
  EXPECT_EQ(TabCaption(tab, 4), L"シリアルポート(2)");
}

TEST_F(SettingsDialogTest, PagesAreBoundToTheirChannelsAndPorts) {
  SetModel("48");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(dialog_->PageAt(0), &dialog_->Network());
  EXPECT_EQ(dialog_->PageAt(1), &dialog_->Lan(1));
  EXPECT_EQ(dialog_->PageAt(2), &dialog_->Lan(2));
  EXPECT_EQ(dialog_->PageAt(3), &dialog_->Serial(1));
  EXPECT_EQ(dialog_->PageAt(4), &dialog_->Serial(2));
  EXPECT_EQ(dialog_->Lan(1).Channel(), 1);
  EXPECT_EQ(dialog_->Lan(2).Channel(), 2);
  EXPECT_EQ(dialog_->Serial(1).Port(), 1);
  EXPECT_EQ(dialog_->Serial(2).Port(), 2);
  EXPECT_EQ(dialog_->PageAt(5), nullptr);
  EXPECT_EQ(dialog_->PageAt(-1), nullptr);
  for (int i = 0; i < SettingsDialog::kPageCount; ++i) {
    HWND page = dialog_->PageAt(i)->Window();
    ASSERT_NE(page, nullptr) << "page " << i;
    EXPECT_EQ(GetParent(page), dialog_->Window()) << "page " << i;
    // Borderless children, no caption of their own.
    const LONG_PTR style = GetWindowLongPtrW(page, GWL_STYLE);
    EXPECT_TRUE(style & WS_CHILD) << "page " << i;
    EXPECT_FALSE(style & (WS_BORDER | WS_DLGFRAME | WS_THICKFRAME)) << "page " << i;
  }
}

TEST_F(SettingsDialogTest, OpensOnTheNetworkPageWithABlankStatusLine) {
  SetModel("57");
  ASSERT_NE(Open(), nullptr);
  EXPECT_EQ(TabCtrl_GetCurSel(GetDlgItem(dialog_->Window(), IDC_TAB)), 0);
  EXPECT_EQ(VisiblePages(), std::vector<int>{0});
  EXPECT_EQ(WindowText(GetDlgItem(dialog_->Window(), IDC_SETTINGS_STATUS)), L" ");
}

TEST_F(SettingsDialogTest, SelectingATabShowsOnlyItsPageAndFocusesIt) {
  SetModel("48");
  ASSERT_NE(Open(), nullptr);
  for (int index : {3, 1, 4, 0, 2, 2, 0}) {
    SelectTab(index);
    EXPECT_EQ(VisiblePages(), std::vector<int>{index}) << "tab " << index;
    // The page passes its focus on to its first control.
    HWND page = dialog_->PageAt(index)->Window();
    EXPECT_TRUE(GetFocus() == page || IsChild(page, GetFocus())) << "tab " << index;
  }
}

TEST_F(SettingsDialogTest, ASelectionChangeFromAnotherControlIsIgnored) {
  SetModel("48");
  ASSERT_NE(Open(), nullptr);
  SelectTab(2);
  HWND tab = GetDlgItem(dialog_->Window(), IDC_TAB);
  TabCtrl_SetCurSel(tab, 4);
  NMHDR header{tab, 4711, static_cast<UINT>(TCN_SELCHANGE)};
  SendMessageW(dialog_->Window(), WM_NOTIFY, 4711, reinterpret_cast<LPARAM>(&header));
  EXPECT_EQ(VisiblePages(), std::vector<int>{2});
}

TEST_F(SettingsDialogTest, EveryPageFillsTheTabsDisplayArea) {
  SetModel("48");
  ASSERT_NE(Open(), nullptr);
  HWND tab = GetDlgItem(dialog_->Window(), IDC_TAB);
  RECT area{};
  GetClientRect(tab, &area);
  TabCtrl_AdjustRect(tab, FALSE, &area);
  MapWindowPoints(tab, dialog_->Window(), reinterpret_cast<POINT*>(&area), 2);
  // The display area lies inside the tab strip, below its row of tabs.
  const RECT strip = RectIn(dialog_->Window(), tab);
  EXPECT_GT(area.top, strip.top);
  EXPECT_LT(area.bottom, strip.bottom);
  for (int i = 0; i < SettingsDialog::kPageCount; ++i) {
    SCOPED_TRACE(i);
    ExpectSameRect(area, RectIn(dialog_->Window(), dialog_->PageAt(i)->Window()));
  }
}

TEST_F(SettingsDialogTest, CancelClosesWithTwo) {
  SetModel("48");
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  SendMessageW(GetDlgItem(window, IDCANCEL), BM_CLICK, 0, 0);
  PumpMessages();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(dialog_->Result(), std::optional<int>(kSettingsDialogCancelled));
}

TEST_F(SettingsDialogTest, CloseBoxClosesWithZero) {
  SetModel("48");
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  SendMessageW(window, WM_SYSCOMMAND, SC_CLOSE, 0);
  PumpMessages();
  EXPECT_FALSE(IsWindow(window));
  EXPECT_EQ(dialog_->Result(), std::optional<int>(kSettingsDialogClosed));
}

// A write error leaves the tab as it was; cancelled file dialogs change nothing.
TEST_F(SettingsDialogTest, FailedApplyAndCancelledFileCommandsLeaveTheDialogOpen) {
  record_ = ToRecord(sim::DefaultSettings("48", "192.168.11.203"));
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  SelectTab(3);
  SendMessageW(GetDlgItem(window, IDOK), BM_CLICK, 0, 0);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_SAVE_SETTINGS_FILE, 0), 0);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_OPEN_SETTINGS_FILE, 0), 0);
  PumpMessages();
  EXPECT_TRUE(IsWindow(window));
  EXPECT_TRUE(IsWindowVisible(window));
  EXPECT_FALSE(dialog_->Result().has_value());
  EXPECT_EQ(VisiblePages(), std::vector<int>{3});
  // No device is connected: the write finds the connection closed.
  EXPECT_EQ(messages_,
            std::vector<std::wstring>{L"エラー|書込みに失敗しました。\r\n接続が切断されました。"});
  EXPECT_EQ(fileDialogs_.size(), 2u);
}

TEST_F(SettingsDialogTest, TheMenuHoldsTheTwoFileCommands) {
  SetModel("48");
  HWND window = Open();
  ASSERT_NE(window, nullptr);
  HMENU menu = GetMenu(window);
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 1);
  wchar_t text[64] = {};
  GetMenuStringW(menu, 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"ファイル");
  HMENU file = GetSubMenu(menu, 0);
  ASSERT_EQ(GetMenuItemCount(file), 2);
  EXPECT_EQ(GetMenuItemID(file, 0), static_cast<UINT>(IDM_SAVE_SETTINGS_FILE));
  EXPECT_EQ(GetMenuItemID(file, 1), static_cast<UINT>(IDM_OPEN_SETTINGS_FILE));
  GetMenuStringW(file, 0, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"設定をファイルに保存");
  GetMenuStringW(file, 1, text, 64, MF_BYPOSITION);
  EXPECT_STREQ(text, L"設定ファイルを開く");
}

// The modal dialog, driven from a thread timer that its own message loop dispatches: each tick
// takes the next step against the dialog found by its title.
class ModalSettingsDialogTest : public ::testing::Test {
 protected:
  using Step = void (*)(HWND dialog);

  // Runs `show`, which opens the modal dialog titled `title`, while the timer takes the steps.
  template <typename Show>
  static int RunModalWith(std::string_view title, std::vector<Step> steps, Show show) {
    steps_ = std::move(steps);
    next_ = 0;
    title_ = std::wstring(title.begin(), title.end());
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, &ModalSettingsDialogTest::OnTimer);
    const int result = show();
    KillTimer(nullptr, timer);
    PumpMessages();
    return result;
  }

  int RunModalWith(std::vector<Step> steps) {
    return RunModalWith(kAddress, std::move(steps), [this] {
      return ShowSettingsDialog(
          nullptr, SettingsDialogContext{.app = app_,
                                         .showMessage = [](HWND, const std::wstring& text,
                                                           const std::wstring&, UINT) {
                                           messages_.push_back(text);
                                           return IDOK;
                                         }});
    });
  }

  ModalSettingsDialogTest() {
    kAddress.copy(app_.session.identity.address.data(), kAddress.size());
  }

  static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
    HWND dialog = FindWindowW(L"#32770", title_.c_str());
    if (dialog == nullptr || next_ >= steps_.size()) return;
    steps_[next_++](dialog);
  }

  static inline std::vector<Step> steps_;
  static inline std::size_t next_ = 0;
  static inline std::wstring title_;
  static inline bool openAfterApply_ = false;
  static inline std::vector<std::wstring> messages_;
  static constexpr std::string_view kAddress = "10.0.0.77";

  App app_;
  SettingsRecord& record_ = app_.session.deviceRecord;
  bool& secondChannelReduced_ = app_.secondChannelReduced;
};

TEST_F(ModalSettingsDialogTest, CancelReturnsTwo) {
  SetField(record_, SettingKey::MODEL, "57");
  const int result = RunModalWith(
      {[](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0); }});
  EXPECT_EQ(result, kSettingsDialogCancelled);
  EXPECT_TRUE(secondChannelReduced_);
}

TEST_F(ModalSettingsDialogTest, CloseBoxReturnsZero) {
  const int result =
      RunModalWith({[](HWND dialog) { SendMessageW(dialog, WM_SYSCOMMAND, SC_CLOSE, 0); }});
  EXPECT_EQ(result, kSettingsDialogClosed);
}

TEST_F(ModalSettingsDialogTest, EscapeCancels) {
  const int result = RunModalWith({[](HWND dialog) {
    HWND focus = GetFocus();
    PostMessageW(focus != nullptr ? focus : dialog, WM_KEYDOWN, VK_ESCAPE, 0);
  }});
  EXPECT_EQ(result, kSettingsDialogCancelled);
}

TEST_F(ModalSettingsDialogTest, ApplyThatFailsLeavesTheDialogOpen) {
  openAfterApply_ = false;
  messages_.clear();
  const int result =
      RunModalWith({[](HWND dialog) { SendMessageW(GetDlgItem(dialog, IDOK), BM_CLICK, 0, 0); },
                    [](HWND dialog) {
                      openAfterApply_ = IsWindowVisible(dialog) != FALSE;
                      SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
                    }});
  EXPECT_TRUE(openAfterApply_);
  EXPECT_EQ(result, kSettingsDialogCancelled);
  // An empty record has no receive port: the collection refuses it.
  EXPECT_EQ(messages_, std::vector<std::wstring>{
                           L"LAN(1)の受信ポート番号0は設定できません。\r\n値を変更してください。"});
}

TEST_F(ModalSettingsDialogTest, OpensTheDeviceThatTheApplicationHoldsOpen) {
  App app;
  constexpr std::string_view kOtherAddress = "172.16.5.9";
  kOtherAddress.copy(app.session.identity.address.data(), kOtherAddress.size());
  SetField(app.session.deviceRecord, SettingKey::MODEL, "57");
  static std::wstring label;
  label.clear();
  const int result = RunModalWith(kOtherAddress, {[](HWND dialog) {
                                    label = WindowText(GetDlgItem(dialog, IDC_MODEL_LABEL));
                                    SendMessageW(GetDlgItem(dialog, IDCANCEL), BM_CLICK, 0, 0);
                                  }},
                                  [&app] { return ShowSettingsDialog(nullptr, app); });
  EXPECT_EQ(result, kSettingsDialogCancelled);
  EXPECT_EQ(label, L"MODEL: QV-57R");
  EXPECT_TRUE(app.secondChannelReduced);
}

}  // namespace
}  // namespace calbrin
