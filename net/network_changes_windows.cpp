// Temporary network changes on Windows through the IP Helper API's neighbour, route and unicast
// address tables; the address probe through SendARP.

// Windows Sockets first: the helper API's headers need its types.
#include <winsock2.h>
#include <ws2tcpip.h>

#include <iphlpapi.h>

#include <chrono>
#include <cstdint>
#include <cstring>
#include <cwchar>
#include <future>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "net/network_changes.h"
#include "net/socket.h"

namespace calbrin {
namespace {

// How long a new address may take Windows' duplicate address check (about a second).
constexpr std::chrono::milliseconds kAddressCheckTime{5000};

ChangeResult Result(ChangeStatus status, std::string detail = {}) {
  return {status, std::move(detail)};
}

// The system's own words for an error code, in UTF-8 without the closing full stop and line end.
std::string SystemMessage(DWORD error) {
  wchar_t buffer[512] = {};
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error,
                       0, buffer, static_cast<DWORD>(std::size(buffer)), nullptr);
  std::wstring text(buffer, length);
  while (!text.empty() && (text.back() == L'\r' || text.back() == L'\n' || text.back() == L'.'))
    text.pop_back();
  if (text.empty()) return "error " + std::to_string(error);
  const int size = static_cast<int>(text.size());
  const int bytes =
      ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text.data(), size, utf8.data(), bytes, nullptr, nullptr);
  return utf8;
}

ChangeResult FromStatus(DWORD status, const std::string& what) {
  switch (status) {
    case NO_ERROR:
      return Result(ChangeStatus::kDone);
    case ERROR_ACCESS_DENIED:
      return Result(ChangeStatus::kNoRights, what + ": " + SystemMessage(status));
    case ERROR_OBJECT_ALREADY_EXISTS:
      return Result(ChangeStatus::kExists, what + ": " + SystemMessage(status));
    default:
      return Result(ChangeStatus::kFailed, what + ": " + SystemMessage(status));
  }
}

ChangeResult NotAnAddress(std::string_view text) {
  return Result(ChangeStatus::kFailed, "not an IPv4 address: \"" + std::string(text) + "\"");
}

// The address in network byte order, as the helper API's IPv4 fields hold it.
bool NetworkAddress(std::string_view text, ULONG& address) {
  std::uint32_t host = 0;
  if (!ParseIpv4(text, host)) return false;
  address = htonl(host);
  return true;
}

SOCKADDR_INET Ipv4(ULONG address) {
  SOCKADDR_INET socketAddress{};
  socketAddress.Ipv4.sin_family = AF_INET;
  socketAddress.Ipv4.sin_addr.s_addr = address;
  return socketAddress;
}

// The system's adapters, or none when they cannot be read.
class AdapterList {
 public:
  AdapterList() {
    constexpr ULONG kFlags =
        GAA_FLAG_SKIP_ANYCAST | GAA_FLAG_SKIP_MULTICAST | GAA_FLAG_SKIP_DNS_SERVER;
    ULONG size = 0;
    if (::GetAdaptersAddresses(AF_INET, kFlags, nullptr, nullptr, &size) != ERROR_BUFFER_OVERFLOW)
      return;
    // Whole 64-bit words keep the adapter records aligned as the API expects.
    storage_.resize(size / sizeof(std::uint64_t) + 1);
    if (::GetAdaptersAddresses(AF_INET, kFlags, nullptr, First(), &size) != ERROR_SUCCESS)
      storage_.clear();
  }

  IP_ADAPTER_ADDRESSES* First() {
    return storage_.empty() ? nullptr : reinterpret_cast<IP_ADAPTER_ADDRESSES*>(storage_.data());
  }

 private:
  std::vector<std::uint64_t> storage_;
};

// The first IPv4 address of the adapter in network byte order; 0 when it has none.
ULONG FirstAddressOf(const IP_ADAPTER_ADDRESSES& adapter) {
  for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter.FirstUnicastAddress; unicast != nullptr;
       unicast = unicast->Next) {
    const sockaddr* address = unicast->Address.lpSockaddr;
    if (address != nullptr && address->sa_family == AF_INET)
      return reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr;
  }
  return 0;
}

bool HasAddress(const IP_ADAPTER_ADDRESSES& adapter, ULONG wanted) {
  for (const IP_ADAPTER_UNICAST_ADDRESS* unicast = adapter.FirstUnicastAddress; unicast != nullptr;
       unicast = unicast->Next) {
    const sockaddr* address = unicast->Address.lpSockaddr;
    if (address != nullptr && address->sa_family == AF_INET &&
        reinterpret_cast<const sockaddr_in*>(address)->sin_addr.s_addr == wanted) {
      return true;
    }
  }
  return false;
}

