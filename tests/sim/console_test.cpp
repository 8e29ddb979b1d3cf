// The console of a simulated device, driven byte by byte over TCP as the tool drives it.
#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <thread>

#include "settings/password_scrambling.h"
#include "settings/settings_text.h"
#include "tests/sim/sim_test_support.h"

namespace calbrin::sim::test {
namespace {

std::string LoginLine(std::string_view password) {
  ScrambledPassword scrambled;
  ScramblePassword(password, kLoginShift, scrambled);
  return std::string(scrambled.Scrambled()) + "\n";
}

std::string PasswordSetBlock(std::string_view password) {
  ScrambledPassword scrambled;
  ScramblePassword(password, kStoredPasswordShift, scrambled);
  return "P_SET\r\n" + std::string(scrambled.Scrambled()) + "\r\nENDR\r\n";
}

// What GETPARAM must bring for `settings`: the file text without its last CR LF, then the marker.
std::string ExpectedAnswer(const SettingsRecord& settings) {
  SettingsText text;
  SerializeSettings(settings, true, false, text);
  std::string answer(text.View());
  answer.resize(answer.size() - 2);
  return answer + "\r\nEND\r\n";
}

// A record unlike the defaults in every field the tool writes, from a key-safe alphabet. Its IP is
// a documentation address, which the device stores without moving there.
SettingsRecord EditedRecord(std::string_view model) {
  static constexpr std::string_view kAlphabet = "0123456789abcdefghijklmnopqrstuvwxyz.-_";
  std::mt19937 generator(7);
  SettingsRecord record;
  for (int i = 0; i < kSettingKeyCount; ++i) {
    std::string value(std::uniform_int_distribution<std::size_t>(1, FieldWidth(i))(generator), ' ');
    for (char& c : value) {
      c = kAlphabet[std::uniform_int_distribution<std::size_t>(0, kAlphabet.size() - 1)(generator)];
    }
    SetField(record, i, value);
  }
  SetField(record, SettingKey::MODEL, model);
  SetField(record, SettingKey::IP, "192.0.2.10");
  return record;
}

int CountPairs(std::string_view text) {
  int lines = 0;
  for (std::size_t at = text.find("\r\n"); at != std::string_view::npos;
       at = text.find("\r\n", at + 2)) {
    ++lines;
  }
  return lines / 2;  // the save command's line rounds away
}

std::string WriteBlock(const SettingsRecord& record, bool secondChannelReduced,
                       std::string_view saveCommand) {
  SettingsText text;
  SerializeSettings(record, false, secondChannelReduced, text);
  return std::string(text.View()) + std::string(saveCommand);
}

using SimConsoleTest = SimTest;

TEST_F(SimConsoleTest, DeviceWithoutPasswordSendsTheCommandPrompt) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2));
  CALBRIN_START(simulator);
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(2)), 0);
  EXPECT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
  EXPECT_EQ(client.ReadFor(100), "");
  EXPECT_EQ(simulator.ConsoleConnections(0), 1);
}

TEST_F(SimConsoleTest, DeviceWithPasswordSendsThePasswordPrompt) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "48", "secret"));
  CALBRIN_START(simulator);
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(2)), 0);
  EXPECT_EQ(client.ReadUntil("?\r\n"), "Password ?\r\n");
}

TEST_F(SimConsoleTest, RightLoginOpensTheConsoleAndCarriageReturnsAreIgnored) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "57", "Pass-word_1"));
  CALBRIN_START(simulator);
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(2)), 0);
  ASSERT_EQ(client.ReadUntil("?\r\n"), kPasswordPrompt);
  // Split in two sends, with a CR before the LF that the device must not count.
  const std::string line = LoginLine("Pass-word_1");
  ASSERT_TRUE(client.Send(line.substr(0, 7)));
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  ASSERT_TRUE(client.Send(line.substr(7, line.size() - 8) + "\r\n"));
  EXPECT_EQ(client.ReadUntil(">\r\n"), kLoginAccepted);
  ASSERT_TRUE(client.Send("GETPARAM\r\n"));
  EXPECT_EQ(client.ReadUntil(kEndMarker), ExpectedAnswer(simulator.Settings(0)));
}

TEST_F(SimConsoleTest, WrongLoginPromptsAgainAndCommandsWaitForTheRightOne) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "48", "secret"));
  CALBRIN_START(simulator);
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(2)), 0);
  ASSERT_EQ(client.ReadUntil("?\r\n"), kPasswordPrompt);
  ASSERT_TRUE(client.Send(LoginLine("Secret")));
  EXPECT_EQ(client.ReadUntil("?\r\n"), kPasswordPrompt);
  // Unscrambled text is no login either.
  ASSERT_TRUE(client.Send("secret\n"));
  EXPECT_EQ(client.ReadUntil("?\r\n"), kPasswordPrompt);
  ASSERT_TRUE(client.Send(LoginLine("secret")));
  EXPECT_EQ(client.ReadUntil(">\r\n"), kLoginAccepted);
}

