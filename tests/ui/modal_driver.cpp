// Drives modal dialogs through a thread timer, which their own message loop dispatches.
#include "modal_driver.h"

namespace calbrin::testing {
namespace {

struct Pending {
  const std::wstring* caption = nullptr;
  const std::function<void(HWND)>* drive = nullptr;
  bool ran = false;
  DWORD started = 0;
  UINT_PTR timer = 0;
};

Pending* pending = nullptr;

constexpr DWORD kGiveUpMs = 5000;

void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD) {
  if (pending == nullptr) return;
  const wchar_t* caption = pending->caption->empty() ? nullptr : pending->caption->c_str();
  HWND dialog = FindWindowW(L"#32770", caption);
  if (dialog != nullptr && IsWindowVisible(dialog) && IsWindowEnabled(dialog)) {
    if (!pending->ran) {
      pending->ran = true;
      (*pending->drive)(dialog);
      return;
    }
    // Still open after the drive: end it, or the test would wait for ever.
    if (GetTickCount() - pending->started > kGiveUpMs) EndDialog(dialog, IDCANCEL);
    return;
  }
  if (GetTickCount() - pending->started > kGiveUpMs) {
    KillTimer(nullptr, pending->timer);
    pending->timer = 0;
  }
}

}  // namespace

bool DriveModal(const std::wstring& caption, const std::function<void(HWND)>& drive,
                const std::function<void()>& open) {
  Pending state{&caption, &drive, false, GetTickCount(), 0};
  pending = &state;
  state.timer = SetTimer(nullptr, 0, 20, OnTimer);
  open();
  if (state.timer != 0) KillTimer(nullptr, state.timer);
  pending = nullptr;
  return state.ran;
}

void TypeAddress(HWND control, const wchar_t* first, const wchar_t* second, const wchar_t* third,
                 const wchar_t* fourth) {
  const wchar_t* numbers[] = {first, second, third, fourth};
  HWND field = GetWindow(control, GW_CHILD);
  for (const wchar_t* number : numbers) {
    if (field == nullptr) return;
    SetWindowTextW(field, number);
    field = GetWindow(field, GW_HWNDNEXT);
  }
}

bool PumpUntil(const std::function<bool()>& done, DWORD limitMs) {
  const DWORD started = GetTickCount();
  while (!done()) {
    if (GetTickCount() - started > limitMs) return false;
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&message);
      DispatchMessageW(&message);
    }
    Sleep(5);
  }
  return true;
}

}  // namespace calbrin::testing
