// The discovery replies free of sockets and threads: which datagrams count, their queue, and the
// decoding of a reply into a DeviceEntry.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_set>
#include <vector>

namespace calbrin {

// One valid discovery reply. The address comes from the reply's source, not from its content.
struct DeviceEntry {
  static constexpr int kReplyBytes = 32;

  std::array<char, 16> address{};
  int addressLength = 0;
  std::array<char, 18> mac{};  // "%02X-%02X-%02X-%02X-%02X-%02X" of reply bytes 24 to 29
  std::array<std::uint8_t, kReplyBytes> reply{};

  int ModelCode() const { return reply[6]; }
  int VersionByte() const { return reply[4]; }

  // The four texts of the device list's row.
  std::string_view AddressText() const;
  std::string_view MacText() const;
  std::string_view ModelText() const;  // "QV-57R" for model code 2, otherwise "QV-48R2"
  std::string VersionText() const;     // "%d.%02d" of v / 100 and v % 100
};

// Which answers of one search become records.
enum class RecordRule {
  // The windows' rows: an answer from the source just seen is dropped, whatever its MAC.
  kSkipRepeatedSource,
  // The command line's: one record per MAC, so that units answering from one shared address
  // (many converters fresh from the factory) each get one, and a unit answering again none.
  kOnePerMac,
};

// The records of one search. The receive thread accepts the datagrams; the records are read
// once it has ended.
class DiscoveryReplies {
 public:
  static constexpr int kMaxEntries = 20;
  // Bytes up to the MAC address's end: a shorter reply cannot describe a device.
  static constexpr int kMinimumReplyBytes = 30;
  static constexpr int kRingSize = 2048;

  // Keeps the first `capacity` devices that answer: the windows list 20, the command line more.
  // The records grow as devices answer, so a large capacity costs nothing until it is used.
  explicit DiscoveryReplies(int capacity = kMaxEntries,
                            RecordRule rule = RecordRule::kSkipRepeatedSource)
      : capacity_(capacity), rule_(rule) {}

  // Forgets every record, the last source and the MACs kept, and empties the queue.
  void Clear();
  // Takes one datagram of `length` bytes from `source`.
  void Accept(std::string_view source, const char* bytes, int length);

  int ResultCount() const { return resultCount_; }
  // Whether a device answered after the records were full, and so was not kept.
  bool Overflowed() const { return overflowed_; }
  // The record at `index`; an empty one beyond the devices found.
  const DeviceEntry& Entry(int index) const;

 private:
  void Queue(const char* bytes, int length);
  bool DecodeReply();  // whether the reply took a record

  int capacity_;
  RecordRule rule_;
  int resultCount_ = 0;
  bool overflowed_ = false;
  std::vector<DeviceEntry> entries_;
  std::string lastSource_;
  std::unordered_set<std::uint64_t> keptMacs_;  // under kOnePerMac: the MACs of the records
  int lastDatagramLength_ = 0;
  // Each datagram is queued here and decoded from here.
  std::array<std::uint8_t, kRingSize> ring_{};
  int writePosition_ = 0;
  int readPosition_ = 0;
};

}  // namespace calbrin
