// The edit rules applied to real controls: read the control, apply the rule, write the result
// back, and keep the caret where it was.
#pragma once

#include <windows.h>

#include "pages/page_fields.h"

namespace calbrin {

// Sets the character limit of every edit of a `page` page that the field table limits (the
// baud-rate combo box's edit included).
void LimitPageEdits(HWND window, PageKind page);
// Runs the field table's edit rule of `control` (identifier `id`) when `code` is the notification
// that the rule runs on: focus loss for the corrections, every change for the filters. True when
// it ran.
bool ApplyEditRule(PageKind page, int id, int code, HWND control);
// On a text change: the printable-range rule of the password dialog's edit.
void FilterPrintableEdit(HWND edit);
// Puts FilterBaudDigits in front of the edit inside `combo`: only digits and backspace
// are typed into it.
void AttachFilterBaudDigits(HWND combo);

}  // namespace calbrin
