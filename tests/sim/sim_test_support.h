// Raw-socket clients and a fixture for the simulator tests. Every test process takes a random
// 127.A.B.0/24 block and a random discovery port, so test programs running side by side in one
// network namespace neither collide on a bind nor take each other's replies for their own.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "net/socket.h"
#include "sim/simulator.h"

namespace calbrin::sim::test {

// A console client: connects, sends, and reads with deadlines, so no test can hang on a device.
class ConsoleClient {
 public:
  ConsoleClient() = default;
  ~ConsoleClient();
  ConsoleClient(const ConsoleClient&) = delete;
  ConsoleClient& operator=(const ConsoleClient&) = delete;

  // 0 or the error code.
  int Connect(const std::string& address, std::uint16_t port = kConsolePort);
  bool Send(std::string_view bytes);
  // Reads until what was read since the last call ends with `suffix`, the peer closes, or
  // `timeoutMs` passes; returns what was read.
  std::string ReadUntil(std::string_view suffix, int timeoutMs = 1500);
  // Reads whatever arrives within `ms`.
  std::string ReadFor(int ms);
  // Whether the peer closes (after any bytes still on their way) within `timeoutMs`.
  bool WaitClosed(int timeoutMs = 1500);
  bool PeerClosed() const { return closed_; }

 private:
  bool ReadOnce(int timeoutMs, std::string& into);

  SocketHandle socket_ = kInvalidSocket;
  bool closed_ = false;
};

struct Datagram {
  std::string source;
  std::uint16_t sourcePort = 0;
  std::string bytes;
};

// A requester bound to 127.0.0.1 with SO_BROADCAST, as the tool's discovery socket is.
class DiscoveryClient {
 public:
  DiscoveryClient();
  ~DiscoveryClient();
  DiscoveryClient(const DiscoveryClient&) = delete;
  DiscoveryClient& operator=(const DiscoveryClient&) = delete;

  bool Ready() const { return socket_ != kInvalidSocket; }
  // Sends `request` to the limited broadcast address; 0 or the error code.
  int Broadcast(std::uint16_t port, std::string_view request = kDiscoveryRequest);
  // Every datagram that arrives within `ms`.
  std::vector<Datagram> Collect(int ms);

 private:
  SocketHandle socket_ = kInvalidSocket;
};

// The MAC bytes of a discovery reply, or nothing for one too short to hold them.
std::string ReplyMac(const Datagram& reply);

// Whether a UDP socket bound to `address` sends from it. Wine 8 binds such a socket to 0.0.0.0
// (see the discovery tests), so its datagrams leave from 127.0.0.1 instead.
bool DatagramsLeaveFromBoundAddress(const std::string& address);

class SimTest : public ::testing::Test {
 protected:
  SimTest();

  // The address of host `host` of this process's block.
  std::string Address(int host) const { return block_ + std::to_string(host); }
  // A MAC unique to this process, ending in `last`.
  MacAddress Mac(std::uint8_t last) const;
  // A config for a device on Address(host) with the MAC Mac(host).
  DeviceConfig Device(int host, std::string model = "48", std::string password = {}) const;
  Simulator::Options Options(std::string stateFile = {}) const;
  // A file name in the temporary folder, unique to this process; removed with the fixture.
  std::string TempFile(std::string_view name);

  void TearDown() override;

  SocketSystem sockets_;
  std::string block_;
  std::uint16_t discoveryPort_ = 0;
  std::uint32_t macPrefix_ = 0;
  std::vector<std::string> tempFiles_;
};

// Starts `simulator` and fails the test with its message when that does not work.
#define CALBRIN_START(simulator)                              \
  do {                                                        \
    std::string startError;                                   \
    ASSERT_TRUE((simulator).Start(startError)) << startError; \
  } while (0)

}  // namespace calbrin::sim::test
