// Temporary network changes on Linux through rtnetlink, one request and its acknowledgement at a
// time, and the address probe through a packet socket.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <linux/neighbour.h>
#include <linux/netlink.h>
#include <linux/rtnetlink.h>
#include <net/ethernet.h>
#include <net/if.h>
#include <net/if_arp.h>
#include <netinet/in.h>
#include <netpacket/packet.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <string>
#include <utility>

#include "net/network_changes.h"
#include "net/socket.h"

namespace calbrin {
namespace {

// The kernel answers each request at once; this only bounds a wait that should never happen.
constexpr int kAckTimeoutMs = 5000;

// A file descriptor closed when the scope ends.
class Descriptor {
 public:
  explicit Descriptor(int fd) : fd_(fd) {}
  ~Descriptor() {
    if (fd_ >= 0) ::close(fd_);
  }
  Descriptor(const Descriptor&) = delete;
  Descriptor& operator=(const Descriptor&) = delete;
  int Get() const { return fd_; }

 private:
  int fd_;
};

ChangeResult Result(ChangeStatus status, std::string detail = {}) {
  return {status, std::move(detail)};
}

ChangeResult FromErrno(int error, const std::string& what) {
  const std::string detail = what + ": " + std::strerror(error);
  switch (error) {
    case 0:
      return Result(ChangeStatus::kDone);
    case EPERM:
    case EACCES:
      return Result(ChangeStatus::kNoRights, detail);
    case EEXIST:
      return Result(ChangeStatus::kExists, detail);
    default:
      return Result(ChangeStatus::kFailed, detail);
  }
}

// The address in network byte order, as netlink attributes and ARP carry it.
bool NetworkAddress(std::string_view text, std::uint32_t& address) {
  std::uint32_t host = 0;
  if (!ParseIpv4(text, host)) return false;
  address = htonl(host);
  return true;
}

ChangeResult NotAnAddress(std::string_view text) {
  return Result(ChangeStatus::kFailed, "not an IPv4 address: \"" + std::string(text) + "\"");
}

// One rtnetlink request: the header, the message body and its attributes in one buffer.
class Request {
 public:
  template <typename Body>
  Request(std::uint16_t type, std::uint16_t flags, const Body& body) {
    Header().nlmsg_len = NLMSG_LENGTH(sizeof body);
    Header().nlmsg_type = type;
    Header().nlmsg_flags = static_cast<std::uint16_t>(NLM_F_REQUEST | NLM_F_ACK | flags);
    std::memcpy(NLMSG_DATA(&Header()), &body, sizeof body);
  }

  void Add(std::uint16_t type, const void* data, std::size_t size) {
    const std::size_t offset = NLMSG_ALIGN(Header().nlmsg_len);
    auto* attribute = reinterpret_cast<rtattr*>(buffer_.data() + offset);
    attribute->rta_type = type;
    attribute->rta_len = static_cast<std::uint16_t>(RTA_LENGTH(size));
    std::memcpy(RTA_DATA(attribute), data, size);
    Header().nlmsg_len = static_cast<std::uint32_t>(offset + RTA_ALIGN(attribute->rta_len));
  }
  void AddU32(std::uint16_t type, std::uint32_t value) { Add(type, &value, sizeof value); }

  nlmsghdr& Header() { return *reinterpret_cast<nlmsghdr*>(buffer_.data()); }

