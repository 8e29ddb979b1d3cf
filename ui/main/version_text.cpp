// The version box's text.
#include "ui/main/version_text.h"

#include <cstdio>

namespace calbrin {

std::string VersionBoxText(int major, int minor) {
  char text[64];
  std::snprintf(text, sizeof text, "    バージョン : %d.%02d    ", major, minor);
  return text;
}

}  // namespace calbrin
