// The windows' resources in one language: each language has the whole set of layouts, menus and
// strings under the same identifiers, and these functions take the set of the language asked for,
// whatever the thread's or the user's language is.
#pragma once

#include <windows.h>

#include <string>

#include "settings/language.h"

namespace calbrin {

// The language tag of a language's resources.
LANGID ResourceLanguage(Language language);

// String `id` of the language's string table; empty when it has none.
std::wstring LoadText(Language language, int id);

// Dialog layout `id` of the language, for the ...Indirect dialog functions; null when it is
// missing. The layout lives as long as the module.
const DLGTEMPLATE* DialogLayout(Language language, int id);

// Gives `window` menu `id` of the language in place of the menu that its layout names, which the
// dialog manager loads in the thread's language.
void SetMenuIn(HWND window, Language language, int id);

// The dialog functions over the language's layout `id`, as DialogBoxParamW and
// CreateDialogParamW over the layout's name.
INT_PTR DialogBoxIn(Language language, int id, HWND owner, DLGPROC procedure, LPARAM parameter);
HWND CreateDialogIn(Language language, int id, HWND owner, DLGPROC procedure, LPARAM parameter);

}  // namespace calbrin
