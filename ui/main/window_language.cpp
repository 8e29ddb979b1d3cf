// The choice of the windows' language from the command line and the user's display language.
#include "ui/main/window_language.h"

#include <shellapi.h>

#include <optional>
#include <string_view>

namespace calbrin {
namespace {

std::optional<Language> NamedLanguage(std::wstring_view argument) {
  constexpr std::wstring_view kOption = L"/lang:";
  if (argument.size() <= kOption.size() ||
      CompareStringOrdinal(argument.data(), static_cast<int>(kOption.size()), kOption.data(),
                           static_cast<int>(kOption.size()), TRUE) != CSTR_EQUAL) {
    return std::nullopt;
  }
  const std::wstring_view value = argument.substr(kOption.size());
  const auto is = [value](std::wstring_view name) {
    return CompareStringOrdinal(value.data(), static_cast<int>(value.size()), name.data(),
                                static_cast<int>(name.size()), TRUE) == CSTR_EQUAL;
  };
  if (is(L"en")) return Language::kEnglish;
  if (is(L"ja")) return Language::kJapanese;
  return std::nullopt;
}

}  // namespace

Language ChooseWindowLanguage(const std::vector<std::wstring>& arguments, LANGID userLanguage) {
  std::optional<Language> chosen;
  for (const std::wstring& argument : arguments) {
    if (const std::optional<Language> named = NamedLanguage(argument)) chosen = named;
  }
  if (chosen) return *chosen;
  return PRIMARYLANGID(userLanguage) == LANG_JAPANESE ? Language::kJapanese : Language::kEnglish;
}

std::optional<std::filesystem::path> TraceFileArgument(const std::vector<std::wstring>& arguments) {
  constexpr std::wstring_view kOption = L"/trace:";
  std::optional<std::filesystem::path> file;
  for (const std::wstring& argument : arguments) {
    if (argument.size() > kOption.size() &&
        CompareStringOrdinal(argument.data(), static_cast<int>(kOption.size()), kOption.data(),
                             static_cast<int>(kOption.size()), TRUE) == CSTR_EQUAL) {
      file = std::filesystem::path(argument.substr(kOption.size()));
    }
  }
  return file;
}

std::vector<std::wstring> CommandLineArguments() {
  int count = 0;
  LPWSTR* words = CommandLineToArgvW(GetCommandLineW(), &count);
  std::vector<std::wstring> arguments;
  for (int i = 1; words != nullptr && i < count; ++i)
    arguments.emplace_back(words[i]);
  LocalFree(words);
  return arguments;
}

}  // namespace calbrin
