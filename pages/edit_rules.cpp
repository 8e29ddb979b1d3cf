// Edit rules of the settings pages.
#include "pages/edit_rules.h"

#include <algorithm>

#include "settings/password_scrambling.h"

namespace calbrin {
namespace {

// Far beyond any field or edit of the pages, and safe from overflow in the loop below.
constexpr long long kSaturation = 1'000'000'000'000'000LL;

bool IsCBlank(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsHexDigit(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

char UpperHexDigit(char c) {
  return (c >= 'a' && c <= 'f') ? static_cast<char>(c - 'a' + 'A') : c;
}

}  // namespace

long long ReadDecimalNumber(std::string_view text) {
  std::size_t at = 0;
  while (at < text.size() && IsCBlank(text[at]))
    ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '+' || text[at] == '-')) {
    negative = text[at] == '-';
    ++at;
  }
  long long number = 0;
  for (; at < text.size() && text[at] >= '0' && text[at] <= '9'; ++at)
    number = std::min(number * 10 + (text[at] - '0'), kSaturation);
  return negative ? -number : number;
}

std::string ClampEditNumber(std::string_view text, int low, int high) {
  const long long number = ReadDecimalNumber(text.substr(0, 9));
  return std::to_string(std::clamp<long long>(number, low, high));
}

std::optional<std::string> FilterHexText(std::string_view text) {
  if (text.empty()) return std::nullopt;
  const std::string_view read = text.substr(0, 9);
  std::string kept;
  for (const char c : read) {
    if (!IsHexDigit(c)) break;
    kept.push_back(UpperHexDigit(c));
  }
  // Both compared as C strings over their first two characters.
  const std::string_view before = read.substr(0, 2);
  const std::string_view after = std::string_view(kept).substr(0, 2);
  if (before == after) return std::nullopt;
  return kept;
}

long long HexEntryValue(std::string_view text) {
  long long value = 0;
  for (const char c : text) {
    if (!IsHexDigit(c)) break;
    const char digit = UpperHexDigit(c);
    value = std::min(value * 16 + (digit <= '9' ? digit - '0' : digit - 'A' + 10), kSaturation);
  }
  return value;
}

std::string HexCharacterText(long long code) {
  if (code < 0 || code > 255) return "00";
  static constexpr char kDigits[] = "0123456789ABCDEF";
  return {kDigits[code / 16], kDigits[code % 16]};
}

std::string FilterPrintableText(std::string_view text) {
  text = text.substr(0, kMaxPasswordLength);
  std::size_t keep = 0;
  while (keep < text.size() && IsPrintablePasswordChar(static_cast<unsigned char>(text[keep]))) {
    ++keep;
  }
  return std::string(text.substr(0, keep));
}

std::string ClampBaudRate(std::string_view text) {
  const long long number = ReadDecimalNumber(text.substr(0, 19));
  // A negative number read as unsigned lies above every baud rate.
  if (number < 0 || number > static_cast<long long>(kHighestBaudRate))
    return std::to_string(kHighestBaudRate);
  if (number < static_cast<long long>(kLowestBaudRate)) return std::to_string(kLowestBaudRate);
  return std::to_string(number);
}

}  // namespace calbrin
