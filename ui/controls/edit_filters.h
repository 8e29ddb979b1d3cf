// The edit rules applied to real controls: read the control, apply the rule, write the result
// back, and keep the caret where it was.
#pragma once

#include <windows.h>

namespace calbrin {

// On a text change: the printable-range rule of password edits.
void FilterPrintableEdit(HWND edit);
// On a text change: the rule of the two-digit hexadecimal edits.
void FilterHexEdit(HWND edit);
// On focus loss: the number in the edit limited to `low`..`high`.
void ClampEditNumber(HWND edit, int low, int high);
// On focus loss of the baud-rate combo: its number limited to the baud-rate range.
void ClampBaudRate(HWND combo);
// Puts FilterBaudDigits in front of the edit inside `combo`: only digits and backspace
// are typed into it.
void AttachFilterBaudDigits(HWND combo);

}  // namespace calbrin
