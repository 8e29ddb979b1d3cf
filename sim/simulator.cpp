// The simulator's sockets and threads around the device behaviour of device_protocol.h.
#include "sim/simulator.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <filesystem>
#include <set>
#include <stdexcept>
#include <system_error>
#include <utility>
#include <vector>

#include "sim/password_codec.h"

namespace calbrin::sim {
namespace {

// How long a thread waits on a socket before it looks at the stop flag again.
constexpr int kPollMs = 20;
constexpr std::string_view kAnyAddress = "0.0.0.0";
// The pause between the pairs of a slow console's GETPARAM answer.
constexpr int kSlowAnswerPauseMs = 3;
// The documentation nets are /24s: a site's subnet must not reach beyond one.
constexpr int kDocumentationPrefixLength = 24;

void CloseIfOpen(SocketHandle& socket) {
  if (socket != kInvalidSocket) CloseSocket(socket);
  socket = kInvalidSocket;
}

std::string SocketProblem(std::string_view what, std::string_view address, std::uint16_t port,
                          int error) {
  return std::string(what) + " " + std::string(address) + ":" + std::to_string(port) +
         " failed with error " + std::to_string(error);
}

SocketHandle OpenListener(const std::string& address, std::uint16_t port, std::string& error) {
  int code = 0;
  SocketHandle socket = OpenTcpSocket(code);
  if (socket == kInvalidSocket) {
    error = SocketProblem("opening a TCP socket for", address, port, code);
    return kInvalidSocket;
  }
  // A restarted simulator must get its address back while the last connections sit in TIME_WAIT.
  SetReuseAddress(socket);
  if ((code = BindSocket(socket, address, port)) != 0 || (code = ListenSocket(socket)) != 0) {
    CloseSocket(socket);
    error = SocketProblem("listening on", address, port, code);
    return kInvalidSocket;
  }
  return socket;
}

SocketHandle OpenReplySocket(const std::string& address, std::string& error) {
  int code = 0;
  SocketHandle socket = OpenUdpSocket(code);
  if (socket == kInvalidSocket) {
    error = SocketProblem("opening a UDP socket for", address, 0, code);
    return kInvalidSocket;
  }
  if ((code = BindSocket(socket, address, 0)) != 0) {
    CloseSocket(socket);
    error = SocketProblem("binding", address, 0, code);
    return kInvalidSocket;
  }
  return socket;
}

// The dotted form that ParseIpv4 and FormatIpv4 agree on, so "127.0.0.05"-like spellings of one
// address compare equal; empty when the text is no address.
std::string CanonicalAddress(std::string_view text) {
  std::uint32_t value = 0;
  return ParseIpv4(text, value) ? FormatIpv4(value) : std::string();
}

// The answer cut after every second line end, so that each piece is one key and its value (and
// the end marker's last line one of its own); the whole answer as one piece from a quick console.
std::vector<std::string_view> AnswerPieces(std::string_view answer, bool slow) {
  std::vector<std::string_view> pieces;
  int lineEnds = 0;
  for (std::size_t at = 0; slow && (at = answer.find("\r\n", at)) != std::string_view::npos;) {
    at += 2;
    if (++lineEnds % 2 != 0) continue;
    pieces.push_back(answer.substr(0, at));
    answer.remove_prefix(at);
    at = 0;
  }
  if (!answer.empty()) pieces.push_back(answer);
  return pieces;
}

// Where a site's device at `address` is on its link by its SUBM and GWAY; false with the reason
// when that is nowhere a site may use: outside the documentation nets, or a subnet reaching out
// of them (a prefix shorter than theirs).
bool SiteLinkAddress(std::string_view address, const DeviceSettings& settings, LinkAddress& link,
                     std::string& why) {
  link = {CanonicalAddress(address), PrefixLengthOfMask(settings.Get("SUBM")),
          CanonicalAddress(settings.Get("GWAY"))};
  const bool noGateway = link.gateway == kAnyAddress;
  if (!IsDocumentationAddress(link.address)) {
    why = "the address " + std::string(address) + " is not in a documentation net";
  } else if (link.prefixLength < kDocumentationPrefixLength) {
    why = "the subnet mask " + std::string(settings.Get("SUBM")) + " is no mask of /" +
          std::to_string(kDocumentationPrefixLength) + " or longer";
  } else if (!noGateway && !IsDocumentationAddress(link.gateway)) {
    why = "the gateway " + std::string(settings.Get("GWAY")) +
          " is neither 0.0.0.0 nor in a documentation net";
  } else {
    return true;
  }
  return false;
}

}  // namespace

std::vector<DeviceIdentity> StartingIdentities(std::span<const DeviceConfig> configs) {
  std::set<std::string> taken;
  for (const DeviceConfig& config : configs) {
    const std::string address = CanonicalAddress(config.address);
    if (!address.empty()) taken.insert(address);
  }
  std::vector<DeviceIdentity> identities;
  std::uint32_t nextAddress = 0x7F000002u;
  for (std::size_t i = 0; i < configs.size(); ++i) {
    DeviceIdentity& identity = identities.emplace_back();
    if (configs[i].address.empty()) {
      while (taken.contains(FormatIpv4(nextAddress)))
        ++nextAddress;
      identity.address = FormatIpv4(nextAddress++);
    } else {
      identity.address = configs[i].address;
    }
    const std::uint32_t position = static_cast<std::uint32_t>(i + 1);
    identity.mac = configs[i].mac.value_or(
        MacAddress{0x02, 0, static_cast<std::uint8_t>(position >> 24),
                   static_cast<std::uint8_t>(position >> 16),
                   static_cast<std::uint8_t>(position >> 8), static_cast<std::uint8_t>(position)});
  }
  return identities;
}

struct Simulator::Device {
  mutable std::mutex mutex;
  DeviceState state;
  Faults faults;
  std::string lastWrite;
  std::string lastPasswordBlock;
  int connections = 0;
  std::vector<std::string> consolePeers;
  LinkAddress link;                        // site mode: where the interface is
  SocketHandle udp = kInvalidSocket;       // used by the discovery thread, replaced on a move
  SocketHandle listener = kInvalidSocket;  // the device's own thread's alone while running
  std::thread thread;
};

Simulator::Simulator() : Simulator(Options{}) {}

Simulator::Simulator(Options options) : options_(std::move(options)) {}

Simulator::~Simulator() {
  Stop();
}

int Simulator::AddDevice(DeviceConfig config) {
  configs_.push_back(std::move(config));
  devices_.push_back(std::make_unique<Device>());
  return static_cast<int>(devices_.size()) - 1;
}

Simulator::Device& Simulator::At(int index) const {
  return *devices_.at(static_cast<std::size_t>(index));
}

bool Simulator::Start(std::string& error) {
  if (running_) {
    error = "the simulator is already running";
    return false;
  }
  if (!socketSystem_.Started()) {
    error = "the socket system did not start: error " + std::to_string(socketSystem_.Error());
    return false;
  }

  // The configured devices first, so that the state file can take their place.
  std::vector<DeviceState> states;
  const std::vector<DeviceIdentity> identities = StartingIdentities(configs_);
  for (std::size_t i = 0; i < configs_.size(); ++i) {
    const DeviceConfig& config = configs_[i];
    DeviceState state;
    state.address = identities[i].address;
    if (!IsDeviceModel(config.model)) {
      error = "device " + std::to_string(i + 1) + ": model must be 48 or 57, not \"" +
              config.model + "\"";
      return false;
    }
    const bool printable = config.password.size() <= kMaxPasswordLength &&
                           std::all_of(config.password.begin(), config.password.end(),
                                       [](char c) { return c >= '!' && c <= '~'; });
    if (!printable) {
      error =
          "device " + std::to_string(i + 1) + ": a password has 1 to 32 characters from '!' to '~'";
      return false;
    }
    state.firmwareVersion = config.firmwareVersion;
    state.mac = identities[i].mac;
    state.settings = config.settings.value_or(DefaultSettings(config.model, state.address));
    state.settings.Set("MODEL", config.model);
    if (!config.subnetMask.empty()) state.settings.Set("SUBM", config.subnetMask);
    if (!config.gateway.empty()) state.settings.Set("GWAY", config.gateway);
    state.password = config.password;
    states.push_back(std::move(state));
  }

  if (!options_.stateFile.empty() && std::filesystem::exists(options_.stateFile)) {
    std::string text;
    std::string why;
    if (!ReadWholeFile(options_.stateFile, text)) {
      error = "cannot read the state file " + options_.stateFile;
      return false;
    }
    if (!ParseState(text, states, why)) {
      error = "state file " + options_.stateFile + ", " + why;
      return false;
    }
  }

  if (SiteMode() && states.size() != 1) {
    error = "a site's simulator plays one device, not " + std::to_string(states.size());
    return false;
  }
  std::set<std::string> addresses;
  std::vector<LinkAddress> links(states.size());
  for (std::size_t i = 0; i < states.size(); ++i) {
    const DeviceState& state = states[i];
    const std::string name = "device " + std::to_string(i + 1) + " (" + state.address + ")";
    std::string why;
    if (SiteMode() && !SiteLinkAddress(state.address, state.settings, links[i], why)) {
      error = name + ": " + why;
      return false;
    }
    if (!SiteMode() && !IsLoopbackAddress(state.address)) {
      error = name + ": only addresses in 127.0.0.0/8 may be used";
      return false;
    }
    if (!addresses.insert(CanonicalAddress(state.address)).second) {
      error = name + ": two devices on one address";
      return false;
    }
    if (!IsDeviceModel(state.settings.Get("MODEL"))) {
      error = name + ": MODEL must be 48 or 57";
      return false;
    }
    if (state.firmwareVersion < 0 || state.firmwareVersion > 255) {
      error = name + ": the firmware version is a byte, 0 to 255";
      return false;
    }
  }

  while (devices_.size() < states.size())
    devices_.push_back(std::make_unique<Device>());
  devices_.resize(states.size());
  const auto closeAll = [this] {
    for (auto& device : devices_) {
      CloseIfOpen(device->listener);
      CloseIfOpen(device->udp);
    }
    CloseIfOpen(discoverySocket_);
  };
  for (std::size_t i = 0; i < states.size(); ++i) {
    Device& device = *devices_[i];
    device.faults = i < configs_.size() ? configs_[i].faults : Faults{};
    device.state = states[i];
    device.lastWrite.clear();
    device.lastPasswordBlock.clear();
    device.connections = 0;
    device.consolePeers.clear();
    device.link = links[i];
    // A site's device binds every address: the one it has now may change under its sockets.
    const std::string bound = SiteMode() ? std::string(kAnyAddress) : device.state.address;
    device.listener = OpenListener(bound, options_.consolePort, error);
    if (device.listener != kInvalidSocket) device.udp = OpenReplySocket(bound, error);
    if (device.udp == kInvalidSocket) {
      closeAll();
      return false;
    }
  }

  int code = 0;
  discoverySocket_ = OpenUdpSocket(code);
  if (discoverySocket_ != kInvalidSocket) {
    // Other programs on the machine may listen for the same broadcasts.
    SetReuseAddress(discoverySocket_);
    code = BindSocket(discoverySocket_, kAnyAddress, options_.discoveryPort);
  }
  if (discoverySocket_ == kInvalidSocket || code != 0) {
    error = SocketProblem("binding", kAnyAddress, options_.discoveryPort, code);
    closeAll();
    return false;
  }

  {
    std::lock_guard lock(problemMutex_);
    lastProblem_.clear();
  }
  stop_ = false;
  discoveryRequests_ = 0;
  {
    std::lock_guard lock(beforeWriteMutex_);
    beforeWrite_ = mostBeforeWrite_ = 0;
  }
  running_ = true;
  SaveState();
  if (!LastProblem().empty()) {
    error = LastProblem();
    running_ = false;
    closeAll();
    return false;
  }
  // A large run can meet the system's limit on threads; the ones started then end again.
  try {
    for (auto& device : devices_) {
      device->thread = std::thread([this, &device = *device] { AcceptLoop(device); });
    }
    discoveryThread_ = std::thread([this] { DiscoveryLoop(); });
  } catch (const std::system_error& failure) {
    error = std::string("cannot start a thread for every device: ") + failure.what();
    Stop();
    return false;
  }
  return true;
}

void Simulator::Stop() {
  if (!running_.exchange(false)) return;
  stop_ = true;
  for (auto& device : devices_) {
    if (device->thread.joinable()) device->thread.join();
  }
  if (discoveryThread_.joinable()) discoveryThread_.join();
  for (auto& device : devices_) {
    std::lock_guard lock(device->mutex);
    CloseIfOpen(device->listener);
    CloseIfOpen(device->udp);
  }
  CloseIfOpen(discoverySocket_);
}

DeviceState Simulator::State(int index) const {
  const Device& device = At(index);
  std::lock_guard lock(device.mutex);
  return device.state;
}

DeviceSettings Simulator::Settings(int index) const {
  return State(index).settings;
}

std::string Simulator::Password(int index) const {
  return State(index).password;
}

std::string Simulator::Address(int index) const {
  return State(index).address;
}

std::string Simulator::Model(int index) const {
  return std::string(State(index).settings.Get("MODEL"));
}

std::string Simulator::LastWriteBlock(int index) const {
  const Device& device = At(index);
  std::lock_guard lock(device.mutex);
  return device.lastWrite;
}

std::string Simulator::LastPasswordBlock(int index) const {
  const Device& device = At(index);
  std::lock_guard lock(device.mutex);
  return device.lastPasswordBlock;
}

int Simulator::ConsoleConnections(int index) const {
  const Device& device = At(index);
  std::lock_guard lock(device.mutex);
  return device.connections;
}

std::vector<std::string> Simulator::ConsolePeers(int index) const {
  const Device& device = At(index);
  std::lock_guard lock(device.mutex);
  return device.consolePeers;
}

int Simulator::DiscoveryRequests() const {
  return discoveryRequests_;
}

int Simulator::MostConnectionsBeforeWrite() const {
  std::lock_guard lock(beforeWriteMutex_);
  return mostBeforeWrite_;
}

void Simulator::CountBeforeWrite(int change) {
  std::lock_guard lock(beforeWriteMutex_);
  beforeWrite_ += change;
  mostBeforeWrite_ = std::max(mostBeforeWrite_, beforeWrite_);
}

void Simulator::SetFaults(int index, const Faults& faults) {
  Device& device = At(index);
  std::lock_guard lock(device.mutex);
  device.faults = faults;
}

Faults Simulator::GetFaults(int index) const {
  const Device& device = At(index);
  std::lock_guard lock(device.mutex);
  return device.faults;
}

std::string Simulator::LastProblem() const {
  std::lock_guard lock(problemMutex_);
  return lastProblem_;
}

void Simulator::NoteProblem(const std::string& problem) {
  std::lock_guard lock(problemMutex_);
  lastProblem_ = problem;
}

void Simulator::Pause(int ms) const {
  const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
  while (!stop_ && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min(ms, 5)));
  }
}

