// Reading and setting the controls of a dialog by identifier: texts, address controls, check
// boxes, lists and enabled states. Device and settings texts are single bytes.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "pages/control_states.h"

namespace calbrin {

// The whole text of a window, wide.
std::wstring WindowText(HWND window);

// At most `maxChars` characters of the control's text.
std::string ControlText(HWND dialog, int id, int maxChars);
void SetControlText(HWND dialog, int id, std::string_view text);

// An IP address control as dotted text; a blank field counts as 0, so a blank control reads
// "0.0.0.0".
std::string AddressControlText(HWND control);
// Shows a dotted address; any other text leaves the control blank.
void SetAddressControlText(HWND control, std::string_view text);

bool IsChecked(HWND dialog, int id);
void SetChecked(HWND dialog, int id, bool checked);

// Inserts the items at their indexes, in order; the lists never sort.
void FillChoiceList(HWND dialog, int id, ChoiceItems items);
// The selected item, or -1.
int SelectedItem(HWND dialog, int id);
void SelectItem(HWND dialog, int id, int item);

void ApplyEnabled(HWND dialog, const EnabledStates& states);
void ShowControl(HWND dialog, int id, bool shown);

}  // namespace calbrin
