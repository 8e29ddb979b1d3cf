// The workstation's network adapters, from which the user picks the local address that every
// search and console connection leaves from.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace calbrin {

struct AdapterEntry {
  int selected = 0;      // 1 for the selected adapter; at most one entry of a table has it
  std::string name;      // friendly name, at most 511 bytes in the ANSI code page on Windows
  std::string address;   // IPv4 address as dotted text, empty when the adapter has none; of
                         // several, the last one the system reports
  int prefixLength = 0;  // on-link prefix length of that address, 0 to 32
  std::string mask;      // the subnet mask as dotted text; empty when there is no address
};

struct AdapterTable {
  static constexpr int kCapacity = 20;
  std::array<AdapterEntry, kCapacity> entries{};
  int count = 0;
};

// Replaces the table's contents with the adapters in the order the system reports them, none
// selected. Adapters that are down, loopback or tunnels are listed too. Returns 1 when every
// adapter was listed; 0 when the query failed (the table is then empty) or when there were more
// than kCapacity (the table then holds the first kCapacity).
int FillAdapterTable(AdapterTable& table);

// A documentation address: connecting a datagram socket to it only consults the routing table,
// and no packet is ever sent, so it is safe to use on any network.
inline constexpr std::string_view kRouteProbeAddress = "192.0.2.1";

// The local address the system would send from to reach `target`, as dotted text, or "" when it
// cannot tell (no route, no sockets). Sends nothing.
std::string ProbeLocalAddress(std::string_view target = kRouteProbeAddress);

// Selects the first entry whose address is exactly `probeAddress`, or else the first entry; an
// empty table ends with nothing selected.
void SelectInitialAdapter(AdapterTable& table, std::string_view probeAddress);

// The first selected entry, or nullptr when there is none.
const AdapterEntry* SelectedAdapter(const AdapterTable& table);

// The local address that searches and console connections leave from: the selected adapter's
// address, or "0.0.0.0" (any local address) when nothing is selected, which only an empty table
// allows. An adapter without an IPv4 address gives the empty text, which no socket can be bound
// to, so leaving from it fails like any other socket error instead of going out through whatever
// interface the system picks.
std::string SelectedLocalAddress(const AdapterTable& table);

// Makes the entry at `index` the only selected one, as the user's choice in the adapter list;
// an index outside the table leaves nothing selected.
void SelectAdapter(AdapterTable& table, int index);

// The dotted subnet mask of a prefix length: 24 gives "255.255.255.0", 0 gives "0.0.0.0". A
// length outside 0 to 32 is taken as the nearest end.
std::string MaskText(int prefixLength);

}  // namespace calbrin
