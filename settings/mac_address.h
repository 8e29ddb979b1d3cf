// A device's MAC: its six bytes, the texts a user may type for it, and the form the search shows.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace calbrin {

using MacBytes = std::array<std::uint8_t, 6>;

// A MAC as the user may type it: six two-digit hexadecimal numbers joined by '-' or ':', either
// case; nothing for any other text.
std::optional<MacBytes> ParseMac(std::string_view text);
// The form the search shows: "02-00-00-0A-1B-FF".
std::string MacText(const MacBytes& mac);

}  // namespace calbrin
