// Device texts for the terminal and for JSON.
#include "settings/device_text.h"

namespace calbrin {
namespace {

// `bytes` with printable ASCII kept, each character of `backslashed` after a backslash, and every
// other byte as `prefix` and its two lower-case hexadecimal digits.
std::string Escaped(std::string_view bytes, std::string_view backslashed, std::string_view prefix) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string escaped;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (backslashed.find(c) != std::string_view::npos) {
      escaped += '\\';
      escaped += c;
    } else if (byte >= 0x20 && byte < 0x7f) {
      escaped += c;
    } else {
      escaped += prefix;
      escaped += kDigits[byte >> 4];
      escaped += kDigits[byte & 15];
    }
  }
  return escaped;
}

}  // namespace

std::string TerminalText(std::string_view bytes) {
  return Escaped(bytes, "\\", "\\x");
}

std::string JsonBytes(std::string_view bytes) {
  return "\"" + Escaped(bytes, "\"\\", "\\u00") + "\"";
}

std::string JsonString(std::string_view text) {
  std::string quoted = "\"";
  for (const char c : text) {
    // Bytes from 0x80 up belong to UTF-8 sequences and pass as they are.
    if (static_cast<unsigned char>(c) >= 0x80) {
      quoted += c;
    } else {
      quoted += Escaped(std::string_view(&c, 1), "\"\\", "\\u00");
    }
  }
  return quoted + "\"";
}

}  // namespace calbrin
