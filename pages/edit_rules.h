// The rules that normalise what the user types into the settings pages' edits, as pure functions
// on text. The windows read the control, call the rule and write the result back.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace calbrin {

// Reads `text` as a signed decimal number the way the C library's decimal conversion does:
// leading blanks skipped, an optional sign, digits up to the first other character; no digits
// give 0. Numbers too large for the result saturate instead of wrapping.
long long ReadDecimalNumber(std::string_view text);

// The focus-loss rule of numeric edits: the number of the first 9 characters, limited to
// `low`..`high`, in plain decimal. Always a result, so leading zeros go and an empty edit shows
// `low`.
std::string ClampEditNumber(std::string_view text, int low, int high);

// The text-change rule of the two-digit hexadecimal edits: the digits upper-cased, the text ending
// before the first character that is not a hexadecimal digit. Empty when the edit's text is
// already right (its first two characters would not change) and must be left alone.
std::optional<std::string> FilterHexText(std::string_view text);

// What a hexadecimal character entry stands for: its text read as a base-16 number, up to the
// first character that is not a hexadecimal digit; an empty text is 0. Saturates, never wraps.
long long HexEntryValue(std::string_view text);

// A character code as two upper-case hexadecimal digits; codes outside 0 to 255 show "00".
std::string HexCharacterText(long long code);

// Whether a character typed into the baud-rate field may reach it: digits and backspace only.
constexpr bool BaudDigitAccepted(unsigned int character) {
  return character == '\b' || (character >= '0' && character <= '9');
}

inline constexpr unsigned long kLowestBaudRate = 300;
inline constexpr unsigned long kHighestBaudRate = 921600;

// The text-change rule of password edits: at most the first 32 characters, up to the first
// character outside printable ASCII without the space.
std::string FilterPrintableText(std::string_view text);

// The focus-loss rule of the baud-rate field: the number of the first 19 characters limited to
// 300..921600 when compared as an unsigned value, so a negative number gives 921600.
std::string ClampBaudRate(std::string_view text);

}  // namespace calbrin
