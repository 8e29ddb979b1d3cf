// Device discovery against a scripted responder on loopback: what is listed, in which order, and
// what is dropped; the row texts; the collection window.
#include <gtest/gtest.h>

#include <chrono>
#include <ctime>
#include <string>
#include <utility>
#include <vector>

#include "net/device_discovery.h"
#include "tests/support/discovery_responder.h"

namespace calbrin {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;
using test::Reply;
using test::Responder;

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

TEST(DiscoveryRules, TheCommandLineKeepsEachMacOnceAlsoWhenSeveralAnswerFromOneAddress) {
  // Two units at one address, the first answering twice, the second again after a third unit.
  std::vector<Reply> replies;
  for (const int last : {1, 1, 2, 3, 2})
    replies.push_back({last == 3 ? "127.0.0.3" : "127.0.0.2", 100, 1, last});
  // The rows as the address's last byte and the MAC's, then whether a device was lost.
  const std::pair<int, std::string> cases[] = {
      {3, "2 01, 2 02, 3 03, "},  // a repeat once the records are full is no loss
      {2, "2 01, 2 02, lost"}};
  for (const auto& [capacity, rows] : cases) {
    DeviceDiscovery discovery(300ms, capacity, RecordRule::kOnePerMac);
    discovery.Startup("127.0.0.9");
    Responder responder(replies);
    std::string seen;
    for (int i = 0, found = discovery.Discover("127.0.0.1"); i < found; ++i)
      seen += std::string(discovery.Entry(i).AddressText().substr(8)) + " " +
              std::string(discovery.Entry(i).MacText().substr(15)) + ", ";
    EXPECT_EQ(seen + (discovery.Overflowed() ? "lost" : ""), rows) << capacity;
  }
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
