// The socket interface on BSD sockets, with errno values mapped to Windows Sockets codes.
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "net/socket.h"

namespace calbrin {
namespace {

int ToWsaError(int e) {
  switch (e) {
    case EINTR:
      return wsa::kInterrupted;
    case EBADF:
      return wsa::kBadHandle;
    case EACCES:
    case EPERM:
      return wsa::kAccessDenied;
    case EFAULT:
      return wsa::kFault;
    case EINVAL:
      return wsa::kInvalidArgument;
    case EMFILE:
    case ENFILE:
      return wsa::kTooManySockets;
#if EAGAIN != EWOULDBLOCK
    case EAGAIN:
#endif
    case EWOULDBLOCK:
      return wsa::kWouldBlock;
    case EINPROGRESS:
      return wsa::kInProgress;
    case EALREADY:
      return wsa::kAlreadyInProgress;
    case ENOTSOCK:
      return wsa::kNotSocket;
    case EDESTADDRREQ:
      return wsa::kDestinationRequired;
    case EMSGSIZE:
      return wsa::kMessageSize;
    case EPROTOTYPE:
      return wsa::kProtocolType;
    case ENOPROTOOPT:
      return wsa::kProtocolOption;
    case EPROTONOSUPPORT:
      return wsa::kProtocolNotSupported;
    case EOPNOTSUPP:
      return wsa::kOperationNotSupported;
    case EAFNOSUPPORT:
      return wsa::kAddressFamilyNotSupported;
    case EADDRINUSE:
      return wsa::kAddressInUse;
    case EADDRNOTAVAIL:
      return wsa::kAddressNotAvailable;
    case ENETDOWN:
      return wsa::kNetworkDown;
    case ENETUNREACH:
      return wsa::kNetworkUnreachable;
    case ECONNABORTED:
      return wsa::kConnectionAborted;
    case ECONNRESET:
    case EPIPE:
      return wsa::kConnectionReset;
    case ENOBUFS:
    case ENOMEM:
      return wsa::kNoBufferSpace;
    case EISCONN:
      return wsa::kIsConnected;
    case ENOTCONN:
      return wsa::kNotConnected;
    case ESHUTDOWN:
      return wsa::kShutdown;
    case ETIMEDOUT:
      return wsa::kTimedOut;
    case ECONNREFUSED:
      return wsa::kConnectionRefused;
    case EHOSTDOWN:
      return wsa::kHostDown;
    case EHOSTUNREACH:
      return wsa::kHostUnreachable;
    default:
      return wsa::kInvalidArgument;
  }
}

int LastError() {
  return ToWsaError(errno);
}

int Fd(SocketHandle socket) {
  return static_cast<int>(socket);
}

bool MakeAddress(std::string_view text, std::uint16_t port, sockaddr_in& address) {
  std::uint32_t host = 0;
  if (!ParseIpv4(text, host)) return false;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(host);
  return true;
}

SocketHandle OpenSocket(int type, int protocol, int& error) {
  const int fd = ::socket(AF_INET, type | SOCK_CLOEXEC, protocol);
  if (fd < 0) {
    error = LastError();
    return kInvalidSocket;
  }
  return fd;
}

int SetFlagOption(SocketHandle socket, int option) {
  const int on = 1;
  return ::setsockopt(Fd(socket), SOL_SOCKET, option, &on, sizeof on) == 0 ? 0 : LastError();
}

}  // namespace

SocketSystem::SocketSystem() = default;
SocketSystem::~SocketSystem() = default;

bool ParseIpv4(std::string_view text, std::uint32_t& address) {
  char buffer[INET_ADDRSTRLEN] = {};
  if (text.size() >= sizeof buffer) return false;
  std::memcpy(buffer, text.data(), text.size());
  in_addr parsed{};
  if (::inet_pton(AF_INET, buffer, &parsed) != 1) return false;
  address = ntohl(parsed.s_addr);
  return true;
}

std::string FormatIpv4(std::uint32_t address) {
  in_addr value{};
  value.s_addr = htonl(address);
  char buffer[INET_ADDRSTRLEN] = {};
  ::inet_ntop(AF_INET, &value, buffer, sizeof buffer);
  return buffer;
}

SocketHandle OpenTcpSocket(int& error) {
  return OpenSocket(SOCK_STREAM, IPPROTO_TCP, error);
}
SocketHandle OpenUdpSocket(int& error) {
  return OpenSocket(SOCK_DGRAM, IPPROTO_UDP, error);
}

int SetReuseAddress(SocketHandle socket) {
  return SetFlagOption(socket, SO_REUSEADDR);
}
int SetBroadcast(SocketHandle socket) {
  return SetFlagOption(socket, SO_BROADCAST);
}

int SetReceiveBuffer(SocketHandle socket, int bytes) {
  if (::setsockopt(Fd(socket), SOL_SOCKET, SO_RCVBUF, &bytes, sizeof bytes) != 0)
    return LastError();
  // The kernel caps the plain request at net.core.rmem_max; a privileged process may exceed it.
  int granted = 0;
  socklen_t size = sizeof granted;
  if (::getsockopt(Fd(socket), SOL_SOCKET, SO_RCVBUF, &granted, &size) == 0 && granted < bytes)
    ::setsockopt(Fd(socket), SOL_SOCKET, SO_RCVBUFFORCE, &bytes, sizeof bytes);
  return 0;
}

int BindSocket(SocketHandle socket, std::string_view address, std::uint16_t port) {
  sockaddr_in local{};
  // A text that is no address (an adapter without an IPv4 address has the empty one) names no
  // address of this machine, as the system says when asked to bind to one.
  if (!MakeAddress(address, port, local)) return wsa::kAddressNotAvailable;
  return ::bind(Fd(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0
             ? 0
             : LastError();
}

int ConnectSocket(SocketHandle socket, std::string_view address, std::uint16_t port) {
  sockaddr_in remote{};
  if (!MakeAddress(address, port, remote)) return wsa::kInvalidArgument;
  int result;
  do {
    result = ::connect(Fd(socket), reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
  } while (result != 0 && errno == EINTR);
  return result == 0 ? 0 : LastError();
}

int ListenSocket(SocketHandle socket) {
  return ::listen(Fd(socket), SOMAXCONN) == 0 ? 0 : LastError();
}

SocketHandle AcceptSocket(SocketHandle socket, int& error) {
  const int fd = ::accept4(Fd(socket), nullptr, nullptr, SOCK_CLOEXEC);
  if (fd < 0) {
    error = LastError();
    return kInvalidSocket;
  }
  return fd;
}

namespace {

// One end of a connection through `name` (getsockname or getpeername): its address, and its
// port where `port` is given.
template <typename NameFunction>
int EndAddress(NameFunction name, SocketHandle socket, std::string& address, std::uint16_t* port) {
  sockaddr_in end{};
  socklen_t size = sizeof end;
  if (name(Fd(socket), reinterpret_cast<sockaddr*>(&end), &size) != 0) return LastError();
  address = FormatIpv4(ntohl(end.sin_addr.s_addr));
  if (port != nullptr) *port = ntohs(end.sin_port);
  return 0;
}

}  // namespace

int LocalAddress(SocketHandle socket, std::string& address, std::uint16_t* port) {
  return EndAddress(::getsockname, socket, address, port);
}

int PeerAddress(SocketHandle socket, std::string& address, std::uint16_t* port) {
  return EndAddress(::getpeername, socket, address, port);
}

int SendBytes(SocketHandle socket, const char* data, int length, int& error) {
  // A peer that has gone must give an error code, not end the process with SIGPIPE.
  const ssize_t sent = ::send(Fd(socket), data, static_cast<size_t>(length), MSG_NOSIGNAL);
  if (sent < 0) {
    error = LastError();
    return -1;
  }
  return static_cast<int>(sent);
}

int ReceiveBytes(SocketHandle socket, char* buffer, int capacity, int& error) {
  ssize_t received;
  do {
    received = ::recv(Fd(socket), buffer, static_cast<size_t>(capacity), 0);
  } while (received < 0 && errno == EINTR);
  if (received < 0) {
    error = LastError();
    return -1;
  }
  return static_cast<int>(received);
}

int SendDatagram(SocketHandle socket, const char* data, int length, std::string_view address,
                 std::uint16_t port, int& error) {
  sockaddr_in remote{};
  if (!MakeAddress(address, port, remote)) {
    error = wsa::kInvalidArgument;
    return -1;
  }
  const ssize_t sent = ::sendto(Fd(socket), data, static_cast<size_t>(length), MSG_NOSIGNAL,
                                reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
  if (sent < 0) {
    error = LastError();
    return -1;
  }
  return static_cast<int>(sent);
}

int ReceiveDatagram(SocketHandle socket, char* buffer, int capacity, std::string& source,
                    std::uint16_t& sourcePort, int& error) {
  sockaddr_in from{};
  socklen_t size = sizeof from;
  const ssize_t received = ::recvfrom(Fd(socket), buffer, static_cast<size_t>(capacity), MSG_TRUNC,
                                      reinterpret_cast<sockaddr*>(&from), &size);
  if (received < 0) {
    error = LastError();
    return -1;
  }
  // Windows fails a datagram larger than the buffer; do the same, so both lose it alike.
  if (received > capacity) {
    error = wsa::kMessageSize;
    return -1;
  }
  source = FormatIpv4(ntohl(from.sin_addr.s_addr));
  sourcePort = ntohs(from.sin_port);
  return static_cast<int>(received);
}

int WaitReadable(SocketHandle socket, int timeoutMs) {
  pollfd entry{Fd(socket), POLLIN, 0};
  const int ready = ::poll(&entry, 1, timeoutMs);
  if (ready < 0) return errno == EINTR ? 0 : -1;
  return ready > 0 ? 1 : 0;
}

void ShutdownSocket(SocketHandle socket) {
  ::shutdown(Fd(socket), SHUT_RDWR);
}

void CloseSocket(SocketHandle socket) {
  ::close(Fd(socket));
}

}  // namespace calbrin
