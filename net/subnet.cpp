// The subnet test of the device list's colouring.
#include "net/subnet.h"

#include <array>
#include <cstdio>
#include <optional>
#include <string>

namespace calbrin {
namespace {

// Read like the "%u.%u.%u.%u" pattern: four numbers are needed, anything after them is ignored.
std::optional<std::array<unsigned, 4>> ParseDotted(std::string_view text) {
  const std::string terminated(text);
  std::array<unsigned, 4> numbers{};
  if (std::sscanf(terminated.c_str(), "%u.%u.%u.%u", &numbers[0], &numbers[1], &numbers[2],
                  &numbers[3]) != 4) {
    return std::nullopt;
  }
  return numbers;
}

}  // namespace

int SameSubnet(std::string_view adapterAddress, std::string_view mask,
               std::string_view rowAddress) {
  const auto adapter = ParseDotted(adapterAddress);
  const auto maskNumbers = ParseDotted(mask);
  if (!adapter || !maskNumbers) return 0;
  const auto row = ParseDotted(rowAddress);
  if (!row) return 0;
  for (std::size_t i = 0; i < 4; ++i) {
    if (((*adapter)[i] & (*maskNumbers)[i]) != ((*row)[i] & (*maskNumbers)[i])) return 0;
  }
  return 1;
}

}  // namespace calbrin
