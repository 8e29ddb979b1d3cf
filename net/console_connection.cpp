// The console connection: connect, the receive thread with its reply matchers, and the waits.
#include "net/console_connection.h"

#include <algorithm>

namespace calbrin {
namespace {

using Clock = std::chrono::steady_clock;

// How long the receive thread waits for bytes before it looks at the stop flag again.
constexpr int kReceivePollMs = 20;

}  // namespace

ConsoleConnection::ConsoleConnection(ConsoleTimeLimits limits, WireTrace* trace)
    : limits_(limits), trace_(trace) {}

ConsoleConnection::~ConsoleConnection() {
  Shutdown();
}

void ConsoleConnection::Startup() {
  if (!sockets_) sockets_.emplace();
  socket_ = kInvalidSocket;
  connected_.store(false);
  stop_.store(false);
}

void ConsoleConnection::Shutdown() {
  Close();
  sockets_.reset();
}

void ConsoleConnection::ResetReceiveText() {
  std::lock_guard lock(textMutex_);
  receive_.ResetText();
}

std::string ConsoleConnection::ReceiveText() const {
  std::lock_guard lock(textMutex_);
  return receive_.Text();
}

bool ConsoleConnection::Connect(std::string_view deviceAddress, std::string_view localAddress) {
  int error = 0;
  SocketHandle socket = OpenTcpSocket(error);
  if (socket != kInvalidSocket) {
    error = SetReuseAddress(socket);
    if (error == 0) error = BindSocket(socket, localAddress, 0);
    // The connect blocks for as long as the system's own connect time-out.
    if (error == 0) error = ConnectSocket(socket, deviceAddress, kConsolePort);
    if (error != 0) CloseSocket(socket);
  }
  if (error != 0) {
    lastSocketError_ = error;
    socket_ = kInvalidSocket;
    return false;
  }
  socket_ = socket;
  if (trace_) {
    peer_ = deviceAddress;
    sentMask_ = {};
    receivedMask_ = {};
    std::lock_guard lock(textMutex_);
    loginReplies_.clear();
    trace_->Record(peer_, kConsolePort, TraceEvent::kConnect);
  }
  connected_.store(true);
  stop_.store(false);
  ResetReceiveText();
  receive_.ResetMatchers();
  try {
    receiveThread_ = std::thread(&ConsoleConnection::ReceiveLoop, this);
  } catch (const std::system_error&) {
    // Without a receive thread no reply is ever seen: every wait ends with its time-out.
  }
  return true;
}

void ConsoleConnection::ReceiveLoop() {
  std::array<char, kReceiveChunk + 1> chunk{};
  while (!stop_.load()) {
    const int ready = WaitReadable(socket_, kReceivePollMs);
    if (ready == 0) continue;
    int error = 0;
    const int received = ready < 0 ? -1 : ReceiveBytes(socket_, chunk.data(), kReceiveChunk, error);
    if (received <= 0) {
      // Close shuts the socket down to wake this thread: only an end it did not ask for is the
      // device's.
      if (trace_ && received == 0 && !stop_.load())
        trace_->Record(peer_, kConsolePort, TraceEvent::kPeerClosed);
      break;
    }
    {
      std::lock_guard lock(textMutex_);
      receive_.Accept(chunk.data(), received);
      // Traced before any wait can see the reply, so that the answer to it comes after it.
      if (trace_) {
        std::string traced = receivedMask_.Mask({chunk.data(), static_cast<std::size_t>(received)});
        MaskSecrets(traced, loginReplies_);
        trace_->Record(peer_, kConsolePort, TraceEvent::kReceived, traced);
      }
    }
    received_.notify_all();
  }
  connected_.store(false);
}

int ConsoleConnection::AwaitFirst(std::initializer_list<std::pair<ConsoleReply, int>> replies,
                                  std::chrono::milliseconds limit) {
  const Clock::time_point deadline = Clock::now() + limit;
  // The receive thread feeds the matchers under this lock and wakes the wait after each chunk,
  // so the wait sleeps until something arrived or the limit passed.
  std::unique_lock lock(textMutex_);
  for (;;) {
    for (const auto& [reply, result] : replies) {
      if (receive_.Matcher(reply).Matched()) return result;
    }
    if (Clock::now() >= deadline) return console::kTimedOut;
    received_.wait_until(lock, deadline);
  }
}

int ConsoleConnection::OpenAndAwaitPrompt(std::string_view deviceAddress,
                                          std::string_view localAddress) {
  Close();
  if (!Connect(deviceAddress, localAddress)) return console::kSocketFailed;
  return AwaitFirst({{ConsoleReply::kPasswordPrompt, console::kPasswordPrompt},
                     {ConsoleReply::kCommandPrompt, console::kReplySeen}},
                    limits_.prompt);
}

int ConsoleConnection::Send(const char* bytes, int length) {
  return SendTraced(bytes, length, false);
}

int ConsoleConnection::SendTraced(const char* bytes, int length, bool loginReply) {
  if (!connected_.load()) return console::kNotConnected;
  // Traced as handed to the socket, before the device can answer, so that the answer comes after.
  if (trace_) TraceSend({bytes, static_cast<std::size_t>(std::max(length, 0))}, loginReply);
  int error = 0;
  const int sent = SendBytes(socket_, bytes, length, error);
  if (sent < 0) {
    lastSocketError_ = error;
    if (trace_) {
      trace_->Record(peer_, kConsolePort, TraceEvent::kNote,
                     "send failed: error " + std::to_string(error));
    }
    return console::kSocketFailed;
  }
  if (trace_ && sent != length) {
    trace_->Record(peer_, kConsolePort, TraceEvent::kNote,
                   "sent " + std::to_string(sent) + " of " + std::to_string(length) + " bytes");
  }
  return sent;
}

void ConsoleConnection::TraceSend(std::string_view bytes, bool loginReply) {
  if (!loginReply) {
    trace_->Record(peer_, kConsolePort, TraceEvent::kSent, sentMask_.Mask(bytes));
    return;
  }
  // The whole reply is the scrambled password but for its line feed.
  const bool lineFeed = bytes.ends_with('\n');
  std::lock_guard lock(textMutex_);
  loginReplies_.emplace_back(bytes.substr(0, bytes.size() - (lineFeed ? 1 : 0)));
  trace_->Record(peer_, kConsolePort, TraceEvent::kSent,
                 std::string(kTraceMask) + (lineFeed ? "\n" : ""));
}

int ConsoleConnection::SendLoginReply(const char* bytes, int length) {
  if (!connected_.load()) return console::kNotConnected;
  receive_.Matcher(ConsoleReply::kPasswordPrompt).Reset();
  return SendTraced(bytes, length, true);
}

int ConsoleConnection::AwaitLoginAnswer() {
  if (!connected_.load()) return console::kNotConnected;
  return AwaitFirst({{ConsoleReply::kCommandPrompt, console::kReplySeen},
                     {ConsoleReply::kPasswordPrompt, console::kPasswordPrompt}},
                    limits_.loginAnswer);
}

int ConsoleConnection::RequestSettings() {
  ResetReceiveText();
  if (!connected_.load()) return console::kNotConnected;
  const int sent = Send(kGetParamCommand.data(), static_cast<int>(kGetParamCommand.size()));
  if (sent == console::kNotConnected) return console::kNotConnected;
  if (sent <= 0) return console::kSocketFailed;
  const int result = AwaitFirst({{ConsoleReply::kEndMarker, 0}}, limits_.settings);
  return result == console::kTimedOut ? result : receive_.Total();
}

int ConsoleConnection::SendAndAwait(ConsoleReply awaited, const char* bytes, int length) {
  receive_.Matcher(awaited).ClearFlag();
  const int sent = Send(bytes, length);
  if (sent < 0) return sent;
  if (sent == 0) return console::kNothingSent;
  return AwaitFirst({{awaited, console::kReplySeen}}, limits_.acknowledgement);
}

int ConsoleConnection::AwaitFinalAcknowledgement() {
  // A device that has answered and hung up already has answered.
  if (!connected_.load() && !receive_.Matcher(ConsoleReply::kFinalAck).Matched()) {
    return console::kNotConnected;
  }
  return AwaitFirst({{ConsoleReply::kFinalAck, console::kReplySeen}}, limits_.acknowledgement);
}

void ConsoleConnection::Close() {
  stop_.store(true);
  if (socket_ != kInvalidSocket) ShutdownSocket(socket_);
  // The thread is joined before the socket is closed, so it never touches a reused handle.
  if (receiveThread_.joinable()) receiveThread_.join();
  if (socket_ != kInvalidSocket) {
    CloseSocket(socket_);
    socket_ = kInvalidSocket;
    if (trace_) trace_->Record(peer_, kConsolePort, TraceEvent::kClose);
  }
  connected_.store(false);
}

}  // namespace calbrin
