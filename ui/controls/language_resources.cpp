// Resources found by language with FindResourceExW. Plain FindResourceW, and the dialog manager
// with it, picks by the thread's UI language on Windows but by the thread's locale under Wine,
// which ignores SetThreadUILanguage: neither need be the language chosen for the windows.
#include "ui/controls/language_resources.h"

namespace calbrin {
namespace {

// The data of resource `id` of `type` in `language`, or null.
const void* ResourceData(Language language, const wchar_t* type, int id) {
  HMODULE module = GetModuleHandleW(nullptr);
  HRSRC found = FindResourceExW(module, type, MAKEINTRESOURCEW(id), ResourceLanguage(language));
  if (found == nullptr) return nullptr;
  HGLOBAL loaded = LoadResource(module, found);
  return loaded == nullptr ? nullptr : LockResource(loaded);
}

}  // namespace

LANGID ResourceLanguage(Language language) {
  return language == Language::kEnglish ? MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US)
                                        : MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
}

std::wstring LoadText(Language language, int id) {
  // A string table is kept in blocks of 16 strings, block n + 1 holding strings 16n to 16n + 15,
  // each a length and that many UTF-16 units.
  const auto* entry = static_cast<const WCHAR*>(ResourceData(language, RT_STRING, id / 16 + 1));
  if (entry == nullptr) return {};
  for (int i = 0; i < id % 16; ++i)
    entry += 1 + *entry;
  return std::wstring(entry + 1, *entry);
}

const DLGTEMPLATE* DialogLayout(Language language, int id) {
  return static_cast<const DLGTEMPLATE*>(ResourceData(language, RT_DIALOG, id));
}

void SetMenuIn(HWND window, Language language, int id) {
  const void* layout = ResourceData(language, RT_MENU, id);
  if (layout == nullptr) return;
  HMENU previous = GetMenu(window);
  SetMenu(window, LoadMenuIndirectW(layout));
  if (previous != nullptr) DestroyMenu(previous);
}

INT_PTR DialogBoxIn(Language language, int id, HWND owner, DLGPROC procedure, LPARAM parameter) {
  return DialogBoxIndirectParamW(GetModuleHandleW(nullptr), DialogLayout(language, id), owner,
                                 procedure, parameter);
}

HWND CreateDialogIn(Language language, int id, HWND owner, DLGPROC procedure, LPARAM parameter) {
  return CreateDialogIndirectParamW(GetModuleHandleW(nullptr), DialogLayout(language, id), owner,
                                    procedure, parameter);
}

}  // namespace calbrin
