// Drives a modal dialog from inside its own message loop, the way a user acts on a dialog that
// blocks the code that opened it.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace calbrin::testing {

// Calls `open`, which shows a modal dialog. As soon as a dialog titled `caption` is visible,
// `drive` runs with it from within that dialog's loop (an empty caption takes any dialog); `drive`
// should end the dialog. A dialog that never appears is given up after a few seconds, and one left
// open is closed, so that a failing test never hangs. Returns whether `drive` ran.
bool DriveModal(const std::wstring& caption, const std::function<void(HWND dialog)>& drive,
                const std::function<void()>& open);

// Types the four numbers into the fields of an IP address control, as a user does; an empty
// text leaves its field blank.
void TypeAddress(HWND control, const wchar_t* first, const wchar_t* second, const wchar_t* third,
                 const wchar_t* fourth);

// Handles the waiting messages of this thread until `done` is true or `limitMs` passes.
bool PumpUntil(const std::function<bool()>& done, DWORD limitMs);

}  // namespace calbrin::testing
