// The edit rules on real controls.
#include "ui/controls/edit_filters.h"

#include <commctrl.h>

#include <string>

#include "pages/edit_rules.h"
#include "settings/password_scrambling.h"
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

}  // namespace

void FilterPrintableEdit(HWND edit) {
  const std::wstring text = WindowText(edit);
  const std::string kept = FilterPrintableText(RuleText(text));
  if (kept.size() != text.size()) ReplaceKeepingSelection(edit, kept);
}

void FilterHexEdit(HWND edit) {
  if (const std::optional<std::string> kept = FilterHexText(RuleText(WindowText(edit))))
    ReplaceKeepingSelection(edit, *kept);
}

void ClampEditNumber(HWND edit, int low, int high) {
  // Written back always, even unchanged: leading zeros go and an empty edit shows `low`.
  const std::string text = ClampEditNumber(RuleText(WindowText(edit)), low, high);
  SetWindowTextW(edit, WideText(text).c_str());
}

void ClampBaudRate(HWND combo) {
  SetWindowTextW(combo, WideText(ClampBaudRate(RuleText(WindowText(combo)))).c_str());
}

void AttachFilterBaudDigits(HWND combo) {
  COMBOBOXINFO info{};
  info.cbSize = sizeof info;
  if (GetComboBoxInfo(combo, &info) && info.hwndItem != nullptr)
    SetWindowSubclass(info.hwndItem, &FilterBaudDigits, 0, 0);
}

}  // namespace calbrin