bool Simulator::SendAll(SocketHandle connection, std::string_view bytes) {
  while (!bytes.empty()) {
    int error = 0;
    const int sent = SendBytes(connection, bytes.data(), static_cast<int>(bytes.size()), error);
    if (sent <= 0) return false;
    bytes.remove_prefix(static_cast<std::size_t>(sent));
  }
  return true;
}

void Simulator::Drain(SocketHandle connection) {
  char buffer[1024];
  while (!stop_) {
    const int ready = WaitReadable(connection, kPollMs);
    if (ready < 0) return;
    if (ready == 0) continue;
    int error = 0;
    if (ReceiveBytes(connection, buffer, sizeof buffer, error) <= 0) return;
  }
}

void Simulator::AcceptLoop(Device& device) {
  while (!stop_) {
    const int ready = WaitReadable(device.listener, kPollMs);
    if (ready < 0) Pause(kPollMs);
    if (ready <= 0) continue;
    int error = 0;
    const SocketHandle connection = AcceptSocket(device.listener, error);
    if (connection == kInvalidSocket) continue;
    std::string peer;
    PeerAddress(connection, peer);
    {
      std::lock_guard lock(device.mutex);
      ++device.connections;
      device.consolePeers.push_back(peer);
    }
    CountBeforeWrite(1);
    bool beforeWrite = true;
    const SessionEnd end = Serve(device, connection, beforeWrite);
    if (beforeWrite) CountBeforeWrite(-1);
    // A reset device is at its new address before the client sees the connection end.
    if (end == SessionEnd::kReset) Restart(device);
    CloseSocket(connection);
  }
}

