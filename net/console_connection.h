// ConsoleConnection: the one TCP link to a device's text console, with the reply matchers that
// recognise prompts, the end of the settings text and write acknowledgements as bytes arrive.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/console_receive.h"
#include "net/socket.h"
#include "net/trace_masking.h"
#include "net/wire_trace.h"

namespace calbrin {

// Results of the console operations.
namespace console {
inline constexpr int kPasswordPrompt = 2;  // the console asks for the settings password
inline constexpr int kReplySeen = 1;       // the awaited prompt or acknowledgement arrived
inline constexpr int kNothingSent = 0;     // the send call reported 0 bytes
inline constexpr int kSocketFailed = -1;   // see LastSocketError()
inline constexpr int kNotConnected = -2;   // never opened, or the device has closed it
inline constexpr int kTimedOut = -3;       // the time limit passed without the reply
}  // namespace console

// Time limits of the waits. Tests shorten them; the tool uses the defaults.
struct ConsoleTimeLimits {
  static constexpr std::chrono::milliseconds kPrompt{5000};
  static constexpr std::chrono::milliseconds kLoginAnswer{10000};
  static constexpr std::chrono::milliseconds kSettings{10000};
  static constexpr std::chrono::milliseconds kAcknowledgement{5000};

  std::chrono::milliseconds prompt = kPrompt;
  std::chrono::milliseconds loginAnswer = kLoginAnswer;
  std::chrono::milliseconds settings = kSettings;
  std::chrono::milliseconds acknowledgement = kAcknowledgement;
};

// Used by the user-interface thread only, one operation at a time. The receive thread of an open
// connection writes the receive text, the received total and the matchers; every wait tests the
// awaited flags in a fixed order and sleeps until the next chunk arrives or its limit passes.
class ConsoleConnection {
 public:
  static constexpr std::uint16_t kConsolePort = 9998;
  static constexpr int kReceiveTextSize = ConsoleReceive::kTextSize;
  static constexpr int kReceiveChunk = 1023;
  static constexpr std::string_view kGetParamCommand = "GETPARAM\r\n";

  // `trace`, when given, receives every byte of every connection with its passwords masked.
  explicit ConsoleConnection(ConsoleTimeLimits limits = {}, WireTrace* trace = nullptr);
  ~ConsoleConnection();
  ConsoleConnection(const ConsoleConnection&) = delete;
  ConsoleConnection& operator=(const ConsoleConnection&) = delete;

  // Starts Windows Sockets for this object; before any window exists.
  void Startup();
  // Closes any connection and ends this object's use of Windows Sockets.
  void Shutdown();

  // Connects from `localAddress` ("0.0.0.0": any local address) to port 9998 of
  // `deviceAddress` and waits for the first prompt: 2, 1, -1 or -3.
  int OpenAndAwaitPrompt(std::string_view deviceAddress, std::string_view localAddress);
  // One send call of exactly `length` bytes: the count sent, -1 or -2.
  int Send(const char* bytes, int length);
  // Sends the login reply like Send. The password prompt seen so far is forgotten first, so that
  // a console that asks again at once is never missed.
  int SendLoginReply(const char* bytes, int length);
  // The console's answer to the login reply: 1 accepted, 2 asked again, -2 or -3.
  int AwaitLoginAnswer();
  // Sends GETPARAM and waits for the end marker: the received total (n >= 0), -1, -2 or -3.
  int RequestSettings();
  // Sends the bytes and waits for the save or the final acknowledgement: 1, 0, -1, -2 or -3.
  int SendAndAwait(ConsoleReply awaited, const char* bytes, int length);
  // Waits for the final acknowledgement without sending: 1, -2 (closed before it came) or -3.
  int AwaitFinalAcknowledgement();
  // Ends the connection and joins the receive thread; harmless when nothing is open.
  void Close();

  // The received bytes since the last reset (connect or GETPARAM): complete once the awaited
  // reply was seen. A NUL byte, and the rest of the chunk it came in, is not kept.
  std::string ReceiveText() const;
  int ReceivedTotal() const { return receive_.Total(); }
  int LastSocketError() const { return lastSocketError_; }
  bool Connected() const { return connected_.load(); }

 private:
  bool Connect(std::string_view deviceAddress, std::string_view localAddress);
  void ReceiveLoop();
  void ResetReceiveText();
  // One send call, traced with its passwords masked (a login reply whole) when a trace is kept.
  int SendTraced(const char* bytes, int length, bool loginReply);
  void TraceSend(std::string_view bytes, bool loginReply);
  // Polls the matchers in the given order until one is set or `limit` passes.
  int AwaitFirst(std::initializer_list<std::pair<ConsoleReply, int>> replies,
                 std::chrono::milliseconds limit);

  ConsoleTimeLimits limits_;
  std::optional<SocketSystem> sockets_;
  SocketHandle socket_ = kInvalidSocket;
  std::thread receiveThread_;
  std::atomic<bool> connected_{false};
  std::atomic<bool> stop_{false};

  // Guards the receive text and the feeding of the matchers; the waits sleep on `received_`.
  mutable std::mutex textMutex_;
  std::condition_variable received_;
  ConsoleReceive receive_;
  int lastSocketError_ = 0;

  WireTrace* trace_;
  std::string peer_;
  ConsoleTraceMask sentMask_;              // the calling thread's
  ConsoleTraceMask receivedMask_;          // the receive thread's
  std::vector<std::string> loginReplies_;  // under textMutex_: masked should the device echo one
};

}  // namespace calbrin
