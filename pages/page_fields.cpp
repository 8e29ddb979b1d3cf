// Lookups over the pages' field table.
#include "pages/page_fields.h"

#include <vector>

#include "pages/edit_rules.h"

namespace calbrin {
namespace {

bool Offered(const ChoiceItem& item, bool reduced) {
  return !reduced || item.inReducedList;
}

bool ReadsAs(std::string_view code, long long number) {
  return !code.empty() && ReadDecimalNumber(code) == number;
}

// The edit limits of one page, gathered from the table once.
template <PageKind kPage>
constexpr auto GatherLimits() {
  constexpr std::size_t kCount = [] {
    std::size_t count = 0;
    for (const PageField& field : kPageFields)
      count += field.page == kPage && field.editLimit > 0 ? 1 : 0;
    return count;
  }();
  std::array<EditLimit, kCount> limits{};
  std::size_t at = 0;
  for (const PageField& field : kPageFields) {
    if (field.page == kPage && field.editLimit > 0) limits[at++] = {field.control, field.editLimit};
  }
  return limits;
}

constexpr auto kNetworkLimits = GatherLimits<PageKind::kNetwork>();
constexpr auto kLanLimits = GatherLimits<PageKind::kLan>();
constexpr auto kSerialLimits = GatherLimits<PageKind::kSerial>();

}  // namespace

ChoiceItems ItemTexts(const PageField& field, bool reduced) {
  ChoiceItems texts;
  for (const ChoiceItem& item : field.items) {
    if (Offered(item, reduced)) texts.push_back(item.text.japanese);
  }
  return texts;
}

std::optional<int> ItemReading(const PageField& field, bool reduced, long long number) {
  // An item's own code comes first: a code that one item stores and another also reads (the
  // flow control's 1) shows the item that stores it whenever that item is offered.
  for (const bool own : {true, false}) {
    int index = 0;
    for (const ChoiceItem& item : field.items) {
      if (!Offered(item, reduced)) continue;
      if (ReadsAs(own ? item.code : item.alsoReads, number)) return index;
      ++index;
    }
  }
  return std::nullopt;
}

int ItemShowing(const PageField& field, bool reduced, long long number) {
  return ItemReading(field, reduced, number).value_or(field.fallbackItem);
}

std::string_view CodeOfItem(const PageField& field, bool reduced, int item) {
  int index = 0;
  for (const ChoiceItem& offered : field.items) {
    if (!Offered(offered, reduced)) continue;
    if (index++ == item) return offered.code;
  }
  return {};
}

std::string_view ItemTextOfCode(const PageField& field, std::string_view value, Language language) {
  for (const bool own : {true, false}) {
    for (const ChoiceItem& item : field.items) {
      const std::string_view code = own ? item.code : item.alsoReads;
      if (!code.empty() && code == value) return item.text.In(language);
    }
  }
  return {};
}

std::span<const EditLimit> EditLimits(PageKind page) {
  switch (page) {
    case PageKind::kNetwork:
      return kNetworkLimits;
    case PageKind::kLan:
      return kLanLimits;
    case PageKind::kSerial:
      break;
  }
  return kSerialLimits;
}

EditRule EditRuleOf(PageKind page, int control) {
  const PageField* field = FindPageField(page, control);
  return field == nullptr ? EditRule::kNone : field->rule;
}

int EditLimitOf(PageKind page, int control) {
  const PageField* field = FindPageField(page, control);
  return field == nullptr ? 0 : field->editLimit;
}

std::optional<std::string> FocusLossText(PageKind page, int control, std::string_view text) {
  const PageField* field = FindPageField(page, control);
  if (field == nullptr) return std::nullopt;
  switch (field->rule) {
    case EditRule::kClamp:
      return ClampEditNumber(text, field->low, field->high);
    case EditRule::kBaud:
      return ClampBaudRate(text);
    default:
      return std::nullopt;
  }
}

std::optional<std::string> ChangedText(PageKind page, int control, std::string_view text) {
  const PageField* field = FindPageField(page, control);
  if (field == nullptr) return std::nullopt;
  switch (field->rule) {
    case EditRule::kHex:
      return FilterHexText(text);
    case EditRule::kPrintable: {
      std::string kept = FilterPrintableText(text);
      if (kept == text) return std::nullopt;
      return kept;
    }
    default:
      return std::nullopt;
  }
}

}  // namespace calbrin
