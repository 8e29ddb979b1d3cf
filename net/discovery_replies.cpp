// Discovery replies: the filters, the queue and the decoding into records.
#include "net/discovery_replies.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace calbrin {
namespace {

constexpr int kMacOffset = 24;  // six bytes, inside kMinimumReplyBytes

// The reply's MAC address as one number, for the set of MACs kept.
std::uint64_t MacKey(const char* reply) {
  std::uint64_t key = 0;
  for (int i = kMacOffset; i < kMacOffset + 6; ++i)
    key = key << 8 | static_cast<std::uint8_t>(reply[i]);
  return key;
}

}  // namespace

std::string_view DeviceEntry::AddressText() const {
  return {address.data(), static_cast<std::size_t>(addressLength)};
}

std::string_view DeviceEntry::MacText() const {
  return {mac.data()};
}

std::string_view DeviceEntry::ModelText() const {
  return ModelCode() == 2 ? "QV-57R" : "QV-48R2";
}

std::string DeviceEntry::VersionText() const {
  char text[16];
  std::snprintf(text, sizeof text, "%d.%02d", VersionByte() / 100, VersionByte() % 100);
  return text;
}

const DeviceEntry& DiscoveryReplies::Entry(int index) const {
  static const DeviceEntry kNone{};
  return index >= 0 && index < resultCount_ ? entries_[static_cast<std::size_t>(index)] : kNone;
}

void DiscoveryReplies::Clear() {
  lastSource_.clear();
  lastDatagramLength_ = 0;
  ring_.fill(0);
  writePosition_ = readPosition_ = 0;
  resultCount_ = 0;
  overflowed_ = false;
  entries_.clear();
  keptMacs_.clear();
}

void DiscoveryReplies::Accept(std::string_view source, const char* bytes, int length) {
  // Beyond the last record, and below the length that holds a model code and a MAC address,
  // a reply is ignored entirely.
  if (length < kMinimumReplyBytes) return;
  const bool perMac = rule_ == RecordRule::kOnePerMac;
  const std::uint64_t mac = perMac ? MacKey(bytes) : 0;
  // A device that answers again is listed once: by its MAC, or (the windows) by its source when
  // it answers twice in a row.
  if (perMac ? keptMacs_.contains(mac) : source == lastSource_) return;
  if (resultCount_ >= capacity_) {
    // Beyond the last record a reply is ignored; one from a device not yet kept is a loss (per
    // MAC, every reply that gets here is one).
    const auto kept = [source](const DeviceEntry& entry) { return entry.AddressText() == source; };
    if (perMac || !std::any_of(entries_.begin(), entries_.end(), kept)) overflowed_ = true;
    return;
  }
  Queue(bytes, length);
  lastSource_ = source;
  if (DecodeReply() && perMac) keptMacs_.insert(mac);
}

void DiscoveryReplies::Queue(const char* bytes, int length) {
  for (int i = 0; i < length; ++i) {
    const int next = (writePosition_ + 1) % kRingSize;
    if (next == readPosition_) continue;  // full: the byte is dropped
    ring_[static_cast<std::size_t>(writePosition_)] = static_cast<std::uint8_t>(bytes[i]);
    writePosition_ = next;
  }
  lastDatagramLength_ = length;
}

bool DiscoveryReplies::DecodeReply() {
  if (resultCount_ == static_cast<int>(entries_.size())) entries_.emplace_back();
  DeviceEntry& entry = entries_[static_cast<std::size_t>(resultCount_)];
  entry = DeviceEntry{};
  const std::size_t addressLength = std::min(lastSource_.size(), entry.address.size() - 1);
  std::memcpy(entry.address.data(), lastSource_.data(), addressLength);
  entry.addressLength = static_cast<int>(addressLength);
  for (int i = 0; i < lastDatagramLength_; ++i) {
    std::uint8_t byte = 0;
    if (readPosition_ != writePosition_) {
      byte = ring_[static_cast<std::size_t>(readPosition_)];
      readPosition_ = (readPosition_ + 1) % kRingSize;
    }
    if (i < DeviceEntry::kReplyBytes) entry.reply[static_cast<std::size_t>(i)] = byte;
  }
  const auto& r = entry.reply;
  std::snprintf(entry.mac.data(), entry.mac.size(), "%02X-%02X-%02X-%02X-%02X-%02X", r[24], r[25],
                r[26], r[27], r[28], r[29]);
  // A reply with an unknown model code takes no record; the next reply reuses the position.
  if (entry.ModelCode() == 1 || entry.ModelCode() == 2) {
    ++resultCount_;
    return true;
  }
  entry = DeviceEntry{};
  return false;
}

}  // namespace calbrin
