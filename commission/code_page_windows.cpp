// Code page 932 to UTF-8 through UTF-16, with the system's own table.
#include <windows.h>

#include "commission/sheet_encoding.h"

namespace calbrin {

std::optional<std::string> CodePage932ToUtf8(std::string_view bytes) {
  if (bytes.empty()) return std::string();
  constexpr UINT kJapanese = 932;
  const int inLength = static_cast<int>(bytes.size());
  // MB_ERR_INVALID_CHARS: a byte sequence outside the code page fails instead of becoming '?'.
  const int wideLength =
      MultiByteToWideChar(kJapanese, MB_ERR_INVALID_CHARS, bytes.data(), inLength, nullptr, 0);
  if (wideLength <= 0) return std::nullopt;
  std::wstring wide(static_cast<std::size_t>(wideLength), L'\0');
  MultiByteToWideChar(kJapanese, MB_ERR_INVALID_CHARS, bytes.data(), inLength, wide.data(),
                      wideLength);
  const int length =
      WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
  if (length <= 0) return std::nullopt;
  std::string text(static_cast<std::size_t>(length), '\0');
  WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, text.data(), length, nullptr, nullptr);
  return text;
}

}  // namespace calbrin