TEST_F(SimConsoleTest, GetParamAnswersEveryPairAndEndsInOneMarker) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "48"));
  simulator.AddDevice(Device(3, "57"));
  CALBRIN_START(simulator);
  for (int device = 0; device < 2; ++device) {
    ConsoleClient client;
    ASSERT_EQ(client.Connect(Address(2 + device)), 0);
    ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
    ASSERT_TRUE(client.Send("GETPARAM\r\n"));
    const std::string answer = client.ReadUntil(kEndMarker);
    EXPECT_TRUE(answer.ends_with("\r\nEND\r\n"));
    EXPECT_EQ(answer.find("\r\n\r\nEND"), std::string::npos);
    EXPECT_EQ(answer, ExpectedAnswer(simulator.Settings(device)));
    SettingsRecord parsed;
    ASSERT_EQ(ParseSettings(answer, parsed), kSettingKeyCount);
    EXPECT_EQ(parsed, simulator.Settings(device));
    EXPECT_EQ(ReadField(parsed, SettingKey::MODEL), device == 0 ? "48" : "57");
    EXPECT_EQ(ReadField(parsed, SettingKey::IP), Address(2 + device));
    EXPECT_EQ(ReadField(parsed, SettingKey::PORT1), "10001");
    EXPECT_EQ(client.ReadFor(100), "");
  }
}

TEST_F(SimConsoleTest, WriteWithEndrIsStoredExactlyAnsweredAndClosed) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "48"));
  CALBRIN_START(simulator);
  const SettingsRecord before = simulator.Settings(0);
  const SettingsRecord edited = EditedRecord("57");
  const std::string block = WriteBlock(edited, false, kSaveAndEndCommand);
  ASSERT_EQ(CountPairs(block), 62);

  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(2)), 0);
  ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
  // In uneven pieces, as TCP may deliver it; nothing may come back before the save command.
  for (std::size_t at = 0; at < block.size(); at += 97) {
    ASSERT_TRUE(client.Send(std::string_view(block).substr(at, 97)));
    if (at + 97 < block.size()) {
      EXPECT_EQ(client.ReadFor(5), "");
    }
  }
  EXPECT_EQ(client.ReadUntil("\r\n"), kSaveAndResetAck);
  EXPECT_TRUE(client.WaitClosed());

  EXPECT_EQ(simulator.LastWriteBlock(0), block);
  SettingsRecord expected = edited;
  SetField(expected, SettingKey::MODEL, "48");  // a write never changes the model
  SetField(expected, SettingKey::CDRV1, ReadField(before, SettingKey::CDRV1));
  SetField(expected, SettingKey::CDRV2, ReadField(before, SettingKey::CDRV2));
  EXPECT_EQ(simulator.Settings(0), expected);
  // An address outside the loopback net is kept, but the device stays where it is.
  EXPECT_EQ(simulator.Address(0), Address(2));
  ConsoleClient again;
  ASSERT_EQ(again.Connect(Address(2)), 0);
  EXPECT_EQ(again.ReadUntil(">\r\n"), kCommandPrompt);
}

TEST_F(SimConsoleTest, WriteToA57StoresCdrv2) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "57"));
  CALBRIN_START(simulator);
  const SettingsRecord before = simulator.Settings(0);
  const SettingsRecord edited = EditedRecord("57");
  const std::string block = WriteBlock(edited, true, kSaveAndEndCommand);
  ASSERT_EQ(CountPairs(block), 63);
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(2)), 0);
  ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
  ASSERT_TRUE(client.Send(block));
  EXPECT_EQ(client.ReadUntil("\r\n"), kSaveAndResetAck);
  EXPECT_TRUE(client.WaitClosed());
  SettingsRecord expected = edited;
  SetField(expected, SettingKey::CDRV1, ReadField(before, SettingKey::CDRV1));
  EXPECT_EQ(simulator.Settings(0), expected);
}

TEST_F(SimConsoleTest, SaveKeepsTheConnectionOpen) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "48"));
  CALBRIN_START(simulator);
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(2)), 0);
  ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
  ASSERT_TRUE(client.Send("NEGOS\r\n3\r\nPORT1\r\n4001\r\nSAVE\r\n"));
  EXPECT_EQ(client.ReadUntil("\r\n"), kSaveAck);
  ASSERT_TRUE(client.Send("GETPARAM\r\n"));
  const std::string answer = client.ReadUntil(kEndMarker);
  EXPECT_FALSE(client.PeerClosed());
  EXPECT_NE(answer.find("\r\nNEGOS\r\n3\r\n"), std::string::npos);
  EXPECT_NE(answer.find("\r\nPORT1\r\n4001\r\n"), std::string::npos);
  EXPECT_EQ(ReadField(simulator.Settings(0), SettingKey::PORT1), "4001");
}

