// The lookup of calbrin-cli's texts and the filling of their parts.
#include "cli/cli_texts.h"

#include <array>

namespace calbrin {
namespace {

using TextTable = std::array<std::string_view, kCliTextCount>;

TextTable Indexed(std::span<const CliTextEntry> entries) {
  TextTable table{};
  for (const CliTextEntry& entry : entries)
    table[static_cast<std::size_t>(entry.id)] = entry.text;
  return table;
}

}  // namespace

std::string_view Text(CliText id, Language language) {
  static const TextTable english = Indexed(EnglishCliTexts());
  static const TextTable japanese = Indexed(JapaneseCliTexts());
  const auto at = static_cast<std::size_t>(id);
  if (at >= english.size()) return {};
  return (language == Language::kEnglish ? english : japanese)[at];
}

std::string Compose(std::string_view pattern, std::initializer_list<std::string_view> parts) {
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

std::string Text(CliText id, Language language, std::initializer_list<std::string_view> parts) {
  return Compose(Text(id, language), parts);
}

}  // namespace calbrin
