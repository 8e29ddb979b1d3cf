// The search of calbrin-cli over one or every adapter.
#include "cli/device_search.h"

#include <atomic>
#include <memory>
#include <set>
#include <thread>

#include "net/subnet.h"

namespace calbrin {

std::vector<FoundDevice> FindDevices(const CliSetup& setup, const AdapterTable& adapters,
                                     const std::vector<std::string>& locals,
                                     const std::function<void()>& waiting) {
  std::vector<std::unique_ptr<DeviceDiscovery>> discoveries;
  std::vector<std::jthread> workers;
  std::atomic<int> running{static_cast<int>(locals.size())};
  for (const std::string& local : locals) {
    discoveries.push_back(std::make_unique<DeviceDiscovery>(setup.searchWindow, kSearchCapacity));
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

  std::vector<FoundDevice> found;
  std::set<std::string> listed;
  for (std::size_t d = 0; d < discoveries.size(); ++d) {
    const AdapterEntry* adapter = nullptr;
    for (int i = 0; i < adapters.count; ++i) {
      if (adapters.entries[static_cast<std::size_t>(i)].address == locals[d])
        adapter = &adapters.entries[static_cast<std::size_t>(i)];
    }
    for (int i = 0; i < discoveries[d]->ResultCount(); ++i) {
      const DeviceEntry& entry = discoveries[d]->Entry(i);
      const std::string address(entry.AddressText());
      if (!listed.insert(address).second || found.size() >= kSearchCapacity) continue;
      found.push_back({address, std::string(entry.MacText()), std::string(entry.ModelText()),
                       entry.VersionText(),
                       adapter == nullptr ||
                           SameSubnet(adapter->address, adapter->mask, entry.AddressText()) == 0,
                       locals[d]});
    }
    discoveries[d]->Shutdown();
  }
  return found;
}

}  // namespace calbrin
