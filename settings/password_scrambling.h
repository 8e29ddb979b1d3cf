// The scrambled form in which every password crosses the console and sits in a settings text:
// the codec of the login reply, of P_SET and of the PASS fields.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace calbrin {

inline constexpr int kMaxPasswordLength = 32;
inline constexpr int kScrambleFillerLength = 5;

// The shift of the password that answers the console's password prompt.
inline constexpr int kLoginShift = 19;
// The shift of the settings password sent with P_SET and of the channel passwords PASS1, PASS2.
inline constexpr int kStoredPasswordShift = 47;

// Printable ASCII without the space: 0x21 to 0x7E.
constexpr bool IsPrintablePasswordChar(unsigned char c) {
  return c >= 0x21 && c <= 0x7E;
}

struct ScrambledPassword {
  int present = 0;  // 1 once a password was scrambled into the record
  std::array<char, kMaxPasswordLength + 1> password{};
  // Five filler characters, the rotated password, five more; room for the login reply's line feed.
  std::array<char, kMaxPasswordLength + 2 * kScrambleFillerLength + 2> scrambled{};
  int length = 0;

  std::string_view Scrambled() const {
    return {scrambled.data(), static_cast<std::size_t>(length)};
  }
};

// Clears `record` and scrambles the n password characters into it with `shift`; returns n.
// A negative n, or one above 32, only clears the record and gives -1 for the too-long case.
int ScramblePassword(const char* chars, int n, int shift, ScrambledPassword& record);
inline int ScramblePassword(std::string_view password, int shift, ScrambledPassword& record) {
  return ScramblePassword(password.data(), static_cast<int>(password.size()), shift, record);
}

// Recovers a password scrambled with the stored-password shift. Returns the number of password
// characters written to `out`; 0 when nothing decodes to a printable password (an empty password
// looks the same); -1 when the length cannot belong to a password of 0 to 32 characters.
int UnscramblePassword(std::string_view scrambled, std::string& out);
// The same for a text scrambled with any shift (the device side reads login replies with it).
int UnscramblePasswordWithShift(std::string_view scrambled, int shift, std::string& out);

}  // namespace calbrin
