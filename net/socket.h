// One socket interface over Windows Sockets and BSD sockets. Only net/socket_*.cpp include the
// platform headers. Every failure is reported as a Windows Sockets error code, on every platform,
// so that messages and tests read the same everywhere.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace calbrin {

// A socket handle: SOCKET on Windows, a file descriptor elsewhere.
using SocketHandle = std::intptr_t;
inline constexpr SocketHandle kInvalidSocket = -1;

// Windows Sockets error codes used by the tool and its tests.
namespace wsa {
inline constexpr int kInterrupted = 10004;
inline constexpr int kBadHandle = 10009;
inline constexpr int kAccessDenied = 10013;
inline constexpr int kFault = 10014;
inline constexpr int kInvalidArgument = 10022;
inline constexpr int kTooManySockets = 10024;
inline constexpr int kWouldBlock = 10035;
inline constexpr int kInProgress = 10036;
inline constexpr int kAlreadyInProgress = 10037;
inline constexpr int kNotSocket = 10038;
inline constexpr int kDestinationRequired = 10039;
inline constexpr int kMessageSize = 10040;
inline constexpr int kProtocolType = 10041;
inline constexpr int kProtocolOption = 10042;
inline constexpr int kProtocolNotSupported = 10043;
inline constexpr int kOperationNotSupported = 10045;
inline constexpr int kAddressFamilyNotSupported = 10047;
inline constexpr int kAddressInUse = 10048;
inline constexpr int kAddressNotAvailable = 10049;
inline constexpr int kNetworkDown = 10050;
inline constexpr int kNetworkUnreachable = 10051;
inline constexpr int kConnectionAborted = 10053;
inline constexpr int kConnectionReset = 10054;
inline constexpr int kNoBufferSpace = 10055;
inline constexpr int kIsConnected = 10056;
inline constexpr int kNotConnected = 10057;
inline constexpr int kShutdown = 10058;
inline constexpr int kTimedOut = 10060;
inline constexpr int kConnectionRefused = 10061;
inline constexpr int kHostDown = 10064;
inline constexpr int kHostUnreachable = 10065;
inline constexpr int kNotInitialised = 10093;
}  // namespace wsa

// Starts Windows Sockets 2.2 for the lifetime of the object (nothing to do elsewhere). Each
// process-wide network object owns one, as the Windows API counts its users.
class SocketSystem {
 public:
  SocketSystem();
  ~SocketSystem();
  SocketSystem(const SocketSystem&) = delete;
  SocketSystem& operator=(const SocketSystem&) = delete;

  bool Started() const { return error_ == 0; }
  int Error() const { return error_; }

 private:
  int error_ = 0;
};

// Dotted IPv4 text to an address in host byte order; false when the text is not one.
bool ParseIpv4(std::string_view text, std::uint32_t& address);
std::string FormatIpv4(std::uint32_t address);

// Each operation returns its result and, on failure, stores the error code in `error`.
SocketHandle OpenTcpSocket(int& error);
SocketHandle OpenUdpSocket(int& error);
// The options, bind, connect, listen: 0 on success, else the error code.
int SetReuseAddress(SocketHandle socket);
int SetBroadcast(SocketHandle socket);
// Asks for a receive buffer of `bytes`, so that a burst of datagrams (every device answering a
// broadcast at once) waits in it instead of being dropped; the system may grant less.
int SetReceiveBuffer(SocketHandle socket, int bytes);
int BindSocket(SocketHandle socket, std::string_view address, std::uint16_t port);
int ConnectSocket(SocketHandle socket, std::string_view address, std::uint16_t port);
int ListenSocket(SocketHandle socket);
// The accepted connection, or kInvalidSocket with `error` set.
SocketHandle AcceptSocket(SocketHandle socket, int& error);
// The local or the peer address of a socket as dotted text; 0 or the error code.
int LocalAddress(SocketHandle socket, std::string& address, std::uint16_t* port = nullptr);
int PeerAddress(SocketHandle socket, std::string& address, std::uint16_t* port = nullptr);

// One send or receive call. Bytes moved, 0 for a peer that closed (receive), -1 on failure.
int SendBytes(SocketHandle socket, const char* data, int length, int& error);
int ReceiveBytes(SocketHandle socket, char* buffer, int capacity, int& error);
int SendDatagram(SocketHandle socket, const char* data, int length, std::string_view address,
                 std::uint16_t port, int& error);
// Receives one datagram and the dotted text and port of its source.
int ReceiveDatagram(SocketHandle socket, char* buffer, int capacity, std::string& source,
                    std::uint16_t& sourcePort, int& error);

// 1 when a receive would not block, 0 when `timeoutMs` passed first, -1 on failure.
int WaitReadable(SocketHandle socket, int timeoutMs);

// Shuts both directions down, which wakes a receive call blocked in another thread.
void ShutdownSocket(SocketHandle socket);
void CloseSocket(SocketHandle socket);

}  // namespace calbrin
