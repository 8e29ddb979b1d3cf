// calbrin.exe: the process-wide objects, then the main window until the user closes it.
#include <windows.h>

#include <commctrl.h>

#include <memory>
#include <optional>
#include <string>

#include "file/change_log.h"
#include "net/adapters.h"
#include "resources/resource.h"
#include "settings/messages.h"
#include "ui/controls/language_resources.h"
#include "ui/main/app.h"
#include "ui/main/main_window.h"
#include "ui/main/message_box.h"
#include "ui/main/wide_text.h"
#include "ui/main/window_language.h"

namespace {

// A variable of the process's environment as UTF-8; nothing when it is not set.
std::optional<std::string> EnvironmentVariable(const std::string& name) {
  const std::wstring wide = calbrin::WideText(name);
  const DWORD size = GetEnvironmentVariableW(wide.c_str(), nullptr, 0);
  if (size == 0) return std::nullopt;
  std::wstring value(size, L'\0');
  value.resize(GetEnvironmentVariableW(wide.c_str(), value.data(), size));
  return calbrin::Utf8Text(value);
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The list view and the address control must be registered before any layout creates them.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES |
                                                     ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  const std::vector<std::wstring> arguments = calbrin::CommandLineArguments();
  const calbrin::Language windowLanguage =
      calbrin::ChooseWindowLanguage(arguments, GetUserDefaultUILanguage());
  // The windows load their own resources in that language. What the system draws for them (the
  // message boxes' buttons, the file dialogs) comes from its resources in the thread's language:
  // Windows takes the thread's UI language, Wine the thread's locale.
  const LANGID language = calbrin::ResourceLanguage(windowLanguage);
  SetThreadUILanguage(language);
  SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
  // /trace:FILE for support; a file that cannot be made is said, and the program runs untraced.
  std::unique_ptr<calbrin::WireTrace> trace;
  if (const auto file = calbrin::TraceFileArgument(arguments)) {
    std::string problem;
    trace = calbrin::WireTrace::Open(*file, problem);
    if (!trace) {
      const std::wstring text = calbrin::WideText(calbrin::FillPlaceholders(
          calbrin::Utf8Text(calbrin::LoadText(windowLanguage, IDS_TRACE_NOT_MADE)), {problem}));
      calbrin::SystemMessageBox(nullptr, text, calbrin::LoadText(windowLanguage, IDS_ERROR_CAPTION),
                                MB_OK | MB_ICONINFORMATION);
    }
  }
  // Large objects (the records and the receive areas): on the heap, not the main thread's stack.
  auto app = std::make_unique<calbrin::App>(calbrin::DeviceDiscovery::kCollectionWindow,
                                            calbrin::ConsoleTimeLimits{}, trace.get());
  app->language = windowLanguage;
  app->dataFolder = calbrin::UserDataFolder(EnvironmentVariable);
  app->console.Startup();
  app->discovery.Startup(calbrin::kRouteProbeAddress);
  {
    calbrin::MainWindow window(*app);
    window.Run();
  }
  app->discovery.Shutdown();
  app->console.Shutdown();
  return 0;
}
