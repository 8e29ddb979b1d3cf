// A stand-in device console for the connection tests: it listens on port 9998 of a loopback
// address, accepts one connection and runs the test's script on it in a thread of its own.
#pragma once

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <string_view>
#include <thread>

#include "net/socket.h"

namespace calbrin::test {

class ScriptedPeer {
 public:
  using Script = std::function<void(ScriptedPeer&)>;

  ScriptedPeer(std::string address, Script script);
  ~ScriptedPeer();  // waits for the script to end, then closes everything

  // For the script: the connection that it plays.
  void Send(std::string_view bytes);
  // Receives until `marker` has arrived or 5 seconds passed; returns everything received so far.
  std::string ReceiveUntil(std::string_view marker);
  void Pause(std::chrono::milliseconds delay) { std::this_thread::sleep_for(delay); }
  void Close();

 private:
  void Serve();

  SocketSystem sockets_;
  SocketHandle listener_ = kInvalidSocket;
  SocketHandle connection_ = kInvalidSocket;
  std::string received_;
  Script script_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

}  // namespace calbrin::test