Simulator::SessionEnd Simulator::Serve(Device& device, SocketHandle connection, bool& beforeWrite) {
  const auto faults = [&device] {
    std::lock_guard lock(device.mutex);
    return device.faults;
  };
  if (faults().silentAfterConnect) {
    Drain(connection);
    return SessionEnd::kClosed;
  }
  std::string password;
  {
    std::lock_guard lock(device.mutex);
    password = device.state.password;
  }
  bool loggedIn = password.empty();
  if (!SendAll(connection, loggedIn ? kCommandPrompt : kPasswordPrompt)) return SessionEnd::kClosed;
  if (faults().closeAfterPrompt) return SessionEnd::kClosed;

  std::string pending;
  char buffer[4096];
  while (!stop_) {
    const int ready = WaitReadable(connection, kPollMs);
    if (ready < 0) return SessionEnd::kClosed;
    if (ready == 0) continue;
    int error = 0;
    const int received = ReceiveBytes(connection, buffer, sizeof buffer, error);
    if (received <= 0) return SessionEnd::kClosed;
    pending.append(buffer, static_cast<std::size_t>(received));

    for (std::size_t lf; !loggedIn && (lf = pending.find('\n')) != std::string::npos;) {
      const std::string line = pending.substr(0, lf);
      pending.erase(0, lf + 1);
      loggedIn = !faults().refusePassword && LoginMatches(line, password);
      if (!SendAll(connection, loggedIn ? kLoginAccepted : kPasswordPrompt)) {
        return SessionEnd::kClosed;
      }
    }

    for (Request request;
         loggedIn && (request = NextRequest(pending)).kind != RequestKind::kIncomplete;) {
      const std::string block = pending.substr(0, request.length);
      pending.erase(0, request.length);
      const Faults now = faults();
      switch (request.kind) {
        case RequestKind::kIncomplete:
        case RequestKind::kBlankLine:
          break;
        case RequestKind::kGetParam: {
          std::string answer;
          {
            std::lock_guard lock(device.mutex);
            answer = SettingsAnswer(device.state.settings, now);
          }
          const std::vector<std::string_view> pieces = AnswerPieces(answer, now.slowAnswer);
          for (std::size_t i = 0; i < pieces.size(); ++i) {
            if (i > 0) Pause(kSlowAnswerPauseMs);
            if (!SendAll(connection, pieces[i])) return SessionEnd::kClosed;
          }
          if (now.closeAfterSettings) return SessionEnd::kClosed;
          break;
        }
        case RequestKind::kWrite:
        case RequestKind::kPasswordSet: {
          const bool isWrite = request.kind == RequestKind::kWrite;
          {
            std::lock_guard lock(device.mutex);
            (isWrite ? device.lastWrite : device.lastPasswordBlock) = block;
          }
          if (std::exchange(beforeWrite, false)) CountBeforeWrite(-1);
          const bool faulty = isWrite ? !now.passwordBlockOnly : true;
          if (faulty && now.neverAck) {
            Drain(connection);
            return SessionEnd::kClosed;
          }
          // A P_SET without a save command is no request the device knows.
          if (request.save == SaveCommand::kNone) break;
          bool refused = false;
          {
            std::lock_guard lock(device.mutex);
            if (isWrite) {
              refused = ApplyWriteBlock(block, device.state.settings) < 0;
            } else {
              std::string newPassword;
              const PasswordChange change = DecodePasswordBlock(block, newPassword);
              if (change == PasswordChange::kSet) device.state.password = newPassword;
              if (change == PasswordChange::kRemove) device.state.password.clear();
            }
          }
          if (refused) {
            if (!SendAll(connection, kWriteRefused)) return SessionEnd::kClosed;
            break;
          }
          SaveState();
          Pause(faulty ? now.ackDelayMs : 0);
          const bool reset = request.save == SaveCommand::kSaveAndReset;
          // The device restarts after ENDR whether or not its answer got through.
          if (!SendAll(connection, reset ? kSaveAndResetAck : kSaveAck) || reset) {
            return reset ? SessionEnd::kReset : SessionEnd::kClosed;
          }
          break;
        }
      }
    }
    if (pending.size() > kMaxPendingBytes) return SessionEnd::kClosed;
  }
  return SessionEnd::kClosed;
}

