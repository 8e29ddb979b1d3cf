// DeviceDiscovery: one UDP broadcast request and the devices that answer it within 5 seconds.
#pragma once

#include <array>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/socket.h"

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

// Used by the user-interface thread; during a search one receive thread queues and decodes the
// replies. The records are read only after Discover has joined that thread.
class DeviceDiscovery {
 public:
  static constexpr int kMaxEntries = 20;
  static constexpr std::uint16_t kDiscoveryPort = 30718;
  static constexpr std::string_view kRequest = "VQ";
  static constexpr std::chrono::milliseconds kCollectionWindow{5000};
  // Bytes up to the MAC address's end: a shorter reply cannot describe a device.
  static constexpr int kMinimumReplyBytes = 30;
  static constexpr int kRingSize = 2048;

  // Keeps the first `capacity` devices that answer: the windows list 20, the command line more.
  explicit DeviceDiscovery(std::chrono::milliseconds collectionWindow = kCollectionWindow,
                           int capacity = kMaxEntries);
  ~DeviceDiscovery();
  DeviceDiscovery(const DeviceDiscovery&) = delete;
  DeviceDiscovery& operator=(const DeviceDiscovery&) = delete;

  // Starts Windows Sockets for this object and runs the route probe towards `probeTarget`.
  void Startup(std::string_view probeTarget);
  void Shutdown();

  // Broadcasts one request from `localAddress` ("0.0.0.0": any) and collects replies
  // for the whole collection window. Returns the number of devices found, 0 to the capacity.
  int Discover(std::string_view localAddress);

  int ResultCount() const { return resultCount_; }
  const DeviceEntry& Entry(int index) const { return entries_[static_cast<std::size_t>(index)]; }
  std::string_view LocalProbeAddress() const { return localProbeAddress_; }

 private:
  bool Open(std::string_view localAddress);
  void StopReceiving();
  void ReceiveLoop();
  void Queue(const char* bytes, int length);
  void DecodeReply();

  std::chrono::milliseconds collectionWindow_;
  std::optional<SocketSystem> sockets_;
  SocketHandle socket_ = kInvalidSocket;
  std::thread receiveThread_;
  std::atomic<bool> running_{false};
  int resultCount_ = 0;
  std::vector<DeviceEntry> entries_;
  std::string localProbeAddress_;
  std::string lastSource_;
  int lastDatagramLength_ = 0;
  // The receive thread queues each datagram here and decodes it from here.
  std::array<std::uint8_t, kRingSize> ring_{};
  int writePosition_ = 0;
  int readPosition_ = 0;
};

}  // namespace calbrin
