// Choosing a message's language and filling its placeholders.
#include "settings/messages.h"

namespace calbrin {

std::string_view MessageText(MessageId id, Language language) {
  switch (language) {
    case Language::kEnglish:
      return EnglishMessageText(id);
    case Language::kJapanese:
      break;
  }
  return JapaneseMessageText(id);
}

std::string FillPlaceholders(std::string_view pattern,
                             std::initializer_list<std::string_view> parts) {
  std::string out;
  for (std::size_t i = 0; i < pattern.size(); ++i) {
    const char next = i + 1 < pattern.size() ? pattern[i + 1] : '\0';
    if (pattern[i] == '%' && next == '%') {
      out += '%';
      ++i;
    } else if (pattern[i] == '%' && next >= '1' && next <= '9') {
      const auto part = static_cast<std::size_t>(next - '1');
      if (part < parts.size()) out += *(parts.begin() + part);
      ++i;
    } else {
      out += pattern[i];
    }
  }
  return out;
}

std::string FormatMessageText(MessageId id, Language language,
                              std::initializer_list<std::string_view> args) {
  return FillPlaceholders(MessageText(id, language), args);
}

}  // namespace calbrin
