// Reaching a device at a shared address or in a foreign subnet.
#include "cli/device_reach.h"

#include <algorithm>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "cli/adapter_choice.h"
#include "cli/cli_texts.h"
#include "cli/temporary_changes.h"
#include "net/socket.h"

namespace calbrin {
namespace {

// One device of a shared address open at a time: its neighbour entry names its MAC alone.
std::mutex& AddressLock(const std::string& key) {
  static std::mutex guard;
  static std::map<std::string, std::unique_ptr<std::mutex>> locks;
  const std::lock_guard lock(guard);
  std::unique_ptr<std::mutex>& found = locks[key];
  if (!found) found = std::make_unique<std::mutex>();
  return *found;
}

// The adapter table that makes WithDevice leave from `local`.
AdapterTable OnlyFrom(const std::string& local) {
  AdapterTable table;
  table.entries[0] = {1, "reach", local, 32, "255.255.255.255"};
  table.count = 1;
  return table;
}

std::string NeedsRights(const DeviceTarget& target, Language language) {
  if (!target.sharedWith.empty()) {
    return Text(CliText::kSharedNeedsRights, language,
                {std::to_string(target.sharedWith.size() + 1), target.address});
  }
  return Text(CliText::kForeignNeedsRights, language, {target.address});
}

// Takes one user of a change, or says why it could not be made.
std::optional<HeldChange> Hold(const std::string& key, const std::function<ChangeResult()>& make,
                               std::function<void()> undo, const DeviceTarget& target,
                               Language language, std::string& error) {
  const ChangeResult result = TemporaryChanges::Process().Acquire(key, make, std::move(undo));
  if (result.Ok()) return HeldChange(key);
  if (result.status == ChangeStatus::kNoRights) {
    error = NeedsRights(target, language);
  } else {
    error = result.detail.empty() ? Text(CliText::kRunInterrupted, language) : result.detail;
  }
  return std::nullopt;
}

std::string AddressKey(int adapter, const std::string& address) {
  return "address " + std::to_string(adapter) + " " + address;
}

// An address of the device's /24 for the adapter to take: one the run holds already, else the
// nearest to the device's that no device of the search has and nothing on the link answers for.
// Empty when none is free nearby.
std::string TemporaryAddress(int adapter, const DeviceTarget& target) {
  std::uint32_t device = 0;
  ParseIpv4(target.address, device);
  const std::uint32_t network = device & 0xFFFFFF00u;
  std::vector<std::uint32_t> candidates;
  for (std::uint32_t step = 1; step < 256; ++step) {
    for (const std::uint32_t host : {(device & 0xFFu) + step, (device & 0xFFu) - step}) {
      if (host >= 1 && host <= 254) candidates.push_back(network | host);
    }
  }
  for (const std::uint32_t candidate : candidates) {
    if (TemporaryChanges::Process().Holds(AddressKey(adapter, FormatIpv4(candidate))))
      return FormatIpv4(candidate);
  }
  constexpr std::size_t kMostProbes = 8;
  std::size_t probes = 0;
  for (const std::uint32_t candidate : candidates) {
    const std::string text = FormatIpv4(candidate);
    if (std::find(target.taken.begin(), target.taken.end(), text) != target.taken.end()) continue;
    if (++probes > kMostProbes) break;
    if (!ProbeAddress(adapter, text, static_cast<int>(kAddressProbeTime.count()))) return text;
  }
  return {};
}

}  // namespace

bool WithReachedDevice(ConsoleConnection& console, const DeviceTarget& target,
                       const AdapterTable& adapters, DevicePassword& password, std::string& error,
                       Language language, const std::function<void(DeviceSession&)>& whileOpen) {
  if (target.address.empty()) {
    error = Text(CliText::kNoDeviceWithMac, language);
    return false;
  }
  if (target.sharedWith.empty() && !target.foreign) {
    return WithDevice(console, AdapterFor(target.address, adapters, target.adapter), target.address,
                      password, error, language, whileOpen);
  }
  std::unique_lock<std::mutex> oneAtATime;
  if (!target.sharedWith.empty())
    oneAtATime = std::unique_lock(AddressLock(target.adapter + " " + target.address));
  const int adapter = InterfaceIndexOf(target.adapter);
  if (adapter == 0) {
    error = Text(CliText::kAdapterGone, language, {target.adapter});
    return false;
  }
  std::string local = target.adapter;
  std::optional<HeldChange> address;
  std::optional<HeldChange> route;
  if (target.foreign) {
    local = TemporaryAddress(adapter, target);
    if (local.empty()) {
      error = Text(CliText::kNoFreeAddress, language, {target.address});
      return false;
    }
    address = Hold(
        AddressKey(adapter, local), [&] { return AddLocalAddress(adapter, local, 32, true); },
        [adapter, local] { RemoveLocalAddress(adapter, local, 32); }, target, language, error);
    if (!address) return false;
    route = Hold(
        "route " + std::to_string(adapter) + " " + target.address,
        [&] { return AddHostRoute(adapter, target.address, local); },
        [adapter, device = target.address] { RemoveHostRoute(adapter, device); }, target, language,
        error);
    if (!route) return false;
  }
  const std::optional<MacBytes> mac = ParseMac(target.mac);
  const std::optional<HeldChange> pin = Hold(
      "neighbour " + std::to_string(adapter) + " " + target.address,
      [&] { return PinNeighbour(adapter, target.address, mac.value_or(MacBytes{})); },
      [adapter, device = target.address] { RemoveNeighbour(adapter, device); }, target, language,
      error);
  if (!pin) return false;
  return WithDevice(console, OnlyFrom(local), target.address, password, error, language, whileOpen);
}

}  // namespace calbrin
