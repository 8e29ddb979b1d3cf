// The passwords out of a console trace. Every password crosses the console scrambled: the login
// reply (the whole line sent after the password prompt), the value line after a P_SET line, and
// the value lines after the PASS1 and PASS2 key lines of a settings text (GETPARAM's answer and a
// write). The trace shows each such value as kTraceMask and every other byte as it was.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace calbrin {

inline constexpr std::string_view kTraceMask = "********";

// One direction of a console's byte stream, fed chunk by chunk as it crosses the socket; a key
// line and its value may arrive in different chunks.
class ConsoleTraceMask {
 public:
  // The chunk with the value line of every password key masked.
  std::string Mask(std::string_view chunk);

 private:
  static constexpr std::size_t kLongestKeyLine = 6;  // "PASS1\r"

  std::string line_;        // the current line's first bytes, enough to tell a key line
  bool lineStart_ = true;   // the next byte starts a line
  bool valueNext_ = false;  // the line that starts next is a password value
  bool masking_ = false;    // inside a password value: its bytes are left out
};

// Replaces every occurrence of each secret (a password the program knows, plain or scrambled)
// in `text` with kTraceMask.
void MaskSecrets(std::string& text, const std::vector<std::string>& secrets);

}  // namespace calbrin
