// The devices that a command names: each by its IPv4 address or by its MAC, and what it takes to
// reach it (which adapter, whether others answer at its address, whether it lies outside every
// adapter's subnet), found out by one search when an address alone does not tell.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/commands.h"
#include "cli/device_search.h"
#include "net/adapters.h"
#include "net/network_changes.h"
#include "settings/mac_address.h"

namespace calbrin {

// The name of a device as results and the history show it: a MAC in the search's form, else
// `text` as it is.
std::string DeviceName(std::string_view text);

// Whether `text` names a device (an address or a MAC), as opposed to a file or KEY=VALUE.
bool NamesDevice(std::string_view text);

struct DeviceTarget {
  std::string name;     // as the command names it: the address, or the MAC in the search's form
  std::string address;  // where it answers; empty when a named MAC was not found
  std::string mac;      // the search's MAC text when known
  std::string adapter;  // the local address to leave from; empty: the adapter whose subnet holds
                        // the address, else the preselected one
  std::vector<std::string> sharedWith;  // the other MACs that answer at `address` on that link
  bool foreign = false;  // outside every adapter's subnet: reached on the adapter that found it
  // The addresses of every device the search found on that adapter, so that a temporary address
  // of the adapter is never one of theirs.
  std::vector<std::string> taken;
};

// The targets of `names`, in order. A search (from `from`, else from every adapter with an
// address) runs only when a name is a MAC or an address outside every adapter's subnet; `waiting`
// is called during it. A MAC that no device answered with gives a target without address.
std::vector<DeviceTarget> ResolveTargets(const std::vector<std::string>& names,
                                         const CliSetup& setup, const AdapterTable& adapters,
                                         std::string_view from);

// The local addresses that a search for named devices broadcasts from: `from` alone when given,
// else every adapter's address.
std::vector<std::string> SearchLocals(const AdapterTable& adapters, std::string_view from);

// Places `targets` (named as above) by a search's result: where each answers, through which
// adapter, whether others share its address, whether it lies outside every subnet.
void PlaceTargets(std::vector<DeviceTarget>& targets, const SearchResult& found,
                  const AdapterTable& adapters);

// The targets of the devices with `macs` (in the search's form), placed by `found`.
std::vector<DeviceTarget> TargetsByMac(const std::vector<std::string>& macs,
                                       const SearchResult& found, const AdapterTable& adapters);

}  // namespace calbrin
