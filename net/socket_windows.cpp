// The socket interface on Windows Sockets 2; its error codes are already the ones we report.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <cstring>

#include "net/socket.h"

namespace calbrin {
namespace {

SOCKET Native(SocketHandle socket) {
  return static_cast<SOCKET>(socket);
}

SocketHandle FromNative(SOCKET socket) {
  return socket == INVALID_SOCKET ? kInvalidSocket : static_cast<SocketHandle>(socket);
}

// inet_pton's rules differ between Windows versions (leading zeros, octal and hex parts); the
// text must mean the same address on every platform, so accept only the plain dotted quad that
// glibc accepts: four decimal parts of 0 to 255, none with a leading zero.
bool IsDottedQuad(const char* text) {
  int parts = 0;
  int digits = 0;
  int value = 0;
  for (const char* p = text;; ++p) {
    const char c = *p;
    if (c >= '0' && c <= '9') {
      if (digits > 0 && value == 0) return false;
      value = value * 10 + (c - '0');
      if (value > 255) return false;
      ++digits;
    } else if (c == '.' || c == '\0') {
      if (digits == 0) return false;
      ++parts;
      if (c == '\0') return parts == 4;
      if (parts == 4) return false;
      digits = 0;
      value = 0;
    } else {
      return false;
    }
  }
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
  // Like SOCK_CLOEXEC elsewhere: a program started by the tool must not hold our sockets open.
  const SOCKET socket = ::WSASocketW(AF_INET, type, protocol, nullptr, 0,
                                     WSA_FLAG_OVERLAPPED | WSA_FLAG_NO_HANDLE_INHERIT);
  if (socket == INVALID_SOCKET) {
    error = ::WSAGetLastError();
    return kInvalidSocket;
  }
  return FromNative(socket);
}

int SetFlagOption(SocketHandle socket, int option) {
  const BOOL on = TRUE;
  return ::setsockopt(Native(socket), SOL_SOCKET, option, reinterpret_cast<const char*>(&on),
                      sizeof on) == 0
             ? 0
             : ::WSAGetLastError();
}

}  // namespace

SocketSystem::SocketSystem() {
  WSADATA data{};
  error_ = ::WSAStartup(MAKEWORD(2, 2), &data);
}

SocketSystem::~SocketSystem() {
  if (error_ == 0) ::WSACleanup();
}

bool ParseIpv4(std::string_view text, std::uint32_t& address) {
  char buffer[INET_ADDRSTRLEN] = {};
  if (text.size() >= sizeof buffer) return false;
  std::memcpy(buffer, text.data(), text.size());
  if (!IsDottedQuad(buffer)) return false;
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
  return ::setsockopt(Native(socket), SOL_SOCKET, SO_RCVBUF, reinterpret_cast<const char*>(&bytes),
                      sizeof bytes) == 0
             ? 0
             : ::WSAGetLastError();
}

int BindSocket(SocketHandle socket, std::string_view address, std::uint16_t port) {
  sockaddr_in local{};
  // A text that is no address (an adapter without an IPv4 address has the empty one) names no
  // address of this machine, as the system says when asked to bind to one.
  if (!MakeAddress(address, port, local)) return wsa::kAddressNotAvailable;
  return ::bind(Native(socket), reinterpret_cast<const sockaddr*>(&local), sizeof local) == 0
             ? 0
             : ::WSAGetLastError();
}

int ConnectSocket(SocketHandle socket, std::string_view address, std::uint16_t port) {
  sockaddr_in remote{};
  if (!MakeAddress(address, port, remote)) return wsa::kInvalidArgument;
  return ::connect(Native(socket), reinterpret_cast<const sockaddr*>(&remote), sizeof remote) == 0
             ? 0
             : ::WSAGetLastError();
}

int ListenSocket(SocketHandle socket) {
  return ::listen(Native(socket), SOMAXCONN) == 0 ? 0 : ::WSAGetLastError();
}

SocketHandle AcceptSocket(SocketHandle socket, int& error) {
  const SOCKET accepted = ::accept(Native(socket), nullptr, nullptr);
  if (accepted == INVALID_SOCKET) {
    error = ::WSAGetLastError();
    return kInvalidSocket;
  }
  return FromNative(accepted);
}

namespace {

// One end of a connection through `name` (getsockname or getpeername): its address, and its
// port where `port` is given.
template <typename NameFunction>
int EndAddress(NameFunction name, SocketHandle socket, std::string& address, std::uint16_t* port) {
  sockaddr_in end{};
  int size = sizeof end;
  if (name(Native(socket), reinterpret_cast<sockaddr*>(&end), &size) != 0)
    return ::WSAGetLastError();
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
  const int sent = ::send(Native(socket), data, length, 0);
  if (sent == SOCKET_ERROR) {
    error = ::WSAGetLastError();
    return -1;
  }
  return sent;
}

int ReceiveBytes(SocketHandle socket, char* buffer, int capacity, int& error) {
  const int received = ::recv(Native(socket), buffer, capacity, 0);
  if (received == SOCKET_ERROR) {
    error = ::WSAGetLastError();
    return -1;
  }
  return received;
}

int SendDatagram(SocketHandle socket, const char* data, int length, std::string_view address,
                 std::uint16_t port, int& error) {
  sockaddr_in remote{};
  if (!MakeAddress(address, port, remote)) {
    error = wsa::kInvalidArgument;
    return -1;
  }
  const int sent = ::sendto(Native(socket), data, length, 0,
                            reinterpret_cast<const sockaddr*>(&remote), sizeof remote);
  if (sent == SOCKET_ERROR) {
    error = ::WSAGetLastError();
    return -1;
  }
  return sent;
}

int ReceiveDatagram(SocketHandle socket, char* buffer, int capacity, std::string& source,
                    std::uint16_t& sourcePort, int& error) {
  sockaddr_in from{};
  int size = sizeof from;
  // A datagram larger than the buffer fails with WSAEMSGSIZE and is lost, which is the behaviour
  // the other platform imitates.
  const int received =
      ::recvfrom(Native(socket), buffer, capacity, 0, reinterpret_cast<sockaddr*>(&from), &size);
  if (received == SOCKET_ERROR) {
    error = ::WSAGetLastError();
    return -1;
  }
  source = FormatIpv4(ntohl(from.sin_addr.s_addr));
  sourcePort = ntohs(from.sin_port);
  return received;
}

int WaitReadable(SocketHandle socket, int timeoutMs) {
  fd_set readable;
  FD_ZERO(&readable);
  FD_SET(Native(socket), &readable);
  timeval timeout{};
  timeout.tv_sec = timeoutMs / 1000;
  timeout.tv_usec = (timeoutMs % 1000) * 1000;
  // A negative timeout waits without end, as poll() does on the other platform.
  const int ready = ::select(0, &readable, nullptr, nullptr, timeoutMs < 0 ? nullptr : &timeout);
  if (ready == SOCKET_ERROR) return -1;
  return ready > 0 ? 1 : 0;
}

void ShutdownSocket(SocketHandle socket) {
  ::shutdown(Native(socket), SD_BOTH);
}

void CloseSocket(SocketHandle socket) {
  ::closesocket(Native(socket));
}

}  // namespace calbrin
