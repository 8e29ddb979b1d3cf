// Discovery: one broadcast request, one 32-byte reply from each device to the requester.
//
// Under Wine 8 a UDP socket bound to a loopback address other than 127.0.0.1 is bound to 0.0.0.0
// underneath (the server finds no adapter with that address and widens the bind), so a reply of
// the simulator built for Windows leaves from 127.0.0.1. The tests then expect that source, and
// tell the replies apart by MAC, which they do anyway, as other test programs may answer too.
#include <gtest/gtest.h>

#include <map>

#include "tests/sim/sim_test_support.h"

namespace calbrin::sim::test {
namespace {

std::string MacBytes(const MacAddress& mac) {
  return std::string(mac.begin(), mac.end());
}

class SimDiscoveryTest : public SimTest {
 protected:
  // The replies to one request that carry a MAC of this process, keyed by MAC, in arrival order.
  std::map<std::string, std::vector<Datagram>> Discover(std::uint16_t port, int ms = 300) {
    std::map<std::string, std::vector<Datagram>> replies;
    DiscoveryClient client;
    EXPECT_TRUE(client.Ready());
    EXPECT_EQ(client.Broadcast(port), 0);
    for (Datagram& reply : client.Collect(ms)) {
      const std::string mac = ReplyMac(reply);
      if (mac.size() == 6 && mac.substr(0, 5) == MacBytes(Mac(0)).substr(0, 5)) {
        replies[mac].push_back(std::move(reply));
      }
    }
    return replies;
  }

  // Where replies of the device on `address` come from on this platform.
  std::string ExpectedSource(const std::string& address) {
    if (!sourceKnown_) {
      sourceKept_ = DatagramsLeaveFromBoundAddress(Address(250));
      sourceKnown_ = true;
      if (!sourceKept_) {
        std::cout << "note: UDP binds to 127.x addresses are widened to 0.0.0.0 here; replies "
                     "come from 127.0.0.1\n";
      }
    }
    return sourceKept_ ? address : std::string("127.0.0.1");
  }

  bool sourceKnown_ = false;
  bool sourceKept_ = false;
};

TEST_F(SimDiscoveryTest, EveryDeviceRepliesOnceWithItsModelVersionAndMac) {
  Simulator simulator(Options());
  DeviceConfig first = Device(2, "48");
  first.firmwareVersion = 113;
  DeviceConfig second = Device(3, "57");
  second.firmwareVersion = 255;
  DeviceConfig third = Device(4, "48", "secret");
  third.firmwareVersion = 7;
  simulator.AddDevice(first);
  simulator.AddDevice(second);
  simulator.AddDevice(third);
  CALBRIN_START(simulator);

  const auto replies = Discover(discoveryPort_);
  ASSERT_EQ(replies.size(), 3u);
  const struct {
    int host;
    int version;
    char modelCode;
  } expected[] = {{2, 113, 1}, {3, 255, 2}, {4, 7, 1}};
  for (const auto& device : expected) {
    SCOPED_TRACE(device.host);
    const auto found = replies.find(MacBytes(Mac(static_cast<std::uint8_t>(device.host))));
    ASSERT_NE(found, replies.end());
    ASSERT_EQ(found->second.size(), 1u);
    const Datagram& reply = found->second.front();
    ASSERT_EQ(reply.bytes.size(), kDiscoveryReplyBytes);
    EXPECT_EQ(static_cast<unsigned char>(reply.bytes[kReplyVersionOffset]), device.version);
    EXPECT_EQ(reply.bytes[kReplyModelOffset], device.modelCode);
    EXPECT_EQ(reply.source, ExpectedSource(Address(device.host)));
  }
  EXPECT_EQ(simulator.DiscoveryRequests(), 1);
}

TEST_F(SimDiscoveryTest, AnswersOnPort30718ByDefault) {
  Simulator::Options options;
  Simulator simulator(options);
  simulator.AddDevice(Device(2, "57"));
  CALBRIN_START(simulator);
  const auto replies = Discover(kDiscoveryPort);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies.begin()->first, MacBytes(Mac(2)));
  EXPECT_EQ(replies.begin()->second.size(), 1u);
}

TEST_F(SimDiscoveryTest, OtherDatagramsGetNoReply) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2));
  CALBRIN_START(simulator);
  DiscoveryClient client;
  ASSERT_TRUE(client.Ready());
  ASSERT_EQ(client.Broadcast(discoveryPort_, "VQX"), 0);
  ASSERT_EQ(client.Broadcast(discoveryPort_, "QV"), 0);
  ASSERT_EQ(client.Broadcast(discoveryPort_, "V"), 0);
  EXPECT_TRUE(client.Collect(250).empty());
  EXPECT_EQ(simulator.DiscoveryRequests(), 0);
}

