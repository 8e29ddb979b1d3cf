// The platform-neutral part of the adapter list: masks, the route probe and the selection.
#include "net/adapters.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "net/socket.h"

namespace calbrin {

std::string MaskText(int prefixLength) {
  const int bits = std::clamp(prefixLength, 0, 32);
  // Shifting a 32-bit value by 32 is undefined, so the empty mask is its own case.
  const std::uint32_t mask = bits == 0 ? 0u : 0xFFFFFFFFu << (32 - bits);
  char text[16];
  std::snprintf(text, sizeof text, "%u.%u.%u.%u", static_cast<unsigned>(mask >> 24),
                static_cast<unsigned>((mask >> 16) & 0xFF),
                static_cast<unsigned>((mask >> 8) & 0xFF), static_cast<unsigned>(mask & 0xFF));
  return text;
}

std::string ProbeLocalAddress(std::string_view target) {
  // Windows counts its socket users; holding one here keeps the probe usable on its own.
  const SocketSystem system;
  if (!system.Started()) return "";
  int error = 0;
  const SocketHandle socket = OpenUdpSocket(error);
  if (socket == kInvalidSocket) return "";
  std::string address;
  // A datagram connect sends nothing; it only fixes the route and with it the local address.
  if (ConnectSocket(socket, target, 53) != 0 || LocalAddress(socket, address) != 0) {
    address.clear();
  }
  CloseSocket(socket);
  return address;
}

void SelectInitialAdapter(AdapterTable& table, std::string_view probeAddress) {
  SelectAdapter(table, -1);
  const int count = std::min(table.count, AdapterTable::kCapacity);
  if (count <= 0) return;
  int chosen = 0;
  if (!probeAddress.empty()) {
    for (int i = 0; i < count; ++i) {
      if (table.entries[static_cast<std::size_t>(i)].address == probeAddress) {
        chosen = i;
        break;
      }
    }
  }
  SelectAdapter(table, chosen);
}

const AdapterEntry* SelectedAdapter(const AdapterTable& table) {
  const int count = std::clamp(table.count, 0, AdapterTable::kCapacity);
  for (int i = 0; i < count; ++i) {
    if (table.entries[static_cast<std::size_t>(i)].selected != 0) {
      return &table.entries[static_cast<std::size_t>(i)];
    }
  }
  return nullptr;
}

std::string SelectedLocalAddress(const AdapterTable& table) {
  const AdapterEntry* adapter = SelectedAdapter(table);
  return adapter != nullptr ? adapter->address : "0.0.0.0";
}

void SelectAdapter(AdapterTable& table, int index) {
  for (AdapterEntry& entry : table.entries)
    entry.selected = 0;
  if (index >= 0 && index < std::min(table.count, AdapterTable::kCapacity)) {
    table.entries[static_cast<std::size_t>(index)].selected = 1;
  }
}

}  // namespace calbrin
