// The common file dialogs, set up for settings files.
#include "ui/editor/settings_file_dialogs.h"

#include <commdlg.h>

#include <array>

#include "file/settings_file.h"

namespace calbrin {
namespace {

// Pairs of description and pattern, ended by an empty pair.
constexpr wchar_t kFilter[] = L"QV Setup Files(*.qvs)\0*.qvs\0All Files(*.*)\0*.*\0";

}  // namespace

std::optional<std::wstring> ChooseSettingsFile(HWND owner, SettingsFileDialog kind,
                                               const std::wstring& folder,
                                               const std::wstring& proposedName) {
  std::array<wchar_t, kFileNameBufferChars> name{};
  if (kind == SettingsFileDialog::kSave) proposedName.copy(name.data(), name.size() - 1);

  OPENFILENAMEW dialog{};
  dialog.lStructSize = sizeof dialog;
  dialog.hwndOwner = owner;
  dialog.lpstrFilter = kFilter;
  dialog.nFilterIndex = 1;
  dialog.lpstrFile = name.data();
  dialog.nMaxFile = static_cast<DWORD>(name.size());
  dialog.lpstrInitialDir = folder.c_str();
  // The dialogs would otherwise leave the process in the chosen folder, holding it open.
  dialog.Flags = OFN_NOCHANGEDIR;
  if (kind == SettingsFileDialog::kOpen) {
    dialog.Flags |= OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetOpenFileNameW(&dialog)) return std::nullopt;
  } else {
    dialog.lpstrDefExt = L"qvs";
    dialog.Flags |= OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY;
    if (!GetSaveFileNameW(&dialog)) return std::nullopt;
  }
  return std::wstring(name.data());
}

}  // namespace calbrin