MIB_IPFORWARD_ROW2 OnLinkRoute(int adapter, ULONG destination, int prefixLength, ULONG nextHop) {
  MIB_IPFORWARD_ROW2 route;
  ::InitializeIpForwardEntry(&route);
  route.InterfaceIndex = static_cast<NET_IFINDEX>(adapter);
  route.DestinationPrefix.Prefix = Ipv4(destination);
  route.DestinationPrefix.PrefixLength = static_cast<UINT8>(prefixLength);
  route.NextHop = Ipv4(nextHop);  // 0.0.0.0: on the adapter's link
  route.Protocol = RouteProtocolNetMgmt;
  return route;
}

}  // namespace

int InterfaceIndexOf(std::string_view adapterAddress) {
  ULONG wanted = 0;
  if (!NetworkAddress(adapterAddress, wanted)) return 0;
  AdapterList adapters;
  for (const IP_ADAPTER_ADDRESSES* adapter = adapters.First(); adapter != nullptr;
       adapter = adapter->Next) {
    if (HasAddress(*adapter, wanted)) return static_cast<int>(adapter->IfIndex);
  }
  return 0;
}

int InterfaceIndexNamed(std::string_view name) {
  // The adapter table names adapters by their friendly names in the ANSI code page.
  if (name.empty()) return 0;
  const int length = static_cast<int>(name.size());
  std::wstring wide(static_cast<std::size_t>(length), L'\0');
  const int written = ::MultiByteToWideChar(CP_ACP, 0, name.data(), length, wide.data(), length);
  if (written <= 0) return 0;
  wide.resize(static_cast<std::size_t>(written));
  AdapterList adapters;
  for (const IP_ADAPTER_ADDRESSES* adapter = adapters.First(); adapter != nullptr;
       adapter = adapter->Next) {
    if (adapter->FriendlyName != nullptr && wide == adapter->FriendlyName)
      return static_cast<int>(adapter->IfIndex);
  }
  return 0;
}

ChangeResult PinNeighbour(int adapter, std::string_view address, const MacBytes& mac) {
  MIB_IPNET_ROW2 row{};
  if (!NetworkAddress(address, row.Address.Ipv4.sin_addr.s_addr)) return NotAnAddress(address);
  row.Address.Ipv4.sin_family = AF_INET;
  row.InterfaceIndex = static_cast<NET_IFINDEX>(adapter);
  std::memcpy(row.PhysicalAddress, mac.data(), mac.size());
  row.PhysicalAddressLength = static_cast<ULONG>(mac.size());
  row.State = NlnsPermanent;
  const std::string what = "pinning the neighbour entry of " + std::string(address);
  DWORD status = ::CreateIpNetEntry2(&row);
  // An entry that ARP made already (or an earlier pin) takes the new MAC and becomes permanent.
  if (status == ERROR_OBJECT_ALREADY_EXISTS) status = ::SetIpNetEntry2(&row);
  return FromStatus(status, what);
}

ChangeResult RemoveNeighbour(int adapter, std::string_view address) {
  MIB_IPNET_ROW2 row{};
  if (!NetworkAddress(address, row.Address.Ipv4.sin_addr.s_addr)) return NotAnAddress(address);
  row.Address.Ipv4.sin_family = AF_INET;
  row.InterfaceIndex = static_cast<NET_IFINDEX>(adapter);
  return FromStatus(::DeleteIpNetEntry2(&row),
                    "removing the neighbour entry of " + std::string(address));
}

ChangeResult AddHostRoute(int adapter, std::string_view address, std::string_view source) {
  ULONG destination = 0;
  ULONG from = 0;
  if (!NetworkAddress(address, destination)) return NotAnAddress(address);
  // A route row has no source address: Windows picks the source among the adapter's addresses,
  // preferring one in the destination's subnet (the further address that AddLocalAddress gives).
  if (!NetworkAddress(source, from)) return NotAnAddress(source);
  const MIB_IPFORWARD_ROW2 route = OnLinkRoute(adapter, destination, 32, 0);
  return FromStatus(::CreateIpForwardEntry2(&route), "adding the route to " + std::string(address));
}

ChangeResult RemoveHostRoute(int adapter, std::string_view address) {
  ULONG destination = 0;
  if (!NetworkAddress(address, destination)) return NotAnAddress(address);
  const MIB_IPFORWARD_ROW2 route = OnLinkRoute(adapter, destination, 32, 0);
  return FromStatus(::DeleteIpForwardEntry2(&route),
                    "removing the route to " + std::string(address));
}

