// The console connection against scripted consoles on loopback: every result code of every
// operation, the reply matchers' quirks, the 4096-byte rule and the time limits.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/console_connection.h"
#include "tests/support/device_test_support.h"
#include "tests/support/scripted_peer.h"

namespace calbrin {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::ScriptedPeer;

constexpr std::string_view kDevice = "127.0.0.2";
constexpr std::string_view kLocal = "127.0.0.1";

class ConsoleConnectionTest : public ::testing::Test {
 protected:
  ConsoleConnectionTest() : console_(test::ShortLimits(300ms)) { console_.Startup(); }

  // Opens the console of a peer that sends `prompt` and then runs `rest`.
  int Open(std::string prompt, ScriptedPeer::Script rest = nullptr) {
    console_.Close();
    peer_.reset();  // the old console must leave port 9998 before the new one takes it
    peer_ = std::make_unique<ScriptedPeer>(std::string(kDevice), [=](ScriptedPeer& peer) {
      peer.Send(prompt);
      if (rest) rest(peer);
    });
    return console_.OpenAndAwaitPrompt(kDevice, kLocal);
  }

  // What the peer received, once its script has ended.
  std::string Received() {
    peer_.reset();
    return received_;
  }

  ConsoleConnection console_;
  std::unique_ptr<ScriptedPeer> peer_;
  std::string received_;
};

TEST_F(ConsoleConnectionTest, LoginAnswersAndRefusalsAtOnce) {
  ASSERT_EQ(Open("Password ?\r\n",
                 [this](ScriptedPeer& peer) {
                   for (std::string replies = "p\n"; replies.size() <= 20; replies += "p\n") {
                     peer.ReceiveUntil(replies);
                     peer.Send("Password ?\r\n");  // refused at once
                   }
                   peer.ReceiveUntil("ok\n");
                   peer.Send(">\r\n");
                   received_ = peer.ReceiveUntil("again\n");
                 }),
            console::kPasswordPrompt);
  for (int round = 0; round < 10; ++round) {
    ASSERT_EQ(console_.SendLoginReply("p\n", 2), 2);
    ASSERT_EQ(console_.AwaitLoginAnswer(), console::kPasswordPrompt) << "round " << round;
  }
  EXPECT_EQ(console_.SendLoginReply("ok\n", 3), 3);
  EXPECT_EQ(console_.AwaitLoginAnswer(), console::kReplySeen);
  EXPECT_EQ(console_.SendLoginReply("again\n", 6), 6);
  EXPECT_EQ(console_.AwaitLoginAnswer(), console::kReplySeen);  // the command prompt stays seen
  EXPECT_EQ(Received(), "p\np\np\np\np\np\np\np\np\np\nok\nagain\n");
}

TEST_F(ConsoleConnectionTest, SettingsRequestSendsGetparamAndCountsTheAnswer) {
  // A chunk that ends with a value ending in "END" (a scrambled channel password) ends nothing;
  // the marker split in two still ends the answer.
  const std::string answer = "MODEL\r\n48\r\nPASS1\r\nQa7k2<)3rx3END\r\nIP\r\n127.0.0.2\r\nEND\r\n";
  ASSERT_EQ(Open(">\r\n",
                 [&](ScriptedPeer& peer) {
                   received_ = peer.ReceiveUntil("\n");
                   std::size_t at = 0;
                   for (const std::size_t cut : {answer.find("IP"), answer.size() - 4}) {
                     peer.Send(answer.substr(at, cut - at));
                     peer.Pause(30ms);
                     at = cut;
                   }
                   peer.Send(answer.substr(at));
                 }),
            console::kReplySeen);
  EXPECT_EQ(console_.RequestSettings(), static_cast<int>(answer.size()));
  EXPECT_EQ(console_.ReceiveText(), answer);
  EXPECT_EQ(Received(), "GETPARAM\r\n");
}

TEST_F(ConsoleConnectionTest, AnswersOf4096BytesOrMoreNeverComplete) {
  for (const auto& [size, result] : {std::pair{4095, 4095}, std::pair{4096, -3}}) {
    ASSERT_EQ(Open(">\r\n",
                   [size](ScriptedPeer& peer) {
                     peer.ReceiveUntil("\n");
                     const std::string answer =
                         std::string(static_cast<std::size_t>(size) - 7, 'a') + "\r\nEND\r\n";
                     for (std::size_t at = 0; at < answer.size(); at += 1000) {
                       peer.Send(answer.substr(at, 1000));
                       peer.Pause(5ms);
                     }
                   }),
              console::kReplySeen);
    EXPECT_EQ(console_.RequestSettings(), result) << size;
    EXPECT_LE(console_.ReceiveText().size(), 4095u);
  }
}

TEST_F(ConsoleConnectionTest, WriteAwaitsItsOwnAcknowledgement) {
  ASSERT_EQ(Open(">\r\n",
                 [this](ScriptedPeer& peer) {
                   peer.ReceiveUntil("SAVE\r\n");
                   peer.Send("SAVE OK\r\n");
                   received_ = peer.ReceiveUntil("ENDR\r\n");
                   peer.Send("END SAVE OK RESET\r\n");
                   peer.ReceiveUntil("x");
                 }),
            console::kReplySeen);
  EXPECT_EQ(console_.SendAndAwait(ConsoleReply::kSaveAck, "IP\r\n1\r\nSAVE\r\n", 13), 1);
  // "SAVE OK" is no final acknowledgement.
  EXPECT_EQ(console_.SendAndAwait(ConsoleReply::kFinalAck, "P_SET\r\nENDR\r\n", 13), 1);
  EXPECT_EQ(console_.AwaitFinalAcknowledgement(), 1);  // seen already, nothing sent
  EXPECT_EQ(console_.SendAndAwait(ConsoleReply::kFinalAck, "x", 1), console::kTimedOut);
  EXPECT_EQ(console_.AwaitFinalAcknowledgement(), console::kTimedOut);
  EXPECT_EQ(Received(), "IP\r\n1\r\nSAVE\r\nP_SET\r\nENDR\r\n");
}

TEST_F(ConsoleConnectionTest, EveryOperationReportsAClosedConnection) {
  ASSERT_EQ(Open(">\r\n", [](ScriptedPeer& peer) { peer.Close(); }), console::kReplySeen);
  for (const auto end = Clock::now() + 2s; console_.Connected() && Clock::now() < end;)
    std::this_thread::sleep_for(1ms);
  for (const bool closedByUs : {false, true, true}) {
    EXPECT_EQ(console_.Send("x", 1), console::kNotConnected);
    EXPECT_EQ(console_.SendLoginReply("x\n", 2), console::kNotConnected);
    EXPECT_EQ(console_.AwaitLoginAnswer(), console::kNotConnected);
    EXPECT_EQ(console_.RequestSettings(), console::kNotConnected);
    EXPECT_EQ(console_.SendAndAwait(ConsoleReply::kSaveAck, "SAVE\r\n", 6), console::kNotConnected);
    EXPECT_EQ(console_.AwaitFinalAcknowledgement(), console::kNotConnected);
    EXPECT_FALSE(console_.Connected()) << closedByUs;
    console_.Close();  // also twice, and with nothing open
  }
}

TEST(ReplyMatcher, BrokenPartialMatchIsNotRetriedAndTheNextByteClearsTheFlag) {
  const struct {
    std::string_view reply, bytes;
    bool matched;
  } cases[] = {{"?\r\n", "??\r\n", false},
               {"?\r\n", "x?\r\n", true},
               {"\r\nEND\r\n", "IP\r\n\r\nEND\r\n", false},  // an empty last line
               {"\r\nEND\r\n", "x\r\nEND\r\n", true},
               {">\r\n", ">\r\n>", false},
               {">\r\n", ">\r\n>\r\n", false}};
  for (const auto& c : cases) {
    ReplyMatcher matcher(c.reply);
    for (const char byte : c.bytes)
      matcher.Feed(byte);
    EXPECT_EQ(matcher.Matched(), c.matched) << c.bytes;
  }
}

// The real time limits, each proven once: the prompt, the login answer, the settings, a write.
class ConsoleTimeLimitTest : public ::testing::TestWithParam<int> {};

TEST_P(ConsoleTimeLimitTest, WaitLastsItsLimit) {
  const int wait = GetParam();
  const std::chrono::milliseconds limit = wait == 0 || wait == 3 ? 5000ms : 10000ms;
  ScriptedPeer peer(std::string(kDevice), [wait](ScriptedPeer& p) {
    p.Send(wait == 0 ? "" : wait == 1 ? "?\r\n" : ">\r\n");
  });
  ConsoleConnection console;
  console.Startup();
  auto start = Clock::now();
  int result = console.OpenAndAwaitPrompt(kDevice, kLocal);
  if (wait > 0) start = Clock::now();
  if (wait == 1) result = console.SendLoginReply("\n", 1) == 1 ? console.AwaitLoginAnswer() : 0;
  if (wait == 2) result = console.RequestSettings();
  if (wait == 3) result = console.SendAndAwait(ConsoleReply::kSaveAck, "SAVE\r\n", 6);
  const auto elapsed = Clock::now() - start;
  EXPECT_EQ(result, console::kTimedOut);
  EXPECT_GE(elapsed, limit);
  EXPECT_LT(elapsed, limit + 1500ms);
}

INSTANTIATE_TEST_SUITE_P(Defaults, ConsoleTimeLimitTest, ::testing::Range(0, 4));

}  // namespace
}  // namespace calbrin
