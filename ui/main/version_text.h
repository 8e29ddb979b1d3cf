// The text of the version box, from the product version's major and minor words.
#pragma once

#include <string>

namespace calbrin {

// "    バージョン : %d.%02d    " (UTF-8): the blanks keep the text clear of the box's edges.
std::string VersionBoxText(int major, int minor);

}  // namespace calbrin
