// Dotted IPv4 texts and the 32-bit value that the IP address controls take, first byte highest.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace calbrin {

// Four decimal numbers of 0 to 255, one to three digits each, separated by dots; nothing else.
std::optional<std::uint32_t> ParseDottedAddress(std::string_view text);
std::string DottedAddressText(std::uint32_t address);

}  // namespace calbrin
