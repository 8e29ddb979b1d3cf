// The language of calbrin-cli's settings texts: --lang, else the user's own from the system.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "settings/language.h"

namespace calbrin {

// --lang's value: "en" or "ja"; none for anything else.
std::optional<Language> LanguageOption(std::string_view value);

// The language of a POSIX locale: the first of LC_ALL, LC_MESSAGES and LANG that is set and not
// empty names it, Japanese when that name starts with "ja" (ja_JP.UTF-8); English for every other
// name and when none is set ("C", "POSIX" and unset included). `variable` reads one variable.
Language LocaleLanguage(
    const std::function<std::optional<std::string>(const std::string&)>& variable);

// The user's language: the locale's on POSIX systems, the user's display language on Windows.
Language UserLanguage();

}  // namespace calbrin
