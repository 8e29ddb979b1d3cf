// The windows at 150 % (144 DPI), which tests/ui/run-at-dpi sets in a Wine prefix of their own:
// each column of the device list is as wide as its longest text, and every control of every
// settings page lies inside its page, the dialog and the screen.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "tests/support/sim_settings.h"
#include "tests/ui/ui_support.h"
#include "ui/main/app.h"
#include "ui/main/main_window.h"
#include "ui/main/wide_text.h"

namespace calbrin {
namespace {

constexpr int kTestDpi = 144;
// What a list column or its title needs besides its text: the list's space on both sides, 6
// pixels each at 96 DPI.
constexpr int kTextMarginsAt96Dpi = 12;

int ScreenDpi() {
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  return dpi;
}

bool Inside(const RECT& inner, const RECT& outer) {
  return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
         inner.bottom <= outer.bottom;
}

RECT ScreenRect(HWND window) {
  RECT rect{};
  GetWindowRect(window, &rect);
  return rect;
}

RECT ClientScreenRect(HWND window) {
  RECT rect{};
  GetClientRect(window, &rect);
  MapWindowPoints(window, HWND_DESKTOP, reinterpret_cast<POINT*>(&rect), 2);
  return rect;
}

TEST(HighDpiTest, EachListColumnIsWideEnoughForItsTitleAndLongestValue) {
  ASSERT_EQ(ScreenDpi(), kTestDpi);
  App app(std::chrono::milliseconds(100));
  MainWindow window(app);
  window.fillAdapters = [](AdapterTable& table) { return table = {}, 0; };
  HWND hwnd = window.Create();
  ASSERT_NE(hwnd, nullptr);
  HWND list = GetDlgItem(hwnd, IDC_DEVICE_LIST);
  const std::vector<std::vector<const wchar_t*>> columns = {
      {L"IPアドレス", L"255.255.255.255"},
      {L"MACアドレス", L"FF-FF-FF-FF-FF-FF", L"02-00-00-0A-00-00"},
      {L"モデル", L"QV-48R2", L"QV-57R"},
      {L"バージョン", L"2.55", L"1.05"}};
  const int margins = MulDiv(kTextMarginsAt96Dpi, kTestDpi, 96);
  for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
    for (const wchar_t* text : columns[static_cast<std::size_t>(column)]) {
      EXPECT_GE(ListView_GetColumnWidth(list, column),
                ListView_GetStringWidth(list, text) + margins)
          << "column " << column << " cuts " << Utf8Text(text);
    }
  }
  DestroyWindow(hwnd);
}

TEST(HighDpiTest, EveryControlOfEverySettingsPageIsOnThePageAndTheScreen) {
  ASSERT_EQ(ScreenDpi(), kTestDpi);
  ConsoleConnection console;
  DeviceSession session;
  session.deviceRecord = ToRecord(sim::DefaultSettings("48", "10.1.1.20"));
  SettingsRecord fileRecord;
  SettingsDialog dialog(SettingsDialogData{.session = session,
                                           .console = console,
                                           .fileRecord = fileRecord,
                                           .applicationDirectory = L""});
  HWND window = dialog.CreateModeless(nullptr);
  ASSERT_NE(window, nullptr);
  const RECT screen{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
  EXPECT_TRUE(Inside(ScreenRect(window), screen));
  for (const int id : {IDC_TAB, IDC_SETTINGS_STATUS, IDOK, IDCANCEL})
    EXPECT_TRUE(Inside(ScreenRect(GetDlgItem(window, id)), ClientScreenRect(window))) << id;
  for (int tab = 0; tab < SettingsDialog::kPageCount; ++tab) {
    HWND page = dialog.PageAt(tab)->Window();
    EXPECT_TRUE(Inside(ScreenRect(page), ClientScreenRect(window))) << "page " << tab;
    for (HWND control = GetWindow(page, GW_CHILD); control != nullptr;
         control = GetWindow(control, GW_HWNDNEXT)) {
      if ((GetWindowLongPtrW(control, GWL_STYLE) & WS_VISIBLE) == 0) continue;
      EXPECT_TRUE(Inside(ScreenRect(control), ClientScreenRect(page)))
          << "page " << tab << " control " << GetDlgCtrlID(control);
    }
  }
}

}  // namespace
}  // namespace calbrin
