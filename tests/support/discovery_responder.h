// A scripted answer to a discovery broadcast: replies sent from given loopback addresses, with
// model codes, versions and MACs of the test's choosing.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "net/socket.h"

namespace calbrin::test {

struct Reply {
  std::string from;  // the loopback address the reply leaves from
  int version = 100, model = 1, last = 0xFF, size = 32;  // `last`: the MAC's last byte
};

// Answers the first request on UDP port 30718, when it is "VQ", with the given replies in order,
// each from the loopback address it names. Every byte that is not read holds a value of its own, so
// a wrong offset shows.
class Responder {
 public:
  explicit Responder(std::vector<Reply> replies) {
    int error = 0;
    socket_ = OpenUdpSocket(error);
    EXPECT_EQ(SetReuseAddress(socket_), 0);
    EXPECT_EQ(BindSocket(socket_, "0.0.0.0", 30718), 0);
    thread_ = std::thread([this, replies = std::move(replies)] { Answer(replies); });
  }
  ~Responder() {
    thread_.join();
    CloseSocket(socket_);
  }

 private:
  void Answer(const std::vector<Reply>& replies) {
    char request[64];
    std::string source;
    std::uint16_t port = 0;
    int error = 0;
    if (WaitReadable(socket_, 5000) <= 0 ||
        ReceiveDatagram(socket_, request, sizeof request, source, port, error) != 2 ||
        std::string_view(request, 2) != "VQ") {
      return;
    }
    for (const Reply& reply : replies) {
      std::string bytes;
      for (int i = 0; i < reply.size; ++i) {
        bytes += static_cast<char>(i == 4              ? reply.version
                                   : i == 6            ? reply.model
                                   : i == 29           ? reply.last
                                   : i >= 24 && i < 29 ? i - 22
                                                       : i % 251);
      }
      const SocketHandle sender = OpenUdpSocket(error);
      BindSocket(sender, reply.from, 0);
      SendDatagram(sender, bytes.data(), reply.size, source, port, error);
      CloseSocket(sender);
      std::this_thread::sleep_for(std::chrono::milliseconds(5));  // keeps the arrival order
    }
  }

  SocketHandle socket_ = kInvalidSocket;
  std::thread thread_;
};

}  // namespace calbrin::test
