// Cuts arbitrary bytes into chunks and feeds them to the console's receive step, checking the
// receive text, the total and every reply matcher against what was really received.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/fuzz_check.h"
#include "net/console_connection.h"

namespace {

using calbrin::ConsoleReply;

constexpr std::pair<ConsoleReply, std::string_view> kReplies[] = {
    {ConsoleReply::kCommandPrompt, ">\r\n"},
    {ConsoleReply::kPasswordPrompt, "?\r\n"},
    {ConsoleReply::kEndMarker, "\r\nEND\r\n"},
    {ConsoleReply::kSaveAck, "SAVE OK\r\n"},
    {ConsoleReply::kFinalAck, "END SAVE OK RESET\r\n"},
};

}  // namespace

// The first byte counts the chunk sizes that follow it; they are used in turn, a size byte of 0
// empties the text first (as a GETPARAM does) and cuts a chunk of one byte. The rest is the stream.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace calbrin;
  if (size == 0) return 0;
  const std::size_t sizeCount = std::min<std::size_t>(data[0] % 16 + 1, size - 1);
  const std::vector<std::uint8_t> sizes(data + 1, data + 1 + sizeCount);
  const std::string_view stream(reinterpret_cast<const char*>(data) + 1 + sizeCount,
                                size - 1 - sizeCount);

  auto receive = std::make_unique<ConsoleReceive>();
  std::string text;  // what the receive text must hold
  std::string fed;   // every byte the matchers were given
  int total = 0;
  bool endsWithReply[std::size(kReplies)] = {};
  std::size_t at = 0;
  for (std::size_t turn = 0; at < stream.size(); ++turn) {
    const std::uint8_t code = sizes.empty() ? 255 : sizes[turn % sizes.size()];
    if (code == 0) {
      receive->ResetText();
      text.clear();
      total = 0;
    }
    // Sizes from 1 to the 1023 bytes of one receive call.
    const std::size_t length = std::min(
        stream.size() - at, std::min<std::size_t>(ConsoleConnection::kReceiveChunk, code * 4 + 1));
    const std::string_view chunk = stream.substr(at, length);
    at += length;
    receive->Accept(chunk.data(), static_cast<int>(chunk.size()));

    total += static_cast<int>(chunk.size());
    if (total < ConsoleReceive::kTextSize) {
      const std::string_view kept = chunk.substr(0, chunk.find('\0'));
      text += kept.substr(0, ConsoleReceive::kTextSize - 1 - text.size());
      fed += chunk;
      for (std::size_t r = 0; r < std::size(kReplies); ++r)
        endsWithReply[r] = fed.ends_with(kReplies[r].second);
    }
    CHECK(receive->Total() == total);
    CHECK(receive->Text() == text);
    CHECK(text.size() < static_cast<std::size_t>(ConsoleReceive::kTextSize));
    for (std::size_t r = 0; r < std::size(kReplies); ++r) {
      const auto [reply, bytes] = kReplies[r];
      const bool matched = receive->Matcher(reply).Matched();
      // Set only when the last byte fed completed the reply.
      CHECK(!matched || endsWithReply[r]);
      // And set whenever the reply came whole after a byte that cannot have begun it.
      const bool clean = fed.size() == bytes.size() ||
                         (fed.size() > bytes.size() &&
                          bytes.find(fed[fed.size() - bytes.size() - 1]) == std::string_view::npos);
      CHECK(matched || !endsWithReply[r] || !clean);
    }
  }
  return 0;
}
