// Device discovery: the broadcast request, the collection window and the receive thread.
#include "net/device_discovery.h"

#include "net/adapters.h"

namespace calbrin {
namespace {

using Clock = std::chrono::steady_clock;

constexpr int kReceivePollMs = 20;
constexpr int kDatagramCapacity = 1023;
constexpr std::string_view kBroadcastAddress = "255.255.255.255";
// Room for the answers of a few thousand devices arriving at once (a datagram takes about 1 KiB
// of buffer); without it a large site's answers overflow the default buffer and are lost.
constexpr int kReceiveBufferBytes = 8 << 20;

}  // namespace

DeviceDiscovery::DeviceDiscovery(std::chrono::milliseconds collectionWindow, int capacity,
                                 RecordRule rule, WireTrace* trace)
    : collectionWindow_(collectionWindow), replies_(capacity, rule), trace_(trace) {}

DeviceDiscovery::~DeviceDiscovery() {
  Shutdown();
}

void DeviceDiscovery::Startup(std::string_view probeTarget) {
  if (!sockets_) sockets_.emplace();
  socket_ = kInvalidSocket;
  running_.store(false);
  localProbeAddress_ = ProbeLocalAddress(probeTarget);
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
  SetReceiveBuffer(socket, kReceiveBufferBytes);
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
  replies_.Clear();

  if (Open(localAddress)) {
    int error = 0;
    // Traced before it goes out, so that no answer precedes it in the trace.
    if (trace_) trace_->Record(kBroadcastAddress, kDiscoveryPort, TraceEvent::kSent, kRequest);
    if (SendDatagram(socket_, kRequest.data(), static_cast<int>(kRequest.size()), kBroadcastAddress,
                     kDiscoveryPort, error) < 0 &&
        trace_) {
      trace_->Record(kBroadcastAddress, kDiscoveryPort, TraceEvent::kNote,
                     "send failed: error " + std::to_string(error));
    }
  }
  // The window lasts its full time, whether the request went out or not.
  const Clock::time_point end = Clock::now() + collectionWindow_;
  while (Clock::now() < end)
    std::this_thread::sleep_until(end);
  StopReceiving();
  return replies_.ResultCount();
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
    replies_.Accept(source, datagram.data(), length);
    if (trace_) {
      trace_->Record(source, sourcePort, TraceEvent::kReceived,
                     {datagram.data(), static_cast<std::size_t>(length)});
    }
  }
}

}  // namespace calbrin
