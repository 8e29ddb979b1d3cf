// Device discovery against a scripted responder on loopback: what is listed, in which order, and
// what is dropped; the row texts; the collection window.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>
#include <thread>
#include <vector>

#include "net/device_discovery.h"
#include "net/socket.h"

namespace calbrin {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Reply {
  std::string from;  // the loopback address the reply leaves from
  int version = 100, model = 1, last = 0xFF, size = 32;  // `last`: the MAC's last byte
};

// Answers the first request on UDP port 30718, when it is "VQ", with the given replies in order,
// each from its own loopback address. Every byte that is not read holds a value of its own, so a
// wrong offset shows.
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
      std::this_thread::sleep_for(5ms);  // keeps the arrival order
    }
  }

  SocketHandle socket_ = kInvalidSocket;
  std::thread thread_;
};

class DiscoveryTest : public ::testing::Test {
 protected:
  DiscoveryTest() : discovery_(400ms) { discovery_.Startup("127.0.0.9"); }

  // "address MAC model version" of every entry found.
  std::vector<std::string> Rows(int found) const {
    std::vector<std::string> rows;
    for (int i = 0; i < found; ++i) {
      const DeviceEntry& e = discovery_.Entry(i);
      rows.push_back(std::string(e.AddressText()) + " " + std::string(e.MacText()) + " " +
                     std::string(e.ModelText()) + " " + e.VersionText());
    }
    return rows;
  }

  DeviceDiscovery discovery_;
};

TEST_F(DiscoveryTest, DevicesAreListedInArrivalOrderWithTheirRowTexts) {
  EXPECT_EQ(discovery_.LocalProbeAddress(), "127.0.0.1");
  // Replies of 1020 bytes: the third one wraps around the end of the reply queue.
  Responder responder(std::vector<Reply>{{"127.0.0.3", 5, 2, 0x1B, 1020},
                                         {"127.0.0.2", 113, 1, 0xFF, 1020},
                                         {"127.0.0.4", 255, 2, 0x0A, 1020}});
  EXPECT_EQ(Rows(discovery_.Discover("127.0.0.1")),
            (std::vector<std::string>{"127.0.0.3 02-03-04-05-06-1B QV-57R 0.05",
                                      "127.0.0.2 02-03-04-05-06-FF QV-48R2 1.13",
                                      "127.0.0.4 02-03-04-05-06-0A QV-57R 2.55"}));
  EXPECT_EQ(discovery_.Entry(0).addressLength, 9);
}

TEST_F(DiscoveryTest, UnknownModelsShortRepliesAndRepeatsLeaveNoTrace) {
  Responder responder(
      std::vector<Reply>{{"127.0.0.2", 100, 3, 1},
                         {"127.0.0.3", 100, 1, 2, 29},
                         {"127.0.0.4", 100, 1, 3, 30},
                         {"127.0.0.4", 100, 1, 4},  // the same device twice in a row
                         {"127.0.0.2", 200, 2, 5, 64},
                         {"127.0.0.4", 100, 1, 6}});
  EXPECT_EQ(Rows(discovery_.Discover("127.0.0.1")),
            (std::vector<std::string>{"127.0.0.4 02-03-04-05-06-03 QV-48R2 1.00",
                                      "127.0.0.2 02-03-04-05-06-05 QV-57R 2.00",
                                      "127.0.0.4 02-03-04-05-06-06 QV-48R2 1.00"}));
  EXPECT_EQ(discovery_.Entry(3).AddressText(), "");
}

TEST_F(DiscoveryTest, TwentyFirstDeviceIsIgnoredAndTheNextSearchStartsEmpty) {
  std::vector<Reply> replies;
  for (int i = 2; i <= 22; ++i)
    replies.push_back({"127.0.0." + std::to_string(i)});
  Responder responder(replies);
  const std::vector<std::string> rows = Rows(discovery_.Discover("127.0.0.1"));
  ASSERT_EQ(rows.size(), 20u);
  EXPECT_TRUE(rows[19].starts_with("127.0.0.21 "));
  EXPECT_EQ(discovery_.Discover("127.0.0.1"), 0);
  EXPECT_EQ(discovery_.Entry(0).AddressText(), "");
}

TEST_F(DiscoveryTest, UnusableLocalAddressStillWaitsAndFindsNothing) {
  // The empty address is that of an adapter without IPv4: it must not become any address.
  for (const std::string_view local : {"10.255.255.1", ""}) {
    const auto start = Clock::now();
    EXPECT_EQ(discovery_.Discover(local), 0);
    EXPECT_GE(Clock::now() - start, 400ms);
  }
}

TEST(DiscoveryWindow, SearchLastsFiveSecondsAndLeavesTheProcessorIdle) {
  DeviceDiscovery discovery;
  discovery.Startup("127.0.0.9");
  const std::clock_t cpuStart = std::clock();
  const auto start = Clock::now();
  EXPECT_EQ(discovery.Discover("127.0.0.1"), 0);
  const auto elapsed = Clock::now() - start;
  EXPECT_GE(elapsed, 5000ms);
  EXPECT_LT(elapsed, 6000ms);
  // The window is slept out, not polled: the search takes hardly any processor time.
  EXPECT_LT(static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC, 0.25);
}

}  // namespace
}  // namespace calbrin
