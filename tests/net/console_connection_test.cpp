// The console connection against scripted consoles on loopback: every result code of every
// operation, the reply matchers' quirks, the 4096-byte rule and the time limits.
#include <gtest/gtest.h>

#include <chrono>
#include <string>

#include "net/console_connection.h"
#include "scripted_peer.h"

namespace calbrin {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::PeerConnection;
using test::ScriptedPeer;

constexpr std::string_view kDevice = "127.0.0.2";
constexpr std::string_view kLocal = "127.0.0.1";

ConsoleTimeLimits ShortLimits() {
  ConsoleTimeLimits limits;
  limits.prompt = limits.loginAnswer = limits.settings = limits.acknowledgement = 300ms;
  return limits;
}

class ConsoleConnectionTest : public ::testing::Test {
 protected:
  ConsoleConnectionTest() : console_(ShortLimits()) { console_.Startup(); }

  // Opens the console of a peer that sends `prompt` and then runs `rest`.
  int Open(std::string prompt, ScriptedPeer::Script rest = nullptr) {
    peer_.reset();  // the old console must leave port 9998 before the new one takes it
    peer_ =
        std::make_unique<ScriptedPeer>(std::string(kDevice), [prompt, rest](PeerConnection& peer) {
          if (!prompt.empty()) peer.Send(prompt);
          if (rest) rest(peer);
        });
    return console_.OpenAndAwaitPrompt(kDevice, kLocal);
  }

  void AwaitDisconnect() {
    const auto end = Clock::now() + 2s;
    while (console_.Connected() && Clock::now() < end)
      std::this_thread::sleep_for(1ms);
    ASSERT_FALSE(console_.Connected());
  }

