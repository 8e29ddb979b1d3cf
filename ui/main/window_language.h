// The language of the windows, chosen once as the program starts.
#pragma once

#include <windows.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "settings/language.h"

namespace calbrin {

// The command line's last "/lang:en" or "/lang:ja" (in any case) decides; without one, or with
// another value after "/lang:", the user's display language does: Japanese for a Japanese one,
// English for any other.
Language ChooseWindowLanguage(const std::vector<std::wstring>& arguments, LANGID userLanguage);

// The file of the command line's last "/trace:FILE" (the option in any case): the wire trace.
std::optional<std::filesystem::path> TraceFileArgument(const std::vector<std::wstring>& arguments);

// The arguments of this process's command line, without the program's name.
std::vector<std::wstring> CommandLineArguments();

}  // namespace calbrin