 private:
  alignas(nlmsghdr) std::array<char, 256> buffer_{};
};

// The kernel's answer to the request: 0 or the errno value of its acknowledgement.
int Exchange(Request& request) {
  const Descriptor socket(::socket(AF_NETLINK, SOCK_RAW | SOCK_CLOEXEC, NETLINK_ROUTE));
  if (socket.Get() < 0) return errno;
  constexpr std::uint32_t kSequence = 1;
  request.Header().nlmsg_seq = kSequence;
  sockaddr_nl kernel{};
  kernel.nl_family = AF_NETLINK;
  if (::sendto(socket.Get(), &request.Header(), request.Header().nlmsg_len, 0,
               reinterpret_cast<const sockaddr*>(&kernel), sizeof kernel) < 0) {
    return errno;
  }
  alignas(nlmsghdr) std::array<char, 8192> answer{};
  for (;;) {
    pollfd ready{socket.Get(), POLLIN, 0};
    const int polled = ::poll(&ready, 1, kAckTimeoutMs);
    if (polled < 0 && errno == EINTR) continue;
    if (polled <= 0) return polled == 0 ? ETIMEDOUT : errno;
    const ssize_t received = ::recv(socket.Get(), answer.data(), answer.size(), 0);
    if (received < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    auto length = static_cast<unsigned int>(received);
    for (auto* message = reinterpret_cast<nlmsghdr*>(answer.data()); NLMSG_OK(message, length);
         message = NLMSG_NEXT(message, length)) {
      if (message->nlmsg_seq != kSequence || message->nlmsg_type != NLMSG_ERROR) continue;
      if (message->nlmsg_len < NLMSG_LENGTH(sizeof(nlmsgerr))) return EPROTO;
      return -static_cast<const nlmsgerr*>(NLMSG_DATA(message))->error;
    }
  }
}

ChangeResult Send(Request& request, const std::string& what) {
  return FromErrno(Exchange(request), what);
}

rtmsg RouteMessage(std::uint8_t prefixLength, std::uint8_t scope) {
  rtmsg route{};
  route.rtm_family = AF_INET;
  route.rtm_dst_len = prefixLength;
  route.rtm_table = RT_TABLE_MAIN;
  route.rtm_protocol = RTPROT_BOOT;
  route.rtm_scope = scope;
  route.rtm_type = RTN_UNICAST;
  return route;
}

ifaddrmsg AddressMessage(int adapter, int prefixLength) {
  ifaddrmsg message{};
  message.ifa_family = AF_INET;
  message.ifa_prefixlen = static_cast<std::uint8_t>(prefixLength);
  message.ifa_scope = RT_SCOPE_UNIVERSE;
  message.ifa_index = static_cast<std::uint32_t>(adapter);
  return message;
}

// The 28 bytes of an Ethernet/IPv4 ARP packet.
struct [[gnu::packed]] ArpPacket {
  std::uint16_t hardwareType;
  std::uint16_t protocolType;
  std::uint8_t hardwareLength;
  std::uint8_t protocolLength;
  std::uint16_t operation;
  MacBytes senderMac;
  std::uint32_t senderAddress;
  MacBytes targetMac;
  std::uint32_t targetAddress;
};
static_assert(sizeof(ArpPacket) == 28);

bool AdapterMac(int socket, int adapter, MacBytes& mac) {
  ifreq request{};
  if (::if_indextoname(static_cast<unsigned int>(adapter), request.ifr_name) == nullptr)
    return false;
  if (::ioctl(socket, SIOCGIFHWADDR, &request) != 0) return false;
  std::memcpy(mac.data(), request.ifr_hwaddr.sa_data, mac.size());
  return true;
}

sockaddr_ll LinkAddress(int adapter) {
  sockaddr_ll link{};
  link.sll_family = AF_PACKET;
  link.sll_protocol = htons(ETHERTYPE_ARP);
  link.sll_ifindex = adapter;
  return link;
}

}  // namespace

int InterfaceIndexOf(std::string_view adapterAddress) {
  std::uint32_t wanted = 0;
  if (!NetworkAddress(adapterAddress, wanted)) return 0;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return 0;
  int index = 0;
  for (const ifaddrs* item = list; item != nullptr && index == 0; item = item->ifa_next) {
    if (item->ifa_addr == nullptr || item->ifa_addr->sa_family != AF_INET) continue;
    if (reinterpret_cast<const sockaddr_in*>(item->ifa_addr)->sin_addr.s_addr != wanted) continue;
    index = static_cast<int>(::if_nametoindex(item->ifa_name));
  }
  ::freeifaddrs(list);
  return index;
}

int InterfaceIndexNamed(std::string_view name) {
  if (name.empty() || name.size() >= IF_NAMESIZE) return 0;
  return static_cast<int>(::if_nametoindex(std::string(name).c_str()));
}

ChangeResult PinNeighbour(int adapter, std::string_view address, const MacBytes& mac) {
  std::uint32_t destination = 0;
  if (!NetworkAddress(address, destination)) return NotAnAddress(address);
  ndmsg neighbour{};
  neighbour.ndm_family = AF_INET;
  neighbour.ndm_ifindex = adapter;
  neighbour.ndm_state = NUD_PERMANENT;
  neighbour.ndm_type = RTN_UNICAST;
  Request request(RTM_NEWNEIGH, NLM_F_CREATE | NLM_F_REPLACE, neighbour);
  request.Add(NDA_DST, &destination, sizeof destination);
  request.Add(NDA_LLADDR, mac.data(), mac.size());
  return Send(request, "pinning the neighbour entry of " + std::string(address));
}

ChangeResult RemoveNeighbour(int adapter, std::string_view address) {
  std::uint32_t destination = 0;
  if (!NetworkAddress(address, destination)) return NotAnAddress(address);
  ndmsg neighbour{};
  neighbour.ndm_family = AF_INET;
  neighbour.ndm_ifindex = adapter;
  Request request(RTM_DELNEIGH, 0, neighbour);
  request.Add(NDA_DST, &destination, sizeof destination);
  return Send(request, "removing the neighbour entry of " + std::string(address));
}

ChangeResult AddHostRoute(int adapter, std::string_view address, std::string_view source) {
  std::uint32_t destination = 0;
  std::uint32_t from = 0;
  if (!NetworkAddress(address, destination)) return NotAnAddress(address);
  if (!NetworkAddress(source, from)) return NotAnAddress(source);
  // Exclusive: a route that is there already belongs to someone else and must outlive us.
  Request request(RTM_NEWROUTE, NLM_F_CREATE | NLM_F_EXCL, RouteMessage(32, RT_SCOPE_LINK));
  request.Add(RTA_DST, &destination, sizeof destination);
  request.AddU32(RTA_OIF, static_cast<std::uint32_t>(adapter));
  request.Add(RTA_PREFSRC, &from, sizeof from);
  return Send(request, "adding the route to " + std::string(address));
}

ChangeResult RemoveHostRoute(int adapter, std::string_view address) {
  std::uint32_t destination = 0;
  if (!NetworkAddress(address, destination)) return NotAnAddress(address);
  // Scope "nowhere" matches a route of any scope.
  Request request(RTM_DELROUTE, 0, RouteMessage(32, RT_SCOPE_NOWHERE));
  request.Add(RTA_DST, &destination, sizeof destination);
  request.AddU32(RTA_OIF, static_cast<std::uint32_t>(adapter));
  return Send(request, "removing the route to " + std::string(address));
}

ChangeResult AddLocalAddress(int adapter, std::string_view address, int prefixLength,
                             bool noPrefixRoute) {
  std::uint32_t local = 0;
  if (!NetworkAddress(address, local)) return NotAnAddress(address);
  if (prefixLength < 0 || prefixLength > 32)
    return Result(ChangeStatus::kFailed, "no prefix length: " + std::to_string(prefixLength));
  Request request(RTM_NEWADDR, NLM_F_CREATE | NLM_F_EXCL, AddressMessage(adapter, prefixLength));
  request.Add(IFA_LOCAL, &local, sizeof local);
  request.Add(IFA_ADDRESS, &local, sizeof local);
  // The flag does not fit the message's 8-bit flags field; the attribute carries all 32 bits.
  if (noPrefixRoute) request.AddU32(IFA_FLAGS, IFA_F_NOPREFIXROUTE);
  return Send(request, "adding the address " + std::string(address));
}

ChangeResult RemoveLocalAddress(int adapter, std::string_view address, int prefixLength) {
  std::uint32_t local = 0;
  if (!NetworkAddress(address, local)) return NotAnAddress(address);
  // With IFA_ADDRESS the kernel also matches the prefix length.
  Request request(RTM_DELADDR, 0, AddressMessage(adapter, prefixLength));
  request.Add(IFA_LOCAL, &local, sizeof local);
  request.Add(IFA_ADDRESS, &local, sizeof local);
  return Send(request, "removing the address " + std::string(address));
}

ChangeResult SetDefaultGateway(int adapter, std::string_view gateway) {
  std::uint32_t next = 0;
  if (!gateway.empty() && !NetworkAddress(gateway, next)) return NotAnAddress(gateway);
  if (next != 0) {
    Request request(RTM_NEWROUTE, NLM_F_CREATE | NLM_F_REPLACE, RouteMessage(0, RT_SCOPE_UNIVERSE));
    request.Add(RTA_GATEWAY, &next, sizeof next);
    request.AddU32(RTA_OIF, static_cast<std::uint32_t>(adapter));
    return Send(request, "setting the default gateway " + std::string(gateway));
  }
  // Every default route of the adapter, until the kernel has none left (ESRCH).
  for (int removed = 0; removed < 16; ++removed) {
    Request request(RTM_DELROUTE, 0, RouteMessage(0, RT_SCOPE_NOWHERE));
    request.AddU32(RTA_OIF, static_cast<std::uint32_t>(adapter));
    const int error = Exchange(request);
    if (error == ESRCH) return Result(ChangeStatus::kDone);
    if (error != 0) return FromErrno(error, "removing the default gateway");
  }
  return Result(ChangeStatus::kFailed, "removing the default gateway: too many default routes");
}

std::optional<MacBytes> ProbeAddress(int adapter, std::string_view address, int timeoutMs) {
  std::uint32_t target = 0;
  if (!NetworkAddress(address, target)) return std::nullopt;
  const Descriptor socket(::socket(AF_PACKET, SOCK_DGRAM | SOCK_CLOEXEC, htons(ETHERTYPE_ARP)));
  if (socket.Get() < 0) return std::nullopt;
  sockaddr_ll link = LinkAddress(adapter);
  ArpPacket probe{};
  if (!AdapterMac(socket.Get(), adapter, probe.senderMac) ||
      ::bind(socket.Get(), reinterpret_cast<const sockaddr*>(&link), sizeof link) != 0) {
    return std::nullopt;
  }
  probe.hardwareType = htons(ARPHRD_ETHER);
  probe.protocolType = htons(ETHERTYPE_IP);
  probe.hardwareLength = 6;
  probe.protocolLength = 4;
  probe.operation = htons(ARPOP_REQUEST);
  probe.targetAddress = target;  // the sender's address stays 0.0.0.0: we claim none
  link.sll_halen = 6;
  std::memset(link.sll_addr, 0xff, 6);
  if (::sendto(socket.Get(), &probe, sizeof probe, 0, reinterpret_cast<const sockaddr*>(&link),
               sizeof link) != static_cast<ssize_t>(sizeof probe)) {
    return std::nullopt;
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    pollfd ready{socket.Get(), POLLIN, 0};
    if (left.count() <= 0 || ::poll(&ready, 1, static_cast<int>(left.count())) <= 0)
      return std::nullopt;
    ArpPacket reply{};
    sockaddr_ll from{};
    socklen_t fromSize = sizeof from;
    const ssize_t received = ::recvfrom(socket.Get(), &reply, sizeof reply, 0,
                                        reinterpret_cast<sockaddr*>(&from), &fromSize);
    if (received < static_cast<ssize_t>(sizeof reply) || from.sll_pkttype == PACKET_OUTGOING)
      continue;
    if (reply.operation == htons(ARPOP_REPLY) && reply.protocolType == htons(ETHERTYPE_IP) &&
        reply.senderAddress == target) {
      return reply.senderMac;
    }
  }
}

}  // namespace calbrin