TEST_F(SimDiscoveryTest, DoubleReplyFaultAnswersTwiceAndOnlyForThatDevice) {
  Simulator simulator(Options());
  DeviceConfig twice = Device(2, "48");
  twice.faults.doubleReply = true;
  simulator.AddDevice(twice);
  simulator.AddDevice(Device(3, "57"));
  CALBRIN_START(simulator);
  const auto replies = Discover(discoveryPort_);
  ASSERT_EQ(replies.size(), 2u);
  ASSERT_EQ(replies.at(MacBytes(Mac(2))).size(), 2u);
  EXPECT_EQ(replies.at(MacBytes(Mac(2)))[0].bytes, replies.at(MacBytes(Mac(2)))[1].bytes);
  EXPECT_EQ(replies.at(MacBytes(Mac(3))).size(), 1u);
}

TEST_F(SimDiscoveryTest, ModelCodeThreeFault) {
  Simulator simulator(Options());
  DeviceConfig odd = Device(2, "57");
  odd.faults.unknownModelCode = true;
  simulator.AddDevice(odd);
  CALBRIN_START(simulator);
  const auto replies = Discover(discoveryPort_);
  ASSERT_EQ(replies.size(), 1u);
  const Datagram& reply = replies.begin()->second.front();
  ASSERT_EQ(reply.bytes.size(), kDiscoveryReplyBytes);
  EXPECT_EQ(reply.bytes[kReplyModelOffset], 3);
}

TEST_F(SimDiscoveryTest, ShortReplyFaultSendsTwentyBytes) {
  Simulator simulator(Options());
  DeviceConfig device = Device(2, "48");
  device.firmwareVersion = 142;
  device.faults.shortReply = true;
  simulator.AddDevice(device);
  CALBRIN_START(simulator);
  DiscoveryClient client;
  ASSERT_TRUE(client.Ready());
  ASSERT_EQ(client.Broadcast(discoveryPort_), 0);
  // A short reply has no MAC to sort it by; this process's random port keeps others away.
  const std::vector<Datagram> replies = client.Collect(300);
  ASSERT_EQ(replies.size(), 1u);
  EXPECT_EQ(replies[0].bytes.size(), kShortDiscoveryReplyBytes);
  EXPECT_EQ(static_cast<unsigned char>(replies[0].bytes[kReplyVersionOffset]), 142);
  EXPECT_EQ(replies[0].source, ExpectedSource(Address(2)));
}

TEST_F(SimDiscoveryTest, MovedDeviceRepliesFromItsNewAddress) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "48"));
  CALBRIN_START(simulator);
  {
    ConsoleClient console;
    ASSERT_EQ(console.Connect(Address(2)), 0);
    ASSERT_EQ(console.ReadUntil(">\r\n"), kCommandPrompt);
    ASSERT_TRUE(console.Send("IP\r\n" + Address(77) + "\r\nENDR\r\n"));
    ASSERT_EQ(console.ReadUntil("\r\n"), kSaveAndResetAck);
    ASSERT_TRUE(console.WaitClosed());
  }
  ASSERT_EQ(simulator.Address(0), Address(77));
  const auto replies = Discover(discoveryPort_);
  ASSERT_EQ(replies.size(), 1u);
  ASSERT_EQ(replies.begin()->second.size(), 1u);
  EXPECT_EQ(replies.begin()->second.front().source, ExpectedSource(Address(77)));
}

}  // namespace
}  // namespace calbrin::sim::test
