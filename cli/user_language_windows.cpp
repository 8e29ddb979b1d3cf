// The user's language on Windows: the display language of the user's account, whatever the
// locale of formats or the system's code page.
#include <windows.h>

#include "cli/user_language.h"

namespace calbrin {

Language UserLanguage() {
  return PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE ? Language::kJapanese
                                                                    : Language::kEnglish;
}

}  // namespace calbrin
