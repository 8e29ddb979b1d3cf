// calbrin.exe: the process-wide objects, then the main window until the user closes it.
#include <windows.h>

#include <commctrl.h>

#include <memory>

#include "net/adapters.h"
#include "ui/controls/language_resources.h"
#include "ui/main/app.h"
#include "ui/main/main_window.h"
#include "ui/main/window_language.h"

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  // The list view and the address control must be registered before any layout creates them.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_LISTVIEW_CLASSES | ICC_INTERNET_CLASSES |
                                                     ICC_TAB_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);

  const std::vector<std::wstring> arguments = calbrin::CommandLineArguments();
  // /trace:FILE for support; a file that cannot be made leaves the program untraced.
  std::unique_ptr<calbrin::WireTrace> trace;
  if (const auto file = calbrin::TraceFileArgument(arguments)) {
    std::string problem;
    trace = calbrin::WireTrace::Open(*file, problem);
  }
  // Large objects (the records and the receive areas): on the heap, not the main thread's stack.
  auto app = std::make_unique<calbrin::App>(calbrin::DeviceDiscovery::kCollectionWindow,
                                            calbrin::ConsoleTimeLimits{}, trace.get());
  app->language = calbrin::ChooseWindowLanguage(arguments, GetUserDefaultUILanguage());
  // The windows load their own resources in that language. What the system draws for them (the
  // message boxes' buttons, the file dialogs) comes from its resources in the thread's language:
  // Windows takes the thread's UI language, Wine the thread's locale.
  const LANGID language = calbrin::ResourceLanguage(app->language);
  SetThreadUILanguage(language);
  SetThreadLocale(MAKELCID(language, SORT_DEFAULT));
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
