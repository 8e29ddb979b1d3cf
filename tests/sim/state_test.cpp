// The state file: what it keeps, how it is read back, and that it is only ever replaced whole.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <thread>

#include "settings/password_scrambling.h"
#include "tests/sim/sim_test_support.h"

namespace calbrin::sim::test {
namespace {

using SimStateTest = SimTest;

DeviceState OddState() {
  DeviceState state;
  state.address = "127.9.9.9";
  state.firmwareVersion = 201;
  state.mac = {0xAB, 0xCD, 0xEF, 0x01, 0x23, 0x45};
  state.settings = DefaultSettings("57", state.address);
  state.password = "p%ss~!";
  // Blanks, a percent sign, a lone CR and 8-bit bytes must all come back as they were.
  SetField(state.settings, SettingKey::HIP1, " a b ");
  SetField(state.settings, SettingKey::PASS2, "%41\r\x80\xff");
  ClearField(state.settings, Index(SettingKey::GWAY));
  return state;
}

TEST_F(SimStateTest, FormatAndParseRoundTrip) {
  const std::vector<DeviceState> states{OddState(), OddState()};
  std::vector<DeviceState> parsed;
  std::string error;
  const std::string text = FormatState(states);
  ASSERT_TRUE(ParseState(text, parsed, error)) << error;
  EXPECT_EQ(parsed, states);
  // Every line but the header is one name and at most one value.
  EXPECT_EQ(text.find("  "), std::string::npos);
  EXPECT_NE(text.find("\nHIP1 %20a%20b%20\n"), std::string::npos);
  EXPECT_NE(text.find("\nGWAY\n"), std::string::npos);
}

TEST_F(SimStateTest, MalformedTextIsRefusedAndChangesNothing) {
  const std::vector<DeviceState> before{OddState()};
  const std::string good = FormatState(before);
  const std::string broken[] = {
      good.substr(0, good.size() - 4),                 // cut inside the last line
      good.substr(0, good.find("\nIP ")),              // a device block without its end
      "qvsim-state 2\n",                               // another format
      "qvsim-state 1\ndevice\nNOSUCH 1\nend\n",        // an unknown name
      "qvsim-state 1\ndevice\nPORT1 12345678\nend\n",  // a value past its field
      "qvsim-state 1\ndevice\nIP %4\nend\n",           // half an escape
  };
  for (const std::string& text : broken) {
    std::vector<DeviceState> states = before;
    std::string error;
    EXPECT_FALSE(ParseState(text, states, error)) << text;
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(states, before);
  }
}

TEST_F(SimStateTest, WritesAndPasswordSurviveARestart) {
  const std::string path = TempFile("state.txt");
  {
    Simulator simulator(Options(path));
    DeviceConfig first = Device(2, "48");
    first.firmwareVersion = 150;
    simulator.AddDevice(first);
    simulator.AddDevice(Device(3, "57"));
    CALBRIN_START(simulator);
    ConsoleClient client;
    ASSERT_EQ(client.Connect(Address(3)), 0);
    ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
    ASSERT_TRUE(client.Send("PORT2\r\n777\r\nHIP1\r\n127.1.2.3\r\nSAVE\r\n"));
    ASSERT_EQ(client.ReadUntil("\r\n"), kSaveAck);
    ScrambledPassword scrambled;
    ScramblePassword("kept", kStoredPasswordShift, scrambled);
    ASSERT_TRUE(client.Send("P_SET\r\n" + std::string(scrambled.Scrambled()) + "\r\nENDR\r\n"));
    ASSERT_EQ(client.ReadUntil("\r\n"), kSaveAndResetAck);
    ASSERT_TRUE(client.WaitClosed());
    simulator.Stop();
  }
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

  // The file's devices take the place of whatever is configured now; faults stay per position.
  Simulator restarted(Options(path));
  DeviceConfig other = Device(5, "48");
  other.faults.refusePassword = true;
  restarted.AddDevice(other);
  CALBRIN_START(restarted);
  ASSERT_EQ(restarted.DeviceCount(), 2);
  EXPECT_EQ(restarted.Address(0), Address(2));
  EXPECT_EQ(restarted.State(0).firmwareVersion, 150);
  EXPECT_EQ(restarted.State(0).mac, Mac(2));
  EXPECT_TRUE(restarted.GetFaults(0).refusePassword);
  EXPECT_EQ(restarted.Address(1), Address(3));
  EXPECT_EQ(restarted.Model(1), "57");
  EXPECT_EQ(restarted.Password(1), "kept");
  EXPECT_EQ(ReadField(restarted.Settings(1), SettingKey::PORT2), "777");
  EXPECT_EQ(ReadField(restarted.Settings(1), SettingKey::HIP1), "127.1.2.3");
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(3)), 0);
  EXPECT_EQ(client.ReadUntil("?\r\n"), kPasswordPrompt);
}

TEST_F(SimStateTest, MalformedStateFileStopsTheStart) {
  const std::string path = TempFile("bad-state.txt");
  std::string error;
  ASSERT_TRUE(ReplaceFileAtomically(path, "qvsim-state 1\ndevice\naddress 10.0.0.1\n", error));
  Simulator simulator(Options(path));
  simulator.AddDevice(Device(2));
  EXPECT_FALSE(simulator.Start(error));
  EXPECT_NE(error.find("end"), std::string::npos) << error;
  EXPECT_FALSE(simulator.Running());
}

TEST_F(SimStateTest, AddressesOutsideLoopbackAreRefused) {
  Simulator simulator(Options());
  DeviceConfig outside = Device(2);
  outside.address = "192.0.2.1";
  simulator.AddDevice(outside);
  std::string error;
  EXPECT_FALSE(simulator.Start(error));
  EXPECT_NE(error.find("127.0.0.0/8"), std::string::npos) << error;
}

TEST_F(SimStateTest, ReadersNeverSeeAHalfWrittenFile) {
  const std::string path = TempFile("busy-state.txt");
  Simulator simulator(Options(path));
  for (int host = 2; host < 10; ++host)
    simulator.AddDevice(Device(host, "57"));
  CALBRIN_START(simulator);

  std::atomic<bool> done{false};
  std::atomic<int> reads{0};
  std::atomic<int> torn{0};
  std::thread reader([&] {
    while (!done) {
      std::string text;
      std::vector<DeviceState> states;
      std::string error;
      // A file that cannot be opened at the instant of the rename is no torn file.
      if (!ReadWholeFile(path, text)) continue;
      ++reads;
      if (!ParseState(text, states, error) || states.size() != 8) ++torn;
    }
  });
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(5)), 0);
  ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
  for (int i = 0; i < 40; ++i) {
    ASSERT_TRUE(client.Send("PORT1\r\n" + std::to_string(20000 + i) + "\r\nSAVE\r\n"));
    ASSERT_EQ(client.ReadUntil("\r\n"), kSaveAck);
  }
  done = true;
  reader.join();
  EXPECT_GT(reads.load(), 0);
  EXPECT_EQ(torn.load(), 0);
  EXPECT_TRUE(simulator.LastProblem().empty()) << simulator.LastProblem();
  std::string text;
  std::vector<DeviceState> states;
  std::string error;
  ASSERT_TRUE(ReadWholeFile(path, text));
  ASSERT_TRUE(ParseState(text, states, error)) << error;
  EXPECT_EQ(ReadField(states.at(3).settings, SettingKey::PORT1), "20039");
  EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));
}

}  // namespace
}  // namespace calbrin::sim::test
