// The one way the windows of ui/main show a message box, so that tests can see the box's text
// instead of a real box blocking them.
#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace calbrin {

// Same meaning as MessageBoxW: owner, text, caption, MB_ flags; returns the button's ID.
using MessageBoxFunction = std::function<int(HWND owner, const std::wstring& text,
                                             const std::wstring& caption, UINT type)>;

inline int SystemMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption,
                            UINT type) {
  return MessageBoxW(owner, text.c_str(), caption.c_str(), type);
}

}  // namespace calbrin
