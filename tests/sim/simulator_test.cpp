// What the simulated device does that the tool's own tests never reach: how it reads a write
// block, its discovery faults, the addresses and MACs of a large run, the state file that
// carries it across a restart, and where a site's device moves.
#include <gtest/gtest.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>
#include <vector>

#include "net/console_connection.h"
#include "sim/password_codec.h"
#include "sim/simulator.h"

namespace calbrin::sim {
namespace {

TEST(SimulatorDevice, ReadsWriteBlocksInItsOwnKeyOrder) {
  const std::string removal = Scramble("D E L", kStoredPasswordShift);
  const struct {
    std::string block;
    int stored;
    std::string_view key, value;
  } cases[] = {
      {"MSS\r\n1000\r\nENDR\r\n", 1, "MSS", "1000"},
      {"MODEL\r\n57\r\nNOSUCH\r\n1\r\nSAVE\r\n", 0, "MODEL", "48"},
      {"PORT1\r\n12345678\r\nSAVE\r\n", 1, "PORT1", "1234567"},
      {"MSS\r\n1000\r\nIP\r\n127.0.0.9\r\nSAVE\r\n", -1, "MSS", "1460"},
      {"PASS1\r\n" + removal + "\r\nSAVE\r\n", 1, "PASS1", ""},
  };
  for (const auto& c : cases) {
    DeviceSettings settings = DefaultSettings("48", "127.0.0.2");
    settings.Set("PASS1", Scramble("old", kStoredPasswordShift));
    EXPECT_EQ(NextRequest(c.block).length, c.block.size()) << c.block;
    EXPECT_EQ(ApplyWriteBlock(c.block, settings), c.stored) << c.block;
    const std::string_view stored = settings.Get(c.key);
    EXPECT_EQ(c.key == "PASS1" ? *Unscramble(stored, kStoredPasswordShift) : stored, c.value);
  }
  // Lines end in CR LF, and a save command counts only where a key would stand.
  EXPECT_EQ(NextRequest("GETPARAM\n").kind, RequestKind::kIncomplete);
  EXPECT_EQ(NextRequest("MSS\r\nSAVE\r\n").kind, RequestKind::kIncomplete);
}

TEST(SimulatorDevice, DiscoveryFaults) {
  const MacAddress mac{1, 2, 3, 4, 5, 6};
  EXPECT_EQ(DiscoveryReply("57", 100, mac, {.unknownModelCode = true})[6], 3);
  EXPECT_EQ(DiscoveryReply("57", 100, mac, {.shortReply = true}).size(), 20u);
}

TEST(SimulatorDevices, TheLargestRunGivesEveryDeviceItsOwnAddressAndMac) {
  const std::vector<DeviceConfig> configs(65534);  // qvsim's largest --count
  const std::vector<DeviceIdentity> identities = StartingIdentities(configs);
  std::set<std::string> addresses;
  std::set<MacAddress> macs;
  for (const DeviceIdentity& identity : identities) {
    if (IsLoopbackAddress(identity.address)) addresses.insert(identity.address);
    macs.insert(identity.mac);
  }
  EXPECT_EQ(addresses.size(), configs.size());
  EXPECT_EQ(macs.size(), configs.size());
  EXPECT_EQ(identities.back().address, "127.0.255.255");
  EXPECT_EQ(FormatMac(identities[0].mac), "02-00-00-00-00-01");
  EXPECT_EQ(FormatMac(identities[254].mac), "02-00-00-00-00-FF");
}

TEST(SimulatorState, WritesAndPasswordSurviveARestart) {
  const std::string path =
      ::testing::TempDir() + "sim-state-" + std::to_string(std::random_device{}());
  {
    Simulator simulator({.stateFile = path});
    simulator.AddDevice({.model = "48", .firmwareVersion = 150});
    simulator.AddDevice({.model = "57"});
    std::string error;
    ASSERT_TRUE(simulator.Start(error)) << error;
    ConsoleConnection console;
    console.Startup();
    ASSERT_EQ(console.OpenAndAwaitPrompt("127.0.0.3", "127.0.0.1"), console::kReplySeen);
    const std::string write = "HIP1\r\n127.1.2.3\r\nPORT2\r\n777\r\nSAVE\r\n";
    EXPECT_EQ(console.SendAndAwait(ConsoleReply::kSaveAck, write.data(), int(write.size())), 1);
    const std::string block = "P_SET\r\n" + Scramble("kept", kStoredPasswordShift) + "\r\nENDR\r\n";
    EXPECT_EQ(console.SendAndAwait(ConsoleReply::kFinalAck, block.data(), int(block.size())), 1);
    console.Shutdown();
  }
  // The file's devices take the place of the configured ones; faults stay by position.
  Simulator restarted({.stateFile = path});
  restarted.AddDevice({.address = "127.0.0.7", .faults = {.refusePassword = true}});
  std::string error;
  ASSERT_TRUE(restarted.Start(error)) << error;
  ASSERT_EQ(restarted.DeviceCount(), 2);
  EXPECT_EQ(restarted.State(0).firmwareVersion, 150);
  EXPECT_TRUE(restarted.GetFaults(0).refusePassword);
  EXPECT_EQ(restarted.Address(1), "127.0.0.3");
  EXPECT_EQ(restarted.Model(1), "57");
  EXPECT_EQ(restarted.Password(1), "kept");
  EXPECT_EQ(restarted.Settings(1).Get("PORT2"), "777");
  EXPECT_EQ(restarted.Settings(1).Get("HIP1"), "127.1.2.3");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
  std::filesystem::remove(path);
}

TEST(SimulatorSite, AResetMovesTheDeviceOnlyWithinTheDocumentationNets) {
  std::vector<LinkAddress> moves;
  const LinkMover record = [&moves](const LinkAddress&, const LinkAddress& to) {
    moves.push_back(to);
    return std::string();
  };
  Simulator loopback({.moveLink = record});
  loopback.AddDevice({});
  std::string error;
  EXPECT_FALSE(loopback.Start(error));
  Simulator site({.moveLink = record});
  site.AddDevice({.address = "192.0.2.254", .subnetMask = "255.255.255.0", .gateway = "192.0.2.1"});
  ASSERT_TRUE(site.Start(error)) << error;
  ConsoleConnection console;
  console.Startup();
  // Its console listens on every address, so 127.0.0.1 reaches it where 192.0.2.254 is not.
  for (const std::string pair : {"IP\r\n192.0.2.60", "GWAY\r\n192.0.2.9", "SUBM\r\n255.255.0.0",
                                 "SUBM\r\n255.255.255.128", "IP\r\n127.0.0.9"}) {
    ASSERT_EQ(console.OpenAndAwaitPrompt("127.0.0.1", "127.0.0.1"), console::kReplySeen);
    const std::string block = pair + "\r\nENDR\r\n";
    EXPECT_EQ(console.SendAndAwait(ConsoleReply::kFinalAck, block.data(), int(block.size())), 1);
    console.Close();
  }
  console.Shutdown();
  site.Stop();
  const std::vector<LinkAddress> expected = {{"192.0.2.60", 24, "192.0.2.1"},
                                             {"192.0.2.60", 24, "192.0.2.9"},
                                             {"192.0.2.60", 25, "192.0.2.9"}};
  EXPECT_EQ(moves, expected);
  EXPECT_EQ(site.Address(0), "192.0.2.60");
}

}  // namespace
}  // namespace calbrin::sim