ChangeResult AddLocalAddress(int adapter, std::string_view address, int prefixLength,
                             bool noPrefixRoute) {
  if (prefixLength < 0 || prefixLength > 32)
    return Result(ChangeStatus::kFailed, "no prefix length: " + std::to_string(prefixLength));
  MIB_UNICASTIPADDRESS_ROW row;
  ::InitializeUnicastIpAddressEntry(&row);
  if (!NetworkAddress(address, row.Address.Ipv4.sin_addr.s_addr)) return NotAnAddress(address);
  row.Address.Ipv4.sin_family = AF_INET;
  row.InterfaceIndex = static_cast<NET_IFINDEX>(adapter);
  // Windows always adds the on-link route of an address's prefix and has no flag against it, so
  // without a prefix route the address gets the prefix /32: only the address itself is on-link,
  // and the device is reached through the host route of AddHostRoute.
  row.OnLinkPrefixLength = static_cast<UINT8>(noPrefixRoute ? 32 : prefixLength);
  row.PrefixOrigin = IpPrefixOriginManual;
  row.SuffixOrigin = IpSuffixOriginManual;
  row.DadState = IpDadStatePreferred;
  const std::string what = "adding the address " + std::string(address);
  const DWORD status = ::CreateUnicastIpAddressEntry(&row);
  if (status != NO_ERROR) return FromStatus(status, what);
  // A new address is tentative while Windows checks that nobody else has it; nothing can be bound
  // to it before.
  const auto end = std::chrono::steady_clock::now() + kAddressCheckTime;
  while (::GetUnicastIpAddressEntry(&row) == NO_ERROR && row.DadState == IpDadStateTentative &&
         std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  if (row.DadState == IpDadStateDuplicate) {
    ::DeleteUnicastIpAddressEntry(&row);
    return Result(ChangeStatus::kFailed, what + ": another host has it");
  }
  return Result(ChangeStatus::kDone);
}

ChangeResult RemoveLocalAddress(int adapter, std::string_view address, int /*prefixLength*/) {
  // The table knows an address by its adapter and the address alone, whatever its prefix.
  MIB_UNICASTIPADDRESS_ROW row;
  ::InitializeUnicastIpAddressEntry(&row);
  if (!NetworkAddress(address, row.Address.Ipv4.sin_addr.s_addr)) return NotAnAddress(address);
  row.Address.Ipv4.sin_family = AF_INET;
  row.InterfaceIndex = static_cast<NET_IFINDEX>(adapter);
  return FromStatus(::DeleteUnicastIpAddressEntry(&row),
                    "removing the address " + std::string(address));
}

ChangeResult SetDefaultGateway(int adapter, std::string_view gateway) {
  ULONG next = 0;
  if (!gateway.empty() && !NetworkAddress(gateway, next)) return NotAnAddress(gateway);
  PMIB_IPFORWARD_TABLE2 table = nullptr;
  DWORD status = ::GetIpForwardTable2(AF_INET, &table);
  if (status != NO_ERROR) return FromStatus(status, "reading the routes");
  for (ULONG i = 0; i < table->NumEntries && status == NO_ERROR; ++i) {
    const MIB_IPFORWARD_ROW2& route = table->Table[i];
    if (route.InterfaceIndex == static_cast<NET_IFINDEX>(adapter) &&
        route.DestinationPrefix.PrefixLength == 0) {
      status = ::DeleteIpForwardEntry2(&route);
    }
  }
  ::FreeMibTable(table);
  if (status != NO_ERROR || next == 0) return FromStatus(status, "removing the default gateway");
  const MIB_IPFORWARD_ROW2 route = OnLinkRoute(adapter, 0, 0, next);
  return FromStatus(::CreateIpForwardEntry2(&route),
                    "setting the default gateway " + std::string(gateway));
}

std::optional<MacBytes> ProbeAddress(int adapter, std::string_view address, int timeoutMs) {
  ULONG target = 0;
  if (!NetworkAddress(address, target)) return std::nullopt;
  // Windows sends no ARP request from 0.0.0.0 without a frame driver; SendARP from the adapter's
  // own address is the nearest, and it leaves on that adapter. It waits as long as the system
  // likes, so it runs on a thread of its own that may outlive a shorter timeout. An address whose
  // entry the neighbour table holds already (a pin) is answered from the table.
  ULONG source = 0;
  AdapterList adapters;
  for (const IP_ADAPTER_ADDRESSES* item = adapters.First(); item != nullptr; item = item->Next) {
    if (static_cast<int>(item->IfIndex) == adapter) source = FirstAddressOf(*item);
  }
  if (source == 0) return std::nullopt;
  auto answer = std::make_shared<std::promise<std::optional<MacBytes>>>();
  std::future<std::optional<MacBytes>> result = answer->get_future();
  std::thread([answer, target, source] {
    ULONG buffer[2] = {};
    ULONG length = sizeof buffer;
    std::optional<MacBytes> mac;
    if (::SendARP(target, source, buffer, &length) == NO_ERROR && length == 6) {
      mac.emplace();
      std::memcpy(mac->data(), buffer, mac->size());
    }
    answer->set_value(mac);
  }).detach();
  if (result.wait_for(std::chrono::milliseconds(timeoutMs)) != std::future_status::ready)
    return std::nullopt;
  return result.get();
}

}  // namespace calbrin
