// WireTrace: every byte that the console and the discovery sockets move, one text line an event,
// for support. The console and the discovery take a pointer to one trace; a null pointer traces
// nothing. The passwords are masked before a line is written (net/trace_masking.h).
#pragma once

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

namespace calbrin {

// The trace file: a regular file of the user's own, made 0600 and emptied; a link is refused.
// Returns the open file or -1 with `error` set to the system's words (trace_file_*.cpp).
std::intptr_t OpenTraceFile(const std::filesystem::path& path, std::string& error);
void WriteTraceFile(std::intptr_t file, std::string_view text);
void CloseTraceFile(std::intptr_t file);

// The bytes as one line of text: printable ASCII as it is, a backslash doubled, CR and LF as \r
// and \n, every other byte as \xNN, so that nothing a device sends puts a control byte or a
// broken UTF-8 sequence into the trace.
std::string TraceText(std::string_view bytes);

// What happened on the socket: connected, closed by this program or by the peer, bytes sent or
// received, or a note of this program's (a send that failed or fell short).
enum class TraceEvent { kConnect, kClose, kPeerClosed, kSent, kReceived, kNote };

// One trace a process: the threads of a fleet write whole lines under one lock.
class WireTrace {
 public:
  // The trace in a new file at `path`; null with `error` set when the file cannot be made.
  static std::unique_ptr<WireTrace> Open(const std::filesystem::path& path, std::string& error);
  ~WireTrace();
  WireTrace(const WireTrace&) = delete;
  WireTrace& operator=(const WireTrace&) = delete;

  // "  12.345678 127.0.0.2:9998 < GETPARAM\r\n": seconds since the trace began, the peer, the
  // event and the (already masked) bytes.
  void Record(std::string_view peer, std::uint16_t port, TraceEvent event,
              std::string_view bytes = {});

 private:
  explicit WireTrace(std::intptr_t file);

  std::mutex mutex_;
  std::intptr_t file_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
};

}  // namespace calbrin
