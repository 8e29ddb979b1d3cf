// Masking the password values of a console trace.
#include "net/trace_masking.h"

#include <algorithm>

namespace calbrin {
namespace {

// The key lines whose next line is a password: the channel passwords and the settings password.
bool IsPasswordKeyLine(std::string_view line) {
  if (line.ends_with('\r')) line.remove_suffix(1);
  return line == "PASS1" || line == "PASS2" || line == "P_SET";
}

}  // namespace

std::string ConsoleTraceMask::Mask(std::string_view chunk) {
  std::string out;
  out.reserve(chunk.size());
  for (const char c : chunk) {
    const bool lineEnd = c == '\r' || c == '\n';
    if (masking_) {
      if (!lineEnd) continue;
      masking_ = false;
    } else if (valueNext_ && lineStart_) {
      valueNext_ = false;
      if (!lineEnd) {
        out += kTraceMask;
        masking_ = true;
        lineStart_ = false;
        continue;
      }
    }
    out += c;
    if (c == '\n') {
      valueNext_ = IsPasswordKeyLine(line_);
      line_.clear();
      lineStart_ = true;
    } else {
      lineStart_ = false;
      // One byte past the longest key line is enough to tell a longer line from a key line.
      if (line_.size() <= kLongestKeyLine) line_ += c;
    }
  }
  return out;
}

void MaskSecrets(std::string& text, const std::vector<std::string>& secrets) {
  for (const std::string& secret : secrets) {
    if (secret.empty()) continue;
    for (std::size_t at = text.find(secret); at != std::string::npos;
         at = text.find(secret, at + kTraceMask.size())) {
      text.replace(at, secret.size(), kTraceMask);
    }
  }
}

}  // namespace calbrin
