// The windows in the language chosen at start: the choice itself, and every window, dialog, page
// and message box that a test can reach shown wholly in that language and laid out for it.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <utility>
#include <vector>

#include "sim/device_settings.h"
#include "tests/support/sim_settings.h"
#include "tests/ui/ui_support.h"
#include "ui/controls/language_resources.h"
#include "ui/main/app.h"
#include "ui/main/main_window.h"
#include "ui/main/small_dialogs.h"
#include "ui/main/wide_text.h"
#include "ui/main/window_language.h"

namespace calbrin {
namespace {

using enum Language;
constexpr LANGID kJapaneseUser = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
constexpr LANGID kEnglishUser = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_UK);
constexpr LANGID kGermanUser = MAKELANGID(LANG_GERMAN, SUBLANG_GERMAN);

TEST(WindowLanguageTest, TheCommandLineDecidesElseTheUsersDisplayLanguage) {
  struct Case {
    std::vector<std::wstring> arguments;
    LANGID user;
    Language chosen;
  };
  const Case cases[] = {
      {{}, kJapaneseUser, kJapanese},
      {{}, kEnglishUser, kEnglish},
      {{}, kGermanUser, kEnglish},
      {{L"/lang:en"}, kJapaneseUser, kEnglish},
      {{L"/LANG:JA"}, kGermanUser, kJapanese},
      {{L"/lang:en", L"/lang:ja"}, kEnglishUser, kJapanese},
      // Unknown values and other spellings leave the choice to the user's language.
      {{L"/lang:xx"}, kJapaneseUser, kJapanese},
      {{L"/lang:"}, kGermanUser, kEnglish},
      {{L"lang:en", L"--lang=en"}, kJapaneseUser, kJapanese},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ChooseWindowLanguage(c.arguments, c.user), c.chosen) << "case " << &c - cases;
}

// The language that a user of this environment gets: Wine takes the user's display language from
// LANG (scripts/wine-exec sets it, ja_JP.UTF-8 unless CALBRIN_WINE_LANG says otherwise).
Language EnvironmentLanguage() {
  wchar_t lang[64] = {};
  GetEnvironmentVariableW(L"LANG", lang, 64);
  return std::wstring_view(lang).starts_with(L"ja") ? kJapanese : kEnglish;
}

// Every text of the main window, the version box, the message of opening no device, the password
// dialog with its refusal of an empty password, the add-address dialog and the settings dialog of
// both models in `language`, into `texts`; the layout problems of the first four into `problems`.
void ShowEveryWindow(Language language, std::vector<std::wstring>& texts,
                     std::vector<std::string>& problems) {
  const auto see = [&](HWND window) {
    const std::vector<std::wstring> shown = test::ShownTexts(window);
    texts.insert(texts.end(), shown.begin(), shown.end());
    for (const std::string& problem : test::LayoutProblems(window, language == kEnglish))
      problems.push_back(Utf8Text(shown[0]) + ": " + problem);
  };
  App app(std::chrono::milliseconds(100));
  app.language = language;
  app.productVersion = {1, 5, 0, 0};
  MainWindow main(app);
  test::MessageRecorder messages;
  main.showMessage = messages.Function();
  main.fillAdapters = [](AdapterTable& table) { return table = {}, 0; };
  HWND window = main.Create();
  see(window);
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDM_VERSION, 0), 0);
  // Opening with no row selected: the device operations' own message, in the window's language.
  SendMessageW(window, WM_COMMAND, MAKEWPARAM(IDC_OPEN_SETTINGS, BN_CLICKED), 0);

  ScrambledPassword login{};
  PasswordDialogData password{&login, messages.Function(), language};
  const auto seeAndLeave = [&](HWND dialog) {
    see(dialog);
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);  // the password dialog refuses it
    SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
  };
  test::DriveModal(L"", seeAndLeave, [&] { ShowPasswordDialog(window, password); });
  AddAddressDialogData address{false, "", language};
  test::DriveModal(L"", seeAndLeave, [&] { ShowAddAddressDialog(window, address); });

  for (const char* model : {"48", "57"}) {
    DeviceSession session;
    session.deviceRecord = ToRecord(sim::DefaultSettings(model, "10.1.1.20"));
    SettingsDialog settings(SettingsDialogData{.session = session,
                                               .console = app.console,
                                               .fileRecord = app.fileRecord,
                                               .applicationDirectory = L"",
                                               .language = language});
    const std::vector<std::wstring> shown = test::ShownTexts(settings.CreateModeless(window));
    texts.insert(texts.end(), shown.begin(), shown.end());
  }
  DestroyWindow(window);
  texts.insert(texts.end(), messages.shown.begin(), messages.shown.end());
}

