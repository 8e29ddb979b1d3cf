// Password scrambling: printable-range rotation between random filler characters.
#include "settings/password_scrambling.h"

#include <random>

namespace calbrin {
namespace {

constexpr std::string_view kFillerAlphabet =
    "abcdefghijklmnopqrstuvwxyzABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr int kPrintableCount = 94;

char NextFiller() {
  // The filler only has to look random; it carries no secret.
  thread_local std::minstd_rand generator{std::random_device{}()};
  return kFillerAlphabet[generator() % kFillerAlphabet.size()];
}

char Rotate(unsigned char c, int shift) {
  int b = (c + shift) % 256;
  if (b > 126) b -= kPrintableCount;
  return static_cast<char>(b);
}

}  // namespace

int ScramblePassword(const char* chars, int n, int shift, ScrambledPassword& record) {
  record = ScrambledPassword{};
  if (n < 0) return n;
  if (n > kMaxPasswordLength) return -1;
  int at = 0;
  for (int i = 0; i < kScrambleFillerLength; ++i)
    record.scrambled[at++] = NextFiller();
  for (int i = 0; i < n; ++i) {
    record.password[i] = chars[i];
    record.scrambled[at++] = Rotate(static_cast<unsigned char>(chars[i]), shift);
  }
  for (int i = 0; i < kScrambleFillerLength; ++i)
    record.scrambled[at++] = NextFiller();
  record.length = at;
  record.present = 1;
  return n;
}

int UnscramblePassword(std::string_view scrambled, std::string& out) {
  return UnscramblePasswordWithShift(scrambled, kStoredPasswordShift, out);
}

int UnscramblePasswordWithShift(std::string_view scrambled, int shift, std::string& out) {
  out.clear();
  const int n = static_cast<int>(scrambled.size()) - 2 * kScrambleFillerLength;
  if (n < 0 || n > kMaxPasswordLength) return -1;
  std::string password;
  for (int i = 0; i < n; ++i) {
    const auto s = static_cast<unsigned char>(scrambled[kScrambleFillerLength + i]);
    // Scrambling never produces a character outside the printable range, so such a character
    // (a blank, a control byte) means the text was not made by ScramblePassword.
    if (!IsPrintablePasswordChar(s)) return 0;
    int c = s - shift;
    if (c < 0x21) c += kPrintableCount;
    if (!IsPrintablePasswordChar(static_cast<unsigned char>(c))) return 0;
    password += static_cast<char>(c);
  }
  out = std::move(password);
  return n;
}

}  // namespace calbrin