  ConsoleConnection console_;
  std::unique_ptr<ScriptedPeer> peer_;
};

TEST_F(ConsoleConnectionTest, FirstPromptDecidesTheOpenResult) {
  EXPECT_EQ(Open("Password ?\r\n"), console::kPasswordPrompt);
  console_.Close();
  EXPECT_EQ(Open("\r\nCONSOLE\r\n>\r\n"), console::kReplySeen);
  console_.Close();
  const auto start = Clock::now();
  EXPECT_EQ(Open(""), console::kTimedOut);
  EXPECT_GE(Clock::now() - start, 300ms);
}

TEST_F(ConsoleConnectionTest, DoubledQuestionMarkIsNoPasswordPrompt) {
  EXPECT_EQ(Open("??\r\n"), console::kTimedOut);
  console_.Close();
  EXPECT_EQ(Open("x?\r\n"), console::kPasswordPrompt);
}

TEST_F(ConsoleConnectionTest, ClosedPortGivesTheRefusedCode) {
  EXPECT_EQ(console_.OpenAndAwaitPrompt("127.0.0.3", kLocal), console::kSocketFailed);
  EXPECT_EQ(console_.LastSocketError(), wsa::kConnectionRefused);
  EXPECT_FALSE(console_.Connected());
  EXPECT_EQ(console_.Send("x", 1), console::kNotConnected);
}

TEST_F(ConsoleConnectionTest, BadLocalAddressGivesASocketError) {
  EXPECT_EQ(console_.OpenAndAwaitPrompt(kDevice, "10.255.255.1"), console::kSocketFailed);
  EXPECT_EQ(console_.LastSocketError(), wsa::kAddressNotAvailable);
}

TEST_F(ConsoleConnectionTest, LoginAnswers) {
  std::string received;
  ASSERT_EQ(Open("Password ?\r\n",
                 [&received](PeerConnection& peer) {
                   received = peer.ReceiveUntil("\n");
                   peer.Send("Password ?\r\n");
                   received = peer.ReceiveUntil("second\n");
                   peer.Send(">\r\n");
                   peer.ReceiveUntil("third\n");
                 }),
            console::kPasswordPrompt);
  EXPECT_EQ(console_.SendLoginReply("first\n", 6), 6);
  EXPECT_EQ(console_.AwaitLoginAnswer(), console::kPasswordPrompt);
  EXPECT_EQ(console_.SendLoginReply("second\n", 7), 7);
  EXPECT_EQ(console_.AwaitLoginAnswer(), console::kReplySeen);
  EXPECT_EQ(console_.SendLoginReply("third\n", 6), 6);
  EXPECT_EQ(console_.AwaitLoginAnswer(), console::kReplySeen);  // the command prompt is not reset
  peer_.reset();
  EXPECT_EQ(received, "first\nsecond\n");
}

TEST_F(ConsoleConnectionTest, InstantRefusalIsNotMissed) {
  // The console answers a wrong password at once; the answer must still count.
  ASSERT_EQ(Open("Password ?\r\n",
                 [](PeerConnection& peer) {
                   for (int round = 0; round < 20; ++round) {
                     peer.ReceiveUntil(std::string(static_cast<std::size_t>(round + 1), '\n'));
                     peer.Send("Password ?\r\n");
                   }
                 }),
            console::kPasswordPrompt);
  for (int round = 0; round < 20; ++round) {
    ASSERT_EQ(console_.SendLoginReply("\n", 1), 1);
    ASSERT_EQ(console_.AwaitLoginAnswer(), console::kPasswordPrompt) << "round " << round;
  }
}

TEST_F(ConsoleConnectionTest, SilentLoginTimesOut) {
  ASSERT_EQ(Open("Password ?\r\n"), console::kPasswordPrompt);
  ASSERT_EQ(console_.SendLoginReply("\n", 1), 1);
  EXPECT_EQ(console_.AwaitLoginAnswer(), console::kTimedOut);
}

TEST_F(ConsoleConnectionTest, SettingsRequestSendsGetparamAndCountsTheAnswer) {
  std::string received;
  const std::string answer = "MODEL\r\n48\r\nIP\r\n127.0.0.2\r\nEND\r\n";
  ASSERT_EQ(Open(">\r\n",
                 [&](PeerConnection& peer) {
                   received = peer.ReceiveUntil("\n");
                   peer.Send(answer.substr(0, 20));
                   peer.Pause(30ms);
                   peer.Send(answer.substr(20));
                 }),
            console::kReplySeen);
  EXPECT_EQ(console_.RequestSettings(), static_cast<int>(answer.size()));
  EXPECT_EQ(console_.ReceiveText(), answer);
  peer_.reset();
  EXPECT_EQ(received, "GETPARAM\r\n");
}

TEST_F(ConsoleConnectionTest, EndMarkerSplitOverTwoChunksCompletes) {
  ASSERT_EQ(Open(">\r\n",
                 [](PeerConnection& peer) {
                   peer.ReceiveUntil("\n");
                   peer.Send("IP\r\n1.2.3.4\r\nE");
                   peer.Pause(50ms);
                   peer.Send("ND\r\n");
                 }),
            console::kReplySeen);
  EXPECT_EQ(console_.RequestSettings(), 18);
}

TEST_F(ConsoleConnectionTest, EmptyLastLineBeforeTheMarkerNeverCompletes) {
  ASSERT_EQ(Open(">\r\n",
                 [](PeerConnection& peer) {
                   peer.ReceiveUntil("\n");
                   peer.Send("IP\r\n\r\nEND\r\n");
                 }),
            console::kReplySeen);
  EXPECT_EQ(console_.RequestSettings(), console::kTimedOut);
}

// The answer `size` bytes long, ending in the end marker, sent in chunks of 1000 bytes.
ScriptedPeer::Script AnswerOfSize(int size) {
  return [size](PeerConnection& peer) {
    peer.ReceiveUntil("\n");
    std::string answer(static_cast<std::size_t>(size) - 7, 'a');
    answer += "\r\nEND\r\n";
    for (std::size_t at = 0; at < answer.size(); at += 1000) {
      peer.Send(answer.substr(at, 1000));
      peer.Pause(5ms);
    }
  };
}

TEST_F(ConsoleConnectionTest, AnswerBelow4096BytesCompletes) {
  ASSERT_EQ(Open(">\r\n", AnswerOfSize(4095)), console::kReplySeen);
  EXPECT_EQ(console_.RequestSettings(), 4095);
  EXPECT_EQ(console_.ReceiveText().size(), 4095u);
}

TEST_F(ConsoleConnectionTest, AnswerOf4096BytesNeverCompletes) {
  ASSERT_EQ(Open(">\r\n", AnswerOfSize(4096)), console::kReplySeen);
  EXPECT_EQ(console_.RequestSettings(), console::kTimedOut);
  EXPECT_EQ(console_.ReceivedTotal(), 4096);
  EXPECT_LE(console_.ReceiveText().size(), 4095u);
}

TEST_F(ConsoleConnectionTest, AnswerWellAbove4096BytesNeverCompletes) {
  ASSERT_EQ(Open(">\r\n", AnswerOfSize(9000)), console::kReplySeen);
  EXPECT_EQ(console_.RequestSettings(), console::kTimedOut);
}

TEST_F(ConsoleConnectionTest, WriteAwaitsItsOwnAcknowledgement) {
  std::string received;
  ASSERT_EQ(Open(">\r\n",
                 [&received](PeerConnection& peer) {
                   received = peer.ReceiveUntil("SAVE\r\n");
                   peer.Send("SAVE OK\r\n");
                   received = peer.ReceiveUntil("ENDR\r\n");
                   peer.Send("END SAVE OK RESET\r\n");
                 }),
            console::kReplySeen);
  EXPECT_EQ(console_.SendAndAwait(ConsoleReply::kSaveAck, "IP\r\n1\r\nSAVE\r\n", 13),
            console::kReplySeen);
  // "SAVE OK" is no final acknowledgement.
  EXPECT_EQ(console_.SendAndAwait(ConsoleReply::kFinalAck, "P_SET\r\nENDR\r\n", 13),
            console::kReplySeen);
  peer_.reset();
  EXPECT_EQ(received, "IP\r\n1\r\nSAVE\r\nP_SET\r\nENDR\r\n");
}

TEST_F(ConsoleConnectionTest, MissingAcknowledgementTimesOut) {
  ASSERT_EQ(Open(">\r\n", [](PeerConnection& peer) { peer.ReceiveUntil("ENDR\r\n"); }),
            console::kReplySeen);
  EXPECT_EQ(console_.SendAndAwait(ConsoleReply::kFinalAck, "ENDR\r\n", 6), console::kTimedOut);
  EXPECT_EQ(console_.AwaitFinalAcknowledgement(), console::kTimedOut);
}

TEST_F(ConsoleConnectionTest, FinalAcknowledgementCanBeAwaitedWithoutSending) {
  ASSERT_EQ(Open(">\r\n",
                 [](PeerConnection& peer) {
                   peer.Pause(50ms);
                   peer.Send("END SAVE OK RESET\r\n");
                 }),
            console::kReplySeen);
  EXPECT_EQ(console_.AwaitFinalAcknowledgement(), console::kReplySeen);
}

TEST_F(ConsoleConnectionTest, EverySendingOperationReportsADeviceThatClosed) {
  ASSERT_EQ(Open(">\r\n", [](PeerConnection& peer) { peer.Close(); }), console::kReplySeen);
  AwaitDisconnect();
  EXPECT_EQ(console_.Send("x", 1), console::kNotConnected);
  EXPECT_EQ(console_.SendLoginReply("x\n", 2), console::kNotConnected);
  EXPECT_EQ(console_.AwaitLoginAnswer(), console::kNotConnected);
  EXPECT_EQ(console_.RequestSettings(), console::kNotConnected);
  EXPECT_EQ(console_.SendAndAwait(ConsoleReply::kSaveAck, "SAVE\r\n", 6), console::kNotConnected);
  EXPECT_EQ(console_.AwaitFinalAcknowledgement(), console::kNotConnected);
}

TEST_F(ConsoleConnectionTest, NothingOpenGivesNotConnected) {
  EXPECT_EQ(console_.RequestSettings(), console::kNotConnected);
  EXPECT_EQ(console_.SendAndAwait(ConsoleReply::kFinalAck, "ENDR\r\n", 6), console::kNotConnected);
  console_.Close();
  console_.Close();
  EXPECT_FALSE(console_.Connected());
}

TEST_F(ConsoleConnectionTest, CloseEndsTheConnectionAndCanBeRepeated) {
  ASSERT_EQ(Open(">\r\n"), console::kReplySeen);
  EXPECT_TRUE(console_.Connected());
  console_.Close();
  EXPECT_FALSE(console_.Connected());
  console_.Close();
  EXPECT_EQ(console_.Send("x", 1), console::kNotConnected);
}

TEST(ReplyMatcher, BrokenPartialMatchIsNotRetried) {
  ReplyMatcher prompt("?\r\n");
  for (char c : std::string_view("??\r\n"))
    prompt.Feed(c);
  EXPECT_FALSE(prompt.Matched());
  for (char c : std::string_view("x?\r\n"))
    prompt.Feed(c);
  EXPECT_TRUE(prompt.Matched());

  ReplyMatcher marker("\r\nEND\r\n");
  for (char c : std::string_view("\r\n\r\nEND\r\n"))
    marker.Feed(c);
  EXPECT_FALSE(marker.Matched());
  for (char c : std::string_view("x\r\nEND\r\n"))
    marker.Feed(c);
  EXPECT_TRUE(marker.Matched());
}

TEST(ReplyMatcher, ByteAfterACompletedReplyClearsTheFlag) {
  ReplyMatcher prompt(">\r\n");
  for (char c : std::string_view(">\r\n"))
    prompt.Feed(c);
  EXPECT_TRUE(prompt.Matched());
  prompt.Feed('>');  // compares against the end of the reply, so even a '>' restarts at 0
  EXPECT_FALSE(prompt.Matched());
  prompt.Feed('\r');
  prompt.Feed('\n');
  EXPECT_FALSE(prompt.Matched());
}

// The real time limits, each proven once.
class ConsoleTimeLimitTest : public ::testing::Test {
 protected:
  ConsoleTimeLimitTest() { console_.Startup(); }

