// Password scrambling: printable-range rotation between random filler characters.
#include "settings/password_scrambling.h"

#include <random>

#include "settings/setting_key.h"

namespace calbrin {
namespace {

constexpr std::string_view kFillerAlphabet =
    "abcdefghijklmnopqrstuvwxyz0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
// A channel password's scrambled text is a line of its own in a settings text, and a line that
// begins with a later key is read as that key's line ("PRT2x..." would hide PRT2 and make the
// whole text unreadable). So the first filler character is never an uppercase letter, and no
// key begins with anything else.
constexpr std::string_view kLeadingFillerAlphabet = kFillerAlphabet.substr(0, 36);
static_assert([] {
  for (const SettingKeyInfo& info : kSettingKeys)
    if (info.key.empty() || info.key[0] < 'A' || info.key[0] > 'Z') return false;
  return true;
}());
constexpr int kPrintableCount = 94;

char NextFiller(std::string_view alphabet) {
  // The filler only has to look random; it carries no secret.
  thread_local std::minstd_rand generator{std::random_device{}()};
  return alphabet[generator() % alphabet.size()];
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
  record.scrambled[at++] = NextFiller(kLeadingFillerAlphabet);
  for (int i = 1; i < kScrambleFillerLength; ++i)
    record.scrambled[at++] = NextFiller(kFillerAlphabet);
  for (int i = 0; i < n; ++i) {
    record.password[i] = chars[i];
    record.scrambled[at++] = Rotate(static_cast<unsigned char>(chars[i]), shift);
  }
  for (int i = 0; i < kScrambleFillerLength; ++i)
    record.scrambled[at++] = NextFiller(kFillerAlphabet);
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
