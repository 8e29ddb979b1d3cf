// A native helper for the discovery tests: waits for one discovery request on UDP port 30718 and,
// when it is the two bytes "VQ", answers it with the given replies, each from its own source
// address, then exits. The tests run
// it as a separate process because Wine sends every UDP datagram from the interface's first
// address, whatever address its socket was bound to.
//
//   udp_responder READY-FILE [FROM-ADDRESS HEX-BYTES]...
#include <chrono>
#include <cstdio>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "net/socket.h"

namespace {

std::string FromHex(const std::string& hex) {
  std::string bytes;
  for (std::size_t i = 0; i + 1 < hex.size(); i += 2) {
    bytes += static_cast<char>(std::stoi(hex.substr(i, 2), nullptr, 16));
  }
  return bytes;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace calbrin;
  if (argc < 2 || argc % 2 != 0) {
    std::fprintf(stderr, "usage: udp_responder READY-FILE [FROM-ADDRESS HEX-BYTES]...\n");
    return 2;
  }
  int error = 0;
  const SocketHandle socket = OpenUdpSocket(error);
  if (socket == kInvalidSocket || SetReuseAddress(socket) != 0 ||
      BindSocket(socket, "0.0.0.0", 30718) != 0) {
    std::perror("udp_responder: bind");
    return 1;
  }
  if (std::FILE* ready = std::fopen(argv[1], "w")) std::fclose(ready);
  if (WaitReadable(socket, 5000) <= 0) return 1;
  char request[64];
  std::string source;
  std::uint16_t port = 0;
  if (ReceiveDatagram(socket, request, sizeof request, source, port, error) != 2 ||
      std::string_view(request, 2) != "VQ") {
    return 1;
  }
  for (int i = 2; i + 1 < argc; i += 2) {
    const std::string bytes = FromHex(argv[i + 1]);
    const SocketHandle sender = OpenUdpSocket(error);
    BindSocket(sender, argv[i], 0);
    SendDatagram(sender, bytes.data(), static_cast<int>(bytes.size()), source, port, error);
    CloseSocket(sender);
    std::this_thread::sleep_for(std::chrono::milliseconds(5));  // keeps the arrival order
  }
  CloseSocket(socket);
  return 0;
}
