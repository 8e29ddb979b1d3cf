// Temporary changes to the workstation's network configuration, so that a device that the normal
// routing cannot reach still can be: a neighbour (ARP) entry that pins an address to one MAC, an
// on-link host route, and a second address on an adapter. Each change names its adapter by the
// system's interface index. Only net/network_changes_*.cpp
// include the platform headers (rtnetlink and packet sockets on Linux, the IP Helper API on
// Windows).
//
// Every change needs administrator rights (CAP_NET_ADMIN on Linux, an elevated process on
// Windows); without them the change fails with kNoRights and nothing is touched.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "settings/mac_address.h"

namespace calbrin {

enum class ChangeStatus {
  kDone,
  kNoRights,  // the system refused for want of administrator rights
  kExists,    // (AddHostRoute, AddLocalAddress) it was there already: not ours to remove
  kFailed,
};

// The index of the interface that has the IPv4 address `adapterAddress` (as the adapter table
// gives it), or of the interface called `name`; 0 when there is none.
int InterfaceIndexOf(std::string_view adapterAddress);
int InterfaceIndexNamed(std::string_view name);

struct ChangeResult {
  ChangeStatus status = ChangeStatus::kFailed;
  std::string detail;  // for kFailed: what failed, with the system's words ("no such adapter")

  bool Ok() const { return status == ChangeStatus::kDone; }
};

// Adds or replaces the neighbour entry of `address` on the adapter so that every frame to it goes
// to `mac`, whatever ARP answers, until RemoveNeighbour.
ChangeResult PinNeighbour(int adapter, std::string_view address, const MacBytes& mac);
ChangeResult RemoveNeighbour(int adapter, std::string_view address);

// A route to `address` alone, on the adapter's link (no gateway), leaving from `source` (one of
// the adapter's addresses). kExists when such a route is there already.
ChangeResult AddHostRoute(int adapter, std::string_view address, std::string_view source);
ChangeResult RemoveHostRoute(int adapter, std::string_view address);

// A further address of the adapter with the given prefix length; with `noPrefixRoute` the system
// adds no route to the prefix (only the address itself becomes local).
ChangeResult AddLocalAddress(int adapter, std::string_view address, int prefixLength,
                             bool noPrefixRoute);
ChangeResult RemoveLocalAddress(int adapter, std::string_view address, int prefixLength);

// The default route of the adapter's link through `gateway` (the simulator's device moving to
// a new gateway); an empty or 0.0.0.0 gateway only removes the old one.
ChangeResult SetDefaultGateway(int adapter, std::string_view gateway);

// Asks on the adapter's link who has `address` (an ARP request from 0.0.0.0, as an address
// conflict probe does) and waits up to `timeoutMs` for an answer: the MAC that answered, or
// nothing. Needs the same rights as the changes.
std::optional<MacBytes> ProbeAddress(int adapter, std::string_view address, int timeoutMs);

}  // namespace calbrin
