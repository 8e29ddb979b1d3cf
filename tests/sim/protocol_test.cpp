// The socket-free parts of a device: request framing, writes, passwords, replies, fault names.
#include <gtest/gtest.h>

#include "settings/password_scrambling.h"
#include "sim/device_protocol.h"
#include "sim/faults.h"

namespace calbrin::sim {
namespace {

TEST(SimProtocol, WriteIsIncompleteUntilTheSaveCommandStandsAsAKey) {
  const std::string block = "NEGOS\r\nSAVE\r\nMSS\r\n512\r\nENDR\r\n";
  for (std::size_t cut = 0; cut < block.size(); ++cut) {
    EXPECT_EQ(NextRequest(std::string_view(block).substr(0, cut)).kind, RequestKind::kIncomplete)
        << cut;
  }
  // "SAVE" as the value of NEGOS does not end the block.
  const Request request = NextRequest(block + "GETPARAM\r\n");
  EXPECT_EQ(request.kind, RequestKind::kWrite);
  EXPECT_EQ(request.length, block.size());
  EXPECT_EQ(request.save, SaveCommand::kSaveAndReset);
}

TEST(SimProtocol, OtherRequests) {
  EXPECT_EQ(NextRequest("GETPARAM\r\nrest").kind, RequestKind::kGetParam);
  EXPECT_EQ(NextRequest("GETPARAM\r\nrest").length, 10u);
  EXPECT_EQ(NextRequest("\r\nGETPARAM\r\n").kind, RequestKind::kBlankLine);
  EXPECT_EQ(NextRequest("P_SET\r\nabcdefghijkl\r\n").kind, RequestKind::kIncomplete);
  const Request set = NextRequest("P_SET\r\nabcdefghijkl\r\nENDR\r\n");
  EXPECT_EQ(set.kind, RequestKind::kPasswordSet);
  EXPECT_EQ(set.length, 27u);
  EXPECT_EQ(set.save, SaveCommand::kSaveAndReset);
  EXPECT_EQ(NextRequest("SAVE\n").kind, RequestKind::kWrite);
}

TEST(SimProtocol, ApplyWriteBlockSkipsModelAndUnknownKeysAndCutsLongValues) {
  SettingsRecord record = DefaultSettings("48", "127.0.0.2");
  EXPECT_EQ(ApplyWriteBlock("MODEL\r\n57\r\nXX\r\n1\r\nPORT1\r\n123456789\r\nHIP2\r\n\r\nSAVE\r\n",
                            record),
            2);
  EXPECT_EQ(ReadField(record, SettingKey::MODEL), "48");
  EXPECT_EQ(ReadField(record, SettingKey::PORT1), "1234567");
  EXPECT_EQ(ReadField(record, SettingKey::HIP2), "");
}

TEST(SimProtocol, ChannelPasswordRemovalIsStoredAsTheEmptyPassword) {
  SettingsRecord record = DefaultSettings("48", "127.0.0.2");
  const auto scrambled = [](std::string_view password) {
    ScrambledPassword out;
    ScramblePassword(password, kStoredPasswordShift, out);
    return std::string(out.Scrambled());
  };
  const std::string block =
      "PASS1\r\n" + scrambled("D E L") + "\r\nPASS2\r\n" + scrambled("keep") + "\r\nENDR\r\n";
  ASSERT_EQ(ApplyWriteBlock(block, record), 2);
  std::string password = "unchanged";
  EXPECT_EQ(ReadField(record, SettingKey::PASS1).size(), 10u);
  EXPECT_EQ(UnscramblePassword(ReadField(record, SettingKey::PASS1), password), 0);
  EXPECT_EQ(UnscramblePassword(ReadField(record, SettingKey::PASS2), password), 4);
  EXPECT_EQ(password, "keep");
}

TEST(SimProtocol, PasswordBlocks) {
  const auto block = [](std::string_view password) {
    ScrambledPassword scrambled;
    ScramblePassword(password, kStoredPasswordShift, scrambled);
    return "P_SET\r\n" + std::string(scrambled.Scrambled()) + "\r\nENDR\r\n";
  };
  std::string password;
  EXPECT_EQ(DecodePasswordBlock(block("abc"), password), PasswordChange::kSet);
  EXPECT_EQ(password, "abc");
  EXPECT_EQ(DecodePasswordBlock(block(std::string(32, 'z')), password), PasswordChange::kSet);
  EXPECT_EQ(password, std::string(32, 'z'));
  password = "unchanged";
  EXPECT_EQ(DecodePasswordBlock(block("D E L"), password), PasswordChange::kRemove);
  // A blank scrambles as '~' does, so a blank in any other password reads as '~'.
  EXPECT_EQ(DecodePasswordBlock(block("D E M"), password), PasswordChange::kSet);
  EXPECT_EQ(password, "D~E~M");
  password = "unchanged";
  EXPECT_EQ(DecodePasswordBlock(block(""), password), PasswordChange::kInvalid);
  EXPECT_EQ(DecodePasswordBlock("P_SET\r\nabcdefg hijklm\r\nENDR\r\n", password),
            PasswordChange::kInvalid);
  EXPECT_EQ(password, "unchanged");
}

TEST(SimProtocol, LoginNeedsTheRightScrambledPassword) {
  ScrambledPassword login;
  ScramblePassword("secret", kLoginShift, login);
  EXPECT_TRUE(LoginMatches(login.Scrambled(), "secret"));
  EXPECT_FALSE(LoginMatches(login.Scrambled(), "secreT"));
  EXPECT_FALSE(LoginMatches(login.Scrambled(), ""));
  ScramblePassword("secret", kStoredPasswordShift, login);
  EXPECT_FALSE(LoginMatches(login.Scrambled(), "secret"));
}

TEST(SimProtocol, DiscoveryReplyLayout) {
  const MacAddress mac{1, 2, 3, 4, 5, 6};
  const std::string reply = DiscoveryReply("57", 113, mac, Faults{});
  ASSERT_EQ(reply.size(), 32u);
  EXPECT_EQ(reply[4], 113);
  EXPECT_EQ(reply[6], 2);
  EXPECT_EQ(reply.substr(24, 6), std::string("\1\2\3\4\5\6"));
  EXPECT_EQ(DiscoveryReply("48", 0, mac, Faults{})[6], 1);
  EXPECT_EQ(DiscoveryReply("48", 0, mac, Faults{.unknownModelCode = true})[6], 3);
  EXPECT_EQ(DiscoveryReply("48", 0, mac, Faults{.shortReply = true}).size(), 20u);
}

TEST(SimProtocol, MacText) {
  MacAddress mac{};
  ASSERT_TRUE(ParseMac("0a:BB-cc-01-02-ff", mac));
  EXPECT_EQ(FormatMac(mac), "0A-BB-CC-01-02-FF");
  EXPECT_FALSE(ParseMac("0a-bb-cc-01-02", mac));
  EXPECT_FALSE(ParseMac("0a-bb-cc-01-02-fg", mac));
}

TEST(SimProtocol, OnlyLoopbackHostAddresses) {
  EXPECT_TRUE(IsLoopbackAddress("127.0.0.2"));
  EXPECT_TRUE(IsLoopbackAddress("127.200.1.9"));
  EXPECT_FALSE(IsLoopbackAddress("127.0.0.0"));
  EXPECT_FALSE(IsLoopbackAddress("127.255.255.255"));
  EXPECT_FALSE(IsLoopbackAddress("128.0.0.2"));
  EXPECT_FALSE(IsLoopbackAddress("192.0.2.1"));
  EXPECT_FALSE(IsLoopbackAddress("127.0.0"));
}

TEST(SimFaultNames, EveryNameSwitchesOneFaultAndDescribesItself) {
  for (std::string_view name : FaultNames()) {
    Faults faults;
    ASSERT_TRUE(SetFaultByName(name, faults)) << name;
    EXPECT_NE(faults, Faults{}) << name;
    EXPECT_EQ(DescribeFaults(faults).substr(0, name.size()), name);
  }
  Faults faults;
  EXPECT_TRUE(SetFaultByName("delay-ack:250", faults));
  EXPECT_EQ(faults.ackDelayMs, 250);
  EXPECT_EQ(DescribeFaults(faults), "delay-ack:250");
  EXPECT_FALSE(SetFaultByName("delay-ack:", faults));
  EXPECT_FALSE(SetFaultByName("delay-ack:x", faults));
  EXPECT_FALSE(SetFaultByName("no-such-fault", faults));
  EXPECT_EQ(faults.ackDelayMs, 250);
}

}  // namespace
}  // namespace calbrin::sim
