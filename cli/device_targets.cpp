// Naming devices by address or MAC, and the search that places them.
#include "cli/device_targets.h"

#include <algorithm>
#include <map>

#include "cli/device_search.h"
#include "net/socket.h"
#include "net/subnet.h"
#include "pages/dotted_address.h"

namespace calbrin {
namespace {

bool InSomeSubnet(const AdapterTable& adapters, std::string_view address) {
  for (int i = 0; i < std::clamp(adapters.count, 0, AdapterTable::kCapacity); ++i) {
    const AdapterEntry& adapter = adapters.entries[static_cast<std::size_t>(i)];
    if (SameSubnet(adapter.address, adapter.mask, address) == 1) return true;
  }
  return false;
}

// Whether `address` is one of this computer's: a socket can be bound to it.
bool IsOwnAddress(const std::string& address) {
  const SocketSystem sockets;
  int error = 0;
  const SocketHandle socket = OpenUdpSocket(error);
  if (socket == kInvalidSocket) return false;
  const bool own = BindSocket(socket, address, 0) == 0;
  CloseSocket(socket);
  return own;
}

}  // namespace

std::string DeviceName(std::string_view text) {
  const auto mac = ParseMac(text);
  return mac ? MacText(*mac) : std::string(text);
}

bool NamesDevice(std::string_view text) {
  return ParseDottedAddress(text) || ParseMac(text);
}

std::vector<std::string> SearchLocals(const AdapterTable& adapters, std::string_view from) {
  std::vector<std::string> locals;
  if (!from.empty()) {
    locals.emplace_back(from);
  } else {
    for (int i = 0; i < std::clamp(adapters.count, 0, AdapterTable::kCapacity); ++i) {
      const std::string& address = adapters.entries[static_cast<std::size_t>(i)].address;
      if (!address.empty()) locals.push_back(address);
    }
  }
  return locals;
}

void PlaceTargets(std::vector<DeviceTarget>& targets, const SearchResult& found,
                  const AdapterTable& adapters) {
  std::map<std::string, std::vector<std::string>> macsAt;  // per adapter and address
  std::map<std::string, std::vector<std::string>> addressesOn;
  for (const FoundDevice& device : found.devices) {
    macsAt[device.adapter + " " + device.address].push_back(device.mac);
    addressesOn[device.adapter].push_back(device.address);
  }
  for (DeviceTarget& target : targets) {
    const bool byMac = target.address.empty();
    const auto device =
        std::find_if(found.devices.begin(), found.devices.end(), [&](const FoundDevice& candidate) {
          return byMac ? candidate.mac == target.mac : candidate.address == target.address;
        });
    if (device == found.devices.end()) continue;
    // An address in an adapter's subnet needs nothing of the search unless named by MAC.
    if (!byMac && InSomeSubnet(adapters, target.address)) continue;
    target.address = device->address;
    target.mac = device->mac;
    target.adapter = device->adapter;
    // A device at an address of this computer itself (the simulator on loopback) is reached as
    // it is: no neighbour entry or route can choose among the programs that answer there.
    if (IsOwnAddress(device->address)) continue;
    target.foreign = !InSomeSubnet(adapters, device->address);
    target.taken = addressesOn[device->adapter];
    if (byMac) {
      for (const std::string& other : macsAt[device->adapter + " " + device->address])
        if (other != device->mac) target.sharedWith.push_back(other);
    }
  }
}

std::vector<DeviceTarget> TargetsByMac(const std::vector<std::string>& macs,
                                       const SearchResult& found, const AdapterTable& adapters) {
  std::vector<DeviceTarget> targets;
  for (const std::string& mac : macs) {
    DeviceTarget target;
    target.name = target.mac = mac;
    targets.push_back(target);
  }
  PlaceTargets(targets, found, adapters);
  return targets;
}

std::vector<DeviceTarget> ResolveTargets(const std::vector<std::string>& names,
                                         const CliSetup& setup, const AdapterTable& adapters,
                                         std::string_view from) {
  std::vector<DeviceTarget> targets;
  bool search = false;
  for (const std::string& name : names) {
    DeviceTarget target;
    if (const auto mac = ParseMac(name)) {
      target.name = target.mac = MacText(*mac);
      search = true;
    } else {
      target.name = target.address = name;
      target.adapter = std::string(from);
      search = search || !InSomeSubnet(adapters, name);
    }
    targets.push_back(target);
  }
  if (!search) return targets;
  PlaceTargets(targets, FindDevices(setup, adapters, SearchLocals(adapters, from), [] {}),
               adapters);
  return targets;
}

}  // namespace calbrin
