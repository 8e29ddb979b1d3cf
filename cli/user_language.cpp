// --lang and the POSIX locale variables.
#include "cli/user_language.h"

namespace calbrin {

std::optional<Language> LanguageOption(std::string_view value) {
  if (value == "en") return Language::kEnglish;
  if (value == "ja") return Language::kJapanese;
  return std::nullopt;
}

Language LocaleLanguage(
    const std::function<std::optional<std::string>(const std::string&)>& variable) {
  // LC_ALL overrides every category; LC_MESSAGES is the category of messages; LANG the default.
  for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
    const std::optional<std::string> value = variable(name);
    if (!value || value->empty()) continue;
    return value->starts_with("ja") ? Language::kJapanese : Language::kEnglish;
  }
  return Language::kEnglish;
}

}  // namespace calbrin
