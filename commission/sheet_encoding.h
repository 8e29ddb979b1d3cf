// The text of a site sheet as UTF-8, whichever of the two encodings a spreadsheet saved it in:
// UTF-8 (with or without a byte order mark) or Japanese Windows' code page 932.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calbrin {

// Whether `bytes` are well-formed UTF-8: no stray continuation byte, no overlong form, no
// surrogate and nothing past U+10FFFF.
bool IsUtf8(std::string_view bytes);

// `bytes` read as code page 932 (Shift_JIS as Windows extends it), in UTF-8; nothing when a byte
// sequence is not a character of that code page. Per platform: code_page_posix.cpp (iconv),
// code_page_windows.cpp (MultiByteToWideChar).
std::optional<std::string> CodePage932ToUtf8(std::string_view bytes);

// The sheet's text in UTF-8: without its byte order mark; bytes that are not UTF-8 are read as
// code page 932. Nothing when they are neither.
std::optional<std::string> SheetTextAsUtf8(std::string_view bytes);

}  // namespace calbrin
