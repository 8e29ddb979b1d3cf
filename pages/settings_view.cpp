// Labels and meanings of the settings, from the pages' field table.
#include "pages/settings_view.h"

#include <optional>
#include <string_view>

#include "pages/collect_settings.h"
#include "pages/edit_rules.h"
#include "pages/page_fields.h"
#include "pages/value_checks.h"
#include "settings/device_model.h"
#include "settings/device_text.h"
#include "settings/password_scrambling.h"

namespace calbrin {
namespace {

// What the pages show for a stored value, by the field table's kind; nothing where that is the
// stored text itself. A few keys read their own way: the model by its name, the Ethernet mode by
// its speed and duplex, a mode condition's 0 as the mode being off, and the character count as
// its stored number, since 0 means none.
std::optional<std::string> Meaning(const PageField* field, std::string_view value,
                                   Language language) {
  if (field == nullptr) {
    const std::string_view name = ModelNameText(ModelOf(value));
    return name.empty() ? std::nullopt : std::optional<std::string>(name);
  }
  const SettingKey channelOneKey = *field->key;
  if (channelOneKey == SettingKey::NEGOS) return EthernetModeText(value, language);
  const bool modeCondition =
      channelOneKey == SettingKey::SMODE1 || channelOneKey == SettingKey::CMODE1;
  if (modeCondition && value == "0") return std::string(BilingualText{"オフ", "off"}.In(language));
  switch (field->kind) {
    case FieldKind::kChoice: {
      const std::string_view text = ItemTextOfCode(*field, value, language);
      if (channelOneKey == SettingKey::PCHAR1 || text.empty()) return std::nullopt;
      return std::string(text);
    }
    case FieldKind::kHexCharacter:
      return "0x" + HexCharacterText(ReadDecimalNumber(value));
    case FieldKind::kCheck:
      return std::string((ReadDecimalNumber(value) > 0 ? BilingualText{"する", "yes"}
                                                       : BilingualText{"しない", "no"})
                             .In(language));
    case FieldKind::kPassword: {
      std::string password;
      return std::string((UnscramblePassword(value, password) > 0
                              ? BilingualText{"(設定あり)", "(set)"}
                              : BilingualText{"(なし)", "(none)"})
                             .In(language));
    }
    default:
      return std::nullopt;
  }
}

// Calls `visit(field, key, page)` for every labelled field, in the order of the pages, after the
// model (a null field), which belongs to no page; the page's name in `language`.
template <typename Visit>
void ForEachKey(Language language, Visit visit) {
  visit(nullptr, SettingKey::MODEL, std::string());
  const auto visitPage = [&](PageKind kind, int channel, const std::string& page) {
    for (const PageField& field : kPageFields) {
      if (field.page == kind && !field.label.empty())
        visit(&field, ChannelKey(*field.key, channel), page);
    }
  };
  const auto name = [language](PageKind kind) { return std::string(PageName(kind).In(language)); };
  visitPage(PageKind::kNetwork, 1, name(PageKind::kNetwork));
  for (int channel = 1; channel <= 2; ++channel)
    visitPage(PageKind::kLan, channel, name(PageKind::kLan) + "(" + std::to_string(channel) + ")");
  for (int port = 1; port <= 2; ++port)
    visitPage(PageKind::kSerial, port, name(PageKind::kSerial) + "(" + std::to_string(port) + ")");
}

std::string PasswordOf(const SettingsRecord& record, SettingKey key) {
  std::string password;
  if (UnscramblePassword(ReadField(record, key), password) <= 0) password.clear();
  return password;
}

class SilentCollectUi final : public CollectUi {
 public:
  void ShowError(std::string_view) override {}
  void ShowPage(int) override {}
};

// The view of the field that shows `key`, holding `value`.
SettingView View(const PageField* field, SettingKey key, const std::string& page,
                 std::string_view value, Language language) {
  const bool password = field != nullptr && field->kind == FieldKind::kPassword;
  const std::optional<std::string> meaning = Meaning(field, value, language);
  std::string unscrambled;
  return {key,
          page,
          field == nullptr ? "MODEL" : std::string(field->label.In(language)),
          meaning.value_or(std::string(value)),
          password ? std::string() : std::string(value),
          password,
          !meaning,
          password && UnscramblePassword(value, unscrambled) > 0};
}

}  // namespace

std::vector<SettingView> ViewSettings(const SettingsRecord& record, Language language) {
  std::vector<SettingView> views;
  ForEachKey(language, [&](const PageField* field, SettingKey key, const std::string& page) {
    views.push_back(View(field, key, page, ReadField(record, key), language));
  });
  return views;
}

SettingView ViewSetting(SettingKey key, std::string_view value, Language language) {
  SettingView view{key, "", std::string(KeyText(Index(key))), std::string(value),
                   std::string(value)};
  view.meaningIsValue = true;
  ForEachKey(language, [&](const PageField* field, SettingKey each, const std::string& page) {
    if (each == key) view = View(field, key, page, value, language);
  });
  return view;
}

std::string ShownMeaning(const SettingView& view) {
  return view.meaningIsValue ? TerminalText(view.meaning) : view.meaning;
}

std::vector<SettingDifference> DifferentSettings(const SettingsRecord& before,
                                                 const SettingsRecord& after, Language language) {
  const std::vector<SettingView> left = ViewSettings(before, language);
  const std::vector<SettingView> right = ViewSettings(after, language);
  std::vector<SettingDifference> differences;
  for (std::size_t i = 0; i < left.size(); ++i) {
    const SettingKey key = left[i].key;
    const bool differ =
        key == ChannelKey(SettingKey::PASS1, 1) || key == ChannelKey(SettingKey::PASS1, 2)
            ? PasswordOf(before, key) != PasswordOf(after, key)
            : ReadField(before, key) != ReadField(after, key);
    if (differ) differences.push_back({left[i], right[i]});
  }
  return differences;
}

SettingsRecord NormalisedSettings(const SettingsRecord& record) {
  const bool reduced = SecondChannelReduced(ReadField(record, SettingKey::MODEL));
  SettingsRecord collected;
  SettingsText text;
  SilentCollectUi ui;
  if (CollectSettings(ShownPages(record, reduced), record, true, reduced, collected, text, ui) != 0)
    return record;
  return collected;
}

}  // namespace calbrin
