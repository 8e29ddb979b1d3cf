// The open and save dialogs of settings files.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>

namespace calbrin {

enum class SettingsFileDialog { kOpen, kSave };

// Shows the open or the save dialog for settings files, starting in `folder`; the save dialog
// proposes `proposedName` and asks before it replaces a file. The chosen path, or nothing when the
// user cancelled.
std::optional<std::wstring> ChooseSettingsFile(HWND owner, SettingsFileDialog kind,
                                               const std::wstring& folder,
                                               const std::wstring& proposedName);

// The settings dialog reaches the file dialogs through this, so that tests can name the file.
using SettingsFileChooser = std::function<decltype(ChooseSettingsFile)>;

}  // namespace calbrin
