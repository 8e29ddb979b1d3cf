// The windows in the language chosen at start: the choice itself, and every window, dialog, page
// and message box that a test can reach shown wholly in that language and laid out for it.
#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <vector>

#include "sim/device_settings.h"
#include "tests/support/sim_settings.h"
#include "tests/ui/ui_support.h"
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
      {{L"/lang:fr"}, kGermanUser, kEnglish},
      {{L"/lang:"}, kEnglishUser, kEnglish},
      {{L"lang:en", L"--lang=en"}, kJapaneseUser, kJapanese},
  };
  for (const Case& c : cases) {
    const std::wstring shown = c.arguments.empty() ? L"" : c.arguments.front();
    EXPECT_EQ(ChooseWindowLanguage(c.arguments, c.user), c.chosen)
        << Utf8Text(shown) << " user " << c.user;
  }
}

// The language that a user of this environment gets: Wine takes the user's display language from
// LANG (scripts/wine-exec sets it, ja_JP.UTF-8 unless CALBRIN_WINE_LANG says otherwise).
Language EnvironmentLanguage() {
  wchar_t lang[64] = {};
  GetEnvironmentVariableW(L"LANG", lang, 64);
  return std::wstring_view(lang).starts_with(L"ja") ? kJapanese : kEnglish;
}

// Every text of the main window, the version box, the password dialog with its refusal of an
// empty password, the add-address dialog and the settings dialog of both models, in `language`;
// with the layout problems of the main window and the small dialogs.
struct Shown {
  std::vector<std::wstring> texts;
  std::vector<std::string> layoutProblems;
};

Shown ShowEveryWindow(Language language) {
  Shown shown;
  const auto see = [&shown, language](HWND window) {
    const std::vector<std::wstring> texts = test::ShownTexts(window);
    shown.texts.insert(shown.texts.end(), texts.begin(), texts.end());
    for (const std::string& problem : test::LayoutProblems(window, language == kEnglish))
      shown.layoutProblems.push_back(Utf8Text(test::ShownTexts(window)[0]) + ": " + problem);
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

  ScrambledPassword login{};
  PasswordDialogData password{&login, messages.Function(), language};
  test::DriveModal(
      L"",
      [&](HWND dialog) {
        see(dialog);
        SendMessageW(dialog, WM_COMMAND, IDOK, 0);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      [&] { ShowPasswordDialog(window, password); });
  AddAddressDialogData address;
  address.language = language;
  test::DriveModal(
      L"",
      [&](HWND dialog) {
        see(dialog);
        SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0);
      },
      [&] { ShowAddAddressDialog(window, address); });

  for (const char* model : {"48", "57"}) {
    DeviceSession session;
    session.deviceRecord = ToRecord(sim::DefaultSettings(model, "10.1.1.20"));
    SettingsDialog settings(SettingsDialogData{.session = session,
                                               .console = app.console,
                                               .fileRecord = app.fileRecord,
                                               .applicationDirectory = L"",
                                               .language = language});
    const std::vector<std::wstring> texts = test::ShownTexts(settings.CreateModeless(window));
    shown.texts.insert(shown.texts.end(), texts.begin(), texts.end());
  }
  DestroyWindow(window);
  for (const std::wstring& box : messages.shown)
    shown.texts.push_back(box);
  return shown;
}

// English shows no character outside ASCII, so no Japanese one; Japanese shows its own texts,
// which proves that the texts were all read. The language comes from the command line, or from
// the environment without one.
TEST(WindowLanguageTest, EveryWindowShowsTheChosenLanguageAndFitsItsTexts) {
  const std::vector<std::wstring> commandLines[] = {{L"/lang:en"}, {L"/lang:ja"}, {}};
  for (const std::vector<std::wstring>& arguments : commandLines) {
    const Language language = ChooseWindowLanguage(arguments, GetUserDefaultUILanguage());
    SCOPED_TRACE(arguments.empty() ? "the environment's language" : Utf8Text(arguments[0]));
    EXPECT_EQ(language, arguments.empty()             ? EnvironmentLanguage()
                        : arguments[0] == L"/lang:en" ? kEnglish
                                                      : kJapanese);
    const Shown shown = ShowEveryWindow(language);
    EXPECT_GT(shown.texts.size(), 200u);
    const std::vector<std::wstring> foreign = test::NotAscii(shown.texts);
    if (language == kEnglish) {
      for (const std::wstring& text : foreign)
        ADD_FAILURE() << "not English: " << Utf8Text(text);
    } else {
      EXPECT_GT(foreign.size(), 100u);
    }
    EXPECT_EQ(shown.layoutProblems, std::vector<std::string>{});
  }
}

}  // namespace
}  // namespace calbrin
