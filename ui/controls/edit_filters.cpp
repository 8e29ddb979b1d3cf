// The edit rules on real controls.
#include "ui/controls/edit_filters.h"

#include <commctrl.h>

#include <optional>
#include <string>

#include "pages/edit_rules.h"
#include "ui/controls/dialog_controls.h"
#include "ui/main/wide_text.h"

namespace calbrin {
namespace {

// The rules work on single-byte text. Anything outside ASCII is neither printable nor a digit:
// it stands as a control character, which every rule refuses.
std::string RuleText(std::wstring_view text) {
  std::string narrow;
  narrow.reserve(text.size());
  for (const wchar_t c : text)
    narrow.push_back(c < 0x80 ? static_cast<char>(c) : '\x01');
  return narrow;
}

// Replaces the edit's text and puts the selection back as far as the new text allows, so that
// typing carries on naturally.
void ReplaceKeepingSelection(HWND edit, const std::string& text) {
  DWORD start = 0;
  DWORD end = 0;
  SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
  SetWindowTextW(edit, WideText(text).c_str());
  const DWORD limit = static_cast<DWORD>(text.size());
  SendMessageW(edit, EM_SETSEL, start < limit ? start : limit, end < limit ? end : limit);
}

LRESULT CALLBACK FilterBaudDigits(HWND edit, UINT message, WPARAM wParam, LPARAM lParam,
                                  UINT_PTR id, DWORD_PTR /*data*/) {
  switch (message) {
    case WM_CHAR:
      if (!BaudDigitAccepted(static_cast<unsigned int>(wParam))) return 0;
      break;
    case WM_NCDESTROY:
      RemoveWindowSubclass(edit, &FilterBaudDigits, id);
      break;
  }
  return DefSubclassProc(edit, message, wParam, lParam);
}

// The notification that each rule runs on; none (-1) for an edit without a rule.
int RuleNotification(EditRule rule) {
  switch (rule) {
    case EditRule::kClamp:
      return EN_KILLFOCUS;
    case EditRule::kBaud:
      return CBN_KILLFOCUS;
    case EditRule::kHex:
    case EditRule::kPrintable:
      return EN_CHANGE;
    case EditRule::kNone:
      break;
  }
  return -1;
}

}  // namespace

void LimitPageEdits(HWND window, PageKind page) {
  for (const EditLimit& edit : EditLimits(page)) {
    HWND control = GetDlgItem(window, edit.control);
    wchar_t className[16] = {};
    GetClassNameW(control, className, 16);
    const UINT message = lstrcmpiW(className, WC_COMBOBOXW) == 0 ? CB_LIMITTEXT : EM_LIMITTEXT;
    SendMessageW(control, message, static_cast<WPARAM>(edit.limit), 0);
  }
}

bool ApplyEditRule(PageKind page, int id, int code, HWND control) {
  if (code != RuleNotification(EditRuleOf(page, id))) return false;
  const std::string text = RuleText(WindowText(control));
  if (code == EN_CHANGE) {
    if (const std::optional<std::string> kept = ChangedText(page, id, text))
      ReplaceKeepingSelection(control, *kept);
  } else if (const std::optional<std::string> corrected = FocusLossText(page, id, text)) {
    // Written back always, even unchanged: leading zeros go and an empty edit shows the low end.
    SetWindowTextW(control, WideText(*corrected).c_str());
  }
  return true;
}

void FilterPrintableEdit(HWND edit) {
  const std::wstring text = WindowText(edit);
  const std::string kept = FilterPrintableText(RuleText(text));
  if (kept.size() != text.size()) ReplaceKeepingSelection(edit, kept);
}

void AttachFilterBaudDigits(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(combo, &info) && info.hwndItem != nullptr)
    SetWindowSubclass(info.hwndItem, &FilterBaudDigits, 0, 0);
}

}  // namespace calbrin
