// The device's password rotation and its filler characters.
#include "sim/password_codec.h"

#include <random>

namespace calbrin::sim {
namespace {

constexpr std::size_t kFillers = 5;
constexpr int kFirst = '!';
constexpr int kSpan = '~' - '!' + 1;
constexpr std::string_view kRemovalWord = "D E L";

char Rotate(char c, int shift) {
  const int offset = (static_cast<unsigned char>(c) - kFirst + shift) % kSpan;
  return static_cast<char>(kFirst + (offset + kSpan) % kSpan);
}

std::string Fillers() {
  static constexpr std::string_view kAlphabet =
      "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  thread_local std::minstd_rand generator{std::random_device{}()};
  std::string text;
  for (std::size_t i = 0; i < kFillers; ++i)
    text += kAlphabet[generator() % kAlphabet.size()];
  return text;
}

}  // namespace

std::string Scramble(std::string_view password, int shift) {
  std::string text = Fillers();
  for (char c : password)
    text += Rotate(c, shift);
  return text + Fillers();
}

std::optional<std::string> Unscramble(std::string_view scrambled, int shift) {
  if (scrambled.size() < 2 * kFillers) return std::nullopt;
  std::string password;
  for (char c : scrambled.substr(kFillers, scrambled.size() - 2 * kFillers)) {
    if (c < kFirst || c >= kFirst + kSpan) return std::nullopt;
    password += Rotate(c, -shift);
  }
  return password;
}

bool IsRemovalWord(std::string_view scrambled) {
  // The blanks of the word rotate like '~' does, so "D~E~L" removes the password too.
  const std::string word = Scramble(kRemovalWord, kStoredPasswordShift);
  return scrambled.size() == word.size() &&
         scrambled.substr(kFillers, kRemovalWord.size()) ==
             std::string_view(word).substr(kFillers, kRemovalWord.size());
}

}  // namespace calbrin::sim
