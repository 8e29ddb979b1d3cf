// Reading and showing MACs.
#include "settings/mac_address.h"

#include <cstdio>

namespace calbrin {
namespace {

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

std::optional<MacBytes> ParseMac(std::string_view text) {
  constexpr std::size_t kLength = 17;  // "02-00-00-0A-1B-FF"
  if (text.size() != kLength) return std::nullopt;
  const char separator = text[2];
  if (separator != '-' && separator != ':') return std::nullopt;
  MacBytes mac{};
  for (std::size_t i = 0; i < mac.size(); ++i) {
    const int high = HexDigit(text[i * 3]);
    const int low = HexDigit(text[i * 3 + 1]);
    if (high < 0 || low < 0 || (i + 1 < mac.size() && text[i * 3 + 2] != separator))
      return std::nullopt;
    mac[i] = static_cast<std::uint8_t>(high * 16 + low);
  }
  return mac;
}

std::string MacText(const MacBytes& mac) {
  char text[18];
  std::snprintf(text, sizeof text, "%02X-%02X-%02X-%02X-%02X-%02X", mac[0], mac[1], mac[2], mac[3],
                mac[4], mac[5]);
  return text;
}

}  // namespace calbrin
