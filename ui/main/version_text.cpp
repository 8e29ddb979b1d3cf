// The version box's text. The format comes from a string table, so it is filled here rather
// than handed to printf as a format that the compiler cannot check.
#include "ui/main/version_text.h"

namespace calbrin {
namespace {

void ReplaceFirst(std::wstring& text, std::wstring_view placeholder, const std::wstring& value) {
  const std::size_t at = text.find(placeholder);
  if (at != std::wstring::npos) text.replace(at, placeholder.size(), value);
}

}  // namespace

std::wstring VersionBoxText(std::wstring_view format, int major, int minor) {
  std::wstring text(format);
  const std::wstring minorText = std::to_wstring(minor);
  ReplaceFirst(text, L"%02d", minorText.size() < 2 ? L"0" + minorText : minorText);
  ReplaceFirst(text, L"%d", std::to_wstring(major));
  return text;
}

}  // namespace calbrin
