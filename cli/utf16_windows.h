// Conversions between the program's UTF-8 text and the UTF-16 of the wide Windows functions.
#pragma once

#include <string>
#include <string_view>

namespace calbrin {

std::string Utf8FromUtf16(std::wstring_view text);
// Bytes that are no UTF-8 become U+FFFD.
std::wstring Utf16FromUtf8(std::string_view text);

}  // namespace calbrin
