// Device discovery: the broadcast request, the collection window and the decoding of replies.
#include "net/device_discovery.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

#include "net/adapters.h"

namespace calbrin {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReceivePollMs = 20;
constexpr int kDatagramCapacity = 1023;
constexpr std::string_view kBroadcastAddress = "255.255.255.255";

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

DeviceDiscovery::DeviceDiscovery(std::chrono::milliseconds collectionWindow, int capacity)
    : collectionWindow_(collectionWindow), entries_(static_cast<std::size_t>(capacity)) {}

DeviceDiscovery::~DeviceDiscovery() {
  Shutdown();
}

void DeviceDiscovery::Startup(std::string_view probeTarget) {
  if (!sockets_) sockets_.emplace();
  socket_ = kInvalidSocket;
  running_.store(false);
  localProbeAddress_ = ProbeLocalAddress(probeTarget);
  lastSource_.clear();
}

void DeviceDiscovery::Shutdown() {
  StopReceiving();
  sockets_.reset();
}

void DeviceDiscovery::StopReceiving() {
  running_.store(false);
  // Joined before the socket is closed, so the thread never receives on a reused handle.
  if (receiveThread_.joinable()) receiveThread_.join();
  if (socket_ != kInvalidSocket) {
    CloseSocket(socket_);
    socket_ = kInvalidSocket;
  }
}

bool DeviceDiscovery::Open(std::string_view localAddress) {
  int error = 0;
  SocketHandle socket = OpenUdpSocket(error);
  if (socket == kInvalidSocket) return false;
  if (SetBroadcast(socket) != 0 || BindSocket(socket, localAddress, 0) != 0) {
    CloseSocket(socket);
    return false;
  }
  socket_ = socket;
  running_.store(true);
  try {
    receiveThread_ = std::thread(&DeviceDiscovery::ReceiveLoop, this);
  } catch (const std::system_error&) {
    // The request still goes out; nothing is received.
  }
  return true;
}

int DeviceDiscovery::Discover(std::string_view localAddress) {
  lastSource_.clear();
  lastDatagramLength_ = 0;
  ring_.fill(0);
  writePosition_ = readPosition_ = 0;
  resultCount_ = 0;
  for (DeviceEntry& entry : entries_)
    entry = DeviceEntry{};

  if (Open(localAddress)) {
    int error = 0;
    SendDatagram(socket_, kRequest.data(), static_cast<int>(kRequest.size()), kBroadcastAddress,
                 kDiscoveryPort, error);
  }
  // The window lasts its full time, whether the request went out or not.
  const Clock::time_point end = Clock::now() + collectionWindow_;
  while (Clock::now() < end)
    std::this_thread::sleep_until(end);
  StopReceiving();
  return resultCount_;
}

void DeviceDiscovery::ReceiveLoop() {
  std::array<char, kDatagramCapacity + 1> datagram{};
  while (running_.load()) {
    if (WaitReadable(socket_, kReceivePollMs) <= 0) continue;
    std::string source;
    std::uint16_t sourcePort = 0;
    int error = 0;
    const int length =
        ReceiveDatagram(socket_, datagram.data(), kDatagramCapacity, source, sourcePort, error);
    if (length < 0) continue;
    // Beyond the last record, and below the length that holds a model code and a MAC address,
    // a reply is ignored entirely.
    if (resultCount_ >= static_cast<int>(entries_.size()) || length < kMinimumReplyBytes) continue;
    // A device that answers twice in a row is listed once.
    if (source == lastSource_) continue;
    Queue(datagram.data(), length);
    lastSource_ = source;
    DecodeReply();
  }
}

void DeviceDiscovery::Queue(const char* bytes, int length) {
  for (int i = 0; i < length; ++i) {
    const int next = (writePosition_ + 1) % kRingSize;
    if (next == readPosition_) continue;  // full: the byte is dropped
    ring_[static_cast<std::size_t>(writePosition_)] = static_cast<std::uint8_t>(bytes[i]);
    writePosition_ = next;
  }
  lastDatagramLength_ = length;
}

void DeviceDiscovery::DecodeReply() {
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
  } else {
    entry = DeviceEntry{};
  }
}

}  // namespace calbrin
