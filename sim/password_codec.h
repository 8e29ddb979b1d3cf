// How the device reads and writes passwords: rotated within '!'..'~' and wrapped in five filler
// characters on each side, with one rotation for the login and another for stored passwords.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calbrin::sim {

// The longest password the device takes.
inline constexpr std::size_t kMaxPasswordLength = 32;

// The rotation of the password that answers the device's password prompt.
inline constexpr int kLoginShift = 19;
// The rotation of the password that P_SET brings and of the channel passwords PASS1 and PASS2.
inline constexpr int kStoredPasswordShift = 47;

// Five filler characters, `password` rotated by `shift`, five more filler characters.
std::string Scramble(std::string_view password, int shift);

// The password inside `scrambled`; nothing when the text is shorter than its fillers, or when a
// character between them lies outside '!'..'~'.
std::optional<std::string> Unscramble(std::string_view scrambled, int shift);

// Whether `scrambled` carries the removal word "D E L" rotated by the stored-password shift.
bool IsRemovalWord(std::string_view scrambled);

}  // namespace calbrin::sim