  template <typename Operation>
  void ExpectTimeOutAfter(std::chrono::milliseconds limit, Operation operation) {
    const auto start = Clock::now();
    EXPECT_EQ(operation(), console::kTimedOut);
    const auto elapsed = Clock::now() - start;
    EXPECT_GE(elapsed, limit);
    EXPECT_LT(elapsed, limit + 1500ms);
  }

  ConsoleConnection console_;
};

TEST_F(ConsoleTimeLimitTest, PromptWaitLastsFiveSeconds) {
  ScriptedPeer peer(std::string(kDevice), [](PeerConnection&) {});
  ExpectTimeOutAfter(5000ms, [&] { return console_.OpenAndAwaitPrompt(kDevice, kLocal); });
}

TEST_F(ConsoleTimeLimitTest, LoginAnswerWaitLastsTenSeconds) {
  ScriptedPeer peer(std::string(kDevice), [](PeerConnection& p) { p.Send("Password ?\r\n"); });
  ASSERT_EQ(console_.OpenAndAwaitPrompt(kDevice, kLocal), console::kPasswordPrompt);
  ASSERT_EQ(console_.SendLoginReply("\n", 1), 1);
  ExpectTimeOutAfter(10000ms, [&] { return console_.AwaitLoginAnswer(); });
}

TEST_F(ConsoleTimeLimitTest, SettingsWaitLastsTenSeconds) {
  ScriptedPeer peer(std::string(kDevice), [](PeerConnection& p) { p.Send(">\r\n"); });
  ASSERT_EQ(console_.OpenAndAwaitPrompt(kDevice, kLocal), console::kReplySeen);
  ExpectTimeOutAfter(10000ms, [&] { return console_.RequestSettings(); });
}

TEST_F(ConsoleTimeLimitTest, AcknowledgementWaitLastsFiveSeconds) {
  ScriptedPeer peer(std::string(kDevice), [](PeerConnection& p) { p.Send(">\r\n"); });
  ASSERT_EQ(console_.OpenAndAwaitPrompt(kDevice, kLocal), console::kReplySeen);
  ExpectTimeOutAfter(5000ms,
                     [&] { return console_.SendAndAwait(ConsoleReply::kSaveAck, "SAVE\r\n", 6); });
}

}  // namespace
}  // namespace calbrin
