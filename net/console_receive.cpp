// The console's receive text and reply matchers.
#include "net/console_receive.h"

#include <algorithm>
#include <cstring>

namespace calbrin {

void ReplyMatcher::Feed(char byte) {
  const int length = static_cast<int>(reply_.size());
  int count = count_.load();
  // A completed reply keeps its full count, so the next byte always resets it.
  count = count < length && byte == reply_[static_cast<std::size_t>(count)] ? count + 1 : 0;
  count_.store(count);
  matched_.store(count == length);
}

void ReplyMatcher::Reset() {
  count_.store(0);
  matched_.store(false);
}

void ConsoleReceive::ResetText() {
  text_.fill('\0');
  length_ = 0;
  total_.store(0);
}

void ConsoleReceive::ResetMatchers() {
  for (ReplyMatcher& matcher : matchers_)
    matcher.Reset();
}

void ConsoleReceive::Accept(const char* chunk, int received) {
  const int total = total_.fetch_add(received) + received;
  // Once 4096 bytes have come since the last reset, everything further is dropped unmatched.
  if (total >= kTextSize) return;
  // A NUL byte ends what a chunk adds to the text; the device never sends one in its text.
  const auto* nul =
      static_cast<const char*>(std::memchr(chunk, '\0', static_cast<std::size_t>(received)));
  std::size_t length =
      nul == nullptr ? static_cast<std::size_t>(received) : static_cast<std::size_t>(nul - chunk);
  length = std::min(length, static_cast<std::size_t>(kTextSize - 1 - length_));
  std::memcpy(text_.data() + length_, chunk, length);
  length_ += static_cast<int>(length);
  for (int i = 0; i < received; ++i) {
    for (ReplyMatcher& matcher : matchers_)
      matcher.Feed(chunk[i]);
  }
}

}  // namespace calbrin
