// Texts that came from a device (or a settings file) are data, never control: the operator's
// terminal shows every byte that is not printable ASCII as an escape, and JSON carries every byte
// as one character, so that nothing a device sends can move the cursor, retitle the window or
// make the JSON invalid, and a JSON reader still gets the device's exact bytes back.
#pragma once

#include <string>
#include <string_view>

namespace calbrin {

// For the terminal: printable ASCII as it is, a backslash doubled, every other byte as \xNN
// (ESC is "\x1b"), so that the text is unambiguous and holds no control byte.
std::string TerminalText(std::string_view bytes);

// A JSON string, quotes included, in which each byte stands for the character of the same number:
// bytes below 0x80 are ASCII, bytes 0x80 to 0xFF are U+0080 to U+00FF (Latin-1). Every byte
// outside printable ASCII is written as a \u00NN escape, so the JSON is plain ASCII. A reader
// gets the device's bytes back by taking each character's number as a byte (in Python,
// text.encode("latin-1")).
std::string JsonBytes(std::string_view bytes);

// The program's own UTF-8 text as a JSON string, quotes included: quotes, backslashes and control
// bytes escaped, every other byte (UTF-8 sequences too) as it is.
std::string JsonString(std::string_view text);

}  // namespace calbrin
