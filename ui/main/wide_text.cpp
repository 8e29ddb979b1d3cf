// UTF-8 and UTF-16 conversions through the system's own converter.
#include "ui/main/wide_text.h"

#include <windows.h>

namespace calbrin {
namespace {

std::wstring WideFromCodePage(std::string_view text, UINT codePage) {
  if (text.empty()) return {};
  const int size = static_cast<int>(text.size());
  const int length = MultiByteToWideChar(codePage, 0, text.data(), size, nullptr, 0);
  std::wstring wide(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0) MultiByteToWideChar(codePage, 0, text.data(), size, wide.data(), length);
  return wide;
}

}  // namespace

std::wstring WideText(std::string_view utf8) {
  return WideFromCodePage(utf8, CP_UTF8);
}

std::wstring WideTextFromAnsi(std::string_view ansi) {
  return WideFromCodePage(ansi, CP_ACP);
}

std::string Utf8Text(std::wstring_view wide) {
  if (wide.empty()) return {};
  const int size = static_cast<int>(wide.size());
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(length > 0 ? length : 0), '\0');
  if (length > 0) {
    WideCharToMultiByte(CP_UTF8, 0, wide.data(), size, utf8.data(), length, nullptr, nullptr);
  }
  return utf8;
}

}  // namespace calbrin