void Simulator::Restart(Device& device) {
  if (SiteMode()) {
    MoveOnLink(device);
    return;
  }
  std::string target;
  {
    std::lock_guard lock(device.mutex);
    target = CanonicalAddress(device.state.settings.Get("IP"));
    if (target.empty() || target == CanonicalAddress(device.state.address)) return;
  }
  // Any other address is stored but not taken: the simulator never leaves the loopback net.
  if (!IsLoopbackAddress(target)) return;
  for (std::size_t i = 0; i < devices_.size(); ++i) {
    if (devices_[i].get() != &device && CanonicalAddress(Address(static_cast<int>(i))) == target) {
      NoteProblem("cannot move to " + target + ": another device is there");
      return;
    }
  }
  std::string problem;
  const SocketHandle listener = OpenListener(target, options_.consolePort, problem);
  const SocketHandle udp =
      listener == kInvalidSocket ? kInvalidSocket : OpenReplySocket(target, problem);
  if (udp == kInvalidSocket) {
    if (listener != kInvalidSocket) CloseSocket(listener);
    NoteProblem("cannot move to " + target + ": " + problem);
    return;
  }
  {
    std::lock_guard lock(device.mutex);
    CloseIfOpen(device.udp);
    device.udp = udp;
    device.state.address = target;
  }
  CloseIfOpen(device.listener);
  device.listener = listener;
  SaveState();
}

