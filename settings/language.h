// The languages that the program's texts come in: Japanese, the windows' own and the default,
// and English, which the command line offers beside it.
#pragma once

#include <string_view>

namespace calbrin {

enum class Language { kJapanese, kEnglish };

// One text in both languages, UTF-8; the English text is plain ASCII.
struct BilingualText {
  const char* japanese = "";
  const char* english = "";

  constexpr std::string_view In(Language language) const {
    return language == Language::kEnglish ? english : japanese;
  }
  constexpr bool empty() const { return *japanese == '\0'; }
};

}  // namespace calbrin
