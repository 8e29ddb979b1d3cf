// A stand-in device console for the connection tests: it listens on port 9998 of a loopback
// address, accepts one connection and runs the test's script on it in its own thread.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "net/socket.h"

namespace calbrin::test {

class PeerConnection {
 public:
  explicit PeerConnection(SocketHandle socket) : socket_(socket) {}

  void Send(std::string_view bytes);
  // Receives until `marker` has arrived or `limit` passed; returns everything received so far.
  std::string ReceiveUntil(std::string_view marker,
                           std::chrono::milliseconds limit = std::chrono::seconds(5));
  void Pause(std::chrono::milliseconds delay) { std::this_thread::sleep_for(delay); }
  void Close();

 private:
  SocketHandle socket_;
  std::string received_;
};

class ScriptedPeer {
 public:
  using Script = std::function<void(PeerConnection&)>;

  ScriptedPeer(std::string address, Script script);
  ~ScriptedPeer();  // waits for the script to end, then closes everything

  const std::string& Address() const { return address_; }

 private:
  void Serve();

  std::string address_;
  Script script_;
  SocketSystem sockets_;
  SocketHandle listener_ = kInvalidSocket;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace calbrin::test
