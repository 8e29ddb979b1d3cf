// DeviceDiscovery: one UDP broadcast request and the devices that answer it within 5 seconds.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <thread>

#include "net/discovery_replies.h"
#include "net/socket.h"
#include "net/wire_trace.h"

namespace calbrin {

// Used by the user-interface thread; during a search one receive thread queues and decodes the
// replies. The records are read only after Discover has joined that thread.
class DeviceDiscovery {
 public:
  static constexpr int kMaxEntries = DiscoveryReplies::kMaxEntries;
  static constexpr std::uint16_t kDiscoveryPort = 30718;
  static constexpr std::string_view kRequest = "VQ";
  static constexpr std::chrono::milliseconds kCollectionWindow{5000};
  static constexpr int kMinimumReplyBytes = DiscoveryReplies::kMinimumReplyBytes;

  // Keeps the first `capacity` devices that answer, by `rule`: the windows list 20 rows and skip
  // a source that answers twice in a row; the command line keeps more, one per MAC. `trace`, when
  // given, receives the request and every datagram that arrives.
  explicit DeviceDiscovery(std::chrono::milliseconds collectionWindow = kCollectionWindow,
                           int capacity = kMaxEntries,
                           RecordRule rule = RecordRule::kSkipRepeatedSource,
                           WireTrace* trace = nullptr);
  ~DeviceDiscovery();
  DeviceDiscovery(const DeviceDiscovery&) = delete;
  DeviceDiscovery& operator=(const DeviceDiscovery&) = delete;

  // Starts Windows Sockets for this object and runs the route probe towards `probeTarget`.
  void Startup(std::string_view probeTarget);
  void Shutdown();

  // Broadcasts one request from `localAddress` ("0.0.0.0": any) and collects replies
  // for the whole collection window. Returns the number of devices found, 0 to the capacity.
  int Discover(std::string_view localAddress);

  int ResultCount() const { return replies_.ResultCount(); }
  // Whether a device answered after `capacity` devices were kept, and so is missing.
  bool Overflowed() const { return replies_.Overflowed(); }
  const DeviceEntry& Entry(int index) const { return replies_.Entry(index); }
  std::string_view LocalProbeAddress() const { return localProbeAddress_; }

 private:
  bool Open(std::string_view localAddress);
  void StopReceiving();
  void ReceiveLoop();

  std::chrono::milliseconds collectionWindow_;
  std::optional<SocketSystem> sockets_;
  SocketHandle socket_ = kInvalidSocket;
  std::thread receiveThread_;
  std::atomic<bool> running_{false};
  DiscoveryReplies replies_;
  std::string localProbeAddress_;
  WireTrace* trace_;
};

}  // namespace calbrin