TEST_F(SimConsoleTest, UnknownKeysAreIgnoredAndTheModelStays) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "48"));
  CALBRIN_START(simulator);
  SettingsRecord expected = simulator.Settings(0);
  SetField(expected, SettingKey::DTIME2, "15");
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(2)), 0);
  ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
  ASSERT_TRUE(client.Send("MODEL\r\n57\r\nNOSUCH\r\nvalue\r\nDTIME2\r\n15\r\nSAVE\r\n"));
  EXPECT_EQ(client.ReadUntil("\r\n"), kSaveAck);
  EXPECT_EQ(simulator.Settings(0), expected);
  EXPECT_EQ(simulator.Model(0), "48");
}

TEST_F(SimConsoleTest, PasswordSetChangesAndRemovesThePassword) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "48"));
  CALBRIN_START(simulator);
  {
    ConsoleClient client;
    ASSERT_EQ(client.Connect(Address(2)), 0);
    ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
    // A save first, which keeps the connection for the password that follows.
    ASSERT_TRUE(client.Send("KEEP_A\r\n1\r\nSAVE\r\n"));
    ASSERT_EQ(client.ReadUntil("\r\n"), kSaveAck);
    const std::string block = PasswordSetBlock("n3w~Pass");
    ASSERT_EQ(block.size(), 8u + 25u);
    ASSERT_TRUE(client.Send(block));
    EXPECT_EQ(client.ReadUntil("\r\n"), kSaveAndResetAck);
    EXPECT_TRUE(client.WaitClosed());
    EXPECT_EQ(simulator.LastPasswordBlock(0), block);
  }
  EXPECT_EQ(simulator.Password(0), "n3w~Pass");
  {
    ConsoleClient client;
    ASSERT_EQ(client.Connect(Address(2)), 0);
    ASSERT_EQ(client.ReadUntil("?\r\n"), kPasswordPrompt);
    ASSERT_TRUE(client.Send(LoginLine("n3w~Pass")));
    ASSERT_EQ(client.ReadUntil(">\r\n"), kLoginAccepted);
    const std::string removal = PasswordSetBlock("D E L");
    ASSERT_EQ(removal.size(), 5u + 25u);
    ASSERT_TRUE(client.Send(removal));
    EXPECT_EQ(client.ReadUntil("\r\n"), kSaveAndResetAck);
    EXPECT_TRUE(client.WaitClosed());
  }
  EXPECT_EQ(simulator.Password(0), "");
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(2)), 0);
  EXPECT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
  EXPECT_EQ(simulator.ConsoleConnections(0), 3);
}

TEST_F(SimConsoleTest, WriteOfAnotherLoopbackAddressMovesTheDevice) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "48"));
  simulator.AddDevice(Device(3, "57"));
  CALBRIN_START(simulator);
  {
    ConsoleClient client;
    ASSERT_EQ(client.Connect(Address(2)), 0);
    ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
    // SAVE alone stores the address; only the restart of ENDR takes the device there.
    ASSERT_TRUE(client.Send("IP\r\n" + Address(9) + "\r\nSAVE\r\n"));
    ASSERT_EQ(client.ReadUntil("\r\n"), kSaveAck);
    EXPECT_EQ(simulator.Address(0), Address(2));
    ASSERT_TRUE(client.Send("ENDR\r\n"));
    EXPECT_EQ(client.ReadUntil("\r\n"), kSaveAndResetAck);
    EXPECT_TRUE(client.WaitClosed());
  }
  EXPECT_EQ(simulator.Address(0), Address(9));
  EXPECT_EQ(ReadField(simulator.Settings(0), SettingKey::IP), Address(9));
  ConsoleClient moved;
  ASSERT_EQ(moved.Connect(Address(9)), 0);
  EXPECT_EQ(moved.ReadUntil(">\r\n"), kCommandPrompt);
  ConsoleClient old;
  EXPECT_EQ(old.Connect(Address(2)), wsa::kConnectionRefused);
  // A device never moves onto another one.
  {
    ConsoleClient client;
    ASSERT_EQ(client.Connect(Address(3)), 0);
    ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
    ASSERT_TRUE(client.Send("IP\r\n" + Address(9) + "\r\nENDR\r\n"));
    EXPECT_EQ(client.ReadUntil("\r\n"), kSaveAndResetAck);
    EXPECT_TRUE(client.WaitClosed());
  }
  EXPECT_EQ(simulator.Address(1), Address(3));
  EXPECT_NE(simulator.LastProblem().find("another device"), std::string::npos);
}

TEST_F(SimConsoleTest, StopEndsAnOpenConnectionPromptly) {
  Simulator simulator(Options());
  simulator.AddDevice(Device(2, "48"));
  CALBRIN_START(simulator);
  ConsoleClient client;
  ASSERT_EQ(client.Connect(Address(2)), 0);
  ASSERT_EQ(client.ReadUntil(">\r\n"), kCommandPrompt);
  ASSERT_TRUE(client.Send("NEGOS\r\n"));  // half a request
  const auto start = std::chrono::steady_clock::now();
  simulator.Stop();
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
  EXPECT_TRUE(client.WaitClosed(500));
  EXPECT_FALSE(simulator.Running());
}

}  // namespace
}  // namespace calbrin::sim::test
