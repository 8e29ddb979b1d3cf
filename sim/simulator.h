// Simulator: plays any number of QV devices on loopback addresses, each with its TCP console on
// port 9998 of its own address, and answers discovery broadcasts on UDP port 30718.
//
// Threads: one per device accepts console connections on the device's address and serves them
// one at a time, in order; one more answers discovery requests. Every public member may be called
// from any thread; the accessors return copies taken under the device's lock.
//
// Only loopback addresses (127.0.0.0/8) are ever bound, and discovery answers go only to a
// loopback requester. The library needs nothing but the standard library and net/socket.h, so it
// builds for Windows too.
//
// Site mode (Options::moveLink set) plays one device that lives on a network interface of a
// namespace of its own, as a unit on a real link: its address is one of the documentation nets
// (IsDocumentationAddress), its sockets are bound to every local address so that they outlast a
// change of its own, discovery is answered to requesters in 127.0.0.0/8 and the documentation
// nets, and a reset after a write of IP, SUBM or GWAY moves the interface there through moveLink.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <span>
#include <string>
#include <thread>
#include <vector>

#include "net/socket.h"
#include "sim/device_protocol.h"
#include "sim/device_settings.h"
#include "sim/faults.h"
#include "sim/state_file.h"

namespace calbrin::sim {

struct DeviceConfig {
  // Empty: the first of 127.0.0.2, 127.0.0.3, ... that no other device of the simulator has.
  std::string address{};
  std::string model = "48";   // "48" (QV-48R2) or "57" (QV-57R)
  int firmwareVersion = 100;  // the reply byte; the tool shows 100 as "1.00"
  // Unset: the one that StartingIdentities gives the device's position.
  std::optional<MacAddress> mac{};
  // Unset: DefaultSettings(model, address). Its MODEL field is always set to `model`.
  std::optional<DeviceSettings> settings{};
  std::string password{};  // the settings password; empty: none
  // SUBM and GWAY; empty: those of `settings` (the factory's 255.0.0.0 and 0.0.0.0).
  std::string subnetMask{};
  std::string gateway{};
  Faults faults{};
};

// Where a device of a site is on its link: its address, the prefix length of its subnet mask,
// and its gateway ("0.0.0.0": none).
struct LinkAddress {
  std::string address;
  int prefixLength = 0;
  std::string gateway;

  friend bool operator==(const LinkAddress&, const LinkAddress&) = default;
};

// Moves a site's device from one link address to another; empty when it is there, else what
// failed.
using LinkMover = std::function<std::string(const LinkAddress& from, const LinkAddress& to)>;

// Where a device is found on the network.
struct DeviceIdentity {
  std::string address;
  MacAddress mac{};
};

// The identities that the devices of `configs` start with, in order: the configured address and
// MAC where there are ones; else the first of 127.0.0.2, 127.0.0.3, ... that no device of
// `configs` names, and 02-00 followed by the device's position (1 for the first) in four bytes.
// So the first 255 get 02-00-00-00-00-01 to 02-00-00-00-00-FF, the 256th 02-00-00-00-01-00, and
// no two devices without a configured MAC share one; 65534 devices without configured addresses
// take 127.0.0.2 to 127.0.255.255.
std::vector<DeviceIdentity> StartingIdentities(std::span<const DeviceConfig> configs);

class Simulator {
 public:
  struct Options {
    // Empty: no state file. Otherwise loaded by Start() when it exists, and rewritten after
    // every change of a device's state (see state_file.h).
    std::string stateFile{};
    std::uint16_t consolePort = kConsolePort;
    std::uint16_t discoveryPort = kDiscoveryPort;
    // Set: site mode (see above).
    LinkMover moveLink{};
  };

  Simulator();
  explicit Simulator(Options options);
  ~Simulator();  // Stop()
  Simulator(const Simulator&) = delete;
  Simulator& operator=(const Simulator&) = delete;

  // Before Start() only. Returns the device's index.
  int AddDevice(DeviceConfig config);

  // Loads the state file if there is one: its devices replace the added ones, each keeping the
  // faults of the added device of the same index. Then binds every socket, writes the state file,
  // and starts the threads. A Start() after Stop() begins again from the added devices and the
  // state file. False with a message when a device is invalid (an address outside
  // 127.0.0.0/8, in site mode outside the documentation nets or with a SUBM that is no mask; a
  // model other than 48 or 57; two devices on one address), site mode has other than one device,
  // the state file is malformed, or a socket cannot be bound; nothing then runs.
  bool Start(std::string& error);
  // Ends every connection and thread; returns once all are joined. Safe to call twice.
  void Stop();
  bool Running() const { return running_; }

  int DeviceCount() const { return static_cast<int>(devices_.size()); }

  // State of device `index` (0-based; out of range throws std::out_of_range).
  DeviceState State(int index) const;
  DeviceSettings Settings(int index) const;
  std::string Password(int index) const;
  // Moves with a write of IP to another loopback address (in site mode: documentation address).
  std::string Address(int index) const;
  std::string Model(int index) const;
  // The bytes of the last write, from its first key line through its save command line, and of
  // the last P_SET block through its save command line; empty until one arrives.
  std::string LastWriteBlock(int index) const;
  std::string LastPasswordBlock(int index) const;
  int ConsoleConnections(int index) const;  // accepted since Start()
  int DiscoveryRequests() const;            // "VQ" datagrams answered since Start()
  // The address that each console connection accepted since Start() came from, in order: which
  // local address the client connected from.
  std::vector<std::string> ConsolePeers(int index) const;
  // The most console connections, over all devices, that were open at once without having
  // brought a write or P_SET block yet, since Start(). A client that opens its next device only
  // after the last one acknowledged its write keeps this at the number of devices it works on at
  // once, however its threads run.
  int MostConnectionsBeforeWrite() const;

  // Takes effect for the next thing the device does, even within an open connection.
  void SetFaults(int index, const Faults& faults);
  Faults GetFaults(int index) const;

  // The last failure to write the state file or to move a device; empty when there was none.
  std::string LastProblem() const;

 private:
  struct Device;
  enum class SessionEnd { kClosed, kReset };

  Device& At(int index) const;
  void AcceptLoop(Device& device);
  // `beforeWrite` is cleared once the connection brings its first write or P_SET block.
  SessionEnd Serve(Device& device, SocketHandle connection, bool& beforeWrite);
  void CountBeforeWrite(int change);
  void Restart(Device& device);
  void MoveOnLink(Device& device);
  bool SiteMode() const { return static_cast<bool>(options_.moveLink); }
  // Whether a discovery request from `source` gets answers.
  bool AnswersRequester(std::string_view source) const;
  void DiscoveryLoop();
  void SaveState();
  void NoteProblem(const std::string& problem);
  bool SendAll(SocketHandle connection, std::string_view bytes);
  void Drain(SocketHandle connection);
  void Pause(int ms) const;

  Options options_;
  SocketSystem socketSystem_;
  std::vector<DeviceConfig> configs_;  // as added; read by Start() only
  std::vector<std::unique_ptr<Device>> devices_;
  SocketHandle discoverySocket_ = kInvalidSocket;
  std::thread discoveryThread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> running_{false};
  std::atomic<int> discoveryRequests_{0};
  mutable std::mutex beforeWriteMutex_;
  int beforeWrite_ = 0;
  int mostBeforeWrite_ = 0;
  std::mutex stateFileMutex_;
  mutable std::mutex problemMutex_;
  std::string lastProblem_;
};

}  // namespace calbrin::sim
