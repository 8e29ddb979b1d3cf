// The search of calbrin-cli over one or every adapter.
#include "cli/device_search.h"

#include <atomic>
#include <map>
#include <memory>
#include <set>
#include <thread>

#include "cli/cli_texts.h"
#include "net/subnet.h"

namespace calbrin {

SearchResult FindDevices(const CliSetup& setup, const AdapterTable& adapters,
                         const std::vector<std::string>& locals,
                         const std::function<void()>& waiting) {
  std::vector<std::unique_ptr<DeviceDiscovery>> discoveries;
  std::vector<std::jthread> workers;
  std::atomic<int> running{static_cast<int>(locals.size())};
  for (const std::string& local : locals) {
    discoveries.push_back(std::make_unique<DeviceDiscovery>(
        setup.searchWindow, setup.searchCapacity, RecordRule::kOnePerMac, setup.trace));
    discoveries.back()->Startup(setup.routeProbeTarget);
    workers.emplace_back([&running, &local, discovery = discoveries.back().get()] {
      discovery->Discover(local);
      --running;
    });
  }
  while (running > 0) {
    waiting();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  workers.clear();

  SearchResult result;
  std::set<std::string> listed;  // MACs
  for (std::size_t d = 0; d < discoveries.size(); ++d) {
    const AdapterEntry* adapter = nullptr;
    for (int i = 0; i < adapters.count; ++i) {
      if (adapters.entries[static_cast<std::size_t>(i)].address == locals[d])
        adapter = &adapters.entries[static_cast<std::size_t>(i)];
    }
    for (int i = 0; i < discoveries[d]->ResultCount(); ++i) {
      const DeviceEntry& entry = discoveries[d]->Entry(i);
      const std::string address(entry.AddressText());
      if (!listed.insert(std::string(entry.MacText())).second) continue;
      result.devices.push_back({address, std::string(entry.MacText()),
                                std::string(entry.ModelText()), entry.VersionText(),
                                adapter == nullptr || SameSubnet(adapter->address, adapter->mask,
                                                                 entry.AddressText()) == 0,
                                locals[d]});
    }
    if (discoveries[d]->Overflowed()) result.overflowed.push_back(locals[d]);
    discoveries[d]->Shutdown();
  }
  std::map<std::string, int> devicesAt;
  for (const FoundDevice& device : result.devices)
    ++devicesAt[device.address];
  for (FoundDevice& device : result.devices)
    device.sharedAddress = devicesAt[device.address] > 1;
  return result;
}

std::string OverflowMessage(const SearchResult& result, int capacity, Language language) {
  std::string message;
  for (const std::string& local : result.overflowed) {
    message += Text(CliText::kSearchOverflow, language, {local, std::to_string(capacity)}) + "\n";
  }
  return message;
}

}  // namespace calbrin
