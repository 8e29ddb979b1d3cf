// Raw-socket clients and the fixture of the simulator tests.
#include "tests/sim/sim_test_support.h"

#include <chrono>
#include <filesystem>
#include <random>

namespace calbrin::sim::test {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
  const auto left =
      std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
  return left > 0 ? static_cast<int>(left) : 0;
}

std::mt19937 SeededGenerator() {
  // Some runtimes' random_device is deterministic; the clock and a stack address vary anyway.
  int local = 0;
  std::seed_seq seed{static_cast<unsigned>(std::random_device{}()),
                     static_cast<unsigned>(Clock::now().time_since_epoch().count()),
                     static_cast<unsigned>(reinterpret_cast<std::uintptr_t>(&local))};
  return std::mt19937(seed);
}

}  // namespace

ConsoleClient::~ConsoleClient() {
  if (socket_ != kInvalidSocket) CloseSocket(socket_);
}

int ConsoleClient::Connect(const std::string& address, std::uint16_t port) {
  int error = 0;
  socket_ = OpenTcpSocket(error);
  if (socket_ == kInvalidSocket) return error;
  return ConnectSocket(socket_, address, port);
}

bool ConsoleClient::Send(std::string_view bytes) {
  while (!bytes.empty()) {
    int error = 0;
    const int sent = SendBytes(socket_, bytes.data(), static_cast<int>(bytes.size()), error);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

bool ConsoleClient::ReadOnce(int timeoutMs, std::string& into) {
  if (closed_ || WaitReadable(socket_, timeoutMs) != 1) return false;
  char buffer[8192];
  int error = 0;
  const int received = ReceiveBytes(socket_, buffer, sizeof buffer, error);
  if (received <= 0) {
    closed_ = true;
    return false;
  }
  into.append(buffer, static_cast<std::size_t>(received));
  return true;
}

std::string ConsoleClient::ReadUntil(std::string_view suffix, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string text;
  for (int left; !std::string_view(text).ends_with(suffix) && !closed_ &&
                 (left = RemainingMs(deadline)) > 0;) {
    ReadOnce(left, text);
  }
  return text;
}

std::string ConsoleClient::ReadFor(int ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  std::string text;
  for (int left; (left = RemainingMs(deadline)) > 0 && !closed_;)
    ReadOnce(left, text);
  return text;
}

bool ConsoleClient::WaitClosed(int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
  std::string ignored;
  for (int left; !closed_ && (left = RemainingMs(deadline)) > 0;)
    ReadOnce(left, ignored);
  return closed_;
}

DiscoveryClient::DiscoveryClient() {
  int error = 0;
  socket_ = OpenUdpSocket(error);
  if (socket_ == kInvalidSocket) return;
  if (SetBroadcast(socket_) != 0 || BindSocket(socket_, "127.0.0.1", 0) != 0) {
    CloseSocket(socket_);
    socket_ = kInvalidSocket;
  }
}

DiscoveryClient::~DiscoveryClient() {
  if (socket_ != kInvalidSocket) CloseSocket(socket_);
}

int DiscoveryClient::Broadcast(std::uint16_t port, std::string_view request) {
  int error = 0;
  const int sent = SendDatagram(socket_, request.data(), static_cast<int>(request.size()),
                                "255.255.255.255", port, error);
  return sent == static_cast<int>(request.size()) ? 0 : error;
}

std::vector<Datagram> DiscoveryClient::Collect(int ms) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
  std::vector<Datagram> datagrams;
  for (int left; (left = RemainingMs(deadline)) > 0;) {
    if (WaitReadable(socket_, left) != 1) continue;
    char buffer[512];
    Datagram datagram;
    int error = 0;
    const int received = ReceiveDatagram(socket_, buffer, sizeof buffer, datagram.source,
                                         datagram.sourcePort, error);
    if (received < 0) continue;
    datagram.bytes.assign(buffer, static_cast<std::size_t>(received));
    datagrams.push_back(std::move(datagram));
  }
  return datagrams;
}

std::string ReplyMac(const Datagram& reply) {
  if (reply.bytes.size() < kReplyMacOffset + 6) return {};
  return reply.bytes.substr(kReplyMacOffset, 6);
}

bool DatagramsLeaveFromBoundAddress(const std::string& address) {
  int error = 0;
  const SocketHandle sender = OpenUdpSocket(error);
  const SocketHandle receiver = OpenUdpSocket(error);
  bool kept = false;
  std::string receiverAddress;
  std::uint16_t receiverPort = 0;
  if (sender != kInvalidSocket && receiver != kInvalidSocket &&
      BindSocket(sender, address, 0) == 0 && BindSocket(receiver, "127.0.0.1", 0) == 0 &&
      LocalAddress(receiver, receiverAddress, &receiverPort) == 0 &&
      SendDatagram(sender, "?", 1, "127.0.0.1", receiverPort, error) == 1 &&
      WaitReadable(receiver, 1000) == 1) {
    char byte = 0;
    std::string source;
    std::uint16_t sourcePort = 0;
    kept = ReceiveDatagram(receiver, &byte, 1, source, sourcePort, error) == 1 && source == address;
  }
  if (sender != kInvalidSocket) CloseSocket(sender);
  if (receiver != kInvalidSocket) CloseSocket(receiver);
  return kept;
}

SimTest::SimTest() {
  std::mt19937 generator = SeededGenerator();
  // 127.0.0.x stays free for qvsim and the tool's own tests.
  block_ = "127." + std::to_string(std::uniform_int_distribution<int>(1, 254)(generator)) + "." +
           std::to_string(std::uniform_int_distribution<int>(0, 255)(generator)) + ".";
  // Below the usual ephemeral ranges, and away from the real discovery port.
  discoveryPort_ =
      static_cast<std::uint16_t>(std::uniform_int_distribution<int>(20000, 29999)(generator));
  macPrefix_ = static_cast<std::uint32_t>(generator());
}

MacAddress SimTest::Mac(std::uint8_t last) const {
  return {0x02,
          static_cast<std::uint8_t>(macPrefix_ >> 24),
          static_cast<std::uint8_t>(macPrefix_ >> 16),
          static_cast<std::uint8_t>(macPrefix_ >> 8),
          static_cast<std::uint8_t>(macPrefix_),
          last};
}

DeviceConfig SimTest::Device(int host, std::string model, std::string password) const {
  DeviceConfig config;
  config.address = Address(host);
  config.model = std::move(model);
  config.mac = Mac(static_cast<std::uint8_t>(host));
  config.password = std::move(password);
  return config;
}

Simulator::Options SimTest::Options(std::string stateFile) const {
  Simulator::Options options;
  options.stateFile = std::move(stateFile);
  options.discoveryPort = discoveryPort_;
  return options;
}

std::string SimTest::TempFile(std::string_view name) {
  const std::string unique =
      "calbrin-sim-" + block_ + std::to_string(discoveryPort_) + "-" + std::string(name);
  const std::string path = (std::filesystem::temp_directory_path() / unique).string();
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  tempFiles_.push_back(path);
  return path;
}

void SimTest::TearDown() {
  for (const std::string& path : tempFiles_) {
    std::error_code ignored;
    std::filesystem::remove(path, ignored);
    std::filesystem::remove(path + ".tmp", ignored);
  }
}

}  // namespace calbrin::sim::test
