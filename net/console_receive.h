// The console's receive side free of sockets and threads: the receive text, the received total
// and the reply matchers, fed one received chunk at a time.
#pragma once

#include <array>
#include <atomic>
#include <string>
#include <string_view>

namespace calbrin {

enum class ConsoleReply { kCommandPrompt, kPasswordPrompt, kEndMarker, kSaveAck, kFinalAck };

// Recognises one reply byte by byte. A byte that breaks a partial match is not tried again as
// the reply's first byte, and the flag is set only while the last byte seen completed the reply.
class ReplyMatcher {
 public:
  explicit constexpr ReplyMatcher(std::string_view reply) : reply_(reply) {}

  void Feed(char byte);  // receive thread
  void Reset();
  void ClearFlag() { matched_.store(false); }
  bool Matched() const { return matched_.load(); }

 private:
  std::string_view reply_;
  std::atomic<int> count_{0};
  std::atomic<bool> matched_{false};
};

// What the console sent since the last reset. The connection guards it with its own lock; the
// total and the matchers may be read without it.
class ConsoleReceive {
 public:
  static constexpr int kTextSize = 4096;

  // Empties the text and the total; the matchers keep their state.
  void ResetText();
  void ResetMatchers();
  // Takes one received chunk: counts it, keeps its bytes up to the first NUL in the text and
  // feeds every byte to every matcher, unless 4096 bytes have come since the last reset.
  void Accept(const char* chunk, int received);

  std::string Text() const { return std::string(text_.data(), static_cast<std::size_t>(length_)); }
  int Total() const { return total_.load(); }
  ReplyMatcher& Matcher(ConsoleReply reply) { return matchers_[static_cast<std::size_t>(reply)]; }
  const ReplyMatcher& Matcher(ConsoleReply reply) const {
    return matchers_[static_cast<std::size_t>(reply)];
  }

 private:
  std::atomic<int> total_{0};
  std::array<char, kTextSize> text_{};
  int length_ = 0;
  std::array<ReplyMatcher, 5> matchers_{ReplyMatcher{">\r\n"}, ReplyMatcher{"?\r\n"},
                                        ReplyMatcher{"\r\nEND\r\n"}, ReplyMatcher{"SAVE OK\r\n"},
                                        ReplyMatcher{"END SAVE OK RESET\r\n"}};
};

}  // namespace calbrin
