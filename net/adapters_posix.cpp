// The adapter list from getifaddrs, which reports each interface once per address family.
#include <arpa/inet.h>
#include <ifaddrs.h>
#include <netinet/in.h>
#include <sys/socket.h>

#include <bit>
#include <cstdint>
#include <string_view>

#include "net/adapters.h"
#include "net/socket.h"

namespace calbrin {
namespace {

// The table's entry for an interface name, added at the end on its first appearance; nullptr
// when the table is already full.
AdapterEntry* EntryFor(AdapterTable& table, std::string_view name) {
  for (int i = 0; i < table.count; ++i) {
    AdapterEntry& entry = table.entries[static_cast<std::size_t>(i)];
    if (entry.name == name) return &entry;
  }
  if (table.count == AdapterTable::kCapacity) return nullptr;
  AdapterEntry& entry = table.entries[static_cast<std::size_t>(table.count++)];
  entry.name = name.substr(0, 511);
  return &entry;
}

}  // namespace

int FillAdapterTable(AdapterTable& table) {
  table.entries = {};
  table.count = 0;
  ifaddrs* list = nullptr;
  if (::getifaddrs(&list) != 0) return 0;
  int complete = 1;
  for (const ifaddrs* item = list; item != nullptr; item = item->ifa_next) {
    if (item->ifa_name == nullptr) continue;
    AdapterEntry* entry = EntryFor(table, item->ifa_name);
    if (entry == nullptr) {
      complete = 0;
      continue;
    }
    if (item->ifa_addr == nullptr || item->ifa_addr->sa_family != AF_INET) continue;
    const auto* address = reinterpret_cast<const sockaddr_in*>(item->ifa_addr);
    const auto* netmask = reinterpret_cast<const sockaddr_in*>(item->ifa_netmask);
    entry->address = FormatIpv4(ntohl(address->sin_addr.s_addr));
    entry->prefixLength = netmask != nullptr
                              ? std::popcount(static_cast<std::uint32_t>(netmask->sin_addr.s_addr))
                              : 0;
    entry->mask = MaskText(entry->prefixLength);
  }
  ::freeifaddrs(list);
  return complete;
}

}  // namespace calbrin
