// The scripted stand-in console of the connection tests.
#include "tests/support/scripted_peer.h"

#include <gtest/gtest.h>

#include "net/console_connection.h"

namespace calbrin::test {

ScriptedPeer::ScriptedPeer(std::string address, Script script) : script_(std::move(script)) {
  int error = 0;
  listener_ = OpenTcpSocket(error);
  EXPECT_EQ(SetReuseAddress(listener_), 0);
  EXPECT_EQ(BindSocket(listener_, address, ConsoleConnection::kConsolePort), 0) << address;
  EXPECT_EQ(ListenSocket(listener_), 0);
  thread_ = std::thread(&ScriptedPeer::Serve, this);
}

ScriptedPeer::~ScriptedPeer() {
  stop_.store(true);
  thread_.join();
  Close();
  CloseSocket(listener_);
}

void ScriptedPeer::Serve() {
  while (!stop_.load() && connection_ == kInvalidSocket) {
    int error = 0;
    if (WaitReadable(listener_, 10) > 0) connection_ = AcceptSocket(listener_, error);
  }
  if (connection_ != kInvalidSocket) script_(*this);
}

void ScriptedPeer::Send(std::string_view bytes) {
  int error = 0;
  SendBytes(connection_, bytes.data(), static_cast<int>(bytes.size()), error);
}

std::string ScriptedPeer::ReceiveUntil(std::string_view marker) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (received_.find(marker) == std::string::npos && std::chrono::steady_clock::now() < end) {
    if (WaitReadable(connection_, 10) <= 0) continue;
    char buffer[2048];
    int error = 0;
    const int count = ReceiveBytes(connection_, buffer, sizeof buffer, error);
    if (count <= 0) break;
    received_.append(buffer, static_cast<std::size_t>(count));
  }
  return received_;
}

void ScriptedPeer::Close() {
  if (connection_ == kInvalidSocket) return;
  ShutdownSocket(connection_);
  CloseSocket(connection_);
  connection_ = kInvalidSocket;
}

}  // namespace calbrin::test
