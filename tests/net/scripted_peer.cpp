// The scripted stand-in console used by the connection tests.
#include "scripted_peer.h"

#include <gtest/gtest.h>

#include "net/console_connection.h"

namespace calbrin::test {

void PeerConnection::Send(std::string_view bytes) {
  int error = 0;
  SendBytes(socket_, bytes.data(), static_cast<int>(bytes.size()), error);
}

std::string PeerConnection::ReceiveUntil(std::string_view marker, std::chrono::milliseconds limit) {
  const auto end = std::chrono::steady_clock::now() + limit;
  while (received_.find(marker) == std::string::npos && std::chrono::steady_clock::now() < end) {
    if (WaitReadable(socket_, 10) <= 0) continue;
    char buffer[2048];
    int error = 0;
    const int count = ReceiveBytes(socket_, buffer, sizeof buffer, error);
    if (count <= 0) break;
    received_.append(buffer, static_cast<std::size_t>(count));
  }
  return received_;
}

void PeerConnection::Close() {
  if (socket_ == kInvalidSocket) return;
  ShutdownSocket(socket_);
  CloseSocket(socket_);
  socket_ = kInvalidSocket;
}

ScriptedPeer::ScriptedPeer(std::string address, Script script)
    : address_(std::move(address)), script_(std::move(script)) {
  int error = 0;
  listener_ = OpenTcpSocket(error);
  EXPECT_NE(listener_, kInvalidSocket) << error;
  EXPECT_EQ(SetReuseAddress(listener_), 0);
  EXPECT_EQ(BindSocket(listener_, address_, ConsoleConnection::kConsolePort), 0) << address_;
  EXPECT_EQ(ListenSocket(listener_), 0);
  thread_ = std::thread(&ScriptedPeer::Serve, this);
}

ScriptedPeer::~ScriptedPeer() {
  stop_.store(true);
  thread_.join();
  CloseSocket(listener_);
}

void ScriptedPeer::Serve() {
  while (!stop_.load()) {
    if (WaitReadable(listener_, 10) <= 0) continue;
    int error = 0;
    const SocketHandle socket = AcceptSocket(listener_, error);
    if (socket == kInvalidSocket) continue;
    PeerConnection connection(socket);
    script_(connection);
    // Keep the connection until the test ends, unless the script closed it.
    while (!stop_.load())
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
    connection.Close();
    return;
  }
}

}  // namespace calbrin::test
