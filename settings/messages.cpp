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

std::string FormatMessageText(MessageId id, Language language,
                              std::initializer_list<std::string_view> args) {
  const std::string_view text = MessageText(id, language);
  std::string out;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char next = i + 1 < text.size() ? text[i + 1] : '\0';
    const auto n = static_cast<std::size_t>(next - '1');
    if (text[i] == '%' && next >= '1' && next <= '9' && n < args.size()) {
      out += *(args.begin() + n);
      ++i;
    } else {
      out += text[i];
    }
  }
  return out;
}

}  // namespace calbrin
