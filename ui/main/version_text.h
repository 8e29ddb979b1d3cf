// The text of the version box, from the product version's major and minor words.
#pragma once

#include <string>
#include <string_view>

namespace calbrin {

// `format` is the version text of the window's language (IDS_VERSION_TEXT): its "%d" takes the
// major version, its "%02d" the minor one with at least two digits.
std::wstring VersionBoxText(std::wstring_view format, int major, int minor);

}  // namespace calbrin
