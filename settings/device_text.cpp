// Device texts for the terminal and for JSON.
#include "settings/device_text.h"

#include <cstdio>

namespace calbrin {
namespace {

bool PrintableAscii(unsigned char byte) {
  return byte >= 0x20 && byte < 0x7f;
}

}  // namespace

std::string TerminalText(std::string_view bytes) {
  std::string shown;
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\\') {
      shown += "\\\\";
    } else if (PrintableAscii(byte)) {
      shown += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      shown += escaped;
    }
  }
  return shown;
}

std::string JsonBytes(std::string_view bytes) {
  std::string quoted = "\"";
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (PrintableAscii(byte)) {
      quoted += c;
    } else {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\u%04x", byte);
      quoted += escaped;
    }
  }
  return quoted + "\"";
}

}  // namespace calbrin
