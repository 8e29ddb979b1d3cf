// Feeds datagrams of any length from any source to the discovery replies and checks every record
// against the datagram that made it; the command line's replies, one record per MAC, alongside.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <set>
#include <string>
#include <string_view>

#include "fuzz/fuzz_check.h"
#include "net/discovery_replies.h"

// The input is a list of datagrams, each as a source byte, two length bytes and its bytes.
// Source bytes name a handful of loopback addresses and one text too long for an address.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace calbrin;
  auto replies = std::make_unique<DiscoveryReplies>();
  replies->Clear();
  auto perMac =
      std::make_unique<DiscoveryReplies>(DiscoveryReplies::kMaxEntries, RecordRule::kOnePerMac);
  std::set<std::string> macsKept;
  bool lost = false;
  int count = 0;
  std::string last;
  std::size_t at = 0;
  while (at + 3 <= size) {
    const int sourceCode = data[at] % 6;
    const std::string source =
        sourceCode == 5 ? "127.100.200.2550000" : "127.0.0." + std::to_string(sourceCode + 2);
    const std::size_t wanted = ((std::size_t{data[at + 1]} << 8) | data[at + 2]) % 1024;
    at += 3;
    const std::size_t length = std::min(wanted, size - at);
    const std::string_view datagram(reinterpret_cast<const char*>(data) + at, length);
    at += length;
    replies->Accept(source, datagram.data(), static_cast<int>(length));
    perMac->Accept(source, datagram.data(), static_cast<int>(length));

    // One record per MAC, whatever the source; a new MAC once the records are full is a loss.
    if (length >= static_cast<std::size_t>(DiscoveryReplies::kMinimumReplyBytes)) {
      const std::string mac(datagram.substr(24, 6));
      const int model = static_cast<std::uint8_t>(datagram[6]);
      const bool full = macsKept.size() >= static_cast<std::size_t>(DiscoveryReplies::kMaxEntries);
      if (!macsKept.contains(mac) && full) lost = true;
      if (!macsKept.contains(mac) && !full && (model == 1 || model == 2)) {
        macsKept.insert(mac);
        const DeviceEntry& entry = perMac->Entry(static_cast<int>(macsKept.size()) - 1);
        CHECK(entry.AddressText() == std::string_view(source).substr(0, 15));
        CHECK(std::equal(mac.begin(), mac.end(), entry.reply.begin() + 24,
                         [](char a, std::uint8_t b) { return static_cast<std::uint8_t>(a) == b; }));
      }
    }
    CHECK(perMac->ResultCount() == static_cast<int>(macsKept.size()));
    CHECK(perMac->Overflowed() == lost);

    const bool taken = count < DiscoveryReplies::kMaxEntries &&
                       length >= static_cast<std::size_t>(DiscoveryReplies::kMinimumReplyBytes) &&
                       source != last;
    if (!taken) {
      CHECK(replies->ResultCount() == count);
      continue;
    }
    last = source;
    const int model = static_cast<std::uint8_t>(datagram[6]);
    if (model != 1 && model != 2) {
      CHECK(replies->ResultCount() == count);
      continue;
    }
    CHECK(replies->ResultCount() == ++count);
    const DeviceEntry& entry = replies->Entry(count - 1);
    CHECK(entry.AddressText() == std::string_view(source).substr(0, 15));
    for (std::size_t i = 0; i < entry.reply.size(); ++i)
      CHECK(entry.reply[i] == (i < length ? static_cast<std::uint8_t>(datagram[i]) : 0));
    char mac[18];
    std::snprintf(mac, sizeof mac, "%02X-%02X-%02X-%02X-%02X-%02X", entry.reply[24],
                  entry.reply[25], entry.reply[26], entry.reply[27], entry.reply[28],
                  entry.reply[29]);
    CHECK(entry.MacText() == mac);
    CHECK(entry.ModelText() == (model == 2 ? "QV-57R" : "QV-48R2"));
    CHECK(entry.VersionText() == std::to_string(entry.VersionByte() / 100) + "." +
                                     (entry.VersionByte() % 100 < 10 ? "0" : "") +
                                     std::to_string(entry.VersionByte() % 100));
  }
  CHECK(replies->ResultCount() <= DiscoveryReplies::kMaxEntries);
  return 0;
}
