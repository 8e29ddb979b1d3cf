// The lookup of calbrin-cli's texts and the filling of their parts.
#include "cli/cli_texts.h"

#include <array>

#include "settings/messages.h"

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

std::string Text(CliText id, Language language, std::initializer_list<std::string_view> parts) {
  return FillPlaceholders(Text(id, language), parts);
}

}  // namespace calbrin
