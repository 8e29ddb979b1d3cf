// Each fault of a simulated device, as the tool meets it on the wire.
#include <gtest/gtest.h>

#include <chrono>

#include "settings/password_scrambling.h"
#include "settings/settings_text.h"
#include "tests/sim/sim_test_support.h"

namespace calbrin::sim::test {
namespace {

using Clock = std::chrono::steady_clock;

class SimFaultTest : public SimTest {
 protected:
  // Starts one device with `faults` and connects to it; the prompt is left unread.
  void StartWith(const Faults& faults, std::string password = {}) {
    DeviceConfig config = Device(2, "48", std::move(password));
    config.faults = faults;
    simulator_.AddDevice(config);
    CALBRIN_START(simulator_);
    ASSERT_EQ(client_.Connect(Address(2)), 0);
  }

  // Connects, reads the prompt and asks for the settings; returns what arrives within `ms`.
  std::string GetParam(int ms = 300) {
    EXPECT_EQ(client_.ReadUntil(">\r\n"), kCommandPrompt);
    EXPECT_TRUE(client_.Send("GETPARAM\r\n"));
    return client_.ReadFor(ms);
  }

  Simulator simulator_{Options()};
  ConsoleClient client_;
};

TEST_F(SimFaultTest, SilentDeviceSendsNothingAndKeepsTheConnection) {
  StartWith(Faults{.silentAfterConnect = true});
  EXPECT_EQ(client_.ReadFor(300), "");
  ASSERT_TRUE(client_.Send("GETPARAM\r\n"));
  EXPECT_EQ(client_.ReadFor(200), "");
  EXPECT_FALSE(client_.PeerClosed());
}

TEST_F(SimFaultTest, CloseAfterPromptClosesRightAfterThePrompt) {
  StartWith(Faults{.closeAfterPrompt = true}, "secret");
  EXPECT_EQ(client_.ReadUntil("?\r\n"), kPasswordPrompt);
  EXPECT_TRUE(client_.WaitClosed(500));
}

TEST_F(SimFaultTest, RefusedPasswordPromptsAgain) {
  StartWith(Faults{.refusePassword = true}, "secret");
  ASSERT_EQ(client_.ReadUntil("?\r\n"), kPasswordPrompt);
  ScrambledPassword login;
  ScramblePassword("secret", kLoginShift, login);
  ASSERT_TRUE(client_.Send(std::string(login.Scrambled()) + "\n"));
  EXPECT_EQ(client_.ReadUntil("?\r\n"), kPasswordPrompt);
  // Switched off within the connection, the same password opens it.
  simulator_.SetFaults(0, Faults{});
  ASSERT_TRUE(client_.Send(std::string(login.Scrambled()) + "\n"));
  EXPECT_EQ(client_.ReadUntil(">\r\n"), kLoginAccepted);
}

TEST_F(SimFaultTest, LongValueStopsTheParserAtPort1) {
  StartWith(Faults{.longValue = true});
  const std::string answer = GetParam();
  EXPECT_TRUE(answer.ends_with(kEndMarker));
  EXPECT_NE(answer.find("\r\nPORT1\r\n12345678\r\n"), std::string::npos);
  SettingsRecord parsed;
  EXPECT_EQ(ParseSettings(answer, parsed), Index(SettingKey::PORT1));
}

TEST_F(SimFaultTest, OversizedAnswerPassesFourKilobytesAndStillEndsInTheMarker) {
  StartWith(Faults{.oversizedAnswer = true});
  const std::string answer = GetParam();
  EXPECT_GT(answer.size(), 4096u);
  EXPECT_TRUE(answer.ends_with(kEndMarker));
  EXPECT_EQ(answer.find("\r\n\r\nEND"), std::string::npos);
  SettingsRecord parsed;
  EXPECT_EQ(ParseSettings(answer, parsed), kSettingKeyCount);
  EXPECT_EQ(parsed, simulator_.Settings(0));
}

TEST_F(SimFaultTest, AnswerWithoutEndMarkerLeavesTheConnectionOpen) {
  StartWith(Faults{.noEndMarker = true});
  const std::string answer = GetParam();
  EXPECT_EQ(answer.find("END"), std::string::npos);
  EXPECT_TRUE(answer.ends_with("\r\nPTRAL2\r\n0\r\n"));
  EXPECT_FALSE(client_.PeerClosed());
  SettingsRecord parsed;
  EXPECT_EQ(ParseSettings(answer, parsed), kSettingKeyCount);
}

TEST_F(SimFaultTest, FaultsSwitchWithinOneConnection) {
  StartWith(Faults{});
  EXPECT_TRUE(GetParam(200).ends_with(kEndMarker));
  simulator_.SetFaults(0, Faults{.noEndMarker = true});
  ASSERT_TRUE(client_.Send("GETPARAM\r\n"));
  EXPECT_FALSE(client_.ReadFor(200).ends_with(kEndMarker));
  simulator_.SetFaults(0, Faults{});
  ASSERT_TRUE(client_.Send("GETPARAM\r\n"));
  EXPECT_TRUE(client_.ReadUntil(kEndMarker).ends_with(kEndMarker));
}

TEST_F(SimFaultTest, DelayedAcknowledgementComesLate) {
  StartWith(Faults{.ackDelayMs = 400});
  ASSERT_EQ(client_.ReadUntil(">\r\n"), kCommandPrompt);
  const auto start = Clock::now();
  ASSERT_TRUE(client_.Send("NEGOS\r\n2\r\nSAVE\r\n"));
  EXPECT_EQ(client_.ReadFor(250), "");
  EXPECT_EQ(client_.ReadUntil("\r\n", 1000), kSaveAck);
  EXPECT_GE(Clock::now() - start, std::chrono::milliseconds(400));
  // Stored before the answer was held back.
  EXPECT_EQ(ReadField(simulator_.Settings(0), SettingKey::NEGOS), "2");
}

TEST_F(SimFaultTest, NeverAcknowledgedWriteIsNeitherStoredNorAnswered) {
  StartWith(Faults{.neverAck = true});
  const SettingsRecord before = simulator_.Settings(0);
  ASSERT_EQ(client_.ReadUntil(">\r\n"), kCommandPrompt);
  const std::string block = "NEGOS\r\n2\r\nENDR\r\n";
  ASSERT_TRUE(client_.Send(block));
  EXPECT_EQ(client_.ReadFor(400), "");
  EXPECT_FALSE(client_.PeerClosed());
  EXPECT_EQ(simulator_.LastWriteBlock(0), block);
  EXPECT_EQ(simulator_.Settings(0), before);
}

TEST_F(SimFaultTest, NeverAcknowledgedPasswordIsNotTaken) {
  StartWith(Faults{.neverAck = true});
  ASSERT_EQ(client_.ReadUntil(">\r\n"), kCommandPrompt);
  ScrambledPassword scrambled;
  ScramblePassword("secret", kStoredPasswordShift, scrambled);
  ASSERT_TRUE(client_.Send("P_SET\r\n" + std::string(scrambled.Scrambled()) + "\r\nENDR\r\n"));
  EXPECT_EQ(client_.ReadFor(300), "");
  EXPECT_FALSE(client_.PeerClosed());
  EXPECT_EQ(simulator_.Password(0), "");
}

TEST_F(SimFaultTest, CloseAfterSettingsHangsUpAfterTheAnswer) {
  StartWith(Faults{.closeAfterSettings = true});
  ASSERT_EQ(client_.ReadUntil(">\r\n"), kCommandPrompt);
  ASSERT_TRUE(client_.Send("GETPARAM\r\n"));
  EXPECT_TRUE(client_.ReadUntil("\r\nEND\r\n", 1000).ends_with("\r\nEND\r\n"));
  EXPECT_EQ(client_.ReadFor(300), "");
  EXPECT_TRUE(client_.PeerClosed());
}

TEST_F(SimFaultTest, PasswordOnlyFaultsLetTheSettingsWriteThrough) {
  StartWith(Faults{.neverAck = true, .passwordBlockOnly = true});
  ASSERT_EQ(client_.ReadUntil(">\r\n"), kCommandPrompt);
  ASSERT_TRUE(client_.Send("NEGOS\r\n2\r\nSAVE\r\n"));
  EXPECT_EQ(client_.ReadUntil("\r\n", 1000), kSaveAck);
  EXPECT_EQ(ReadField(simulator_.Settings(0), SettingKey::NEGOS), "2");
  ScrambledPassword scrambled;
  ScramblePassword("secret", kStoredPasswordShift, scrambled);
  ASSERT_TRUE(client_.Send("P_SET\r\n" + std::string(scrambled.Scrambled()) + "\r\nENDR\r\n"));
  EXPECT_EQ(client_.ReadFor(300), "");
  EXPECT_EQ(simulator_.Password(0), "");
}

}  // namespace
}  // namespace calbrin::sim::test
