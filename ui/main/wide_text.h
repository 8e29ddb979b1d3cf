// Conversions between the core's UTF-8 texts and the wide texts of the Windows user interface.
#pragma once

#include <string>
#include <string_view>

namespace calbrin {

// Device texts (addresses, MAC texts) are plain ASCII, so the same conversion serves them too.
std::wstring WideText(std::string_view utf8);
std::string Utf8Text(std::wstring_view wide);
// Texts that the system gave in its ANSI code page, such as the adapters' names.
std::wstring WideTextFromAnsi(std::string_view ansi);

}  // namespace calbrin
