// Device discovery against scripted responders on loopback: what is listed, in which order, and
// what is dropped; the row texts; the collection window.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>
#include <vector>

#include "native_program.h"
#include "net/device_discovery.h"

namespace calbrin {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

struct Reply {
  std::string from;  // the loopback address the reply leaves from
  std::string bytes;
};

// A reply of `size` bytes with the given version byte, model code and MAC address.
std::string ReplyBytes(int version, int model, std::vector<int> mac = {2, 0, 0, 0x0A, 0x1B, 0xFF},
                       std::size_t size = 32) {
  std::string bytes(32, '\0');
  bytes[4] = static_cast<char>(version);
  bytes[6] = static_cast<char>(model);
  for (std::size_t i = 0; i < 6; ++i)
    bytes[24 + i] = static_cast<char>(mac[i]);
  bytes.resize(size, '\0');
  return bytes;
}

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string hex;
  for (unsigned char c : bytes) {
    hex += kDigits[c >> 4];
    hex += kDigits[c & 15];
  }
  return hex;
}

// Answers the first request on UDP port 30718 with the given replies, in order. The responder is
// a native helper process, so that each reply really leaves from its own loopback address.
class ScriptedResponders {
 public:
  explicit ScriptedResponders(const std::vector<Reply>& replies)
      : file_(test::NewSharedFile("responder")) {
    const std::string tool = test::NativeToolPath("udp_responder");
    EXPECT_FALSE(tool.empty()) << "CALBRIN_NATIVE_TOOLS is not set";
    std::vector<std::string> arguments{file_.nativePath};
    for (const Reply& reply : replies) {
      arguments.push_back(reply.from);
      arguments.push_back(Hex(reply.bytes));
    }
    EXPECT_TRUE(test::StartNativeProgram(tool, arguments)) << tool;
    EXPECT_TRUE(test::AwaitFile(file_.localPath, 0, 5s)) << "the responder did not start";
  }
  ~ScriptedResponders() { std::remove(file_.localPath.c_str()); }

  // The request that the responder received, once it has answered.
  std::string Request() const {
    if (!test::AwaitFile(file_.localPath, 2, 2s)) return "";
    std::ifstream file(file_.localPath, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(file), {});
  }

 private:
  test::SharedFile file_;
};

class DiscoveryTest : public ::testing::Test {
 protected:
  DiscoveryTest() : discovery_(400ms) { discovery_.Startup("127.0.0.9"); }

  std::vector<std::string> Addresses() const {
    std::vector<std::string> addresses;
    for (int i = 0; i < discovery_.ResultCount(); ++i) {
      addresses.emplace_back(discovery_.Entry(i).AddressText());
    }
    return addresses;
  }

  DeviceDiscovery discovery_;
};

TEST_F(DiscoveryTest, ProbeFindsTheLocalAddressOfTheRoute) {
  EXPECT_EQ(discovery_.LocalProbeAddress(), "127.0.0.1");
}

TEST_F(DiscoveryTest, NoDeviceFindsNothingAfterTheWholeWindow) {
  const auto start = Clock::now();
  EXPECT_EQ(discovery_.Discover("127.0.0.1"), 0);
  EXPECT_GE(Clock::now() - start, 400ms);
}

TEST_F(DiscoveryTest, OneDeviceGivesItsRowTexts) {
  ScriptedResponders responders({{"127.0.0.2", ReplyBytes(113, 1)}});
  ASSERT_EQ(discovery_.Discover("127.0.0.1"), 1);
  EXPECT_EQ(responders.Request(), "VQ");
  const DeviceEntry& entry = discovery_.Entry(0);
  EXPECT_EQ(entry.AddressText(), "127.0.0.2");
  EXPECT_EQ(entry.addressLength, 9);
  EXPECT_EQ(entry.MacText(), "02-00-00-0A-1B-FF");
  EXPECT_EQ(entry.ModelText(), "QV-48R2");
  EXPECT_EQ(entry.VersionText(), "1.13");
}

TEST_F(DiscoveryTest, DevicesAreListedInArrivalOrder) {
  ScriptedResponders responders(
      {{"127.0.0.3", ReplyBytes(5, 2)}, {"127.0.0.2", ReplyBytes(29, 1)}});
  ASSERT_EQ(discovery_.Discover("127.0.0.1"), 2);
  EXPECT_EQ(Addresses(), (std::vector<std::string>{"127.0.0.3", "127.0.0.2"}));
  EXPECT_EQ(discovery_.Entry(0).ModelText(), "QV-57R");
  EXPECT_EQ(discovery_.Entry(0).VersionText(), "0.05");
}

TEST_F(DiscoveryTest, AnyLocalAddressWhenNoAdapterIsSelected) {
  // The socket binds to 0.0.0.0. In this namespace, without a default route, the limited
  // broadcast from an unbound source has no way out, so the search finds nothing, but it runs
  // its whole window and fails no call it should not.
  const auto start = Clock::now();
  EXPECT_EQ(discovery_.Discover(""), 0);
  EXPECT_GE(Clock::now() - start, 400ms);
}