// English shows no character outside ASCII (line breaks aside), so no Japanese one; Japanese
// shows its own, which proves that the texts were all read. The language comes from the command
// line, or from the environment without one.
TEST(WindowLanguageTest, EveryWindowShowsTheChosenLanguageAndFitsItsTexts) {
  const std::pair<std::vector<std::wstring>, Language> runs[] = {
      {{L"/lang:en"}, kEnglish}, {{L"/lang:ja"}, kJapanese}, {{}, EnvironmentLanguage()}};
  for (const auto& [arguments, expected] : runs) {
    SCOPED_TRACE(arguments.empty() ? "the environment's language" : Utf8Text(arguments[0]));
    const Language language = ChooseWindowLanguage(arguments, GetUserDefaultUILanguage());
    EXPECT_EQ(language, expected);
    std::vector<std::wstring> texts;
    std::vector<std::string> problems;
    ShowEveryWindow(language, texts, problems);
    EXPECT_GT(texts.size(), 200u);
    int foreign = 0;
    for (const std::wstring& text : texts) {
      if (std::ranges::none_of(
              text, [](wchar_t c) { return c > L'~' || (c < L' ' && c != L'\r' && c != L'\n'); }))
        continue;
      ++foreign;
      if (language == kEnglish) ADD_FAILURE() << "not English: " << Utf8Text(text);
    }
    EXPECT_TRUE(language == kEnglish || foreign > 100) << foreign;
    EXPECT_EQ(problems, std::vector<std::string>{});
  }
}

// The numbered resources of `type` in this program.
std::vector<int> ResourceIds(const wchar_t* type) {
  std::vector<int> ids;
  EnumResourceNamesW(
      GetModuleHandleW(nullptr), type,
      [](HMODULE, LPCWSTR, LPWSTR name, LONG_PTR found) -> BOOL {
        if (IS_INTRESOURCE(name))
          reinterpret_cast<std::vector<int>*>(found)->push_back(
              static_cast<int>(reinterpret_cast<ULONG_PTR>(name)));
        return TRUE;
      },
      reinterpret_cast<LONG_PTR>(&ids));
  return ids;
}

bool HasResource(Language language, const wchar_t* type, int id) {
  return FindResourceExW(GetModuleHandleW(nullptr), type, MAKEINTRESOURCEW(id),
                         ResourceLanguage(language)) != nullptr;
}

// The controls of layout `id` in `language`, by identifier and class, in their tab order.
std::vector<std::wstring> LayoutControls(Language language, int id, HWND parent) {
  HWND dialog = CreateDialogIn(
      language, id, parent, [](HWND, UINT, WPARAM, LPARAM) -> INT_PTR { return FALSE; }, 0);
  std::vector<std::wstring> controls;
  for (HWND child = GetWindow(dialog, GW_CHILD); child != nullptr;
       child = GetWindow(child, GW_HWNDNEXT)) {
    wchar_t name[64] = {};
    GetClassNameW(child, name, 64);
    controls.push_back(std::to_wstring(GetDlgCtrlID(child)) + L" " + name);
  }
  DestroyWindow(dialog);
  return controls;
}

// One more language is one more set of resources: each Japanese layout, menu and string has its
// English counterpart, a layout with the same controls in the same order, a string not empty.
TEST(WindowLanguageTest, EveryJapaneseResourceHasItsEnglishCounterpart) {
  HWND parent = CreateWindowW(L"STATIC", L"", WS_POPUP, 0, 0, 100, 100, nullptr, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
  int strings = 0;
  for (const wchar_t* type : {RT_DIALOG, RT_MENU, RT_STRING}) {
    for (const int id : ResourceIds(type)) {
      if (!HasResource(kJapanese, type, id)) continue;
      ASSERT_TRUE(HasResource(kEnglish, type, id)) << "no English " << id;
      if (type == RT_DIALOG) {
        EXPECT_EQ(LayoutControls(kEnglish, id, parent), LayoutControls(kJapanese, id, parent))
            << id;
      }
      for (int text = (id - 1) * 16; type == RT_STRING && text < id * 16; ++text) {
        if (LoadText(kJapanese, text).empty()) continue;
        ++strings;
        EXPECT_FALSE(LoadText(kEnglish, text).empty()) << "string " << text;
      }
    }
  }
  EXPECT_GT(strings, 5);
  DestroyWindow(parent);
}

}  // namespace
}  // namespace calbrin
