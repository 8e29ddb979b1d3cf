// The adapter list from GetAdaptersAddresses, with names in the ANSI code page of the dialogs.

// Windows Sockets first: the helper API's headers need its types.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <iphlpapi.h>

#include <cstdint>
#include <cwchar>
#include <vector>

#include "net/adapters.h"
#include "net/socket.h"

namespace calbrin {
namespace {

constexpr int kMaxNameBytes = 511;

// "" when the name is empty or has no form in the ANSI code page within kMaxNameBytes.
std::string AnsiName(const wchar_t* name) {
  if (name == nullptr) return "";
  const int length = static_cast<int>(std::wcslen(name));
  if (length == 0) return "";
  char buffer[kMaxNameBytes + 1] = {};
  const int written =
      ::WideCharToMultiByte(CP_ACP, 0, name, length, buffer, kMaxNameBytes, nullptr, nullptr);
  if (written <= 0) return "";
  return std::string(buffer, static_cast<std::size_t>(written));
}

}  // namespace

int FillAdapterTable(AdapterTable& table) {
  table.entries = {};
  table.count = 0;
  constexpr ULONG kFlags = GAA_FLAG_INCLUDE_PREFIX;
  ULONG size = 0;
  if (::GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr, nullptr, &size) != ERROR_BUFFER_OVERFLOW) {
    return 0;
  }
  // Whole 64-bit words keep the adapter records aligned as the API expects.
  std::vector<std::uint64_t> storage(size / sizeof(std::uint64_t) + 1);
  auto* adapters = reinterpret_cast<IP_ADAPTER_ADDRESSES*>(storage.data());
  if (::GetAdaptersAddresses(AF_UNSPEC, kFlags, nullptr, adapters, &size) != ERROR_SUCCESS) {
    return 0;
  }
  for (const IP_ADAPTER_ADDRESSES* adapter = adapters; adapter != nullptr;
       adapter = adapter->Next) {
    if (table.count == AdapterTable::kCapacity) return 0;
    AdapterEntry& entry = table.entries[static_cast<std::size_t>(table.count++)];
    for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter->FirstUnicastAddress;
         unicast != nullptr; unicast = unicast->Next) {
      const sockaddr* address = unicast->Address.lpSockaddr;
      if (address == nullptr || address->sa_family != AF_INET) continue;
      const auto* ipv4 = reinterpret_cast<const sockaddr_in*>(address);
      entry.address = FormatIpv4(ntohl(ipv4->sin_addr.s_addr));
      entry.prefixLength = unicast->OnLinkPrefixLength <= 32 ? unicast->OnLinkPrefixLength : 32;
      entry.mask = MaskText(entry.prefixLength);
    }
    // An adapter without a usable name still offers its address; it must stay choosable rather
    // than hide the adapters after it.
    entry.name = AnsiName(adapter->FriendlyName);
    if (entry.name.empty()) entry.name = entry.address;
  }
  return 1;
}

}  // namespace calbrin