TEST_F(DiscoveryTest, SameDeviceTwiceInARowIsListedOnce) {
  ScriptedResponders responders({{"127.0.0.2", ReplyBytes(100, 1)},
                                 {"127.0.0.2", ReplyBytes(100, 1)},
                                 {"127.0.0.3", ReplyBytes(100, 1)},
                                 {"127.0.0.2", ReplyBytes(100, 1)}});
  ASSERT_EQ(discovery_.Discover("127.0.0.1"), 3);
  EXPECT_EQ(Addresses(), (std::vector<std::string>{"127.0.0.2", "127.0.0.3", "127.0.0.2"}));
}

TEST_F(DiscoveryTest, UnknownModelCodeLeavesNoTrace) {
  ScriptedResponders responders({{"127.0.0.2", ReplyBytes(100, 3, {1, 2, 3, 4, 5, 6})},
                                 {"127.0.0.3", ReplyBytes(200, 2, {6, 5, 4, 3, 2, 1})}});
  ASSERT_EQ(discovery_.Discover("127.0.0.1"), 1);
  EXPECT_EQ(discovery_.Entry(0).AddressText(), "127.0.0.3");
  EXPECT_EQ(discovery_.Entry(0).MacText(), "06-05-04-03-02-01");
  EXPECT_EQ(discovery_.Entry(0).VersionText(), "2.00");
  EXPECT_EQ(discovery_.Entry(1).AddressText(), "");
}

TEST_F(DiscoveryTest, ShortReplyIsDropped) {
  ScriptedResponders responders({{"127.0.0.2", ReplyBytes(100, 1, {1, 2, 3, 4, 5, 6}, 29)},
                                 {"127.0.0.3", ReplyBytes(100, 1, {1, 2, 3, 4, 5, 6}, 30)},
                                 {"127.0.0.2", ReplyBytes(100, 2, {1, 2, 3, 4, 5, 6}, 64)}});
  ASSERT_EQ(discovery_.Discover("127.0.0.1"), 2);
  EXPECT_EQ(Addresses(), (std::vector<std::string>{"127.0.0.3", "127.0.0.2"}));
  EXPECT_EQ(discovery_.Entry(0).MacText(), "01-02-03-04-05-06");
  EXPECT_EQ(discovery_.Entry(1).ModelText(), "QV-57R");
}

TEST_F(DiscoveryTest, TwentyFirstDeviceIsIgnored) {
  std::vector<Reply> replies;
  for (int i = 2; i <= 22; ++i)
    replies.push_back({"127.0.0." + std::to_string(i), ReplyBytes(i, 1)});
  ScriptedResponders responders(replies);
  ASSERT_EQ(discovery_.Discover("127.0.0.1"), DeviceDiscovery::kMaxEntries);
  EXPECT_EQ(discovery_.Entry(0).AddressText(), "127.0.0.2");
  EXPECT_EQ(discovery_.Entry(19).AddressText(), "127.0.0.21");
}

TEST_F(DiscoveryTest, NextSearchStartsEmpty) {
  {
    ScriptedResponders responders({{"127.0.0.2", ReplyBytes(100, 1)}});
    ASSERT_EQ(discovery_.Discover("127.0.0.1"), 1);
  }
  EXPECT_EQ(discovery_.Discover("127.0.0.1"), 0);
  EXPECT_EQ(discovery_.Entry(0).AddressText(), "");
}

TEST_F(DiscoveryTest, UnusableLocalAddressStillWaitsAndFindsNothing) {
  const auto start = Clock::now();
  EXPECT_EQ(discovery_.Discover("10.255.255.1"), 0);
  EXPECT_GE(Clock::now() - start, 400ms);
}

TEST(DeviceEntryTexts, VersionAndModel) {
  DeviceEntry entry;
  const std::pair<int, const char*> versions[] = {{29, "0.29"}, {113, "1.13"}, {200, "2.00"},
                                                  {5, "0.05"},  {255, "2.55"}, {0, "0.00"}};
  for (const auto& [byte, text] : versions) {
    entry.reply[4] = static_cast<std::uint8_t>(byte);
    EXPECT_EQ(entry.VersionText(), text);
  }
  entry.reply[6] = 2;
  EXPECT_EQ(entry.ModelText(), "QV-57R");
  entry.reply[6] = 1;
  EXPECT_EQ(entry.ModelText(), "QV-48R2");
}

TEST(DiscoveryWindow, SearchLastsFiveSecondsAndLeavesTheProcessorIdle) {
  DeviceDiscovery discovery;
  discovery.Startup("127.0.0.9");
  const std::clock_t cpuStart = std::clock();
  const auto start = Clock::now();
  EXPECT_EQ(discovery.Discover("127.0.0.1"), 0);
  const auto elapsed = Clock::now() - start;
  const double cpuSeconds = static_cast<double>(std::clock() - cpuStart) / CLOCKS_PER_SEC;
  EXPECT_GE(elapsed, 5000ms);
  EXPECT_LT(elapsed, 6000ms);
#ifndef _WIN32  // std::clock counts processor time here; on Windows it counts wall time
  EXPECT_LT(cpuSeconds, 0.25);
#else
  (void)cpuSeconds;
#endif
}

}  // namespace
}  // namespace calbrin
