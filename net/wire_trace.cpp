// The trace's lines: time stamp, peer, event and the escaped bytes.
#include "net/wire_trace.h"

#include <cstdio>

namespace calbrin {

std::string TraceText(std::string_view bytes) {
  static constexpr char kHex[] = "0123456789abcdef";
  std::string text;
  text.reserve(bytes.size());
  for (const char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\\') {
      text += "\\\\";
    } else if (byte == '\r') {
      text += "\\r";
    } else if (byte == '\n') {
      text += "\\n";
    } else if (byte >= 0x20 && byte <= 0x7E) {
      text += c;
    } else {
      text += "\\x";
      text += kHex[byte >> 4];
      text += kHex[byte & 0x0F];
    }
  }
  return text;
}

std::unique_ptr<WireTrace> WireTrace::Open(const std::filesystem::path& path, std::string& error) {
  const std::intptr_t file = OpenTraceFile(path, error);
  if (file < 0) return nullptr;
  return std::unique_ptr<WireTrace>(new WireTrace(file));
}

WireTrace::WireTrace(std::intptr_t file) : file_(file) {}

WireTrace::~WireTrace() {
  CloseTraceFile(file_);
}

void WireTrace::Record(std::string_view peer, std::uint16_t port, TraceEvent event,
                       std::string_view bytes) {
  std::string line;
  switch (event) {
    case TraceEvent::kConnect:
      line = " connect";
      break;
    case TraceEvent::kClose:
      line = " close";
      break;
    case TraceEvent::kPeerClosed:
      line = " closed by the peer";
      break;
    case TraceEvent::kSent:
      line = " > " + TraceText(bytes);
      break;
    case TraceEvent::kReceived:
      line = " < " + TraceText(bytes);
      break;
    case TraceEvent::kNote:
      line = " ! " + TraceText(bytes);
      break;
  }
  // The lock also orders the time stamps, so that the file's lines never go back in time.
  std::lock_guard lock(mutex_);
  const auto since = std::chrono::duration_cast<std::chrono::microseconds>(
      std::chrono::steady_clock::now() - start_);
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%lld.%06lld ",
                static_cast<long long>(since.count() / 1000000),
                static_cast<long long>(since.count() % 1000000));
  WriteTraceFile(file_,
                 std::string(stamp) + TraceText(peer) + ":" + std::to_string(port) + line + "\n");
}

}  // namespace calbrin