// A site's device restarts where its settings now say, as a unit does: its interface moves.
void Simulator::MoveOnLink(Device& device) {
  LinkAddress from;
  LinkAddress to;
  std::string why;
  bool usable = false;
  {
    std::lock_guard lock(device.mutex);
    from = device.link;
    usable = SiteLinkAddress(device.state.settings.Get("IP"), device.state.settings, to, why);
  }
  // Anything else is stored but not taken: a site never leaves the documentation nets.
  if (!usable) {
    NoteProblem("cannot move: " + why);
    return;
  }
  if (to == from) return;
  const std::string problem = options_.moveLink(from, to);
  if (!problem.empty()) {
    NoteProblem("cannot move to " + to.address + "/" + std::to_string(to.prefixLength) + " via " +
                to.gateway + ": " + problem);
    return;
  }
  {
    std::lock_guard lock(device.mutex);
    device.link = to;
    device.state.address = to.address;
  }
  SaveState();
}

bool Simulator::AnswersRequester(std::string_view source) const {
  return IsLoopbackAddress(source) || (SiteMode() && IsDocumentationAddress(source));
}

void Simulator::DiscoveryLoop() {
  char buffer[512];
  while (!stop_) {
    const int ready = WaitReadable(discoverySocket_, kPollMs);
    if (ready < 0) Pause(kPollMs);
    if (ready <= 0) continue;
    std::string source;
    std::uint16_t sourcePort = 0;
    int error = 0;
    const int received =
        ReceiveDatagram(discoverySocket_, buffer, sizeof buffer, source, sourcePort, error);
    if (received != static_cast<int>(kDiscoveryRequestBytes) ||
        std::string_view(buffer, kDiscoveryRequestBytes) != kDiscoveryRequest ||
        !AnswersRequester(source)) {
      continue;
    }
    ++discoveryRequests_;
    for (auto& device : devices_) {
      std::lock_guard lock(device->mutex);
      const std::string reply =
          DiscoveryReply(device->state.settings.Get("MODEL"), device->state.firmwareVersion,
                         device->state.mac, device->faults);
      for (int copy = device->faults.doubleReply ? 2 : 1; copy > 0; --copy) {
        SendDatagram(device->udp, reply.data(), static_cast<int>(reply.size()), source, sourcePort,
                     error);
      }
    }
  }
}

void Simulator::SaveState() {
  if (options_.stateFile.empty()) return;
  std::lock_guard fileLock(stateFileMutex_);
  std::vector<DeviceState> states;
  for (const auto& device : devices_) {
    std::lock_guard lock(device->mutex);
    states.push_back(device->state);
  }
  std::string problem;
  if (!ReplaceFileAtomically(options_.stateFile, FormatState(states), problem)) {
    NoteProblem(problem);
  }
}

}  // namespace calbrin::sim
