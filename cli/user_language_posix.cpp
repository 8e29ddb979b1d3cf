// The user's language on POSIX systems: the locale variables'.
#include "cli/platform_io.h"
#include "cli/user_language.h"

namespace calbrin {

Language UserLanguage() {
  return LocaleLanguage(EnvironmentValue);
}

}  // namespace calbrin
