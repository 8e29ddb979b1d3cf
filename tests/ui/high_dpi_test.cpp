// The device list at 150 % (144 DPI), which tests/ui/run-at-dpi sets in a Wine prefix of its own:
// each column is as wide as its title and its longest value, and the columns end inside the list.
// It runs twice: with the dialog font that the project's prefixes substitute, where the same run
// checks the settings pages at that DPI (SettingsPagesTest.EveryControlOfEveryPageIsOnScreen) and
// every window in both languages (WindowLanguageTest.EveryWindow...), and in a prefix without that
// substitution, whose fixed-width Gothic has wider kana.
#include "ui/main/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "resources/resource.h"
#include "ui/main/app.h"
#include "ui/main/wide_text.h"

namespace calbrin {
namespace {

constexpr int kTestDpi = 144;
// What a list column or its title needs besides its text: the list's space on both sides, 6
// pixels each at 96 DPI.
constexpr int kTextMarginsAt96Dpi = 12;

TEST(HighDpiTest, EachListColumnIsWideEnoughForItsTitleAndLongestValue) {
  HDC screen = GetDC(nullptr);
  ASSERT_EQ(GetDeviceCaps(screen, LOGPIXELSX), kTestDpi);
  ReleaseDC(nullptr, screen);
  App app(std::chrono::milliseconds(100));
  MainWindow window(app);
  window.fillAdapters = [](AdapterTable& table) { return table = {}, 0; };
  HWND hwnd = window.Create();
  ASSERT_NE(hwnd, nullptr);
  HWND list = GetDlgItem(hwnd, IDC_DEVICE_LIST);
  const std::vector<std::vector<const wchar_t*>> columns = {
      {L"IPアドレス", L"255.255.255.255"},
      {L"MACアドレス", L"FF-FF-FF-FF-FF-FF", L"02-00-00-00-00-01"},
      {L"モデル", L"QV-48R2", L"QV-57R"},
      {L"バージョン", L"2.55", L"1.00"}};
  const int margins = MulDiv(kTextMarginsAt96Dpi, kTestDpi, 96);
  int columnsEnd = 0;
  for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
    columnsEnd += ListView_GetColumnWidth(list, column);
    for (const wchar_t* text : columns[static_cast<std::size_t>(column)]) {
      EXPECT_GE(ListView_GetColumnWidth(list, column),
                ListView_GetStringWidth(list, text) + margins)
          << "column " << column << " cuts " << Utf8Text(text);
    }
  }
  RECT inside{};
  GetClientRect(list, &inside);
  EXPECT_LE(columnsEnd, inside.right) << "the columns run past the list";
  DestroyWindow(hwnd);
}

}  // namespace
}  // namespace calbrin
